#pragma once

#include "app/win32/scoped_win.h"

#include <cstdint>

namespace fablewick::win32 {

// The process id of the launcher that holds the session's name, published
// under a name of its own next to it, so that a second start finds that
// launcher's window by its process rather than by a class name any program
// may use. Readable by every start of the same user, an elevated launcher's
// included.
class PublishedProcess {
public:
  // Publishes this process's id until Withdraw.
  void Publish();
  void Withdraw();

  // The id the holder published; 0 while there is none.
  static std::uint32_t Read();

private:
  UniqueKernelHandle mapping_;
};

} // namespace fablewick::win32

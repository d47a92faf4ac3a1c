#pragma once

#include <string>

namespace fablewick {

// The file system and the shell as the launcher meets them. File names are
// the program's own, bare, and resolve against the process's current
// directory; the directory itself is the user's and may be in any script.
class Shell {
public:
  virtual ~Shell() = default;

  // True for an existing file that is not a directory.
  virtual bool IsPlainFile(const std::string& name) = 0;

  // Asks the shell to open the file with its "open" verb and no arguments.
  // The started program is not waited for; the result says only whether the
  // shell accepted the request (a damaged executable is refused here).
  virtual bool OpenDetached(const std::string& name) = 0;

  // Makes path the current directory; when it cannot, the current directory
  // stays as it was and nothing is reported.
  virtual void ChangeCurrentDirectory(const std::u16string& path) = 0;
};

} // namespace fablewick

#pragma once

#include "app/win32/scoped_win.h"

#include <functional>

namespace fablewick::win32 {

// One piece of start-up work run on a thread of its own while the
// user-interface thread builds the windows. Under Wine, opening the audio
// device and decoding the pictures each take about as long as the first
// window does, and none of them needs the others. Whoever uses the result
// waits for it first; after that wait everything the work wrote is visible
// to the waiting thread. If no thread can be had, the work runs at once on
// the caller's, so the result is the same either way.
class EarlyWork {
public:
  // `work` must not throw: nothing on its thread could report it.
  explicit EarlyWork(std::function<void()> work);
  // Waits: the work may still be using what its owner holds.
  ~EarlyWork();
  EarlyWork(const EarlyWork&) = delete;
  EarlyWork& operator=(const EarlyWork&) = delete;

  void Wait();

private:
  std::function<void()> work_;
  UniqueKernelHandle thread_;
};

} // namespace fablewick::win32

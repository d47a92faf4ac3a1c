#pragma once

#include <windows.h>

#include <vector>

namespace fablewick::win32 {

// Disables every visible, enabled top-level window of this thread except
// `except` while a modal loop or the error box is up; Enable, or the
// destructor, enables them again.
class ThreadWindowsDisabled {
public:
  explicit ThreadWindowsDisabled(HWND except);
  ~ThreadWindowsDisabled() { Enable(); }
  ThreadWindowsDisabled(const ThreadWindowsDisabled&) = delete;
  ThreadWindowsDisabled& operator=(const ThreadWindowsDisabled&) = delete;

  void Enable();

private:
  static BOOL CALLBACK DisableOne(HWND window, LPARAM context);

  HWND except_;
  std::vector<HWND> windows_;
};

} // namespace fablewick::win32

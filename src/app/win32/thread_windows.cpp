#include "app/win32/thread_windows.h"

namespace fablewick::win32 {

ThreadWindowsDisabled::ThreadWindowsDisabled(HWND except) : except_(except) {
  EnumThreadWindows(GetCurrentThreadId(), DisableOne, reinterpret_cast<LPARAM>(this));
}

BOOL CALLBACK ThreadWindowsDisabled::DisableOne(HWND window, LPARAM context) {
  auto* disabled = reinterpret_cast<ThreadWindowsDisabled*>(context);
  if (window != disabled->except_ && IsWindowVisible(window) && IsWindowEnabled(window)) {
    disabled->windows_.push_back(window);
    EnableWindow(window, FALSE);
  }
  return TRUE;
}

void ThreadWindowsDisabled::Enable() {
  for (HWND window : windows_) {
    if (IsWindow(window)) EnableWindow(window, TRUE);
  }
  windows_.clear();
}

} // namespace fablewick::win32

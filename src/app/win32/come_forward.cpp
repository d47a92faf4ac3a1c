#include "app/win32/come_forward.h"

namespace fablewick::win32 {

namespace {

struct OwnSearch {
  DWORD processId;
  HWND applicationWindow;
  std::vector<OwnWindow> found;
};

BOOL CALLBACK CollectOwnWindow(HWND window, LPARAM param) {
  auto& search = *reinterpret_cast<OwnSearch*>(param);
  DWORD processId = 0;
  GetWindowThreadProcessId(window, &processId);
  if (processId != search.processId) return TRUE;
  search.found.push_back({reinterpret_cast<std::uintptr_t>(window), IsWindowVisible(window) != FALSE,
                          IsWindowEnabled(window) != FALSE, window == search.applicationWindow,
                          (GetWindowLongPtrA(window, GWL_EXSTYLE) & WS_EX_NOACTIVATE) == 0});
  return TRUE;
}

} // namespace

UINT ComeForwardMessage() {
  static const UINT message = RegisterWindowMessageA("Quillmere.Fablewick.Launcher.ComeForward");
  return message;
}

void AcceptComeForward(HWND applicationWindow) {
  if (ComeForwardMessage() != 0) {
    ChangeWindowMessageFilterEx(applicationWindow, ComeForwardMessage(), MSGFLT_ALLOW, nullptr);
  }
}

std::vector<OwnWindow> OwnTopLevelWindows(HWND applicationWindow) {
  OwnSearch search{GetCurrentProcessId(), applicationWindow, {}};
  // EnumWindows goes from the top of the stack down.
  EnumWindows(&CollectOwnWindow, reinterpret_cast<LPARAM>(&search));
  return std::move(search.found);
}

} // namespace fablewick::win32

#include "intro/win32/monitor_cover.h"

#include "app/win32/com_library.h"
#include "app/win32/scoped_win.h"

#include <shobjidl.h>

namespace fablewick::win32 {

namespace {

constexpr char CoverClass[] = "FablewickMonitorCover";

LRESULT CALLBACK CoverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_MOUSEACTIVATE) return MA_NOACTIVATE;
  return DefWindowProcA(window, message, wParam, lParam);
}

} // namespace

HWND CreateMonitorCover(const Rect& area) {
  HINSTANCE instance = GetModuleHandleA(nullptr);
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = &CoverProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  wc.lpszClassName = CoverClass;
  if (!RegisterClassExA(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return nullptr;
  HWND cover = CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, CoverClass, "", WS_POPUP,
                               area.left, area.top, area.right - area.left, area.bottom - area.top, nullptr,
                               nullptr, instance, nullptr);
  if (cover == nullptr) return nullptr;
  ShowWindow(cover, SW_SHOWNOACTIVATE);
  UpdateWindow(cover);
  return cover;
}

void MarkFullScreenToShell(HWND window, bool fullScreen) {
  // The shell's list is a COM object; this thread may or may not have
  // entered an apartment already, and leaves it as it found it.
  const HRESULT entered = com::InitializeApartment();
  {
    // Released before the apartment is left.
    ComPtr<ITaskbarList2> list;
    if (SUCCEEDED(com::CreateInProcInstance(CLSID_TaskbarList, IID_ITaskbarList2,
                                            reinterpret_cast<void**>(list.Receive()))) &&
        list && SUCCEEDED(list->HrInit())) {
      list->MarkFullscreenWindow(window, fullScreen ? TRUE : FALSE);
    }
  }
  if (SUCCEEDED(entered)) com::Uninitialize();
}

} // namespace fablewick::win32

#include "app/win32/dpi.h"

#include "app/win32/gdi.h"

namespace fablewick::win32 {

int WindowDpi(HWND window) {
  using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
  static const auto getDpiForWindow = reinterpret_cast<GetDpiForWindowFn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("user32.dll"), "GetDpiForWindow")));
  if (getDpiForWindow && window) {
    if (UINT dpi = getDpiForWindow(window)) return static_cast<int>(dpi);
  }
  WindowDC dc(window);
  return dc.Get() ? GetDeviceCaps(dc.Get(), LOGPIXELSX) : kBaseDpi;
}

} // namespace fablewick::win32

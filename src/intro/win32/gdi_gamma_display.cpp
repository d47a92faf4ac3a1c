#include "intro/win32/gdi_gamma_display.h"

#include "app/win32/gdi.h"

#include <windows.h>

namespace fablewick::win32 {

namespace {

HWND ToHwnd(WindowHandle window) { return reinterpret_cast<HWND>(window); }

} // namespace

WindowHandle GdiGammaDisplay::DesktopWindow() {
  return reinterpret_cast<WindowHandle>(GetDesktopWindow());
}

bool GdiGammaDisplay::ReadRamp(WindowHandle window, GammaRamp& ramp) {
  WindowDC dc(ToHwnd(window));
  if (dc.Get() == nullptr) return false;
  return GetDeviceGammaRamp(dc.Get(), ramp.data()) != FALSE;
}

bool GdiGammaDisplay::WriteRamp(WindowHandle window, const GammaRamp& ramp) {
  WindowDC dc(ToHwnd(window));
  if (dc.Get() == nullptr) return false;
  // The ramp is only read by the driver; the API merely lacks the const.
  return SetDeviceGammaRamp(dc.Get(), const_cast<std::uint16_t*>(ramp.data())) != FALSE;
}

} // namespace fablewick::win32

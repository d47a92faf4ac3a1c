#include "intro/win32/gdi_gamma_display.h"

#include <windows.h>

namespace fablewick::win32 {

namespace {

class WindowDC {
public:
  explicit WindowDC(HWND window) : window_(window), dc_(GetDC(window)) {}
  ~WindowDC() {
    if (dc_ != nullptr) ReleaseDC(window_, dc_);
  }
  WindowDC(const WindowDC&) = delete;
  WindowDC& operator=(const WindowDC&) = delete;
  HDC get() const { return dc_; }

private:
  HWND window_;
  HDC dc_;
};

HWND ToHwnd(WindowHandle window) { return reinterpret_cast<HWND>(window); }

} // namespace

WindowHandle GdiGammaDisplay::DesktopWindow() {
  return reinterpret_cast<WindowHandle>(GetDesktopWindow());
}

bool GdiGammaDisplay::ReadRamp(WindowHandle window, GammaRamp& ramp) {
  WindowDC dc(ToHwnd(window));
  if (dc.get() == nullptr) return false;
  return GetDeviceGammaRamp(dc.get(), ramp.data()) != FALSE;
}

bool GdiGammaDisplay::WriteRamp(WindowHandle window, const GammaRamp& ramp) {
  WindowDC dc(ToHwnd(window));
  if (dc.get() == nullptr) return false;
  // The ramp is only read by the driver; the API merely lacks the const.
  return SetDeviceGammaRamp(dc.get(), const_cast<std::uint16_t*>(ramp.data())) != FALSE;
}

} // namespace fablewick::win32

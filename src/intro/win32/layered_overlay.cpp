#include "intro/win32/layered_overlay.h"

namespace fablewick::win32 {

namespace {

constexpr char OverlayClass[] = "FablewickFadeOverlay";

LRESULT CALLBACK OverlayProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
  case WM_NCHITTEST:
    return HTTRANSPARENT;
  case WM_MOUSEACTIVATE:
    return MA_NOACTIVATE;
  default:
    return DefWindowProcA(window, message, wParam, lParam);
  }
}

bool RegisterOverlayClass(HINSTANCE instance) {
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = &OverlayProc;
  wc.hInstance = instance;
  wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  wc.lpszClassName = OverlayClass;
  return RegisterClassExA(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

RECT VirtualScreen() {
  const int left = GetSystemMetrics(SM_XVIRTUALSCREEN), top = GetSystemMetrics(SM_YVIRTUALSCREEN);
  return RECT{left, top, left + GetSystemMetrics(SM_CXVIRTUALSCREEN), top + GetSystemMetrics(SM_CYVIRTUALSCREEN)};
}

} // namespace

LayeredOverlay::~LayeredOverlay() { Hide(); }

bool LayeredOverlay::Show(std::uint8_t opacity) {
  const RECT screen = VirtualScreen();
  const int width = screen.right - screen.left, height = screen.bottom - screen.top;
  if (window_ == nullptr) {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    if (!RegisterOverlayClass(instance)) return false;
    window_ = CreateWindowExA(WS_EX_LAYERED | WS_EX_TRANSPARENT | WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE,
                              OverlayClass, "", WS_POPUP, screen.left, screen.top, width, height, nullptr,
                              nullptr, instance, nullptr);
    if (window_ == nullptr) return false;
  }
  if (!SetLayeredWindowAttributes(window_, 0, opacity, LWA_ALPHA)) {
    Hide();
    return false;
  }
  // Raised over every topmost window at each step, and stretched to the
  // monitors as they are now: a taskbar shown again as topmost, or a
  // monitor plugged in during the fade, must not stay bright.
  SetWindowPos(window_, HWND_TOPMOST, screen.left, screen.top, width, height,
               SWP_NOACTIVATE | SWP_SHOWWINDOW);
  UpdateWindow(window_);
  return true;
}

void LayeredOverlay::Hide() {
  if (window_ == nullptr) return;
  DestroyWindow(window_);
  window_ = nullptr;
}

} // namespace fablewick::win32

#include "app/win32/click_tracker.h"

#include "app/win32/mouse_input.h"

namespace fablewick::win32 {

void ClickTracker::Press(HWND window) {
  SetCapture(window);
  pending_ = true;
}

bool ClickTracker::Release(HWND window, LPARAM point) {
  bool click = pending_ && InsideClient(window, point);
  pending_ = false;
  if (GetCapture() == window) ReleaseCapture();
  return click;
}

bool ClickTracker::Observe(HWND window, UINT message, LPARAM point) {
  switch (message) {
  case WM_LBUTTONDOWN:
    Press(window);
    return false;
  case WM_LBUTTONUP:
    return Release(window, point);
  case WM_CAPTURECHANGED:
    pending_ = false;
    return false;
  default:
    return false;
  }
}

} // namespace fablewick::win32

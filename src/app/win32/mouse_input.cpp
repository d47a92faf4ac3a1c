#include "app/win32/mouse_input.h"

namespace fablewick::win32 {

ShiftState ShiftFromKeys(WPARAM keys) {
  ShiftState shift = 0;
  if (keys & MK_SHIFT) shift |= ssShift;
  if (keys & MK_CONTROL) shift |= ssCtrl;
  if (keys & MK_LBUTTON) shift |= ssLeft;
  if (keys & MK_RBUTTON) shift |= ssRight;
  if (keys & MK_MBUTTON) shift |= ssMiddle;
  if (GetKeyState(VK_MENU) < 0) shift |= ssAlt;
  return shift;
}

// Mouse positions are signed: under capture they may lie left of or above

MouseButton ButtonOf(UINT message) {
  switch (message) {
  case WM_RBUTTONDOWN:
  case WM_RBUTTONUP: return MouseButton::Right;
  case WM_MBUTTONDOWN:
  case WM_MBUTTONUP: return MouseButton::Middle;
  default: return MouseButton::Left;
  }
}

bool InsideClient(HWND window, LPARAM lParam) {
  RECT client;
  GetClientRect(window, &client);
  POINT p{MouseX(lParam), MouseY(lParam)};
  return PtInRect(&client, p) != FALSE;
}

} // namespace fablewick::win32

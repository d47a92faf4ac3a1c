#include "intro/win32/win32_desktop.h"

#include <windows.h>

namespace fablewick::win32 {

static_assert(sizeof(Rect) == sizeof(RECT), "Rect is passed to the shell as a RECT");

namespace {

HWND ToHwnd(WindowHandle window) { return reinterpret_cast<HWND>(window); }

} // namespace

WindowHandle Win32Desktop::FindTaskbar() {
  return reinterpret_cast<WindowHandle>(FindWindowA("Shell_TrayWnd", nullptr));
}

std::optional<Rect> Win32Desktop::GetWorkArea() {
  RECT area{};
  if (!SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0)) return std::nullopt;
  return Rect{area.left, area.top, area.right, area.bottom};
}

void Win32Desktop::SetWorkArea(const Rect& area) {
  RECT rect{area.left, area.top, area.right, area.bottom};
  SystemParametersInfoA(SPI_SETWORKAREA, 0, &rect, SPIF_SENDCHANGE);
}

void Win32Desktop::PlaceTaskbar(WindowHandle taskbar, TaskbarPlace place) {
  SetWindowPos(ToHwnd(taskbar), place == TaskbarPlace::Bottom ? HWND_BOTTOM : HWND_TOPMOST, 0, 0,
               0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
}

void Win32Desktop::ShowTaskbar(WindowHandle taskbar, bool visible) {
  ShowWindow(ToHwnd(taskbar), visible ? SW_SHOW : SW_HIDE);
}

ScreenSize Win32Desktop::GetScreenSize() {
  return ScreenSize{GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

} // namespace fablewick::win32

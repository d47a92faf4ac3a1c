#include "app/error_box_place.h"
#include "app/error_text.h"
#include "app/win32/application.h"
#include "app/win32/thread_windows.h"
#include "app/win32/win32_monitors.h"

namespace fablewick::win32 {

void Application::ReportError(std::string_view message) {
  ReleaseCapture();
  std::string text = ErrorBoxText(message);
  HWND active = GetActiveWindow();
  ThreadWindowsDisabled disabled(nullptr);
  Win32Monitors monitors;
  std::optional<Point> place =
      ErrorBoxOwnerPlace(monitors, reinterpret_cast<WindowHandle>(active), reinterpret_cast<WindowHandle>(Window()));
  RECT home{};
  bool moved = place && GetWindowRect(Window(), &home) &&
               SetWindowPos(Window(), nullptr, place->x, place->y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  MessageBoxA(Window(), text.c_str(), title_.c_str(), MB_OK | MB_ICONSTOP);
  if (moved) SetWindowPos(Window(), nullptr, home.left, home.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  disabled.Enable();
  if (active && IsWindow(active)) SetActiveWindow(active);
}

} // namespace fablewick::win32

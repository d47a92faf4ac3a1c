#include "app/error_box_place.h"
#include "app/error_text.h"
#include "app/win32/application.h"
#include "app/win32/thread_windows.h"

namespace fablewick::win32 {

namespace {

class Win32Monitors : public Monitors {
public:
  MonitorId MonitorOf(WindowHandle window) override {
    return reinterpret_cast<MonitorId>(MonitorFromWindow(reinterpret_cast<HWND>(window), MONITOR_DEFAULTTONEAREST));
  }
  std::optional<Rect> WorkArea(MonitorId monitor) override {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (!GetMonitorInfoA(reinterpret_cast<HMONITOR>(monitor), &info)) return std::nullopt;
    return Rect{info.rcWork.left, info.rcWork.top, info.rcWork.right, info.rcWork.bottom};
  }
};

} // namespace

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

#include "app/win32/win32_monitors.h"

#include <windows.h>

namespace fablewick::win32 {

MonitorId Win32Monitors::MonitorOf(WindowHandle window) {
  return reinterpret_cast<MonitorId>(MonitorFromWindow(reinterpret_cast<HWND>(window), MONITOR_DEFAULTTONEAREST));
}

std::optional<Rect> Win32Monitors::WorkArea(MonitorId monitor) {
  MONITORINFO info{};
  info.cbSize = sizeof info;
  if (!GetMonitorInfoA(reinterpret_cast<HMONITOR>(monitor), &info)) return std::nullopt;
  return Rect{info.rcWork.left, info.rcWork.top, info.rcWork.right, info.rcWork.bottom};
}

} // namespace fablewick::win32

#include "intro/win32/win32_desktop.h"

#include "intro/win32/monitor_cover.h"

#include <windows.h>

namespace fablewick::win32 {

static_assert(sizeof(Rect) == sizeof(RECT), "Rect is passed to the shell as a RECT");

namespace {

HWND ToHwnd(WindowHandle window) { return reinterpret_cast<HWND>(window); }

} // namespace

std::vector<WindowHandle> Win32Desktop::FindTaskbars() {
  std::vector<WindowHandle> taskbars;
  if (HWND main = FindWindowA("Shell_TrayWnd", nullptr)) taskbars.push_back(reinterpret_cast<WindowHandle>(main));
  HWND other = nullptr;
  while ((other = FindWindowExA(nullptr, other, "Shell_SecondaryTrayWnd", nullptr)) != nullptr) {
    taskbars.push_back(reinterpret_cast<WindowHandle>(other));
  }
  return taskbars;
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

namespace {

BOOL CALLBACK AddMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM list) {
  MONITORINFO info{};
  info.cbSize = sizeof info;
  if (GetMonitorInfoA(monitor, &info)) {
    const RECT& r = info.rcMonitor;
    reinterpret_cast<std::vector<MonitorArea>*>(list)->push_back(
        {Rect{r.left, r.top, r.right, r.bottom}, (info.dwFlags & MONITORINFOF_PRIMARY) != 0});
  }
  return TRUE;
}

} // namespace

std::vector<MonitorArea> Win32Desktop::GetMonitors() {
  std::vector<MonitorArea> monitors;
  EnumDisplayMonitors(nullptr, nullptr, &AddMonitor, reinterpret_cast<LPARAM>(&monitors));
  return monitors;
}

// Asked of each active display path. Windows before 10 and Wine answer the
// advanced colour question with an error, which leaves the monitor count to
// decide the fade alone.
bool Win32Desktop::AnyMonitorInHdr() {
  std::vector<DISPLAYCONFIG_PATH_INFO> paths;
  std::vector<DISPLAYCONFIG_MODE_INFO> modes;
  LONG result = ERROR_INSUFFICIENT_BUFFER;
  // A monitor can come between sizing the buffers and filling them; a few
  // tries, never a wait.
  for (int attempt = 0; attempt < 3 && result == ERROR_INSUFFICIENT_BUFFER; ++attempt) {
    UINT32 pathCount = 0, modeCount = 0;
    if (GetDisplayConfigBufferSizes(QDC_ONLY_ACTIVE_PATHS, &pathCount, &modeCount) != ERROR_SUCCESS) {
      return false;
    }
    paths.resize(pathCount);
    modes.resize(modeCount);
    result = QueryDisplayConfig(QDC_ONLY_ACTIVE_PATHS, &pathCount, paths.data(), &modeCount, modes.data(),
                                nullptr);
    paths.resize(pathCount);
  }
  if (result != ERROR_SUCCESS) return false;
  for (const DISPLAYCONFIG_PATH_INFO& path : paths) {
    DISPLAYCONFIG_GET_ADVANCED_COLOR_INFO colour{};
    colour.header.type = DISPLAYCONFIG_DEVICE_INFO_GET_ADVANCED_COLOR_INFO;
    colour.header.size = sizeof colour;
    colour.header.adapterId = path.targetInfo.adapterId;
    colour.header.id = path.targetInfo.id;
    if (DisplayConfigGetDeviceInfo(&colour.header) == ERROR_SUCCESS && colour.advancedColorEnabled) return true;
  }
  return false;
}

WindowHandle Win32Desktop::CoverMonitor(const Rect& area) {
  return reinterpret_cast<WindowHandle>(CreateMonitorCover(area));
}

void Win32Desktop::Uncover(WindowHandle cover) { DestroyWindow(ToHwnd(cover)); }

void Win32Desktop::MarkFullScreen(WindowHandle window, bool fullScreen) {
  MarkFullScreenToShell(ToHwnd(window), fullScreen);
}

} // namespace fablewick::win32

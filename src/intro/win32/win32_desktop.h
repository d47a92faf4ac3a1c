#pragma once

#include "intro/desktop.h"

namespace fablewick::win32 {

// The shell's taskbars ("Shell_TrayWnd" and each "Shell_SecondaryTrayWnd"),
// the SPI work area, the monitors, their advanced colour state and the black
// covers over them.
class Win32Desktop : public Desktop {
public:
  std::vector<WindowHandle> FindTaskbars() override;
  std::optional<Rect> GetWorkArea() override;
  void SetWorkArea(const Rect& area) override;
  void PlaceTaskbar(WindowHandle taskbar, TaskbarPlace place) override;
  void ShowTaskbar(WindowHandle taskbar, bool visible) override;
  ScreenSize GetScreenSize() override;
  std::vector<MonitorArea> GetMonitors() override;
  bool AnyMonitorInHdr() override;
  WindowHandle CoverMonitor(const Rect& area) override;
  void Uncover(WindowHandle cover) override;
  void MarkFullScreen(WindowHandle window, bool fullScreen) override;
};

} // namespace fablewick::win32

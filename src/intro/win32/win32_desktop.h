#pragma once

#include "intro/desktop.h"

namespace fablewick::win32 {

// The shell's "Shell_TrayWnd" taskbar and the SPI work area.
class Win32Desktop : public Desktop {
public:
  WindowHandle FindTaskbar() override;
  std::optional<Rect> GetWorkArea() override;
  void SetWorkArea(const Rect& area) override;
  void PlaceTaskbar(WindowHandle taskbar, TaskbarPlace place) override;
  void ShowTaskbar(WindowHandle taskbar, bool visible) override;
  ScreenSize GetScreenSize() override;
};

} // namespace fablewick::win32

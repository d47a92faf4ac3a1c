#pragma once

#include "intro/screen_types.h"

#include <optional>
#include <vector>

namespace fablewick {

enum class TaskbarPlace { Bottom, Topmost };

struct MonitorArea {
  Rect area;
  bool primary = false;
};

// The shell's taskbars, the monitors and the desktop work area the intro
// takes over.
class Desktop {
public:
  virtual ~Desktop() = default;
  // The main taskbar first, then the one of each other monitor; empty when
  // the shell has none.
  virtual std::vector<WindowHandle> FindTaskbars() = 0;
  // Empty when the shell does not answer.
  virtual std::optional<Rect> GetWorkArea() = 0;
  // Broadcast to other programs, but not saved to the user's profile.
  virtual void SetWorkArea(const Rect& area) = 0;
  // Changes only the z-order: no move, no resize, no activation.
  virtual void PlaceTaskbar(WindowHandle taskbar, TaskbarPlace place) = 0;
  virtual void ShowTaskbar(WindowHandle taskbar, bool visible) = 0;
  virtual ScreenSize GetScreenSize() = 0;

  // Every monitor of the desktop, in virtual-screen coordinates.
  virtual std::vector<MonitorArea> GetMonitors() = 0;
  // Whether any monitor shows advanced colour (HDR); false when the system
  // cannot tell.
  virtual bool AnyMonitorInHdr() = 0;
  // A black window of this process over the area, above other programs'
  // windows; zero when it cannot be made.
  virtual WindowHandle CoverMonitor(const Rect& area) = 0;
  virtual void Uncover(WindowHandle cover) = 0;
  // Whether the shell treats the window as full-screen, keeping every
  // taskbar it shows again behind it.
  virtual void MarkFullScreen(WindowHandle window, bool fullScreen) = 0;
};

} // namespace fablewick

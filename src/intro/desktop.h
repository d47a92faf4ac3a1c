#pragma once

#include "intro/screen_types.h"

#include <optional>

namespace fablewick {

enum class TaskbarPlace { Bottom, Topmost };

// The shell's taskbar and the desktop work area the intro takes over.
class Desktop {
public:
  virtual ~Desktop() = default;
  // Zero when there is no taskbar.
  virtual WindowHandle FindTaskbar() = 0;
  // Empty when the shell does not answer.
  virtual std::optional<Rect> GetWorkArea() = 0;
  // Broadcast to other programs, but not saved to the user's profile.
  virtual void SetWorkArea(const Rect& area) = 0;
  // Changes only the z-order: no move, no resize, no activation.
  virtual void PlaceTaskbar(WindowHandle taskbar, TaskbarPlace place) = 0;
  virtual void ShowTaskbar(WindowHandle taskbar, bool visible) = 0;
  virtual ScreenSize GetScreenSize() = 0;
};

} // namespace fablewick

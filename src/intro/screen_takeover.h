#pragma once

#include "intro/desktop.h"
#include "intro/screen_types.h"

namespace fablewick {

// What the intro has taken from the user's desktop and not yet given back.
// It is process-wide so that a crash handler, which has no window to ask,
// can still put the taskbar, the work area and the screen brightness back.
struct ScreenTakeover {
  Desktop* desktop = nullptr;
  bool dimmed = false;
  bool workAreaTaken = false;
  Rect savedWorkArea;
  WindowHandle hiddenTaskbar = 0;
};

ScreenTakeover& CurrentTakeover();

// Gives back whatever is still taken and forgets it, so a second call (or a
// call after a normal close) does nothing. Returns whether anything was
// given back.
bool RestoreTakenScreen();

} // namespace fablewick

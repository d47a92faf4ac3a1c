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

// Whether anything is still taken that the user would want back.
bool InForce(const ScreenTakeover& taken);

// Hears of every change to the process-wide take-over, so that something
// outside the process can give the screen back if the process ends holding
// it. A change that takes something is reported before it is made, one that
// gives something back after.
class TakeoverWatcher {
public:
  virtual ~TakeoverWatcher() = default;
  // Also called from crash handlers, so it must not throw.
  virtual void TakeoverChanged(const ScreenTakeover& taken) noexcept = 0;
};

// Null stops the reports.
void SetTakeoverWatcher(TakeoverWatcher* watcher);

// Records whether the screen is darker than the ramp saved at start-up.
void MarkDimmed(bool dimmed);

// Saves the work area and the taskbar of the current take-over's desktop,
// then gives the whole screen to the intro: the work area widened and the
// taskbar hidden below every window.
void TakeOverDesktop();

// Gives back the work area and the taskbar that `taken` holds, through its
// desktop, and forgets them. Returns whether anything was given back.
bool GiveBackDesktop(ScreenTakeover& taken);

// Gives back whatever is still taken and forgets it, so a second call (or a
// call after a normal close) does nothing. Returns whether anything was
// given back.
bool RestoreTakenScreen();

} // namespace fablewick

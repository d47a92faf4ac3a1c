#pragma once

#include "intro/desktop.h"
#include "intro/fade_overlay.h"
#include "intro/gamma_fade.h"
#include "intro/screen_types.h"

#include <array>
#include <cstddef>

namespace fablewick {

// Fixed sizes, so the record copies without allocating, even in a crash
// handler; a desktop with more taskbars or monitors keeps the rest as they are.
constexpr std::size_t MaxTaskbars = 8;
constexpr std::size_t MaxCovers = 8;

// What the intro has taken from the user's desktop and not yet given back.
// It is process-wide so that a crash handler, which has no window to ask,
// can still put the taskbar, the work area and the screen brightness back.
struct ScreenTakeover {
  Desktop* desktop = nullptr;
  bool dimmed = false;
  bool workAreaTaken = false;
  Rect savedWorkArea;
  // Zero slots are unused.
  std::array<WindowHandle, MaxTaskbars> hiddenTaskbars{};
  // These die with the process, so no one outside it needs to know of them:
  // the black windows over the other monitors, the window marked
  // full-screen to the shell, the fade overlay, and the fade that dimmed
  // the ramp, through which the screen is brightened again.
  std::array<WindowHandle, MaxCovers> covers{};
  WindowHandle fullScreenWindow = 0;
  FadeOverlay* overlay = nullptr;
  GammaFade* gamma = nullptr;
  bool overlayShown = false;
};

ScreenTakeover& CurrentTakeover();

// Whether anything is still taken that the user would want back from
// outside the process, should it end now.
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

// Saves the work area and the taskbars of the current take-over's desktop,
// then gives the whole screen to the intro: the work area widened, every
// taskbar hidden below every window, every monitor but the primary (where
// `introWindow` plays the movie) covered in black, and the intro window
// marked full-screen to the shell.
void TakeOverDesktop(WindowHandle introWindow);

// After the monitors changed while the screen is taken: covers for the
// monitors there are now, and any taskbar that came with a new one hidden.
void RetakeMonitors();

// Gives back the full-screen mark, the work area, the taskbars and the
// covers that `taken` holds, through its desktop, and forgets them. Returns whether anything was given back.
bool GiveBackDesktop(ScreenTakeover& taken);

// Gives back whatever is still taken and forgets it, so a second call (or a
// call after a normal close) does nothing. Returns whether anything was
// given back.
bool RestoreTakenScreen();

} // namespace fablewick

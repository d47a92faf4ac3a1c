#include "intro/screen_takeover.h"

#include "intro/gamma_fade.h"

#include <optional>

namespace fablewick {

namespace {

TakeoverWatcher* watcher = nullptr;

void Report(const ScreenTakeover& taken) {
  if (watcher != nullptr && &taken == &CurrentTakeover()) watcher->TakeoverChanged(taken);
}

} // namespace

ScreenTakeover& CurrentTakeover() {
  static ScreenTakeover takeover;
  return takeover;
}

bool InForce(const ScreenTakeover& taken) {
  return taken.dimmed || taken.workAreaTaken || taken.hiddenTaskbar != 0;
}

void SetTakeoverWatcher(TakeoverWatcher* newWatcher) { watcher = newWatcher; }

void MarkDimmed(bool dimmed) {
  ScreenTakeover& taken = CurrentTakeover();
  taken.dimmed = dimmed;
  Report(taken);
}

void TakeOverDesktop() {
  ScreenTakeover& taken = CurrentTakeover();
  if (taken.desktop == nullptr) return;
  Desktop& desktop = *taken.desktop;
  const WindowHandle taskbar = desktop.FindTaskbar();
  const std::optional<Rect> workArea = desktop.GetWorkArea();
  const ScreenSize screen = desktop.GetScreenSize();
  const Rect fullScreen{0, 0, screen.width, screen.height};
  // An unreadable work area is given back as the whole screen, the work area
  // of a desktop without a taskbar: less harm than an empty rectangle.
  taken.savedWorkArea = workArea.value_or(fullScreen);
  taken.workAreaTaken = true;
  taken.hiddenTaskbar = taskbar;
  Report(taken);
  desktop.SetWorkArea(fullScreen);
  if (taskbar != 0) {
    desktop.PlaceTaskbar(taskbar, TaskbarPlace::Bottom);
    desktop.ShowTaskbar(taskbar, false);
  }
}

bool GiveBackDesktop(ScreenTakeover& taken) {
  bool restored = false;
  // Each item is forgotten before it is given back: if giving it back
  // crashes, the handler that runs next must not try the same step again.
  // Only a show that read the work area may write it back; anything else
  // would hand the desktop an empty rectangle.
  if (taken.workAreaTaken && taken.desktop != nullptr) {
    taken.workAreaTaken = false;
    taken.desktop->SetWorkArea(taken.savedWorkArea);
    restored = true;
  }
  if (taken.hiddenTaskbar != 0 && taken.desktop != nullptr) {
    const WindowHandle taskbar = taken.hiddenTaskbar;
    taken.hiddenTaskbar = 0;
    taken.desktop->PlaceTaskbar(taskbar, TaskbarPlace::Topmost);
    taken.desktop->ShowTaskbar(taskbar, true);
    restored = true;
  }
  if (restored) Report(taken);
  return restored;
}

bool RestoreTakenScreen() {
  ScreenTakeover& taken = CurrentTakeover();
  bool restored = GiveBackDesktop(taken);
  if (taken.dimmed) {
    taken.dimmed = false;
    SetGammaLevelAll(100);
    Report(taken);
    restored = true;
  }
  return restored;
}

} // namespace fablewick

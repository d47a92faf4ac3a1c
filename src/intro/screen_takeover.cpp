#include "intro/screen_takeover.h"

#include "intro/gamma_fade.h"

namespace fablewick {

ScreenTakeover& CurrentTakeover() {
  static ScreenTakeover takeover;
  return takeover;
}

bool RestoreTakenScreen() {
  ScreenTakeover& taken = CurrentTakeover();
  bool restored = false;
  // Each item is forgotten before it is given back: if giving it back
  // crashes, the handler that runs next must not try the same step again.
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
  if (taken.dimmed) {
    taken.dimmed = false;
    SetGammaLevelAll(100);
    restored = true;
  }
  return restored;
}

} // namespace fablewick

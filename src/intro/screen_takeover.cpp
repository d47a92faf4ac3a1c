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
  if (taken.dimmed || taken.workAreaTaken) return true;
  for (WindowHandle taskbar : taken.hiddenTaskbars) {
    if (taskbar != 0) return true;
  }
  return false;
}

void SetTakeoverWatcher(TakeoverWatcher* newWatcher) { watcher = newWatcher; }

void MarkDimmed(bool dimmed) {
  ScreenTakeover& taken = CurrentTakeover();
  taken.dimmed = dimmed;
  Report(taken);
}

namespace {

bool Holds(const ScreenTakeover& taken, WindowHandle taskbar) {
  for (WindowHandle held : taken.hiddenTaskbars) {
    if (held == taskbar) return true;
  }
  return false;
}

// Notes the taskbars not yet hidden in free slots (reported before any is
// touched), then hides them.
void HideTaskbars(ScreenTakeover& taken, Desktop& desktop) {
  std::array<WindowHandle, MaxTaskbars> fresh{};
  std::size_t count = 0;
  for (WindowHandle taskbar : desktop.FindTaskbars()) {
    if (taskbar == 0 || Holds(taken, taskbar)) continue;
    for (WindowHandle& slot : taken.hiddenTaskbars) {
      if (slot != 0) continue;
      slot = taskbar;
      fresh[count++] = taskbar;
      break;
    }
  }
  if (count == 0) return;
  Report(taken);
  for (std::size_t i = 0; i < count; ++i) {
    desktop.PlaceTaskbar(fresh[i], TaskbarPlace::Bottom);
    desktop.ShowTaskbar(fresh[i], false);
  }
}

void CoverOtherMonitors(ScreenTakeover& taken, Desktop& desktop) {
  std::size_t next = 0;
  for (const MonitorArea& monitor : desktop.GetMonitors()) {
    if (monitor.primary || next == MaxCovers) continue;
    taken.covers[next] = desktop.CoverMonitor(monitor.area);
    if (taken.covers[next] != 0) ++next;
  }
}

void Uncover(ScreenTakeover& taken, Desktop& desktop) {
  for (WindowHandle& cover : taken.covers) {
    const WindowHandle held = cover;
    cover = 0;
    if (held != 0) desktop.Uncover(held);
  }
}

} // namespace

void TakeOverDesktop(WindowHandle introWindow) {
  ScreenTakeover& taken = CurrentTakeover();
  if (taken.desktop == nullptr) return;
  Desktop& desktop = *taken.desktop;
  const std::optional<Rect> workArea = desktop.GetWorkArea();
  const ScreenSize screen = desktop.GetScreenSize();
  const Rect fullScreen{0, 0, screen.width, screen.height};
  // An unreadable work area is given back as the whole screen, the work area
  // of a desktop without a taskbar: less harm than an empty rectangle.
  taken.savedWorkArea = workArea.value_or(fullScreen);
  taken.workAreaTaken = true;
  Report(taken);
  desktop.SetWorkArea(fullScreen);
  HideTaskbars(taken, desktop);
  CoverOtherMonitors(taken, desktop);
  if (introWindow != 0) {
    taken.fullScreenWindow = introWindow;
    desktop.MarkFullScreen(introWindow, true);
  }
}

void RetakeMonitors() {
  ScreenTakeover& taken = CurrentTakeover();
  if (taken.desktop == nullptr || !taken.workAreaTaken) return;
  Uncover(taken, *taken.desktop);
  CoverOtherMonitors(taken, *taken.desktop);
  HideTaskbars(taken, *taken.desktop);
}

bool GiveBackDesktop(ScreenTakeover& taken) {
  bool restored = false;
  // Each item is forgotten before it is given back: if giving it back
  // crashes, the handler that runs next must not try the same step again.
  if (taken.fullScreenWindow != 0 && taken.desktop != nullptr) {
    const WindowHandle window = taken.fullScreenWindow;
    taken.fullScreenWindow = 0;
    taken.desktop->MarkFullScreen(window, false);
  }
  // Only a show that read the work area may write it back; anything else
  // would hand the desktop an empty rectangle.
  if (taken.workAreaTaken && taken.desktop != nullptr) {
    taken.workAreaTaken = false;
    taken.desktop->SetWorkArea(taken.savedWorkArea);
    restored = true;
  }
  for (WindowHandle& slot : taken.hiddenTaskbars) {
    if (slot == 0 || taken.desktop == nullptr) continue;
    const WindowHandle taskbar = slot;
    slot = 0;
    taken.desktop->PlaceTaskbar(taskbar, TaskbarPlace::Topmost);
    taken.desktop->ShowTaskbar(taskbar, true);
    restored = true;
  }
  if (taken.desktop != nullptr) {
    for (WindowHandle cover : taken.covers) restored = restored || cover != 0;
    Uncover(taken, *taken.desktop);
  }
  if (restored) Report(taken);
  return restored;
}

bool RestoreTakenScreen() {
  ScreenTakeover& taken = CurrentTakeover();
  bool restored = GiveBackDesktop(taken);
  if (taken.dimmed) {
    taken.dimmed = false;
    if (taken.gamma != nullptr) taken.gamma->SetGammaLevelAll(100);
    Report(taken);
    restored = true;
  }
  if (taken.overlayShown && taken.overlay != nullptr) {
    taken.overlayShown = false;
    taken.overlay->Hide();
    restored = true;
  }
  return restored;
}

} // namespace fablewick

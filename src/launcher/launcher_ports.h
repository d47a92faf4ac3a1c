#pragma once

#include "app/clock.h"
#include "app/messages.h"
#include "launcher/registry.h"
#include "launcher/shell.h"

#include <string>

namespace fablewick {

// What the launcher's policy needs from the rest of the program: its own
// window's picture and menu item, the sound engine, the frame and the intro
// window. The launcher window implements it.
class LauncherHost {
public:
  virtual ~LauncherHost() = default;

  // The Background picture. Showing copies a stored picture into the
  // displayed one; the overlay is drawn onto the displayed copy only.
  virtual void ShowBasePicture() = 0;
  virtual void ShowHoverPicture(int region) = 0;
  virtual void DrawPressedOverlay(int region, int left, int top) = 0;

  // The sound engine. A missing resource or disabled sound plays nothing.
  virtual void PlaySoundResource(int id) = 0;
  virtual void StopAllSounds() = 0;
  virtual bool AnySoundPlaying() = 0;

  // The frame's terminate request: it only posts, so the caller runs on.
  virtual void Terminate() = 0;

  // The intro window: which window it brings back on closing (the launcher),
  // whether any movie file is present, and its modal show, which returns once
  // the intro has closed.
  virtual void SetMainForm() = 0;
  virtual bool AnyMovieExists() = 0;
  virtual void ShowIntroModal() = 0;

  // The check mark of the "Play Opening Music" item.
  virtual bool PlayOpeningMusicChecked() = 0;
  virtual void SetPlayOpeningMusicChecked(bool checked) = 0;
};

struct LauncherPorts {
  LauncherHost& host;
  Shell& shell;
  Registry& registry;
  Messages& messages;
  Clock& clock;
  // The package's folder when it could not be made current at start (see
  // EnterGameFolder), so that a game missing from where the launcher looked
  // is named with the folder it was meant to be in; empty otherwise.
  std::u16string unreachableFolder{};
};

} // namespace fablewick

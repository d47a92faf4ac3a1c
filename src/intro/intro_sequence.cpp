#include "intro/intro_sequence.h"

#include "intro/screen_takeover.h"

#include <exception>
#include <string>

namespace fablewick {

IntroSequence::IntroSequence(MoviePlayer& vcr, IntroView& view, Desktop& desktop, FadeOverlay& overlay,
                             Clock& clock)
    : VCR(vcr), view_(view), desktop_(desktop), fade_(overlay, clock) {
  MainForm = 0;
}

IntroSequence::~IntroSequence() {
  // The window can go away without a close step (a quit message inside its
  // modal show skips it); the desktop must not stay taken over.
  RestoreTakenScreen();
  ScreenTakeover& taken = CurrentTakeover();
  if (taken.desktop == &desktop_) taken.desktop = nullptr;
}

void IntroSequence::FormCreate() {
  const ScreenSize screen = desktop_.GetScreenSize();
  view_.SetClientSize(screen.width, screen.height);
}

void IntroSequence::FormShow() {
  CurrentTakeover().desktop = &desktop_;

  view_.SetTVColourToForm();
  MovieIndex = 0;
  fade_.BeginShowing();
  fade_.Fade(FadeDirection::Out);
  TakeOverDesktop(view_.Window());
  if (!PlayNextMovie()) view_.PostClose();
}

void IntroSequence::FormActivate() { fade_.SetLevel(100); }

void IntroSequence::DisplayChanged() { RetakeMonitors(); }

void IntroSequence::FormClose() {
  fade_.SetLevel(0);
  GiveBackDesktop(CurrentTakeover());
  VCR.Close();
  if (MainForm != 0) view_.ShowMainForm(MainForm);
  fade_.Fade(FadeDirection::In);
}

void IntroSequence::TVClick() {
  if (PlayNextMovie()) return;
  if (VCR.IsOpen() && VCR.IsPlaying()) {
    VCR.Stop();
    VCR.SeekToStart();
    if (VCR.CanEject()) VCR.Eject();
  }
  view_.Close();
}

void IntroSequence::FormClick() { TVClick(); }

void IntroSequence::VCRNotify() {
  // Skipping a movie closes its device, which may post an aborted or
  // superseded notice; only a movie that ran to its end moves on.
  if (VCR.LastNotification() == MovieNotification::Successful) TVClick();
}

bool IntroSequence::PlayNextMovie() {
  while (MovieIndex < MovieCount) {
    const bool played = PlayMovie(MovieList[static_cast<std::size_t>(MovieIndex)]);
    ++MovieIndex;
    if (played) return true;
  }
  return false;
}

bool IntroSequence::AnyMovieExists() {
  for (std::string_view fileName : MovieList) {
    if (view_.IsPlainFile(std::string(fileName))) return true;
  }
  return false;
}

bool IntroSequence::PlayMovie(std::string_view fileName) {
  const std::string name(fileName);
  if (!view_.IsPlainFile(name)) return false;
  try {
    VCR.Open(name);
    VCR.SeekToStart();
    view_.ShowTV(false);
    // Right after opening, the destination is the movie's own frame at the
    // origin, so the panel takes the movie's natural size.
    if (VCR.HasVideo()) {
      const Rect across = VCR.DestinationRect();
      view_.SetTVWidth(across.right - across.left);
      const Rect down = VCR.DestinationRect();
      view_.SetTVHeight(down.bottom - down.top);
    }
    // Truncating division: a movie larger than the screen gets a negative
    // offset and is clipped evenly on both sides.
    view_.SetTVPosition(view_.ClientWidth() / 2 - view_.TVWidth() / 2,
                        view_.ClientHeight() / 2 - view_.TVHeight() / 2);
    view_.ShowTV(true);
    VCR.Play();
    return true;
  } catch (const std::exception&) {
    // A movie that cannot be played is skipped without telling the user.
    return false;
  }
}

void IntroSequence::SetMainForm(WindowHandle mainForm) { MainForm = mainForm; }

} // namespace fablewick

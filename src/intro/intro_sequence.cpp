#include "intro/intro_sequence.h"

#include "intro/screen_takeover.h"

#include <exception>
#include <string>

namespace fablewick {

IntroSequence::IntroSequence(MoviePlayer& vcr, IntroView& view, Desktop& desktop, FadeOverlay& overlay,
                             GammaFade& gamma, Clock& clock)
    : VCR(vcr), view_(view), desktop_(desktop), fade_(overlay, gamma, clock) {
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
  lightPending_ = false;
  fade_.BeginShowing(RampMayCarryTheFade());
  fade_.Fade(FadeDirection::Out);
  TakeOverDesktop(view_.Window());
  if (!PlayNextMovie()) view_.PostClose();
}

// A composited desktop shows a window only once its paint has reached the
// screen; lit before that, the screen would show a frame of the desktop
// behind the still empty window.
void IntroSequence::FormActivate() {
  lightPending_ = true;
  LightOncePresented();
}

void IntroSequence::FramePainted() { LightOncePresented(); }

bool IntroSequence::RampMayCarryTheFade() {
  return RampCarriesFade(desktop_.GetMonitors().size(), desktop_.AnyMonitorInHdr());
}

void IntroSequence::LightOncePresented() {
  if (!lightPending_ || !view_.PresentOnScreen(view_.Window())) return;
  lightPending_ = false;
  fade_.SetLevel(100);
}

void IntroSequence::DisplayChanged() {
  RetakeMonitors();
  // A monitor plugged in during the movie would stay lit through the close
  // on the primary monitor's ramp; one switched to HDR might show none of it.
  if (!RampMayCarryTheFade()) fade_.LeaveTheRamp();
}

void IntroSequence::FormClose() {
  lightPending_ = false;
  fade_.SetLevel(0);
  GiveBackDesktop(CurrentTakeover());
  VCR.Close();
  if (MainForm != 0) {
    view_.ShowMainForm(MainForm);
    // The fade in sleeps without handling messages: unpainted, the launcher
    // would light up as whatever the screen held before it.
    view_.PresentOnScreen(MainForm);
  }
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
  if (!WorthOpening(view_.CheckDecoder(name))) return false;
  try {
    VCR.Open(name);
    VCR.SeekToStart();
    view_.ShowTV(false);
    // Right after opening, the destination is the movie's own frame at the
    // origin, so the panel takes the movie's natural size.
    if (VCR.HasVideo()) {
      const Rect across = VCR.DestinationRect();
      const Rect down = VCR.DestinationRect();
      const std::int32_t width = across.right - across.left, height = down.bottom - down.top;
      const MoviePlace place = PlaceMovie(width, height, view_.Dpi(), view_.ClientWidth(), view_.ClientHeight());
      if (place.width != width || place.height != height) {
        VCR.SetDestination(Rect{0, 0, place.width, place.height});
      }
      view_.SetTVWidth(place.width);
      view_.SetTVHeight(place.height);
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

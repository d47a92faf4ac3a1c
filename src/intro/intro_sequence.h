#pragma once

#include "app/clock.h"
#include "intro/desktop.h"
#include "intro/fade_overlay.h"
#include "intro/gamma_fade.h"
#include "intro/intro_view.h"
#include "intro/movie_player.h"
#include "intro/screen_fade.h"
#include "intro/screen_types.h"

#include <array>
#include <cstdint>
#include <string_view>

namespace fablewick {

constexpr int MovieCount = 2;
inline constexpr std::array<std::string_view, MovieCount> MovieList = {
    "Kelvarn Movie.avi",
    "Quillmere Movie.avi",
};

// The intro movie window's decisions: which movie plays next, how the panel
// is sized and centred, and how the screen is taken over at show and given
// back at close. The window forwards its events here by the same names.
class IntroSequence {
public:
  IntroSequence(MoviePlayer& vcr, IntroView& view, Desktop& desktop, FadeOverlay& overlay, GammaFade& gamma,
                Clock& clock);
  ~IntroSequence();
  IntroSequence(const IntroSequence&) = delete;
  IntroSequence& operator=(const IntroSequence&) = delete;

  void FormCreate();
  void FormShow();
  void TVClick();
  void VCRNotify();
  void FormClick();
  void FormClose();
  void FormActivate();
  // A monitor came or went while the window may hold the screen.
  void DisplayChanged();
  // The window has painted: if it was activated before it could show, the
  // screen lights now.
  void FramePainted();

  bool PlayNextMovie();
  bool AnyMovieExists();
  bool PlayMovie(std::string_view fileName);
  void SetMainForm(WindowHandle mainForm);

  std::int32_t MovieIndex = 0;
  WindowHandle MainForm = 0;

private:
  void LightOncePresented();
  // Asked of the monitors there are now, at a showing's start and at every
  // change of them.
  bool RampMayCarryTheFade();

  MoviePlayer& VCR;
  IntroView& view_;
  Desktop& desktop_;
  ScreenFade fade_;
  bool lightPending_ = false;
};

} // namespace fablewick

#pragma once

#include "app/clock.h"
#include "intro/desktop.h"
#include "intro/intro_view.h"
#include "intro/movie_player.h"
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

constexpr std::uint32_t FadeStepSleepMs = 20;
constexpr int FadeSteps = 21;

enum class FadeDirection { Out, In };

// Levels 100, 95, ... 0 (out) or 0, 5, ... 100 (in), each after a sleep, so
// a fade takes about 0.42 s on the user-interface thread.
void FadeGamma(Clock& clock, FadeDirection direction);

// The intro movie window's decisions: which movie plays next, how the panel
// is sized and centred, and how the screen is taken over at show and given
// back at close. The window forwards its events here by the same names.
class IntroSequence {
public:
  IntroSequence(MoviePlayer& vcr, IntroView& view, Desktop& desktop, Clock& clock);
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

  bool PlayNextMovie();
  bool AnyMovieExists();
  bool PlayMovie(std::string_view fileName);
  void SetMainForm(WindowHandle mainForm);

  std::int32_t MovieIndex = 0;
  WindowHandle MainForm = 0;

private:
  MoviePlayer& VCR;
  IntroView& view_;
  Desktop& desktop_;
  Clock& clock_;
};

} // namespace fablewick

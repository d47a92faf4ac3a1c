#pragma once

#include "app/clock.h"
#include "intro/fade_overlay.h"
#include "intro/gamma_fade.h"

#include <cstdint>

namespace fablewick {

enum class FadeDirection { Out, In };

// A fade: `steps` levels spread evenly from full brightness to black (out)
// or back (in), each after a sleep of `stepMs`.
struct FadeSchedule {
  int steps;
  std::uint32_t stepMs;

  constexpr int Level(int step, FadeDirection direction) const {
    const int percent = step * 100 / (steps - 1);
    return direction == FadeDirection::In ? percent : 100 - percent;
  }
};

// 100, 95, ... 0 out and 0, 5, ... 100 in, 20 ms apart.
inline constexpr FadeSchedule IntroFade{21, 20};

// The opacity of the overlay that leaves `level` percent of the light.
std::uint8_t OverlayOpacity(int level);

// Darkens the screen to a level through the display's gamma ramp wherever
// the display takes the ramp, and through the overlay from the first level
// it refuses (or at every level when it has no ramp). A fade in after such a
// switch retraces the fade out: the overlay for the levels it covered, the
// ramp above them, so the screen never flashes bright between the two.
class ScreenFade {
public:
  ScreenFade(FadeOverlay& overlay, GammaFade& gamma, Clock& clock);
  ~ScreenFade();
  ScreenFade(const ScreenFade&) = delete;
  ScreenFade& operator=(const ScreenFade&) = delete;

  // Reads the ramp in force now, which every full level of this showing
  // gives back, and forgets the path the previous showing took. Without
  // `rampAllowed` the overlay carries every level.
  void BeginShowing(bool rampAllowed = true);
  // Every level of IntroFade in turn, each after its sleep on the calling
  // thread; no sleeps when nothing can darken.
  void Fade(FadeDirection direction);
  // From here on the overlay carries every level, if the screen is at full
  // brightness now (a switch mid-fade could flash).
  void LeaveTheRamp();
  void SetLevel(int level);

  // The highest level the overlay stands for in this showing: -1 while the
  // ramp has taken every level, 100 when there is no ramp.
  int OverlayFrom() const { return overlayFrom_; }

private:
  bool CanDarken() const { return rampAvailable_ || !overlayBroken_; }
  // True when the display took the level (read back to check).
  bool RampLevel(int level);
  void OverlayLevel(int level);
  void TakeDownOverlay();

  FadeOverlay& overlay_;
  GammaFade& gamma_;
  Clock& clock_;
  bool rampAvailable_ = false;
  bool overlayBroken_ = false;
  int overlayFrom_ = 100;
};

} // namespace fablewick

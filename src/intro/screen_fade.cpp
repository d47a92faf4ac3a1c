#include "intro/screen_fade.h"

#include "intro/screen_takeover.h"

namespace fablewick {

std::uint8_t OverlayOpacity(int level) {
  if (level <= 0) return 255;
  if (level >= 100) return 0;
  return static_cast<std::uint8_t>((100 - level) * 255 / 100);
}

ScreenFade::ScreenFade(FadeOverlay& overlay, GammaFade& gamma, Clock& clock)
    : overlay_(overlay), gamma_(gamma), clock_(clock) {
  ScreenTakeover& taken = CurrentTakeover();
  taken.overlay = &overlay_;
  taken.gamma = &gamma_;
}

ScreenFade::~ScreenFade() {
  ScreenTakeover& taken = CurrentTakeover();
  if (taken.gamma == &gamma_) taken.gamma = nullptr;
  if (taken.overlay != &overlay_) return;
  TakeDownOverlay();
  taken.overlay = nullptr;
}

void ScreenFade::BeginShowing(bool rampAllowed) {
  ScreenTakeover& taken = CurrentTakeover();
  if (!rampAllowed) {
    // A ramp left dimmed by an interrupted showing would outlast this one.
    if (taken.dimmed) {
      gamma_.SetGammaLevelAll(100);
      MarkDimmed(false);
    }
    rampAvailable_ = false;
    overlayBroken_ = false;
    overlayFrom_ = 100;
    return;
  }
  taken.overlay = &overlay_;
  taken.gamma = &gamma_;
  // The ramp to give back is the one in force now, which the system (night
  // light, a calibration tool) may have changed since the last showing. A
  // screen still dimmed by an interrupted fade keeps the ramp saved before.
  if (!taken.dimmed) gamma_.FreeGammaList();
  rampAvailable_ = gamma_.GammaAvailable() != 0;
  overlayBroken_ = false;
  overlayFrom_ = rampAvailable_ ? -1 : 100;
}

void ScreenFade::LeaveTheRamp() {
  const ScreenTakeover& taken = CurrentTakeover();
  if (!rampAvailable_ || taken.dimmed || taken.overlayShown) return;
  rampAvailable_ = false;
  overlayFrom_ = 100;
}

void ScreenFade::Fade(FadeDirection direction) {
  for (int step = 0; step < IntroFade.steps; ++step) {
    if (!CanDarken()) return;
    clock_.Sleep(IntroFade.stepMs);
    SetLevel(IntroFade.Level(step, direction));
  }
}

void ScreenFade::SetLevel(int level) {
  if (level > overlayFrom_ || overlayBroken_) {
    if (!rampAvailable_) return;
    if (RampLevel(level)) {
      // Only now, with the ramp at this level, may the overlay from the
      // levels below come down: the screen is never brighter than either.
      TakeDownOverlay();
      return;
    }
    // Without an overlay the last level the display took stays in force.
    if (overlayBroken_) return;
    overlayFrom_ = level;
  }
  OverlayLevel(level);
}

bool ScreenFade::RampLevel(int level) {
  if (level < 100 && !CurrentTakeover().dimmed) MarkDimmed(true);
  const bool took = gamma_.SetGammaLevelAllChecked(static_cast<std::int16_t>(level)) != 0;
  if (level >= 100 && CurrentTakeover().dimmed) MarkDimmed(false);
  return took;
}

void ScreenFade::OverlayLevel(int level) {
  ScreenTakeover& taken = CurrentTakeover();
  if (level >= 100) {
    TakeDownOverlay();
  } else {
    taken.overlayShown = true;
    if (!overlay_.Show(OverlayOpacity(level))) {
      overlayBroken_ = true;
      TakeDownOverlay();
      return;
    }
  }
  // The overlay darkens the screen on its own from here: the ramp goes back
  // to the saved one at once, so no dimmed ramp outlives the intro.
  if (rampAvailable_ && taken.dimmed) {
    gamma_.SetGammaLevelAll(100);
    MarkDimmed(false);
  }
}

void ScreenFade::TakeDownOverlay() {
  ScreenTakeover& taken = CurrentTakeover();
  if (!taken.overlayShown) return;
  taken.overlayShown = false;
  overlay_.Hide();
}

} // namespace fablewick

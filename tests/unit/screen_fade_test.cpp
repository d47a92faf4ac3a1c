#include "intro/screen_fade.h"

#include "intro/gamma_fade.h"
#include "intro/screen_takeover.h"

#include "fakes/fake_clock.h"
#include "fakes/fake_fade_overlay.h"
#include "fakes/fake_gamma_display.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace fablewick {
namespace {

using fakes::FakeGammaDisplay;
using Log = std::vector<std::string>;

// Which of the ramp and the overlay carries each level, as the display
// takes or refuses ramps, and what the screen is left with.
class ScreenFadeTest : public ::testing::Test {
protected:
  void SetUp() override {
    CurrentTakeover() = ScreenTakeover{};
    gamma.Install(FakeGammaDisplay::Desktop, saved);
    gamma.log = &log;
    overlay.log = &log;
  }
  // Like Wine's X11 driver: every ramp but the all-black one.
  void RefuseBlack() {
    gamma.accepts = [](const GammaRamp& ramp) { return ramp != GammaRamp{}; };
  }
  // Like Windows 10: nothing far below the saved ramp.
  void RefuseBelow(int level) {
    gamma.accepts = [this, level](const GammaRamp& ramp) {
      return gamma.LevelOf(FakeGammaDisplay::Desktop, ramp) >= level;
    };
  }
  const GammaRamp& Shown() { return gamma.displays[FakeGammaDisplay::Desktop]; }
  // A whole showing as the intro window drives it.
  Log Showing() {
    log.clear();
    fade.BeginShowing();
    fade.Fade(FadeDirection::Out);
    log.push_back("-- shown");
    fade.SetLevel(100);
    log.push_back("-- closing");
    fade.SetLevel(0);
    fade.Fade(FadeDirection::In);
    return log;
  }
  static Log Gamma(int from, int to, int by) {
    Log steps;
    for (int level = from; by > 0 ? level <= to : level >= to; level += by) {
      steps.push_back("gamma " + std::to_string(level));
    }
    return steps;
  }
  static Log Join(std::initializer_list<Log> parts) {
    Log all;
    for (const Log& part : parts) all.insert(all.end(), part.begin(), part.end());
    return all;
  }

  Log log;
  fakes::FakeClock clock;
  FakeGammaDisplay gamma;
  GammaFade ramps{gamma};
  fakes::FakeFadeOverlay overlay;
  GammaRamp saved = FakeGammaDisplay::DistinctRamp(3);
  ScreenFade fade{overlay, ramps, clock};
};

TEST_F(ScreenFadeTest, ARampRefusedOnlyAtBlackHandsBlackToTheOverlayAndTheFadeInRetracesIt) {
  RefuseBlack();
  const Log steps = Showing();
  EXPECT_EQ(steps, Join({Gamma(100, 0, -5),
                         {"overlay 255", "gamma 100", "-- shown", "gamma 100", "overlay down", "-- closing",
                          "overlay 255", "overlay 255", "gamma 5", "overlay down"},
                         Gamma(10, 100, 5)}));
  EXPECT_EQ(Shown(), saved);
  EXPECT_FALSE(overlay.shown);
  EXPECT_FALSE(CurrentTakeover().dimmed);
}

TEST_F(ScreenFadeTest, ADisplayWithAFloorFadesOnTheRampToItAndOnTheOverlayBelow) {
  RefuseBelow(50);
  Showing();
  const Log out(log.begin(), log.begin() + 14);
  EXPECT_EQ(out, Join({Gamma(100, 45, -5), {"overlay 140", "gamma 100"}}));
  // In: the overlay up to the level where it took over, the ramp above.
  const auto closing = std::find(log.begin(), log.end(), "-- closing") - log.begin();
  const Log in(log.begin() + closing + 1, log.end());
  EXPECT_EQ(in, Join({{"overlay 255", "overlay 255", "overlay 242", "overlay 229", "overlay 216", "overlay 204",
                       "overlay 191", "overlay 178", "overlay 165", "overlay 153", "overlay 140", "gamma 50",
                       "overlay down"},
                      Gamma(55, 100, 5)}));
  EXPECT_EQ(Shown(), saved);
}

TEST_F(ScreenFadeTest, ARampThatReadsBackDifferentCountsAsRefused) {
  gamma.ignoring.insert(FakeGammaDisplay::Desktop);
  fade.BeginShowing();
  fade.Fade(FadeDirection::Out);
  EXPECT_EQ(fade.OverlayFrom(), 95);
  EXPECT_TRUE(overlay.shown);
  EXPECT_EQ(overlay.opacity, 255);
  EXPECT_FALSE(CurrentTakeover().dimmed) << "the guard would rewrite a ramp nobody changed";
}

TEST_F(ScreenFadeTest, AnOverlayThatCannotBeMadeLeavesTheLastLevelTheDisplayTookAndIsTriedAgainNextShowing) {
  RefuseBlack();
  overlay.makeable = false;
  fade.BeginShowing();
  fade.Fade(FadeDirection::Out);
  EXPECT_EQ(gamma.LevelOf(FakeGammaDisplay::Desktop, Shown()), 5);
  EXPECT_TRUE(CurrentTakeover().dimmed);
  fade.SetLevel(100);
  EXPECT_EQ(Shown(), saved);
  EXPECT_FALSE(CurrentTakeover().dimmed);

  overlay.makeable = true;
  fade.BeginShowing();
  fade.SetLevel(0);
  EXPECT_EQ(overlay.opacity, 255) << "the black the display refuses";
  fade.SetLevel(100);
  for (const bool makeable : {false, true}) {
    overlay.makeable = makeable;
    fade.BeginShowing(/*rampAllowed=*/false);
    fade.Fade(FadeDirection::Out);
  }
  EXPECT_EQ(overlay.opacity, 255) << "a showing with the overlay alone";
}

TEST_F(ScreenFadeTest, EachShowingGivesBackTheRampInForceJustBeforeItsFade) {
  Showing();
  const GammaRamp nightLight = FakeGammaDisplay::DistinctRamp(40);
  gamma.Install(FakeGammaDisplay::Desktop, nightLight);
  Showing();
  EXPECT_EQ(Shown(), nightLight);

  // A screen an interrupted fade left dim is no ramp to keep.
  fade.BeginShowing();
  fade.SetLevel(30);
  fade.BeginShowing();
  fade.SetLevel(100);
  EXPECT_EQ(Shown(), nightLight);
}

TEST_F(ScreenFadeTest, AnOverlayLeftUpIsTakenDownWithWhateverElseIsGivenBack) {
  gamma.displays.clear();
  fade.BeginShowing();
  fade.SetLevel(0);
  ASSERT_TRUE(overlay.shown);
  EXPECT_TRUE(RestoreTakenScreen());
  EXPECT_FALSE(overlay.shown);
  EXPECT_FALSE(RestoreTakenScreen());
}

// A crash handler has no fade to ask: the take-over brightens the screen
// through the fade that dimmed it, and through none once that is gone.
TEST_F(ScreenFadeTest, ARampLeftDimIsGivenBackThroughTheFadeThatDimmedItWhileThatLives) {
  fade.BeginShowing();
  fade.SetLevel(30);
  ASSERT_NE(Shown(), saved);
  EXPECT_TRUE(RestoreTakenScreen());
  EXPECT_EQ(Shown(), saved);

  FakeGammaDisplay another;
  another.Install(FakeGammaDisplay::Desktop, saved);
  GammaFade itsRamps{another};
  {
    ScreenFade itsFade{overlay, itsRamps, clock};
    itsFade.BeginShowing();
    itsFade.SetLevel(30);
  }
  another.writes.clear();
  gamma.writes.clear();
  EXPECT_TRUE(RestoreTakenScreen());
  EXPECT_TRUE(another.writes.empty());
  EXPECT_TRUE(gamma.writes.empty());
}

} // namespace
} // namespace fablewick

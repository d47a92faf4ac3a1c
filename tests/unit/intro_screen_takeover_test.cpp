#include "intro/screen_takeover.h"

#include "intro/gamma_fade.h"
#include "intro/intro_sequence.h"

#include "fakes/fake_clock.h"
#include "fakes/fake_desktop.h"
#include "fakes/fake_fade_overlay.h"
#include "fakes/fake_gamma_display.h"
#include "fakes/fake_intro_view.h"
#include "fakes/fake_movie_player.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace fablewick {
namespace {

using fakes::FakeGammaDisplay;

struct Crash : std::runtime_error {
  Crash() : std::runtime_error("crash") {}
};

// What a crash handler finds when the program dies part-way through the
// intro, and what it gives back.
class ScreenTakeoverTest : public ::testing::Test {
protected:
  void SetUp() override {
    CurrentTakeover() = ScreenTakeover{};
    gamma.Install(FakeGammaDisplay::Desktop, startUpRamp);
    view.files.insert("Kelvarn Movie.avi");
    vcr.movies["Kelvarn Movie.avi"] = {};
    intro = std::make_unique<IntroSequence>(vcr, view, desktop, overlay, ramps, clock);
    intro->FormCreate();
  }

  void CrashOnSleep(std::size_t n) {
    clock.onSleep = [this, n](std::uint32_t) {
      if (clock.sleeps.size() == n) throw Crash();
    };
  }
  const GammaRamp& Shown() { return gamma.displays[FakeGammaDisplay::Desktop]; }

  fakes::FakeClock clock;
  FakeGammaDisplay gamma;
  GammaFade ramps{gamma};
  fakes::FakeDesktop desktop;
  fakes::FakeMoviePlayer vcr;
  fakes::FakeIntroView view;
  fakes::FakeFadeOverlay overlay;
  GammaRamp startUpRamp = FakeGammaDisplay::DistinctRamp(21);
  std::unique_ptr<IntroSequence> intro;
};

TEST_F(ScreenTakeoverTest, ACrashBeforeTheWindowIsActivatedGivesEverythingBackOnce) {
  intro->FormShow();
  ASSERT_FALSE(desktop.taskbarVisible);
  ASSERT_EQ(Shown(), GammaRamp{});

  EXPECT_TRUE(RestoreTakenScreen());
  EXPECT_EQ(desktop.workArea, (Rect{0, 0, 1024, 738}));
  EXPECT_TRUE(desktop.taskbarVisible);
  EXPECT_EQ(desktop.taskbarPlace, TaskbarPlace::Topmost);
  EXPECT_EQ(Shown(), startUpRamp);

  const auto writes = desktop.workAreaWrites.size();
  EXPECT_FALSE(RestoreTakenScreen());
  EXPECT_EQ(desktop.workAreaWrites.size(), writes);
}

TEST_F(ScreenTakeoverTest, ACrashDuringTheFadeOutRestoresOnlyTheBrightness) {
  CrashOnSleep(7);
  EXPECT_THROW(intro->FormShow(), Crash);
  ASSERT_NE(Shown(), startUpRamp);

  EXPECT_TRUE(RestoreTakenScreen());
  EXPECT_EQ(Shown(), startUpRamp);
  EXPECT_TRUE(desktop.workAreaWrites.empty());
  EXPECT_TRUE(desktop.taskbarVisible);
}

TEST_F(ScreenTakeoverTest, ACrashDuringTheFadeInAfterCloseRestoresOnlyTheBrightness) {
  intro->FormShow();
  intro->FormActivate();
  CrashOnSleep(IntroFade.steps + 3);
  EXPECT_THROW(intro->FormClose(), Crash);
  const auto writes = desktop.workAreaWrites.size();
  ASSERT_NE(Shown(), startUpRamp);

  EXPECT_TRUE(RestoreTakenScreen());
  EXPECT_EQ(Shown(), startUpRamp);
  EXPECT_EQ(desktop.workAreaWrites.size(), writes);
}

TEST_F(ScreenTakeoverTest, AfterANormalCloseThereIsNothingLeftToGiveBack) {
  intro->FormShow();
  intro->FormActivate();
  intro->FormClick();
  intro->FormClose();
  const auto writes = gamma.writes.size();

  EXPECT_FALSE(RestoreTakenScreen());
  EXPECT_EQ(gamma.writes.size(), writes);
}

TEST_F(ScreenTakeoverTest, ACloseWithoutAShowLeavesTheWorkAreaAlone) {
  intro->FormClose();
  EXPECT_TRUE(desktop.workAreaWrites.empty());
}

// ---------------------------------------------------------------------------
// Two monitors, each with its taskbar: the movie on the primary, black on the
// other, and all of it back however the intro ends.

class TwoMonitorTakeoverTest : public ScreenTakeoverTest {
protected:
  void SetUp() override {
    desktop.monitors = {{Primary, true}, {Second, false}};
    desktop.otherTaskbars = {fakes::FakeDesktop::SecondTaskbar};
    ScreenTakeoverTest::SetUp();
  }
  void ExpectAllGivenBack() {
    EXPECT_TRUE(desktop.covers.empty());
    EXPECT_TRUE(desktop.taskbarVisible);
    EXPECT_FALSE(desktop.OtherTaskbarHidden(fakes::FakeDesktop::SecondTaskbar));
    EXPECT_EQ(desktop.fullScreenWindow, 0u);
    EXPECT_EQ(desktop.workArea, (Rect{0, 0, 1024, 738}));
  }
  static constexpr Rect Primary{0, 0, 1024, 768};
  static constexpr Rect Second{1024, 0, 1824, 600};
};

TEST_F(TwoMonitorTakeoverTest, TheOtherMonitorIsBlackAndEveryTaskbarHiddenUntilTheClose) {
  intro->FormShow();
  ASSERT_EQ(desktop.covers.size(), 1u);
  EXPECT_EQ(desktop.covers.begin()->second, Second);
  EXPECT_FALSE(desktop.taskbarVisible);
  EXPECT_TRUE(desktop.OtherTaskbarHidden(fakes::FakeDesktop::SecondTaskbar));
  EXPECT_EQ(desktop.fullScreenWindow, fakes::FakeIntroView::IntroWindow);
  EXPECT_EQ(view.clientWidth, 1024) << "the movie stays on the primary monitor";

  intro->FormActivate();
  intro->FormClick();
  intro->FormClose();
  ExpectAllGivenBack();
}

TEST_F(TwoMonitorTakeoverTest, ACrashOrAWindowGoneWithoutItsCloseGivesAllOfItBack) {
  intro->FormShow();
  EXPECT_TRUE(RestoreTakenScreen());
  ExpectAllGivenBack();

  intro->FormShow();
  intro.reset();
  ExpectAllGivenBack();
}

TEST_F(TwoMonitorTakeoverTest, AMonitorAddedOrRemovedDuringTheIntroIsCoveredOrUncoveredAndAllComesBack) {
  intro->FormShow();
  const Rect third{-800, 0, 0, 600};
  desktop.monitors.push_back({third, false});
  desktop.otherTaskbars.push_back(0x20040);
  intro->DisplayChanged();
  ASSERT_EQ(desktop.covers.size(), 2u);
  EXPECT_TRUE(desktop.OtherTaskbarHidden(0x20040));

  desktop.monitors = {{Primary, true}, {third, false}};
  intro->DisplayChanged();
  ASSERT_EQ(desktop.covers.size(), 1u);
  EXPECT_EQ(desktop.covers.begin()->second, third);

  intro->FormClose();
  ExpectAllGivenBack();
  EXPECT_FALSE(desktop.OtherTaskbarHidden(0x20040));
}

TEST_F(TwoMonitorTakeoverTest, AMonitorThatCannotBeCoveredLeavesTheRestOfTheShowAsItIs) {
  desktop.coverable = false;
  intro->FormShow();
  EXPECT_TRUE(desktop.covers.empty());
  EXPECT_TRUE(desktop.OtherTaskbarHidden(fakes::FakeDesktop::SecondTaskbar));
  EXPECT_TRUE(vcr.IsOpen());
  intro->FormClose();
  ExpectAllGivenBack();
}

} // namespace
} // namespace fablewick

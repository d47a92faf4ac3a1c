#include "intro/screen_guard.h"

#include "intro/gamma_fade.h"
#include "intro/intro_sequence.h"

#include "fakes/fake_clock.h"
#include "fakes/fake_desktop.h"
#include "fakes/fake_fade_overlay.h"
#include "fakes/fake_gamma_display.h"
#include "fakes/fake_intro_view.h"
#include "fakes/fake_movie_player.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstddef>
#include <memory>

namespace fablewick {
namespace {

using fakes::FakeDesktop;
using fakes::FakeGammaDisplay;
using Area = std::array<std::byte, GuardAreaSize>;

const Rect UserWorkArea{0, 0, 1024, 738};

GuardRecord Held(bool dimmed = true) {
  GuardRecord record;
  record.taken.dimmed = dimmed;
  record.taken.workAreaTaken = true;
  record.taken.savedWorkArea = UserWorkArea;
  record.taken.hiddenTaskbars = {FakeDesktop::Taskbar, FakeDesktop::SecondTaskbar};
  record.gammaWindow = FakeGammaDisplay::Desktop;
  record.hasRamp = true;
  record.savedRamp = FakeGammaDisplay::DistinctRamp(5);
  return record;
}

bool Same(const GuardRecord& a, const GuardRecord& b) {
  return a.taken.dimmed == b.taken.dimmed && a.taken.workAreaTaken == b.taken.workAreaTaken &&
         a.taken.savedWorkArea == b.taken.savedWorkArea &&
         a.taken.hiddenTaskbars == b.taken.hiddenTaskbars && a.gammaWindow == b.gammaWindow &&
         a.hasRamp == b.hasRamp && a.savedRamp == b.savedRamp;
}

// ---------------------------------------------------------------------------
// The shared record: what the guard reads back is the launcher's newest whole
// copy, or nothing.

TEST(GuardRecordTest, TheNewestCopyIsReadBackWholeAfterManyWrites) {
  Area area{};
  GuardRecord record = Held();
  for (int i = 0; i < 5; ++i) {
    record.taken.savedWorkArea.bottom = 700 + i;
    WriteGuardRecord(area, record);
  }
  const auto read = ReadGuardRecord(area);
  ASSERT_TRUE(read.has_value());
  EXPECT_TRUE(Same(*read, record));
  EXPECT_EQ(read->taken.desktop, nullptr);
}

TEST(GuardRecordTest, AWriteCutShortLeavesThePreviousCopy) {
  Area area{};
  const GuardRecord first = Held(true);
  WriteGuardRecord(area, first);
  Area before = area;
  WriteGuardRecord(area, Held(false));
  // The launcher killed part-way through the second write: the half it had
  // not reached yet is still the old bytes.
  std::size_t changed = 0;
  while (area[changed] == before[changed]) ++changed;
  for (std::size_t i = changed + GuardSlotSize / 2; i < GuardAreaSize; ++i) area[i] = before[i];

  const auto read = ReadGuardRecord(area);
  ASSERT_TRUE(read.has_value());
  EXPECT_TRUE(Same(*read, first));
}

TEST(GuardRecordTest, AnEmptyOrScrambledAreaHoldsNoRecord) {
  Area area{};
  EXPECT_FALSE(ReadGuardRecord(area).has_value());

  WriteGuardRecord(area, Held());
  WriteGuardRecord(area, Held());
  for (std::size_t slot = 0; slot < 2; ++slot) area[slot * GuardSlotSize + 40] ^= std::byte{1};
  EXPECT_FALSE(ReadGuardRecord(area).has_value());
}

TEST(GuardRecordTest, ARecordThatContradictsItselfIsNotTrusted) {
  GuardRecord dimmedWithoutRamp = Held();
  dimmedWithoutRamp.hasRamp = false;
  GuardRecord emptyWorkArea = Held();
  emptyWorkArea.taken.savedWorkArea = Rect{0, 0, 0, 738};
  GuardRecord rampWithoutWindow = Held();
  rampWithoutWindow.gammaWindow = 0;
  for (const GuardRecord& bad : {dimmedWithoutRamp, emptyWorkArea, rampWithoutWindow}) {
    Area area{};
    WriteGuardRecord(area, bad);
    EXPECT_FALSE(ReadGuardRecord(area).has_value());
  }
}

// ---------------------------------------------------------------------------
// The guard's decision when its watch ends.

TEST(GuardDecisionTest, AScreenGivenBackIsLeftAloneEvenIfTheRecordStillShowsItTaken) {
  EXPECT_FALSE(WhatToRestore(GuardWake::ScreenGivenBack, Held()).has_value());
}

TEST(GuardDecisionTest, AnEndedLauncherHoldingTheScreenHasItsRecordRestored) {
  const auto plan = WhatToRestore(GuardWake::LauncherEnded, Held());
  ASSERT_TRUE(plan.has_value());
  EXPECT_TRUE(Same(*plan, Held()));

  GuardRecord onlyDimmed;
  onlyDimmed.taken.dimmed = true;
  onlyDimmed.hasRamp = true;
  onlyDimmed.gammaWindow = FakeGammaDisplay::Desktop;
  EXPECT_TRUE(WhatToRestore(GuardWake::LauncherEnded, onlyDimmed).has_value());
}

TEST(GuardDecisionTest, AnEndedLauncherWithNothingTakenOrNoRecordRestoresNothing) {
  GuardRecord givenBack = Held(false);
  givenBack.taken.workAreaTaken = false;
  givenBack.taken.hiddenTaskbars = {};
  EXPECT_FALSE(WhatToRestore(GuardWake::LauncherEnded, givenBack).has_value());
  EXPECT_FALSE(WhatToRestore(GuardWake::LauncherEnded, std::nullopt).has_value());
}

// ---------------------------------------------------------------------------
// The guard's restore, on a desktop of its own, by the launcher's rules.

class GuardRestoreTest : public ::testing::Test {
protected:
  FakeDesktop desktop;
  FakeGammaDisplay gamma;
};

TEST_F(GuardRestoreTest, EverythingTakenComesBackAsTheLaunchersOwnCloseLeavesIt) {
  desktop.workArea = Rect{0, 0, 1024, 768};
  desktop.taskbarVisible = false;
  desktop.otherTaskbars = {FakeDesktop::SecondTaskbar};
  desktop.ShowTaskbar(FakeDesktop::SecondTaskbar, false);
  EXPECT_TRUE(RestoreFromGuard(Held(), desktop, gamma));
  EXPECT_EQ(desktop.workArea, UserWorkArea);
  EXPECT_TRUE(desktop.taskbarVisible);
  EXPECT_FALSE(desktop.OtherTaskbarHidden(FakeDesktop::SecondTaskbar));
  EXPECT_EQ(desktop.taskbarPlace, TaskbarPlace::Topmost);
  ASSERT_EQ(gamma.writes.size(), 1u);
  EXPECT_EQ(gamma.writes[0].window, FakeGammaDisplay::Desktop);
  EXPECT_EQ(gamma.writes[0].ramp, Held().savedRamp);
}

TEST_F(GuardRestoreTest, AScreenAtFullBrightnessKeepsItsRampAndAMissingTaskbarIsSkipped) {
  GuardRecord record = Held(false);
  record.taken.hiddenTaskbars = {};
  EXPECT_TRUE(RestoreFromGuard(record, desktop, gamma));
  EXPECT_TRUE(gamma.writes.empty());
  EXPECT_EQ(desktop.workAreaWrites, (std::vector<Rect>{UserWorkArea}));
  EXPECT_EQ(desktop.taskbarPlace, TaskbarPlace::Bottom) << "the taskbar was touched";
}

// ---------------------------------------------------------------------------
// The launcher's intro reports to the record as it goes, so a guard reading
// it at any moment restores exactly what is taken at that moment.

class RecordKeeper : public TakeoverWatcher {
public:
  explicit RecordKeeper(const GammaFade& gamma) : gamma_(gamma) {}
  void TakeoverChanged(const ScreenTakeover& taken) noexcept override {
    WriteGuardRecord(area, RecordOf(taken, gamma_));
    ++reports;
  }
  Area area{};
  int reports = 0;

private:
  const GammaFade& gamma_;
};

class GuardedIntroTest : public ::testing::Test {
protected:
  void SetUp() override {
    CurrentTakeover() = ScreenTakeover{};
    SetTakeoverWatcher(&keeper);
    // A kill right after any change to the desktop must find in the record
    // whatever the user's desktop lacks at that moment.
    desktop.afterChange = [this] {
      ++desktopChanges;
      const GuardRecord record = ReadGuardRecord(keeper.area).value_or(GuardRecord{});
      const auto& held = record.taken.hiddenTaskbars;
      EXPECT_TRUE(desktop.workArea == UserWorkArea ||
                  (record.taken.workAreaTaken && record.taken.savedWorkArea == UserWorkArea));
      EXPECT_TRUE(desktop.taskbarVisible || std::ranges::count(held, FakeDesktop::Taskbar) == 1);
      EXPECT_TRUE(!desktop.OtherTaskbarHidden(FakeDesktop::SecondTaskbar) ||
                  std::ranges::count(held, FakeDesktop::SecondTaskbar) == 1);
    };
    gamma.Install(FakeGammaDisplay::Desktop, startUpRamp);
    view.files.insert("Kelvarn Movie.avi");
    vcr.movies["Kelvarn Movie.avi"] = {};
    intro = std::make_unique<IntroSequence>(vcr, view, desktop, overlay, ramps, clock);
    intro->FormCreate();
  }
  void TearDown() override {
    intro.reset();
    SetTakeoverWatcher(nullptr);
  }

  // What a guard would give back if the launcher were killed now, done on a
  // desktop and display that stand for the same screen.
  bool KillAndGuard() {
    const auto plan = WhatToRestore(GuardWake::LauncherEnded, ReadGuardRecord(keeper.area));
    return plan && RestoreFromGuard(*plan, desktop, gamma);
  }
  const GammaRamp& Shown() { return gamma.displays[FakeGammaDisplay::Desktop]; }

  fakes::FakeClock clock;
  FakeGammaDisplay gamma;
  GammaFade ramps{gamma};
  RecordKeeper keeper{ramps};
  int desktopChanges = 0;
  FakeDesktop desktop;
  fakes::FakeMoviePlayer vcr;
  fakes::FakeIntroView view;
  fakes::FakeFadeOverlay overlay;
  GammaRamp startUpRamp = FakeGammaDisplay::DistinctRamp(9);
  std::unique_ptr<IntroSequence> intro;
};

TEST_F(GuardedIntroTest, AKillWhileAMoviePlaysGivesTheDesktopAndEveryTaskbarBack) {
  desktop.otherTaskbars = {FakeDesktop::SecondTaskbar};
  intro->FormShow();
  intro->FormActivate();
  ASSERT_FALSE(desktop.taskbarVisible);
  EXPECT_EQ(desktopChanges, 3) << "the work area and each taskbar, checked as each was taken";
  const auto gammaWrites = gamma.writes.size();

  EXPECT_TRUE(KillAndGuard());
  EXPECT_TRUE(desktop.taskbarVisible);
  EXPECT_FALSE(desktop.OtherTaskbarHidden(FakeDesktop::SecondTaskbar));
  EXPECT_EQ(desktop.workArea, UserWorkArea);
  EXPECT_EQ(gamma.writes.size(), gammaWrites) << "full brightness was rewritten";
}

TEST_F(GuardedIntroTest, AKillDuringTheFadeOutPutsBackTheStartUpRampOnly) {
  int kills = 0;
  clock.onSleep = [this, &kills](std::uint32_t) {
    if (clock.sleeps.size() == IntroFade.steps / 2) {
      ++kills;
      ASSERT_NE(Shown(), startUpRamp);
      EXPECT_TRUE(KillAndGuard());
      EXPECT_EQ(Shown(), startUpRamp);
      EXPECT_TRUE(desktop.workAreaWrites.empty());
      EXPECT_TRUE(desktop.taskbarVisible);
    }
  };
  intro->FormShow();
  EXPECT_EQ(kills, 1);
}

TEST_F(GuardedIntroTest, AKillDuringTheFadeInAfterCloseBrightensWithoutTouchingTheDesktop) {
  intro->FormShow();
  intro->FormActivate();
  int kills = 0;
  clock.onSleep = [this, &kills](std::uint32_t) {
    if (clock.sleeps.size() == IntroFade.steps + 3) {
      ++kills;
      const auto writes = desktop.workAreaWrites.size();
      EXPECT_TRUE(KillAndGuard());
      EXPECT_EQ(Shown(), startUpRamp);
      EXPECT_EQ(desktop.workAreaWrites.size(), writes);
    }
  };
  intro->FormClose();
  EXPECT_EQ(kills, 1);
}

TEST_F(GuardedIntroTest, AfterANormalCloseOrACrashRestoreAGuardFindsNothingToDo) {
  intro->FormShow();
  intro->FormActivate();
  intro->FormClose();
  EXPECT_FALSE(KillAndGuard());

  intro->FormShow();
  EXPECT_TRUE(RestoreTakenScreen());
  EXPECT_FALSE(KillAndGuard());
  EXPECT_GT(keeper.reports, 0);
}

} // namespace
} // namespace fablewick

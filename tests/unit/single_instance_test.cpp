#include "app/single_instance.h"

#include "fakes/fake_clock.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <vector>

namespace fablewick {
namespace {

// A session whose running launcher answers from a given moment on, each
// attempt costing a little time as the real one does. Its window (process
// 4321) sits among windows of the same class that other programs made.
class FakeInstances : public InstanceRegistry {
public:
  explicit FakeInstances(fakes::FakeClock& clock) : clock_(clock) {}

  Claim ClaimName() override {
    ++claims;
    return claim;
  }
  std::uint32_t RunningProcessId() override { return publishedProcess; }
  std::vector<ProcessWindow> ApplicationWindows() override { return windows; }
  bool AskToComeForward(const ProcessWindow& window) override {
    ++attempts;
    asked.push_back(window.handle);
    clock_.Advance(attemptCostMs);
    return answersFrom.has_value() && clock_.Ticks() >= *answersFrom;
  }

  Claim claim = Claim::Claimed;
  std::uint32_t publishedProcess = 4321;
  std::vector<ProcessWindow> windows{{0x100, 77}, {0x200, 4321}, {0x300, 78}};
  std::optional<std::uint32_t> answersFrom;
  std::uint32_t attemptCostMs = 0;
  int claims = 0;
  int attempts = 0;
  std::vector<std::uintptr_t> asked;

private:
  fakes::FakeClock& clock_;
};

class SingleInstance : public ::testing::Test {
protected:
  fakes::FakeClock clock_{5000};
  FakeInstances instances_{clock_};
};

TEST_F(SingleInstance, TheFirstStartRunsWithoutLookingForAnother) {
  EXPECT_EQ(DecideStart(instances_, clock_), StartDecision::Run);
  EXPECT_EQ(instances_.claims, 1);
  EXPECT_EQ(instances_.attempts, 0);
  EXPECT_TRUE(clock_.sleeps.empty());
}

TEST_F(SingleInstance, AStartThatCannotMakeTheNameRunsAsBefore) {
  instances_.claim = InstanceRegistry::Claim::Unavailable;
  instances_.answersFrom = 0;
  EXPECT_EQ(DecideStart(instances_, clock_), StartDecision::Run);
  EXPECT_EQ(instances_.attempts, 0);
}

TEST_F(SingleInstance, ASecondStartAsksTheWindowOfTheProcessThatHoldsTheNameAndHandsOverAtOnce) {
  instances_.claim = InstanceRegistry::Claim::HeldElsewhere;
  instances_.answersFrom = 0;
  EXPECT_EQ(DecideStart(instances_, clock_), StartDecision::LeaveToRunning);
  // Not the first window of the class: another program's.
  EXPECT_EQ(instances_.asked, std::vector<std::uintptr_t>{0x200});
  EXPECT_TRUE(clock_.sleeps.empty());
}

TEST_F(SingleInstance, ANameAnElevatedLauncherHoldsCountsAsHeldAndIsHandedOverTo) {
  EXPECT_EQ(ClaimFor(NameOutcome::Created), InstanceRegistry::Claim::Claimed);
  EXPECT_EQ(ClaimFor(NameOutcome::OpenedExisting), InstanceRegistry::Claim::HeldElsewhere);
  EXPECT_EQ(ClaimFor(NameOutcome::AccessDenied), InstanceRegistry::Claim::HeldElsewhere);
  EXPECT_EQ(ClaimFor(NameOutcome::Failed), InstanceRegistry::Claim::Unavailable);

  instances_.claim = ClaimFor(NameOutcome::AccessDenied);
  instances_.answersFrom = 0;
  EXPECT_EQ(DecideStart(instances_, clock_), StartDecision::LeaveToRunning);
}

TEST_F(SingleInstance, WindowsOfTheClassFromOtherProgramsAreNeverAsked) {
  instances_.claim = InstanceRegistry::Claim::HeldElsewhere;
  instances_.answersFrom = 0;
  // The holder has not published itself yet, then has no window yet.
  instances_.publishedProcess = 0;
  clock_.onSleep = [this](std::uint32_t now) {
    if (now >= 5300) instances_.publishedProcess = 4321;
    if (now >= 5600) instances_.windows.push_back({0x400, 4321});
  };
  instances_.windows = {{0x100, 77}};
  EXPECT_EQ(DecideStart(instances_, clock_), StartDecision::LeaveToRunning);
  EXPECT_EQ(instances_.asked, std::vector<std::uintptr_t>{0x400});
  EXPECT_GE(clock_.Ticks(), 5600u);

  EXPECT_FALSE(FindRunningLauncher(std::vector<ProcessWindow>{{0x100, 77}}, 0).has_value());
}

TEST_F(SingleInstance, ASecondStartWaitsForARunningOneThatHasNoWindowYet) {
  instances_.claim = InstanceRegistry::Claim::HeldElsewhere;
  instances_.answersFrom = 5000 + 1500;
  EXPECT_EQ(DecideStart(instances_, clock_), StartDecision::LeaveToRunning);
  EXPECT_GE(clock_.Ticks(), 6500u);
  EXPECT_LT(clock_.Ticks(), 6500u + kBringToFrontRetryMs);
}

TEST_F(SingleInstance, AStaleLauncherHoldsANewStartForTwoSecondsAtMost) {
  instances_.claim = InstanceRegistry::Claim::HeldElsewhere;
  instances_.attemptCostMs = 30;
  EXPECT_EQ(DecideStart(instances_, clock_), StartDecision::Run);
  const std::uint32_t waited = clock_.Ticks() - 5000;
  EXPECT_GE(waited, kBringToFrontPatienceMs);
  EXPECT_LT(waited, kBringToFrontPatienceMs + kBringToFrontRetryMs + 30);
  EXPECT_GT(instances_.attempts, 10);
}

TEST_F(SingleInstance, AnAnswerRightAtTheDeadlineStillCounts) {
  instances_.claim = InstanceRegistry::Claim::HeldElsewhere;
  instances_.answersFrom = 5000 + kBringToFrontPatienceMs;
  EXPECT_EQ(DecideStart(instances_, clock_), StartDecision::LeaveToRunning);
}

TEST(ComeForward, TheTopmostWindowThatTakesInputIsActivated) {
  constexpr std::uintptr_t kDialog = 1, kLauncher = 2, kButtonCarrier = 3, kHidden = 4;
  // A message dialog over the launcher, which it disables while it is up.
  const std::vector<OwnWindow> dialogUp{{kHidden, false, true, false}, {kButtonCarrier, true, true, true},
                                        {kDialog, true, true, false}, {kLauncher, true, false, false}};
  EXPECT_EQ(WindowToActivate(dialogUp), kDialog);
  const std::vector<OwnWindow> launcherOnly{{kButtonCarrier, true, true, true}, {kLauncher, true, true, false}};
  EXPECT_EQ(WindowToActivate(launcherOnly), kLauncher);
  // The launcher stays disabled, and may stack above, while a modal window is up.
  const std::vector<OwnWindow> disabledOnTop{{kLauncher, true, false, false}, {kDialog, true, true, false}};
  EXPECT_EQ(WindowToActivate(disabledOnTop), kDialog);
  // Still starting: only the taskbar button's window exists.
  EXPECT_FALSE(WindowToActivate(std::vector<OwnWindow>{{kButtonCarrier, true, true, true}}).has_value());
}

TEST(ComeForward, DuringTheIntroItIsTheIntroNotACoverOrTheOverlayAboveIt) {
  constexpr std::uintptr_t kOverlay = 1, kCover = 2, kIntro = 3, kLauncher = 4;
  const std::vector<OwnWindow> introUp{{kOverlay, true, true, false, false}, {kCover, true, true, false, false},
                                       {kIntro, true, true, false, true}, {kLauncher, true, false, false, true}};
  EXPECT_EQ(WindowToActivate(introUp), kIntro);
}

TEST_F(SingleInstance, TheWaitSurvivesTheTickCountWrappingAround) {
  fakes::FakeClock clock(0xFFFFFF00u);
  FakeInstances instances(clock);
  instances.claim = InstanceRegistry::Claim::HeldElsewhere;
  EXPECT_EQ(DecideStart(instances, clock), StartDecision::Run);
  EXPECT_GE(clock.SleptInAll(), kBringToFrontPatienceMs);
  EXPECT_LT(clock.SleptInAll(), kBringToFrontPatienceMs + kBringToFrontRetryMs);
}

} // namespace
} // namespace fablewick

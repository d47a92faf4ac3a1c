#include "app/single_instance.h"

#include "fakes/fake_clock.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>

namespace fablewick {
namespace {

// A session whose running launcher answers from a given moment on, each
// attempt costing a little time as the real one does.
class FakeInstances : public InstanceRegistry {
public:
  explicit FakeInstances(fakes::FakeClock& clock) : clock_(clock) {}

  Claim ClaimName() override {
    ++claims;
    return claim;
  }
  bool BringRunningToFront() override {
    ++attempts;
    clock_.Advance(attemptCostMs);
    return answersFrom.has_value() && clock_.Ticks() >= *answersFrom;
  }

  Claim claim = Claim::Claimed;
  std::optional<std::uint32_t> answersFrom;
  std::uint32_t attemptCostMs = 0;
  int claims = 0;
  int attempts = 0;

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

TEST_F(SingleInstance, ASecondStartHandsOverAtOnceWhenTheRunningOneAnswers) {
  instances_.claim = InstanceRegistry::Claim::HeldElsewhere;
  instances_.answersFrom = 0;
  EXPECT_EQ(DecideStart(instances_, clock_), StartDecision::LeaveToRunning);
  EXPECT_EQ(instances_.attempts, 1);
  EXPECT_TRUE(clock_.sleeps.empty());
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

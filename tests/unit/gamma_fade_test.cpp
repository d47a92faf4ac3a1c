#include "intro/gamma_fade.h"

#include "fakes/fake_gamma_display.h"

#include <gtest/gtest.h>

#include <memory>

namespace fablewick {
namespace {

using fakes::FakeGammaDisplay;

constexpr WindowHandle Desktop = FakeGammaDisplay::Desktop;

class GammaFadeTest : public ::testing::Test {
protected:
  GammaRamp WrittenLast() const { return display.writes.back().ramp; }

  FakeGammaDisplay display;
  GammaFade gamma{display};
};

TEST_F(GammaFadeTest, AnEmptyListAcceptsEveryLevelWithoutTouchingADisplay) {
  EXPECT_EQ(gamma.SetGammaLevelAll(0), 1);
  EXPECT_EQ(gamma.SetGammaLevelAll(100), 1);
  EXPECT_TRUE(display.writes.empty());
  EXPECT_EQ(gamma.ApplyGammaLevel(nullptr, 50), 0);
}

TEST_F(GammaFadeTest, RegisteringAWindowTwiceKeepsTheRampSavedTheFirstTime) {
  const GammaRamp first = FakeGammaDisplay::DistinctRamp(1);
  display.Install(Desktop, first);
  ASSERT_EQ(gamma.GammaAvailable(), 1);

  display.Install(Desktop, FakeGammaDisplay::DistinctRamp(2));
  EXPECT_EQ(gamma.RegisterGammaWindow(Desktop), 1);
  EXPECT_EQ(gamma.GammaAvailable(), 1);
  EXPECT_EQ(display.reads, 1);

  ASSERT_EQ(gamma.SetGammaLevelAll(100), 1);
  ASSERT_EQ(display.writes.size(), 1u);
  EXPECT_EQ(WrittenLast(), first);
}

TEST_F(GammaFadeTest, FullLevelRestoresTheSavedRampExactlyAfterAnyOtherLevels) {
  const GammaRamp saved = FakeGammaDisplay::DistinctRamp(3);
  display.Install(Desktop, saved);
  ASSERT_EQ(gamma.GammaAvailable(), 1);

  for (std::int16_t level : {37, 0, 99, 1, 50, 73, 5}) ASSERT_EQ(gamma.SetGammaLevelAll(level), 1);
  // Someone else changes the ramp meanwhile; it is never read again.
  display.displays[Desktop] = FakeGammaDisplay::DistinctRamp(9);

  ASSERT_EQ(gamma.SetGammaLevelAll(100), 1);
  EXPECT_EQ(WrittenLast(), saved);
  EXPECT_EQ(display.displays[Desktop], saved);
}

TEST_F(GammaFadeTest, LevelZeroIsAnAllZeroRampAndLevelsTruncate) {
  GammaRamp saved = FakeGammaDisplay::DistinctRamp();
  saved[0] = 65535;
  saved[1] = 1;
  saved[2] = 199;
  saved[767] = 40000;
  display.Install(Desktop, saved);
  ASSERT_EQ(gamma.GammaAvailable(), 1);

  ASSERT_EQ(gamma.SetGammaLevelAll(0), 1);
  EXPECT_EQ(WrittenLast(), GammaRamp{});

  ASSERT_EQ(gamma.SetGammaLevelAll(50), 1);
  const GammaRamp half = WrittenLast();
  EXPECT_EQ(half[0], 32767);
  EXPECT_EQ(half[1], 0);
  EXPECT_EQ(half[2], 99);
  EXPECT_EQ(half[767], 20000);
  for (std::size_t i = 0; i < half.size(); ++i) ASSERT_LE(half[i], saved[i]) << i;
}

TEST_F(GammaFadeTest, LevelsOutsideTheCallersRangeKeepTheLowSixteenBitsOfTheQuotient) {
  GammaRamp saved{};
  saved[0] = 65535;
  display.Install(Desktop, saved);
  ASSERT_EQ(gamma.GammaAvailable(), 1);

  ASSERT_EQ(gamma.SetGammaLevelAll(200), 1);
  EXPECT_EQ(WrittenLast()[0], 65534); // 131070 wraps
  ASSERT_EQ(gamma.SetGammaLevelAll(-1), 1);
  EXPECT_EQ(WrittenLast()[0], static_cast<std::uint16_t>(-655)); // truncated toward zero
}

TEST_F(GammaFadeTest, AFailedRegistrationLeavesNoEntryAndTheNextCallSavesTheRampOfThatMoment) {
  EXPECT_EQ(gamma.GammaAvailable(), 0);
  EXPECT_EQ(gamma.FindGammaEntry(Desktop), nullptr);
  EXPECT_EQ(gamma.SetGammaLevelAll(0), 1);
  EXPECT_TRUE(display.writes.empty());

  const GammaRamp later = FakeGammaDisplay::DistinctRamp(4);
  display.Install(Desktop, later);
  EXPECT_EQ(gamma.GammaAvailable(), 1);
  EXPECT_EQ(display.reads, 2);
  ASSERT_EQ(gamma.SetGammaLevelAll(100), 1);
  EXPECT_EQ(WrittenLast(), later);
}

TEST_F(GammaFadeTest, EveryDisplayIsSetInRegistrationOrderUntilOneRefuses) {
  const WindowHandle a = 0xA, b = 0xB, c = 0xC;
  for (WindowHandle w : {c, a, b}) display.Install(w, FakeGammaDisplay::DistinctRamp());
  for (WindowHandle w : {c, a, b}) ASSERT_EQ(gamma.RegisterGammaWindow(w), 1);

  ASSERT_EQ(gamma.SetGammaLevelAll(40), 1);
  ASSERT_EQ(display.writes.size(), 3u);
  EXPECT_EQ(display.writes[0].window, c);
  EXPECT_EQ(display.writes[1].window, a);
  EXPECT_EQ(display.writes[2].window, b);

  display.writes.clear();
  display.refusing.insert(a);
  EXPECT_EQ(gamma.SetGammaLevelAll(10), 0);
  ASSERT_EQ(display.writes.size(), 2u);
  EXPECT_EQ(display.writes[1].window, a);
  EXPECT_EQ(display.LevelOf(b, display.displays[b]), 40); // left as it was
}

TEST_F(GammaFadeTest, SettingOneWindowRegistersItFirstAndFailsWhenItsRampCannotBeRead) {
  const WindowHandle other = 0xD;
  EXPECT_EQ(gamma.SetGammaLevelFor(other, 50), 0);
  EXPECT_EQ(gamma.FindGammaEntry(other), nullptr);

  display.Install(other, FakeGammaDisplay::DistinctRamp(5));
  display.Install(Desktop, FakeGammaDisplay::DistinctRamp(6));
  ASSERT_EQ(gamma.GammaAvailable(), 1);
  EXPECT_EQ(gamma.SetGammaLevelFor(other, 0), 1);
  ASSERT_EQ(display.writes.size(), 1u);
  EXPECT_EQ(display.writes[0].window, other);
  EXPECT_EQ(display.writes[0].ramp, GammaRamp{});

  display.refusing.insert(other);
  EXPECT_EQ(gamma.SetGammaLevelFor(other, 100), 0);
}

TEST_F(GammaFadeTest, FreeingTheListForgetsEveryRampWithoutRestoringAny) {
  display.Install(Desktop, FakeGammaDisplay::DistinctRamp(7));
  ASSERT_EQ(gamma.GammaAvailable(), 1);
  ASSERT_EQ(gamma.SetGammaLevelAll(0), 1);
  display.writes.clear();

  gamma.FreeGammaList();
  EXPECT_EQ(gamma.FindGammaEntry(Desktop), nullptr);
  EXPECT_TRUE(display.writes.empty());
  EXPECT_EQ(gamma.SetGammaLevelAll(100), 1);
  EXPECT_TRUE(display.writes.empty());

  // The next registration saves what the display shows now: the dark ramp.
  ASSERT_EQ(gamma.GammaAvailable(), 1);
  ASSERT_EQ(gamma.SetGammaLevelAll(100), 1);
  EXPECT_EQ(WrittenLast(), GammaRamp{});
}

} // namespace
} // namespace fablewick

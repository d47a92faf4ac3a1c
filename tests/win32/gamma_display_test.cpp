#include "intro/win32/gdi_gamma_display.h"

#include "intro/gamma_fade.h"

#include "../unit/fakes/fake_gamma_display.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace fablewick::win32 {
namespace {

class GdiGammaDisplayTest : public ::testing::Test {
protected:
  GdiGammaDisplay display;
  fakes::BoundGammaDisplay bound{display};
};

TEST_F(GdiGammaDisplayTest, RegistersTheDesktopOnlyWhenItsRampCanBeRead) {
  const WindowHandle desktop = display.DesktopWindow();
  ASSERT_EQ(reinterpret_cast<HWND>(desktop), GetDesktopWindow());

  GammaRamp probe{};
  const bool readable = display.ReadRamp(desktop, probe);
  EXPECT_EQ(GammaAvailable(), readable ? 1 : 0);
  EXPECT_EQ(FindGammaEntry(desktop) != nullptr, readable);
  // Every later call reads the ramp again, with the same outcome.
  for (int i = 0; i < 50; ++i) ASSERT_EQ(GammaAvailable(), readable ? 1 : 0);
}

TEST_F(GdiGammaDisplayTest, WithoutARampTheFadeStepsChangeNothingAndReportNoFailure) {
  GammaRamp probe{};
  if (display.ReadRamp(display.DesktopWindow(), probe)) {
    GTEST_SKIP() << "this display has a gamma ramp";
  }
  ASSERT_EQ(GammaAvailable(), 0);
  EXPECT_EQ(SetGammaLevelAll(0), 1);
  EXPECT_EQ(SetGammaLevelAll(100), 1);
  EXPECT_EQ(SetGammaLevelFor(display.DesktopWindow(), 50), 0);
}

TEST_F(GdiGammaDisplayTest, WithARampFullLevelPutsTheSavedRampBackExactly) {
  GammaRamp saved{};
  if (!display.ReadRamp(display.DesktopWindow(), saved)) {
    GTEST_SKIP() << "this display has no gamma ramp (as under Xvfb)";
  }
  ASSERT_EQ(GammaAvailable(), 1);
  SetGammaLevelAll(60);
  ASSERT_EQ(SetGammaLevelAll(100), 1);
  GammaRamp now{};
  ASSERT_TRUE(display.ReadRamp(display.DesktopWindow(), now));
  EXPECT_EQ(now, saved);
}

} // namespace
} // namespace fablewick::win32

#include "intro/win32/gdi_gamma_display.h"

#include "intro/gamma_fade.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <string>

namespace fablewick::win32 {
namespace {

class GdiGammaDisplayTest : public ::testing::Test {
protected:
  GdiGammaDisplay display;
  GammaFade gamma{display};
};

// The harness names its X server: Xorg on the dummy card has a ramp, Xvfb
// none. Empty when the tests run on a display of the caller's.
std::string HarnessServer() {
  char name[32] = "";
  GetEnvironmentVariableA("FABLEWICK_X_SERVER", name, sizeof name);
  return name;
}

TEST_F(GdiGammaDisplayTest, RegistersTheDesktopOnlyWhenItsRampCanBeRead) {
  const WindowHandle desktop = display.DesktopWindow();
  ASSERT_EQ(reinterpret_cast<HWND>(desktop), GetDesktopWindow());

  GammaRamp probe{};
  const bool readable = display.ReadRamp(desktop, probe);
  if (HarnessServer() == "Xorg") {
    EXPECT_TRUE(readable);
  } else if (HarnessServer() == "Xvfb") {
    EXPECT_FALSE(readable);
  }
  EXPECT_EQ(gamma.GammaAvailable(), readable ? 1 : 0);
  EXPECT_EQ(gamma.FindGammaEntry(desktop) != nullptr, readable);
  // Every later call reads the ramp again, with the same outcome.
  for (int i = 0; i < 50; ++i) ASSERT_EQ(gamma.GammaAvailable(), readable ? 1 : 0);
}

TEST_F(GdiGammaDisplayTest, WithARampLevelsDarkenBlackIsRefusedAndFullPutsTheSavedRampBackExactly) {
  if (HarnessServer() == "Xvfb") GTEST_SKIP() << "the harness fell back to Xvfb, which has no gamma ramp";
  GammaRamp original{};
  ASSERT_TRUE(display.ReadRamp(display.DesktopWindow(), original)) << "this display has no gamma ramp";
  // Not the identity, so that "saved" means more than a reset; whole 1/255
  // steps, which a display keeping eight bits an entry holds exactly.
  GammaRamp saved{};
  for (std::size_t i = 0; i < saved.size(); ++i) {
    const std::uint32_t top = i < 256 ? 210 : i < 512 ? 230 : 245;
    saved[i] = static_cast<std::uint16_t>(257 * (top * (i % 256) / 255));
  }
  ASSERT_TRUE(display.WriteRamp(display.DesktopWindow(), saved));
  struct Restore {
    GdiGammaDisplay& display;
    GammaRamp ramp;
    ~Restore() { display.WriteRamp(display.DesktopWindow(), ramp); }
  } restore{display, original};

  ASSERT_EQ(gamma.GammaAvailable(), 1);
  ASSERT_EQ(gamma.SetGammaLevelAll(60), 1);
  GammaRamp dimmed{};
  ASSERT_TRUE(display.ReadRamp(display.DesktopWindow(), dimmed));
  for (std::size_t i = 0; i < saved.size(); ++i) ASSERT_LE(dimmed[i], saved[i]) << i;
  EXPECT_LT(dimmed[255], saved[255] * 2 / 3);

  // The display refuses an all-black ramp and keeps the one before.
  EXPECT_EQ(gamma.SetGammaLevelAll(0), 0);
  GammaRamp now{};
  ASSERT_TRUE(display.ReadRamp(display.DesktopWindow(), now));
  EXPECT_EQ(now, dimmed);

  ASSERT_EQ(gamma.SetGammaLevelAll(100), 1);
  ASSERT_TRUE(display.ReadRamp(display.DesktopWindow(), now));
  EXPECT_EQ(now, saved);
}

} // namespace
} // namespace fablewick::win32

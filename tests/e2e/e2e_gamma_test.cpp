// The desktop's gamma ramp through a first-run intro, read from outside the
// launcher the way any other program on the desktop would see it: the screen
// fades out before the intro shows, is at full while the movies play, fades
// back in after the intro has closed and ends on exactly the ramp it had.
// The display refuses the all-black ramp, so black itself is the overlay's.
#include "e2e_screen.h"

#include "../win32/intro_fixtures.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

namespace fablewick::e2e::gamma_scenarios {
namespace {

using Ramp = std::vector<WORD>; // red table, then green, then blue

std::optional<Ramp> ReadScreenRamp() {
  Ramp ramp(3 * 256);
  HDC dc = GetDC(nullptr);
  const BOOL read = GetDeviceGammaRamp(dc, ramp.data());
  ReleaseDC(nullptr, dc);
  if (!read) return std::nullopt;
  return ramp;
}

bool WriteScreenRamp(Ramp ramp) {
  HDC dc = GetDC(nullptr);
  const BOOL written = SetDeviceGammaRamp(dc, ramp.data());
  ReleaseDC(nullptr, dc);
  return written != FALSE;
}

// Puts the ramp the desktop had before the scenario back, whatever happens.
class RampGuard {
public:
  explicit RampGuard(Ramp ramp) : ramp_(std::move(ramp)) {}
  ~RampGuard() { WriteScreenRamp(ramp_); }
  RampGuard(const RampGuard&) = delete;
  RampGuard& operator=(const RampGuard&) = delete;

private:
  Ramp ramp_;
};

Ramp Scaled(const Ramp& saved, int level) {
  Ramp ramp(saved.size());
  for (size_t i = 0; i < saved.size(); ++i) {
    ramp[i] = static_cast<WORD>(static_cast<std::uint32_t>(saved[i]) * level / 100);
  }
  return ramp;
}

// How the display holds `saved` scaled to each level: it may keep fewer bits
// than a ramp entry has (the dummy X driver keeps eight), so what another
// program reads back is the display's own rounding. Black is refused and
// has no entry.
struct RampLevels {
  std::vector<std::optional<Ramp>> byLevel = std::vector<std::optional<Ramp>>(101);

  // The level (0..100) whose ramp this is; -1 when it is none of them.
  int LevelOf(const Ramp& ramp) const {
    for (int level = 100; level >= 0; --level) {
      if (byLevel[level] == ramp) return level;
    }
    return -1;
  }
};

RampLevels Calibrate(const Ramp& saved) {
  RampLevels levels;
  for (int level = 0; level <= 100; ++level) {
    if (WriteScreenRamp(Scaled(saved, level))) levels.byLevel[level] = ReadScreenRamp();
  }
  WriteScreenRamp(saved);
  return levels;
}

// A ramp that is plainly not the identity and differs per channel, yet is
// smooth and rising, so the display takes it; each entry is a whole number of
// 1/255 steps, so that a display keeping eight bits holds it exactly.
Ramp NonIdentityRamp(std::uint32_t red = 202, std::uint32_t green = 225, std::uint32_t blue = 238) {
  Ramp ramp(3 * 256);
  const std::uint32_t tops[3] = {red, green, blue};
  for (int channel = 0; channel < 3; ++channel) {
    for (std::uint32_t i = 0; i < 256; ++i) ramp[channel * 256 + i] = static_cast<WORD>(257 * (tops[channel] * i / 255));
  }
  return ramp;
}

// The intro window as another program sees it: a visible borderless window
// of the launcher's process over the whole screen.
bool IntroShows(const std::vector<TopWindow>& windows) {
  const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
  for (const TopWindow& top : windows) {
    if (top.visible && !top.hasMenu && top.caption != kLauncherCaption && top.rect.left == 0 &&
        top.rect.top == 0 && top.rect.right == width && top.rect.bottom == height) {
      return true;
    }
  }
  return false;
}

struct Sample {
  DWORD tick;
  int level;
  bool introShows; // the intro window or the overlay, which covers it
  int overlayAlpha; // -1: no overlay
};

std::string Levels(const std::vector<Sample>& samples, size_t from, size_t to) {
  std::string text;
  for (size_t i = from; i < to && i < samples.size(); ++i) {
    text += std::to_string(samples[i].level) + (samples[i].introShows ? "i " : " ");
  }
  return text;
}

// Levels of samples [from, to) with repeats of the previous sample dropped.
std::vector<int> Steps(const std::vector<Sample>& samples, size_t from, size_t to) {
  std::vector<int> steps;
  for (size_t i = from; i < to; ++i) {
    if (steps.empty() || steps.back() != samples[i].level) steps.push_back(samples[i].level);
  }
  return steps;
}

TEST(GammaThroughTheIntro, FadesOutBeforeItFullWhileItPlaysAndBackInAfterToTheSavedRampExactly) {
  const char* server = std::getenv("FABLEWICK_X_SERVER");
  if (server != nullptr && std::string(server) == "Xvfb") {
    GTEST_SKIP() << "the harness fell back to Xvfb, which has no gamma ramp";
  }
  const char* monitors = std::getenv("FABLEWICK_MONITORS");
  if (monitors != nullptr && std::string(monitors) == "two-monitors") {
    GTEST_SKIP() << "with two monitors the overlay carries the fade (TwoMonitors checks it)";
  }
  const std::optional<Ramp> original = ReadScreenRamp();
  ASSERT_TRUE(original.has_value()) << "this display has no gamma ramp";
  RampGuard restoreOriginal(*original);
  const Ramp saved = NonIdentityRamp();
  ASSERT_TRUE(WriteScreenRamp(saved));
  ASSERT_EQ(ReadScreenRamp(), saved);
  const RampLevels levels = Calibrate(saved);
  ASSERT_EQ(ReadScreenRamp(), saved);
  EXPECT_FALSE(levels.byLevel[0].has_value()) << "the display took an all-black ramp";
  for (int level = 5; level <= 100; level += 5) {
    ASSERT_TRUE(levels.byLevel[level].has_value()) << "the display refused level " << level;
  }

  registry::Reset();
  input::MoveToScreen(0, 0);
  ScenarioFolder startFolder("gamma_first_run_start");
  ScenarioFolder package("gamma_first_run_package");
  package.AddMovies({"Kelvarn Movie.avi"});
  registry::SetInstallDir(package.Path());

  LauncherProcess launcher = LauncherProcess::Start(startFolder);
  ASSERT_TRUE(launcher.Started());

  // Reads the ramp as fast as the display answers (a fade step lasts 20 ms)
  // and notes at each reading whether the intro is on the screen, until the
  // intro has gone and the launcher is up at full brightness.
  std::vector<Sample> samples;
  bool introSeen = false;
  HWND launcherWindow = nullptr;
  const DWORD start = GetTickCount();
  while (GetTickCount() - start < 40000 && launcher.Running()) {
    MSG msg;
    // The launcher hides and shows the taskbar, which may be a window of this thread.
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    const std::optional<Ramp> ramp = ReadScreenRamp();
    ASSERT_TRUE(ramp.has_value());
    // One look at the windows per reading, so readings come fast.
    const std::vector<TopWindow> windows = launcher.Windows();
    const std::optional<OverlaySeen> overlay = FindOverlay(windows);
    // A black overlay hides the screen as the intro does, on every monitor.
    const bool covered = IntroShows(windows) || (overlay && overlay->alpha == 255);
    samples.push_back({GetTickCount(), levels.LevelOf(*ramp), covered, overlay ? overlay->alpha : -1});
    introSeen = introSeen || samples.back().introShows;
    if (introSeen && !samples.back().introShows && samples.back().level == 100 && samples.back().overlayAlpha == -1) {
      for (const TopWindow& top : launcher.Windows()) {
        if (top.visible && top.hasMenu && top.caption == kLauncherCaption) launcherWindow = top.handle;
      }
      if (launcherWindow != nullptr) break;
    }
  }
  ASSERT_TRUE(introSeen) << "no intro came up";
  ASSERT_NE(launcherWindow, nullptr) << "the launcher did not come up at full brightness after the intro";
  for (const Sample& sample : samples) {
    ASSERT_NE(sample.level, -1) << "a ramp that is not the saved one scaled down";
  }

  // Three stretches: the fade out, full brightness, the fade in.
  size_t fadeOutEnd = 0;
  while (fadeOutEnd < samples.size() && samples[fadeOutEnd].level == 100) ++fadeOutEnd;
  while (fadeOutEnd < samples.size() && samples[fadeOutEnd].level != 100) ++fadeOutEnd;
  size_t fadeInStart = fadeOutEnd;
  while (fadeInStart < samples.size() && samples[fadeInStart].level == 100) ++fadeInStart;
  ASSERT_LT(fadeInStart, samples.size()) << Levels(samples, 0, samples.size());

  // Falling from full to the last step above black (black itself is refused
  // by the display and leaves the step before in force), all before the
  // intro shows; nineteen steps of 20 ms, of which a reading every few
  // milliseconds sees most.
  const std::vector<int> falling = Steps(samples, 0, fadeOutEnd);
  EXPECT_EQ(falling.front(), 100);
  EXPECT_EQ(falling.back(), 5) << Levels(samples, 0, fadeOutEnd);
  for (size_t i = 1; i < falling.size(); ++i) EXPECT_LT(falling[i], falling[i - 1]);
  EXPECT_GE(falling.size(), 12u) << Levels(samples, 0, fadeOutEnd);
  for (size_t i = 0; i < fadeOutEnd; ++i) {
    if (samples[i].introShows) {
      EXPECT_EQ(samples[i].level, 5) << "the intro showed before the fade ended";
    }
  }

  // Black is the overlay's, over the saved ramp put back at once, and no
  // overlay is up while the ramp still dims the screen.
  bool blackOverSaved = false;
  for (size_t i = 0; i < fadeInStart; ++i) {
    if (samples[i].overlayAlpha == 255 && samples[i].level == 100) blackOverSaved = true;
    if (samples[i].level < 100) {
      EXPECT_TRUE(samples[i].overlayAlpha == -1 || samples[i].level == 5);
    }
  }
  EXPECT_TRUE(blackOverSaved) << "the overlay did not take over at the refused black step";

  // Full all the while the movie plays (two seconds), not on a dark screen.
  for (size_t i = fadeOutEnd; i < fadeInStart; ++i) {
    ASSERT_TRUE(samples[i].introShows) << "full brightness without the intro: " << Levels(samples, 0, samples.size());
  }
  EXPECT_GE(samples[fadeInStart].tick - samples[fadeOutEnd].tick, 1000u);

  // Rising from the lowest visible step back to full, where it stays.
  const std::vector<int> rising = Steps(samples, fadeInStart, samples.size());
  EXPECT_EQ(rising.front(), 5) << Levels(samples, fadeInStart, samples.size());
  for (size_t i = 1; i < rising.size(); ++i) EXPECT_GT(rising[i], rising[i - 1]);
  EXPECT_GE(rising.size(), 12u) << Levels(samples, fadeInStart, samples.size());
  EXPECT_EQ(rising.back(), 100);

  // The saved ramp, bit for bit, and it stays so after the launcher ends.
  EXPECT_EQ(ReadScreenRamp(), saved);
  EXPECT_FALSE(FindOverlay(launcher).has_value());
  PostMessageA(launcherWindow, WM_CLOSE, 0, 0);
  ASSERT_TRUE(launcher.WaitForExit(15000).has_value());
  EXPECT_EQ(ReadScreenRamp(), saved);
}

TEST(GammaThroughTheIntro, AnAboutReplayAfterTheRampWasChangedFromOutsideEndsOnTheChangedRamp) {
  using namespace std::chrono_literals;
  if (OnScreen("FABLEWICK_X_SERVER", "Xvfb")) GTEST_SKIP() << "Xvfb has no gamma ramp";
  const std::optional<Ramp> original = ReadScreenRamp();
  ASSERT_TRUE(original.has_value()) << "this display has no gamma ramp";
  RampGuard restoreOriginal(*original);
  ASSERT_TRUE(WriteScreenRamp(NonIdentityRamp()));

  registry::Reset();
  registry::SetDword(kLauncherKey, "128", 0); // no intro at start, no tune
  input::MoveToScreen(0, 0);
  ScenarioFolder startFolder("gamma_about_start");
  ScenarioFolder package("gamma_about_package");
  package.AddMovies({"Kelvarn Movie.avi"});
  registry::SetInstallDir(package.Path());
  LauncherProcess launcher = LauncherProcess::Start(startFolder);
  const HWND window = launcher.WaitForLauncher();
  ASSERT_NE(window, nullptr);

  // Night light, or a calibration tool, changes the ramp while the launcher runs.
  const Ramp changed = NonIdentityRamp(238, 214, 180);
  ASSERT_TRUE(WriteScreenRamp(changed));
  ASSERT_EQ(ReadScreenRamp(), changed);

  ASSERT_TRUE(BringToFront(window));
  input::ChooseFromMenu('H', 'A');
  ASSERT_TRUE(fablewick::testing::PumpUntil([&] { return IntroWindowShows(launcher); }, 20s)) << "no intro came up";
  ASSERT_TRUE(fablewick::testing::PumpUntil(
      [&] { return !IntroWindowShows(launcher) && !FindOverlay(launcher) && ReadScreenRamp() == changed; }, 30s))
      << "the intro ended on another ramp";
  fablewick::testing::PumpFor(500ms);
  EXPECT_EQ(ReadScreenRamp(), changed) << "something dimmed the screen after the launcher was back";

  PostMessageA(window, WM_CLOSE, 0, 0);
  ASSERT_TRUE(launcher.WaitForExit(15000).has_value());
}

} // namespace
} // namespace fablewick::e2e::gamma_scenarios

// The launcher on a desktop of two monitors (tests/e2e/run_on_screen
// two-monitors): both monitors fade together, while the intro holds the
// screen the second monitor is black, every taskbar hidden and a second
// start brings the intro forward; afterwards both monitors show what they
// showed before, a kill gives it all back, and the dialogs come up on the
// monitor where the user has put the launcher.
//
// Wine has no taskbar of its own on a second monitor, so the scenarios put a
// window of the shell's class for one there, as Windows 10 and 11 have.
#include "e2e_screen.h"

#include "../win32/intro_fixtures.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <vector>

namespace fablewick::e2e {
namespace {

using namespace std::chrono_literals;
using fablewick::testing::PumpFor;
using fablewick::testing::PumpUntil;

std::string FixtureBytes(const char* name) {
  std::ifstream file(fablewick::testing::IntroFixture(name), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

BOOL CALLBACK AddMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM list) {
  MONITORINFO info{};
  info.cbSize = sizeof info;
  if (GetMonitorInfoA(monitor, &info) && !(info.dwFlags & MONITORINFOF_PRIMARY)) {
    reinterpret_cast<std::vector<RECT>*>(list)->push_back(info.rcMonitor);
  }
  return TRUE;
}

// The share of the area's pixels that are near the colour.
double ShareNear(const Image& image, int value) {
  if (image.Empty()) return 0;
  size_t matching = 0;
  for (int y = 0; y < image.height; ++y) {
    for (int x = 0; x < image.width; ++x) {
      const std::uint8_t* p = image.At(x, y);
      if (std::abs(p[0] - value) < 40 && std::abs(p[1] - value) < 40 && std::abs(p[2] - value) < 40) ++matching;
    }
  }
  return static_cast<double>(matching) / (static_cast<double>(image.width) * image.height);
}

RECT Inside(const RECT& r, int margin) { return RECT{r.left + margin, r.top + margin, r.right - margin, r.bottom - margin}; }

bool CentredOn(HWND window, const RECT& monitor) {
  RECT r{};
  GetWindowRect(window, &r);
  const POINT centre{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  return PtInRect(&monitor, centre) != FALSE;
}

class TwoMonitors : public ::testing::Test {
protected:
  void SetUp() override {
    if (!OnScreen("FABLEWICK_MONITORS", "two-monitors")) GTEST_SKIP() << "needs tests/e2e/run_on_screen two-monitors";
    EnumDisplayMonitors(nullptr, nullptr, &AddMonitor, reinterpret_cast<LPARAM>(&others_));
    ASSERT_EQ(others_.size(), 1u) << "Wine sees no second monitor";
    second_ = others_[0];
    primary_ = RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    registry::Reset();
    input::MoveToScreen(10, 10);
    ASSERT_NE(taskbar_.get(), nullptr);
    bright_.emplace("FablewickTestBright", Inside(second_, 0), WHITE_BRUSH);
    secondTaskbar_.emplace("Shell_SecondaryTrayWnd", RECT{second_.left, second_.bottom - 30, second_.right, second_.bottom},
                           GRAY_BRUSH, WS_EX_TOPMOST);
    PumpFor(300ms);
    ASSERT_GT(ShareNear(CaptureScreen(Inside(second_, 40)), 255), 0.9) << "the second monitor is not bright to start with";
  }
  void TearDown() override {
    if (launcher_.Started()) {
      EXPECT_TRUE(PumpUntil([&] { return LauncherProcesses(launcher_.Id()).empty(); }, 5s)) << "a guard is still running";
    }
  }

  bool SecondIsBlack() { return ShareNear(CaptureScreen(Inside(second_, 40)), 0) > 0.95; }
  bool SecondIsBright() { return ShareNear(CaptureScreen(Inside(second_, 40)), 255) > 0.9; }
  bool TaskbarsHidden() { return !IsWindowVisible(taskbar_.get()) && !IsWindowVisible(secondTaskbar_->get()); }
  bool TaskbarsShown() { return IsWindowVisible(taskbar_.get()) && IsWindowVisible(secondTaskbar_->get()); }
  // Waits, pumping (the taskbars are windows of this thread), until the intro
  // plays on a taken screen: the movie up and the overlay gone.
  bool IntroHoldsTheScreen() {
    return PumpUntil([&] { return IntroWindowShows(launcher_) && !FindOverlay(launcher_) && TaskbarsHidden(); }, 20s);
  }

  std::vector<RECT> others_;
  RECT primary_{}, second_{};
  fablewick::testing::TestTaskbar taskbar_;
  std::optional<TestWindow> bright_, secondTaskbar_;
  LauncherProcess launcher_;
};

TEST_F(TwoMonitors, DuringTheIntroTheSecondMonitorIsBlackAndEveryTaskbarHiddenAndAfterBothShowWhatTheyDid) {
  registry::SetDword(kLauncherKey, "128", 0); // the intro from About, over a launcher already up
  ScenarioFolder start("two_monitors_intro_start");
  ScenarioFolder package("two_monitors_intro_package");
  package.AddFile("Kelvarn Movie.avi", FixtureBytes("movie_20s.avi"));
  registry::SetInstallDir(package.Path());
  launcher_ = LauncherProcess::Start(start);
  const HWND window = launcher_.WaitForLauncher();
  ASSERT_NE(window, nullptr);
  PumpFor(500ms);
  const Image primaryBefore = CaptureScreen(primary_), secondBefore = CaptureScreen(second_);

  ASSERT_TRUE(BringToFront(window));
  // The primary monitor's ramp alone would leave the second one lit: the
  // overlay over both carries every step, and the ramp is left alone.
  HDC screen = GetDC(nullptr);
  WORD rampBefore[3][256] = {}, ramp[3][256] = {};
  const bool hasRamp = GetDeviceGammaRamp(screen, rampBefore) != FALSE;
  bool rampTouched = false, partlyDark = false;
  input::ChooseFromMenu('H', 'A');
  ASSERT_TRUE(PumpUntil(
      [&] {
        if (hasRamp && GetDeviceGammaRamp(screen, ramp) && std::memcmp(ramp, rampBefore, sizeof ramp) != 0) {
          rampTouched = true;
        }
        const std::optional<OverlaySeen> overlay = FindOverlay(launcher_);
        if (overlay && overlay->alpha > 0 && overlay->alpha < 255) partlyDark = true;
        return IntroWindowShows(launcher_) && !overlay && TaskbarsHidden();
      },
      20s))
      << Describe(launcher_.Windows());
  ReleaseDC(nullptr, screen);
  EXPECT_FALSE(rampTouched) << "the fade went through the primary monitor's ramp";
  EXPECT_TRUE(partlyDark) << "the overlay did not fade in steps";
  EXPECT_TRUE(SecondIsBlack()) << "the second monitor stays bright beside the movie";
  // The movie is on the primary monitor, where the intro window covers it all.
  HWND intro = nullptr;
  for (const TopWindow& top : launcher_.Windows()) {
    if (top.visible && top.className == "TfrmSplashMovie") {
      EXPECT_TRUE(EqualRect(&top.rect, &primary_));
      intro = top.handle;
    }
  }

  // A second start hands the foreground to the intro, not to the black
  // cover stacked above it on the second monitor.
  ASSERT_TRUE(BringToFront(bright_->get()));
  LauncherProcess second = LauncherProcess::Start(start);
  ASSERT_TRUE(second.WaitForExit(15000).has_value());
  EXPECT_TRUE(PumpUntil([&] { return GetForegroundWindow() == intro; }, 3s))
      << "the foreground went to " << GetForegroundWindow() << ", not the intro " << intro;

  // A click on the movie ends the only one; the intro closes and fades in.
  input::Click(window, 5, 5);
  ASSERT_TRUE(PumpUntil([&] { return !IntroWindowShows(launcher_) && !FindOverlay(launcher_) && TaskbarsShown(); }, 20s));
  PumpFor(700ms);
  EXPECT_LT(DifferingShare(CaptureScreen(second_), 0, 0, secondBefore), 0.02) << "the second monitor was not given back";
  EXPECT_LT(DifferingShare(CaptureScreen(primary_), 0, 0, primaryBefore), 0.05) << "the primary monitor was not given back";
  PostMessageA(window, WM_CLOSE, 0, 0);
  ASSERT_TRUE(launcher_.WaitForExit(15000).has_value());
}

TEST_F(TwoMonitors, AKillDuringTheIntroGivesBothMonitorsAndEveryTaskbarBack) {
  ScenarioFolder start("two_monitors_kill_start");
  ScenarioFolder package("two_monitors_kill_package");
  package.AddFile("Kelvarn Movie.avi", FixtureBytes("movie_20s.avi"));
  registry::SetInstallDir(package.Path());
  launcher_ = LauncherProcess::Start(start);
  ASSERT_TRUE(IntroHoldsTheScreen()) << Describe(launcher_.Windows());
  ASSERT_TRUE(SecondIsBlack());
  const DWORD launcherId = launcher_.Id();

  ASSERT_TRUE(TerminateProcess(launcher_.Handle(), 9));
  EXPECT_TRUE(PumpUntil([&] { return TaskbarsShown(); }, 5s)) << "a taskbar is still hidden after the kill";
  EXPECT_TRUE(PumpUntil([&] { return SecondIsBright(); }, 5s)) << "the second monitor stays black after the kill";
  EXPECT_TRUE(PumpUntil([&] { return LauncherProcesses(launcherId).empty(); }, 5s));
}

TEST_F(TwoMonitors, TheMessageDialogComesUpOnTheMonitorTheLauncherWasMovedTo) {
  registry::SetDword(kLauncherKey, "128", 0);
  ScenarioFolder start("two_monitors_dialog_start");
  launcher_ = LauncherProcess::Start(start);
  const HWND window = launcher_.WaitForLauncher();
  ASSERT_NE(window, nullptr);
  ASSERT_TRUE(SetWindowPos(window, nullptr, second_.left + 40, second_.top + 40, 0, 0,
                           SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE));
  PumpFor(300ms);
  ASSERT_TRUE(BringToFront(window));
  input::ChooseFromMenu('H', 'F');
  const HWND dialog = launcher_.WaitForDialog("Information");
  ASSERT_NE(dialog, nullptr);
  EXPECT_TRUE(CentredOn(dialog, second_)) << "the dialog came up away from the launcher";
  PostMessageA(dialog, WM_CLOSE, 0, 0);
  PostMessageA(window, WM_CLOSE, 0, 0);
  ASSERT_TRUE(launcher_.WaitForExit(15000).has_value());
}

} // namespace
} // namespace fablewick::e2e

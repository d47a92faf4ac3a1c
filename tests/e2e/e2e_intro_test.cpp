// The intro movie window seen from outside the real program: started from
// the About command, it covers the screen with the taskbar hidden, plays the
// movies one after the other, skips one on a click, closes after the last
// and gives the taskbar back.
//
// Wine keeps the desktop work area per process, so it cannot be watched
// from here; the Wine tests of the window check it inside the process.
#include "driver.h"

#include "../win32/intro_fixtures.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <iterator>
#include <vector>

namespace fablewick::e2e::intro_scenarios {
namespace {

using namespace std::chrono_literals;
using fablewick::testing::PumpUntil;

std::string FixtureBytes(const char* name) {
  std::ifstream file(fablewick::testing::IntroFixture(name), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

// The intro window and its video panel, as another program sees them.
struct IntroOnScreen {
  HWND window = nullptr;
  HWND panel = nullptr;

  int PanelWidth() const {
    RECT r{};
    GetWindowRect(panel, &r);
    return r.right - r.left;
  }
  bool CoversTheScreen() const {
    RECT r{};
    GetWindowRect(window, &r);
    return r.left == 0 && r.top == 0 && r.right == GetSystemMetrics(SM_CXSCREEN) &&
           r.bottom == GetSystemMetrics(SM_CYSCREEN);
  }
};

class Intro : public ::testing::Test {
protected:
  void SetUp() override {
    registry::Reset();
    // Not a first run and no opening tune: the intro comes only from About.
    registry::SetDword(kLauncherKey, "128", 0);
    input::MoveToScreen(0, 0);
    ASSERT_NE(taskbar_.get(), nullptr);
  }
  void TearDown() override {
    input::Release();
    // The guard that stood by while the screen was taken ends with it.
    if (launcher_.Started()) {
      EXPECT_TRUE(PumpUntil([&] { return LauncherProcesses(launcher_.Id()).empty(); }, 5s))
          << "a guard is still running";
    }
  }

  void AddMovies(ScenarioFolder& folder) {
    folder.AddFile("Kelvarn Movie.avi", FixtureBytes("movie_160x120.avi"));
    folder.AddFile("Quillmere Movie.avi", FixtureBytes("movie_96x72.avi"));
  }

  // Starts the launcher and chooses Help > About.
  HWND StartAndChooseAbout(const ScenarioFolder& folder) {
    launcher_ = LauncherProcess::Start(folder);
    HWND window = launcher_.WaitForLauncher();
    if (window == nullptr || !BringToFront(window)) return nullptr;
    input::ChooseFromMenu('H', 'A');
    return window;
  }

  IntroOnScreen WaitForIntro() {
    IntroOnScreen intro;
    // Pumping: the launcher hides and shows the taskbar, which may be a
    // window of this thread.
    PumpUntil(
        [&] {
          for (const TopWindow& top : launcher_.Windows()) {
            if (top.className == "TfrmSplashMovie" && top.visible) intro.window = top.handle;
          }
          return intro.window != nullptr;
        },
        20s);
    if (intro.window) intro.panel = FindWindowExA(intro.window, nullptr, nullptr, nullptr);
    return intro;
  }

  // Samples the screen until the intro window is gone; returns the panel
  // widths seen, in order, each once.
  std::vector<int> WatchUntilClosed(const IntroOnScreen& intro,
                                    const std::function<void(int width)>& onSample = {}) {
    std::vector<int> widths;
    PumpUntil(
        [&] {
          if (!IsWindowVisible(intro.window)) return true;
          coveredTheScreen_ = coveredTheScreen_ && intro.CoversTheScreen();
          taskbarHidden_ = taskbarHidden_ || !IsWindowVisible(taskbar_.get());
          const int width = intro.PanelWidth();
          if (widths.empty() || widths.back() != width) widths.push_back(width);
          if (onSample) onSample(width);
          return false;
        },
        60s);
    return widths;
  }

  // The modal show re-enables the launcher just after it has hidden the
  // intro window, which under Xvfb takes a moment.
  bool LauncherComesBack(HWND launcherWindow) {
    return PumpUntil([&] { return IsWindowEnabled(launcherWindow) != FALSE; }, 15s) &&
           IsWindowVisible(launcherWindow);
  }

  fablewick::testing::TestTaskbar taskbar_;
  LauncherProcess launcher_;
  bool coveredTheScreen_ = true;
  bool taskbarHidden_ = false;
};

TEST_F(Intro, AboutPlaysBothMoviesFullScreenWithoutTheTaskbarAndTheLastEndCloses) {
  ScenarioFolder folder("intro_about");
  AddMovies(folder);
  HWND launcherWindow = StartAndChooseAbout(folder);
  ASSERT_NE(launcherWindow, nullptr);

  const IntroOnScreen intro = WaitForIntro();
  ASSERT_NE(intro.window, nullptr) << Describe(launcher_.Windows());
  ASSERT_NE(intro.panel, nullptr);
  const std::vector<int> widths = WatchUntilClosed(intro);

  EXPECT_FALSE(IsWindowVisible(intro.window));
  EXPECT_TRUE(IsWindow(intro.window)) << "the intro window is hidden, not destroyed";
  EXPECT_TRUE(coveredTheScreen_);
  EXPECT_TRUE(taskbarHidden_);
  EXPECT_EQ(widths, (std::vector<int>{160, 96}));
  EXPECT_TRUE(IsWindowVisible(taskbar_.get()));
  EXPECT_TRUE(LauncherComesBack(launcherWindow));
  EXPECT_TRUE(launcher_.Running());
}

TEST_F(Intro, AClickSkipsToTheNextMovieAndAboutCanPlayThemAgain) {
  ScenarioFolder folder("intro_click");
  AddMovies(folder);
  HWND launcherWindow = StartAndChooseAbout(folder);
  ASSERT_NE(launcherWindow, nullptr);

  IntroOnScreen intro = WaitForIntro();
  ASSERT_NE(intro.window, nullptr) << Describe(launcher_.Windows());
  bool clicked = false;
  const std::vector<int> widths = WatchUntilClosed(intro, [&](int width) {
    if (!clicked && width == 160) {
      clicked = true;
      input::Click(intro.window, 5, 5);
    }
  });
  EXPECT_TRUE(clicked);
  EXPECT_EQ(widths, (std::vector<int>{160, 96}));
  EXPECT_TRUE(IsWindowVisible(taskbar_.get()));

  // A second showing starts from the first movie again.
  ASSERT_TRUE(LauncherComesBack(launcherWindow));
  ASSERT_TRUE(BringToFront(launcherWindow));
  input::ChooseFromMenu('H', 'A');
  intro = WaitForIntro();
  ASSERT_NE(intro.window, nullptr);
  EXPECT_EQ(WatchUntilClosed(intro), (std::vector<int>{160, 96}));
  EXPECT_TRUE(IsWindowVisible(taskbar_.get()));
}

TEST_F(Intro, AboutWithOnlyUnplayableFilesComesBackAtOnce) {
  ScenarioFolder folder("intro_unplayable");
  folder.AddFile("Kelvarn Movie.avi", "not a movie");
  folder.AddDirectory("Quillmere Movie.avi");
  HWND launcherWindow = StartAndChooseAbout(folder);
  ASSERT_NE(launcherWindow, nullptr);

  // The window may open and close between two looks; either way the launcher
  // comes back with the taskbar and without a message.
  PumpUntil([&] { return false; }, 1s);
  EXPECT_TRUE(LauncherComesBack(launcherWindow));
  for (const TopWindow& top : launcher_.Windows()) {
    EXPECT_FALSE(top.visible && top.className == "TfrmSplashMovie");
    EXPECT_NE(top.className, "#32770") << "a message box came up";
  }
  EXPECT_TRUE(IsWindowVisible(taskbar_.get()));
  EXPECT_TRUE(launcher_.Running());
}

} // namespace
} // namespace fablewick::e2e::intro_scenarios

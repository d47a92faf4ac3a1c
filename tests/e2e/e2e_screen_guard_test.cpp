// The launcher ended from outside while its intro holds the screen, as Task
// Manager (End process, End process tree) or a kill would end it: its guard
// gives the taskbar back and nothing of the launcher stays running.
//
// Wine keeps the desktop work area per process, so only the taskbar can be
// watched from here.
#include "driver.h"

#include "../win32/intro_fixtures.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <iterator>

namespace fablewick::e2e::screen_guard_scenarios {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using fablewick::testing::PumpFor;
using fablewick::testing::PumpUntil;

std::string FixtureBytes(const char* name) {
  std::ifstream file(fablewick::testing::IntroFixture(name), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

long long MsSince(Clock::time_point start) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

enum class Ending { Process, ProcessTree };

void EndDuringTheIntro(Ending ending) {
  registry::Reset();
  ScenarioFolder startFolder("guard_kill_start");
  ScenarioFolder package("guard_kill_package");
  package.AddFile("Kelvarn Movie.avi", FixtureBytes("movie_20s.avi"));
  registry::SetInstallDir(package.Path());
  input::MoveToScreen(0, 0);
  fablewick::testing::TestTaskbar taskbar;
  ASSERT_NE(taskbar.get(), nullptr);
  ASSERT_TRUE(IsWindowVisible(taskbar.get()));

  // A first start: the twenty-second movie plays before the launcher.
  LauncherProcess launcher = LauncherProcess::Start(startFolder);
  ASSERT_TRUE(launcher.Started());
  const DWORD launcherId = launcher.Id();
  HWND intro = nullptr;
  // Pumping: the taskbar may be a window of this thread.
  PumpUntil(
      [&] {
        if (HWND shown = VisibleIntro(launcher.Windows())) intro = shown;
        return (intro != nullptr && !IsWindowVisible(taskbar.get())) || !launcher.Running();
      },
      20s);
  ASSERT_NE(intro, nullptr) << "no intro came up; " << Describe(launcher.Windows());
  ASSERT_FALSE(IsWindowVisible(taskbar.get())) << "the intro did not hide the taskbar";
  const Clock::time_point introUp = Clock::now();
  EXPECT_EQ(LauncherProcesses(launcherId).size(), 1u) << "one guard stands by during the intro";
  EXPECT_TRUE(ChildProcesses(launcherId).empty()) << "the guard is in the launcher's process tree";

  PumpUntil([&] { return MsSince(introUp) >= 3000; }, 4s);
  ASSERT_TRUE(launcher.Running());
  ASSERT_TRUE(IsWindowVisible(intro)) << "the movie ended before the kill";
  if (ending == Ending::ProcessTree) {
    EndProcessTree(launcherId);
  } else {
    ASSERT_TRUE(TerminateProcess(launcher.Handle(), 9));
  }
  const Clock::time_point killed = Clock::now();

  const bool taskbarBack = PumpUntil([&] { return IsWindowVisible(taskbar.get()) != FALSE; }, 2s);
  const long long backMs = MsSince(killed);
  EXPECT_TRUE(taskbarBack) << "the taskbar is still hidden " << backMs << " ms after the kill";
  const bool allEnded = PumpUntil(
      [&] { return !launcher.Running() && LauncherProcesses(launcherId).empty(); }, 5s);
  EXPECT_TRUE(allEnded) << LauncherProcesses(launcherId).size() << " guard(s) still running";
  if (taskbarBack) std::printf("the taskbar was back %lld ms after the kill\n", backMs);
}

TEST(ScreenGuard, ALauncherKilledDuringTheIntroGetsTheTaskbarBackAndLeavesNothingRunning) {
  EndDuringTheIntro(Ending::Process);
}

TEST(ScreenGuard, EndProcessTreeDuringTheIntroGetsTheTaskbarBackAndLeavesNothingRunning) {
  EndDuringTheIntro(Ending::ProcessTree);
}

} // namespace
} // namespace fablewick::e2e::screen_guard_scenarios

// A second start of the launcher while one already runs: the running one
// comes to the front and the second ends without a window or a sound.
#include "driver.h"

#include <gtest/gtest.h>

namespace fablewick::e2e {
namespace {

// A window of the test's own that takes the front from the launcher, so the
// scenario can see the launcher come back.
class Bystander {
public:
  Bystander()
      : window_(CreateWindowExA(0, "STATIC", "Bystander", WS_POPUP | WS_VISIBLE | WS_BORDER, 40, 40, 200, 100,
                                nullptr, nullptr, GetModuleHandleA(nullptr), nullptr)) {}
  ~Bystander() {
    if (window_) DestroyWindow(window_);
  }
  Bystander(const Bystander&) = delete;
  Bystander& operator=(const Bystander&) = delete;
  HWND Handle() const { return window_; }

private:
  HWND window_;
};

void Pump() {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
}

bool WaitUntilForeground(HWND window, DWORD timeoutMs) {
  const DWORD start = GetTickCount();
  while (GetTickCount() - start < timeoutMs) {
    Pump();
    if (GetForegroundWindow() == window) return true;
    Sleep(20);
  }
  return false;
}

// True once the recording holds some sound followed by half a second of
// silence; waits at most 15 s.
bool TuneHasEnded(const SoundcardRecording& recording) {
  const DWORD start = GetTickCount();
  while (GetTickCount() - start < 15000) {
    Sleep(250);
    const SoundcardRecording::Report report = recording.Read();
    if (!report.Silent() && report.recordedMs > report.lastSoundEndMs + 500) return true;
  }
  return false;
}

class SingleInstance : public ::testing::Test {
protected:
  void SetUp() override {
    registry::Reset();
    // Not a first run, so no intro; the opening tune keeps its default, on.
    registry::CreateKey(kLauncherKey);
    input::MoveToScreen(0, 0);
  }

  // Watches the second start until it ends: how it ended and whether any
  // window of it was ever visible.
  struct SecondStart {
    std::optional<LauncherProcess::Exit> exit;
    std::vector<TopWindow> shown;
  };
  static SecondStart Watch(LauncherProcess& second, DWORD timeoutMs) {
    SecondStart watched;
    const DWORD start = GetTickCount();
    while (second.Running() && GetTickCount() - start < timeoutMs) {
      for (const TopWindow& top : second.Windows()) {
        if (top.visible) watched.shown.push_back(top);
      }
      Pump();
      Sleep(5);
    }
    watched.exit = second.WaitForExit(1);
    return watched;
  }
};

TEST_F(SingleInstance, ASecondStartBringsTheRunningLauncherToTheFrontAndEndsWithZeroSilently) {
  ScenarioFolder folder("single_instance_second_start");
  SoundcardRecording tune = SoundcardRecording::Mark();
  LauncherProcess first = LauncherProcess::Start(folder);
  HWND window = first.WaitForLauncher();
  ASSERT_NE(nullptr, window);
  // Let the 6.2 s opening tune end, so that a second one would be heard.
  ASSERT_TRUE(TuneHasEnded(tune)) << "the first start played no tune, or it did not end";

  Bystander bystander;
  ASSERT_NE(nullptr, bystander.Handle());
  ASSERT_TRUE(BringToFront(bystander.Handle()));

  SoundcardRecording after = SoundcardRecording::Mark();
  LauncherProcess second = LauncherProcess::Start(folder);
  ASSERT_TRUE(second.Started());
  second.MarkAction();
  SecondStart watched = Watch(second, 5000);
  ASSERT_TRUE(watched.exit.has_value());
  EXPECT_EQ(0u, watched.exit->code);
  EXPECT_LT(watched.exit->msSinceAction, 3000u);
  EXPECT_TRUE(watched.shown.empty()) << Describe(watched.shown);

  EXPECT_TRUE(WaitUntilForeground(window, 2000)) << "the running launcher did not come to the front";
  EXPECT_TRUE(first.Running());
  ASSERT_TRUE(after.WaitFor(watched.exit->msSinceAction + 1500));
  EXPECT_TRUE(after.Read().Silent()) << after.Read().soundMs << " ms of sound after the second start";
}

TEST_F(SingleInstance, ASecondStartRestoresAMinimisedLauncher) {
  registry::SetDword(kLauncherKey, "128", 0); // no tune
  ScenarioFolder folder("single_instance_minimised");
  LauncherProcess first = LauncherProcess::Start(folder);
  HWND window = first.WaitForLauncher();
  ASSERT_NE(nullptr, window);
  HWND application = GetWindow(window, GW_OWNER);
  ASSERT_NE(nullptr, application);
  PostMessageA(window, WM_SYSCOMMAND, SC_MINIMIZE, 0);
  const DWORD start = GetTickCount();
  while ((IsWindowVisible(window) || !IsIconic(application)) && GetTickCount() - start < 3000) Sleep(20);
  ASSERT_TRUE(IsIconic(application)) << "the launcher did not minimise";

  LauncherProcess second = LauncherProcess::Start(folder);
  second.MarkAction();
  SecondStart watched = Watch(second, 5000);
  ASSERT_TRUE(watched.exit.has_value());
  EXPECT_EQ(0u, watched.exit->code);
  EXPECT_TRUE(watched.shown.empty()) << Describe(watched.shown);

  EXPECT_TRUE(WaitUntilForeground(window, 2000)) << Describe(first.Windows());
  EXPECT_TRUE(IsWindowVisible(window));
  EXPECT_FALSE(IsIconic(application));
}

TEST_F(SingleInstance, AStartAfterTheLauncherHasEndedComesUpAsUsual) {
  registry::SetDword(kLauncherKey, "128", 0); // no tune
  ScenarioFolder folder("single_instance_after_end");
  {
    LauncherProcess first = LauncherProcess::Start(folder);
    HWND window = first.WaitForLauncher();
    ASSERT_NE(nullptr, window);
    PostMessageA(window, WM_CLOSE, 0, 0);
    ASSERT_TRUE(first.WaitForExit(15000).has_value());
  }
  LauncherProcess next = LauncherProcess::Start(folder);
  EXPECT_NE(nullptr, next.WaitForLauncher());
}

} // namespace
} // namespace fablewick::e2e

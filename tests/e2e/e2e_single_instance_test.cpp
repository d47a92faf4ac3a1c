// A second start of the launcher while one already runs: the running one
// comes to the front and the second ends without a window or a sound.
#include "driver.h"

#include <gtest/gtest.h>

#include <thread>

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

TEST_F(SingleInstance, ASecondStartDuringTheIntroBringsTheIntroToTheFront) {
  registry::Reset(); // a first run, with the intro
  ScenarioFolder start("single_instance_intro_start");
  ScenarioFolder package("single_instance_intro_package");
  package.AddMovies({"Kelvarn Movie.avi", "Quillmere Movie.avi"});
  registry::SetInstallDir(package.Path());
  LauncherProcess first = LauncherProcess::Start(start);
  ASSERT_TRUE(first.Started());

  // The intro is the visible window without a menu bar that covers the
  // screen; the fade's overlay, which covers it too, is no window to activate.
  HWND intro = nullptr;
  const DWORD began = GetTickCount();
  while (!intro && GetTickCount() - began < 20000) {
    for (const TopWindow& top : first.Windows()) {
      const bool layered = (GetWindowLongPtrA(top.handle, GWL_EXSTYLE) & WS_EX_LAYERED) != 0;
      if (top.visible && !top.hasMenu && !layered && top.rect.right - top.rect.left == GetSystemMetrics(SM_CXSCREEN)) {
        intro = top.handle;
      }
    }
    Pump();
    Sleep(20);
  }
  ASSERT_NE(nullptr, intro) << Describe(first.Windows());
  Bystander bystander;
  ASSERT_TRUE(BringToFront(bystander.Handle()));

  LauncherProcess second = LauncherProcess::Start(start);
  second.MarkAction();
  SecondStart watched = Watch(second, 5000);
  ASSERT_TRUE(watched.exit.has_value());
  EXPECT_EQ(0u, watched.exit->code);
  EXPECT_TRUE(watched.shown.empty()) << Describe(watched.shown);
  EXPECT_TRUE(WaitUntilForeground(intro, 2000)) << "the intro did not come to the front";
  // The first start goes on to its launcher once the movies have played.
  EXPECT_NE(nullptr, first.WaitForLauncher());
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

// The launcher's name in the session, and where its holder publishes its
// process id, as the program makes them.
constexpr char kInstanceName[] = "Local\\Quillmere.Fablewick.Launcher";
constexpr char kPublicationName[] = "Local\\Quillmere.Fablewick.Launcher.Process";
constexpr char kApplicationClass[] = "FablewickApplication";

// A launcher that holds the name and has published itself, but whose window
// no longer answers: a window of the launcher's class on a thread that never
// takes a message.
class HungLauncher {
public:
  HungLauncher()
      : name_(CreateMutexA(nullptr, FALSE, kInstanceName)),
        publication_(CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(DWORD),
                                        kPublicationName)),
        release_(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {
    if (void* view = publication_ ? MapViewOfFile(publication_, FILE_MAP_WRITE, 0, 0, sizeof(DWORD)) : nullptr) {
      *static_cast<DWORD*>(view) = GetCurrentProcessId();
      UnmapViewOfFile(view);
    }
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = kApplicationClass;
    RegisterClassA(&windowClass);
    HANDLE ready = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    thread_ = std::thread([this, ready] {
      window_ = CreateWindowExA(0, kApplicationClass, "Fablewick", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 300,
                                200, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
      SetEvent(ready);
      WaitForSingleObject(release_, 60000);
      if (window_) DestroyWindow(window_);
    });
    WaitForSingleObject(ready, 5000);
    CloseHandle(ready);
  }
  ~HungLauncher() {
    SetEvent(release_);
    thread_.join();
    UnregisterClassA(kApplicationClass, GetModuleHandleA(nullptr));
    CloseHandle(release_);
    if (publication_) CloseHandle(publication_);
    if (name_) CloseHandle(name_);
  }
  HungLauncher(const HungLauncher&) = delete;
  HungLauncher& operator=(const HungLauncher&) = delete;
  bool Ready() const { return name_ != nullptr && publication_ != nullptr && window_ != nullptr; }

private:
  HANDLE name_;
  HANDLE publication_;
  HANDLE release_;
  HWND window_ = nullptr;
  std::thread thread_;
};

TEST_F(SingleInstance, ASecondStartActivatesTheDialogOfTheRunningLauncher) {
  registry::SetDword(kLauncherKey, "128", 0); // no tune
  ScenarioFolder folder("single_instance_dialog");
  LauncherProcess first = LauncherProcess::Start(folder);
  HWND window = first.WaitForLauncher();
  ASSERT_NE(nullptr, window);
  ASSERT_TRUE(BringToFront(window));
  input::ChooseFromMenu('H', 'F');
  HWND dialog = first.WaitForDialog("Information");
  ASSERT_NE(nullptr, dialog);

  Bystander bystander;
  ASSERT_TRUE(BringToFront(bystander.Handle()));

  LauncherProcess second = LauncherProcess::Start(folder);
  second.MarkAction();
  SecondStart watched = Watch(second, 5000);
  ASSERT_TRUE(watched.exit.has_value());
  EXPECT_EQ(0u, watched.exit->code);
  EXPECT_TRUE(watched.shown.empty()) << Describe(watched.shown);
  // The dialog, not the launcher it holds disabled beneath it.
  EXPECT_TRUE(WaitUntilForeground(dialog, 2000)) << Describe(first.Windows());

  PostMessageA(dialog, WM_CLOSE, 0, 0);
  PostMessageA(window, WM_CLOSE, 0, 0);
  EXPECT_TRUE(first.WaitForExit(15000).has_value());
}

TEST_F(SingleInstance, ALauncherThatNoLongerAnswersHoldsANewStartForTwoSecondsAtMost) {
  registry::SetDword(kLauncherKey, "128", 0); // no tune
  HungLauncher stale;
  ASSERT_TRUE(stale.Ready());
  ScenarioFolder folder("single_instance_stale");
  const DWORD start = GetTickCount();
  LauncherProcess next = LauncherProcess::Start(folder);
  HWND window = next.WaitForLauncher(15000);
  const DWORD took = GetTickCount() - start;
  ASSERT_NE(nullptr, window) << "no launcher came up beside the stale one";
  EXPECT_GE(took, 2000u) << "the new start did not try the running one first";
  EXPECT_LT(took, 8000u);
}

TEST_F(SingleInstance, WithoutItsNameTheLauncherStartsAsBefore) {
  registry::SetDword(kLauncherKey, "128", 0); // no tune
  ScenarioFolder folder("single_instance_no_name");
  // How long a plain start takes on this machine now.
  DWORD usual = 0;
  {
    const DWORD start = GetTickCount();
    LauncherProcess launcher = LauncherProcess::Start(folder);
    ASSERT_NE(nullptr, launcher.WaitForLauncher());
    usual = GetTickCount() - start;
  }
  // An object of another kind under the name makes the mutex impossible.
  HANDLE squatter = CreateEventA(nullptr, TRUE, FALSE, kInstanceName);
  ASSERT_NE(nullptr, squatter);
  const DWORD start = GetTickCount();
  LauncherProcess launcher = LauncherProcess::Start(folder);
  HWND window = launcher.WaitForLauncher();
  const DWORD took = GetTickCount() - start;
  CloseHandle(squatter);
  ASSERT_NE(nullptr, window);
  // Waiting for a launcher that is not there would add two seconds.
  EXPECT_LT(took, usual + 1500) << "the start waited as if another launcher ran";
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

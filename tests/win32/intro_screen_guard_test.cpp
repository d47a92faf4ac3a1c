#include "intro/screen_takeover.h"
#include "intro/win32/gdi_gamma_display.h"
#include "intro/win32/screen_guard_role.h"
#include "intro/win32/screen_guard_starter.h"
#include "intro/win32/win32_desktop.h"
#include "intro_fixtures.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

// Two launchers holding the screen at once, played by this same program run
// twice more as children that take the screen over and wait to be killed.
// The children's part runs before main, chosen by an environment variable.
// Their guards are this program again; the crash test's dispatch serves them.

namespace fablewick::win32 {
namespace {

using namespace std::chrono_literals;
using fablewick::testing::PumpUntil;
using fablewick::testing::RunningGuards;

constexpr char HolderVariable[] = "FABLEWICK_GUARD_TEST_HOLDER";

// Tells the parent, through the named event in the variable, once the guard
// has been started: killed earlier, a launcher could leave its guard
// suspended half-way through creation.
[[noreturn]] void TakeOverAndHold(const char* readyEvent) {
  static GdiGammaDisplay gammaDisplay;
  static GammaFade gamma(gammaDisplay);
  TakeScreenGuardRole(gamma);
  for (int i = 0; i < 60 && FindWindowA("Shell_TrayWnd", nullptr) == nullptr; ++i) Sleep(50);
  static Win32Desktop desktop;
  CurrentTakeover().desktop = &desktop;
  TakeOverDesktop(0);
  const HANDLE ready = OpenEventA(EVENT_MODIFY_STATE, FALSE, readyEvent);
  if (ready != nullptr) SetEvent(ready);
  Sleep(INFINITE);
  ExitProcess(0);
}

const bool holderRan = [] {
  // A guard started by a holder inherits the holder's variable too.
  if (GetEnvironmentVariableA(GuardHandlesVariable, nullptr, 0) != 0) return false;
  char readyEvent[64] = {};
  if (GetEnvironmentVariableA(HolderVariable, readyEvent, sizeof readyEvent) == 0) return false;
  TakeOverAndHold(readyEvent);
}();

class Holder {
public:
  Holder() {
    static int count = 0;
    const std::string readyName = "Local\\FablewickGuardTestReady" +
                                  std::to_string(GetCurrentProcessId()) + "_" +
                                  std::to_string(++count);
    ready_ = CreateEventA(nullptr, TRUE, FALSE, readyName.c_str());
    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string command = std::string("\"") + self + "\" --gtest_filter=-*";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    SetEnvironmentVariableA(HolderVariable, readyName.c_str());
    if (CreateProcessA(self, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                       &info_)) {
      CloseHandle(info_.hThread);
    }
    SetEnvironmentVariableA(HolderVariable, nullptr);
  }
  ~Holder() {
    if (ready_ != nullptr) CloseHandle(ready_);
    if (info_.hProcess == nullptr) return;
    Kill();
    CloseHandle(info_.hProcess);
  }
  Holder(const Holder&) = delete;
  Holder& operator=(const Holder&) = delete;

  bool Started() const { return info_.hProcess != nullptr; }
  bool Ready() const { return ready_ != nullptr && WaitForSingleObject(ready_, 0) == WAIT_OBJECT_0; }
  int Guards() const { return RunningGuards(info_.dwProcessId); }
  void Kill() {
    TerminateProcess(info_.hProcess, 9);
    WaitForSingleObject(info_.hProcess, 5000);
  }

private:
  PROCESS_INFORMATION info_{};
  HANDLE ready_ = nullptr;
};

TEST(ScreenGuardWin32, ASecondLaunchersGuardWaitsWhileTheFirstStillHoldsTheScreen) {
  ASSERT_FALSE(holderRan);
  fablewick::testing::TestTaskbar taskbar;
  ASSERT_NE(taskbar.get(), nullptr);

  Holder first;
  ASSERT_TRUE(first.Started());
  // Pumping: the holders' taskbar calls may be served by this thread.
  ASSERT_TRUE(PumpUntil([&] { return first.Ready(); }, 20s));
  ASSERT_FALSE(IsWindowVisible(taskbar.get()));
  ASSERT_EQ(first.Guards(), 1);
  Holder second;
  ASSERT_TRUE(second.Started());
  ASSERT_TRUE(PumpUntil([&] { return second.Ready(); }, 20s));
  ASSERT_EQ(second.Guards(), 1);

  // The first launcher still shows its intro: the second one's guard must
  // not bring the taskbar up over it, nor give up its watch.
  second.Kill();
  fablewick::testing::PumpFor(1500ms);
  EXPECT_FALSE(IsWindowVisible(taskbar.get()));
  EXPECT_EQ(second.Guards(), 1);

  first.Kill();
  EXPECT_TRUE(PumpUntil([&] { return IsWindowVisible(taskbar.get()) != FALSE; }, 2s));
  EXPECT_TRUE(PumpUntil([&] { return first.Guards() == 0 && second.Guards() == 0; }, 5s))
      << first.Guards() << " and " << second.Guards() << " guard(s) left";
}

} // namespace
} // namespace fablewick::win32

// Runs the real program and ends it the ways a user would.

#include "app/win32/application.h"

#include "frame_test_helpers.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

namespace fablewick::win32 {
namespace {

using fablewick::testing::ClassOf;
using fablewick::testing::TextOf;

constexpr DWORD Patience = 60000;

struct ProgramWindows {
  HWND application = nullptr;
  HWND launcher = nullptr;
};

ProgramWindows FindWindowsOf(DWORD process) {
  struct Search {
    DWORD process;
    ProgramWindows found;
  } search{process, {}};
  EnumWindows(
      [](HWND window, LPARAM context) -> BOOL {
        auto* s = reinterpret_cast<Search*>(context);
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner != s->process) return TRUE;
        std::string cls = ClassOf(window);
        if (cls == "FablewickApplication") s->found.application = window;
        if (cls == "Tfrmmain") s->found.launcher = window;
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// The program started afresh, and waits on its windows and on its end.
class Program {
public:
  Program() : program_("frame") {}
  explicit Program(WORD show) : program_("frame", &show) {}
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;

  bool Started() const { return program_.Started(); }

  // Polls until `ready` holds for the program's windows or the program ends.
  template <class Ready>
  ProgramWindows WaitFor(Ready ready) {
    for (DWORD waited = 0; waited < Patience; waited += 50) {
      ProgramWindows windows = FindWindowsOf(program_.Id());
      if (ready(windows)) return windows;
      if (WaitForSingleObject(program_.Process(), 50) != WAIT_TIMEOUT) break;
    }
    return FindWindowsOf(program_.Id());
  }

  // The exit code, or STILL_ACTIVE if the program did not end in time.
  DWORD WaitForExit() {
    if (WaitForSingleObject(program_.Process(), Patience) != WAIT_OBJECT_0) return STILL_ACTIVE;
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(program_.Process(), &code);
    return code;
  }

private:
  fablewick::testing::StartedProgram program_;
};

bool LauncherVisible(const ProgramWindows& w) { return w.launcher && IsWindowVisible(w.launcher); }

TEST(Program, TheLauncherIsOwnedByTheApplicationWindowWhichCarriesTheTitle) {
  Program program;
  ASSERT_TRUE(program.Started());
  ProgramWindows windows = program.WaitFor(LauncherVisible);
  ASSERT_TRUE(LauncherVisible(windows));
  EXPECT_EQ(GetWindow(windows.launcher, GW_OWNER), windows.application);
  EXPECT_EQ(TextOf(windows.application), "Fablewick");
  EXPECT_EQ(GetWindow(windows.application, GW_OWNER), nullptr);
  RECT r;
  GetWindowRect(windows.application, &r);
  EXPECT_EQ(r.right - r.left, 0);
  EXPECT_EQ(r.bottom - r.top, 0);
  HMENU system = GetSystemMenu(windows.application, FALSE);
  EXPECT_EQ(GetMenuState(system, SC_MAXIMIZE, MF_BYCOMMAND), static_cast<UINT>(-1));
  EXPECT_EQ(GetMenuState(system, SC_SIZE, MF_BYCOMMAND), static_cast<UINT>(-1));

  PostMessageA(windows.launcher, WM_CLOSE, 0, 0);
  EXPECT_EQ(program.WaitForExit(), 0u);
}

// Wine cannot pass WM_GETICON between processes, so the icons are looked at
// on this process's own application window.
TEST(ApplicationWindow, CarriesTheProgramsIconBigAndSmall) {
  HWND application = App().Handle();
  HICON big = reinterpret_cast<HICON>(SendMessageA(application, WM_GETICON, ICON_BIG, 0));
  HICON small = reinterpret_cast<HICON>(SendMessageA(application, WM_GETICON, ICON_SMALL, 0));
  ASSERT_NE(big, nullptr);
  ASSERT_NE(small, nullptr);
  ICONINFO info{};
  ASSERT_TRUE(GetIconInfo(small, &info));
  BITMAP colour{};
  GetObjectA(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof colour, &colour);
  EXPECT_EQ(colour.bmWidth, GetSystemMetrics(SM_CXSMICON));
  if (info.hbmColor) DeleteObject(info.hbmColor);
  if (info.hbmMask) DeleteObject(info.hbmMask);
}

TEST(Program, TheCloseBoxOfTheLauncherEndsTheProgramWithExitCodeZero) {
  Program program;
  ASSERT_TRUE(program.Started());
  ProgramWindows windows = program.WaitFor(LauncherVisible);
  ASSERT_TRUE(LauncherVisible(windows));
  PostMessageA(windows.launcher, WM_SYSCOMMAND, SC_CLOSE, 0);
  EXPECT_EQ(program.WaitForExit(), 0u);
}

TEST(Program, StartedMinimisedTheLauncherStaysHiddenUntilTheProgramIsRestored) {
  Program program(SW_SHOWMINNOACTIVE);
  ASSERT_TRUE(program.Started());
  ProgramWindows windows =
      program.WaitFor([](const ProgramWindows& w) { return w.application && w.launcher && IsIconic(w.application); });
  ASSERT_NE(windows.launcher, nullptr);
  ASSERT_TRUE(IsIconic(windows.application));
  Sleep(500);
  EXPECT_FALSE(IsWindowVisible(windows.launcher));

  // What a click on the taskbar button sends.
  PostMessageA(windows.application, WM_SYSCOMMAND, SC_RESTORE, 0);
  windows = program.WaitFor(LauncherVisible);
  EXPECT_TRUE(LauncherVisible(windows));
  EXPECT_FALSE(IsIconic(windows.application));

  PostMessageA(windows.launcher, WM_CLOSE, 0, 0);
  EXPECT_EQ(program.WaitForExit(), 0u);
}

TEST(Program, StartedMaximisedTheLauncherComesUpMaximisedAndOtherShowCommandsStartItNormal) {
  {
    Program program(SW_SHOWMAXIMIZED);
    ASSERT_TRUE(program.Started());
    ProgramWindows windows = program.WaitFor(LauncherVisible);
    ASSERT_TRUE(LauncherVisible(windows));
    EXPECT_TRUE(IsZoomed(windows.launcher));
    PostMessageA(windows.launcher, WM_CLOSE, 0, 0);
    EXPECT_EQ(program.WaitForExit(), 0u);
  }
  // Minimised with activation is not the shortcut's "run minimised".
  Program program(SW_SHOWMINIMIZED);
  ASSERT_TRUE(program.Started());
  ProgramWindows windows = program.WaitFor(LauncherVisible);
  ASSERT_TRUE(LauncherVisible(windows));
  EXPECT_FALSE(IsZoomed(windows.launcher));
  EXPECT_FALSE(IsIconic(windows.launcher));
  EXPECT_FALSE(IsIconic(windows.application));
  PostMessageA(windows.launcher, WM_CLOSE, 0, 0);
  EXPECT_EQ(program.WaitForExit(), 0u);
}

} // namespace
} // namespace fablewick::win32

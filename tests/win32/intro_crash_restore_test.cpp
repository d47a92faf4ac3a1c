#include "intro/win32/crash_restore.h"

#include "app/win32/system_clock.h"
#include "intro/gamma_fade.h"
#include "intro/intro_sequence.h"
#include "intro/win32/gdi_gamma_display.h"
#include "intro/win32/layered_overlay.h"
#include "intro/win32/mci_player.h"
#include "intro/win32/screen_guard_role.h"
#include "intro/win32/screen_guard_starter.h"
#include "intro/win32/win32_desktop.h"
#include "intro_fixtures.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <map>
#include <sstream>
#include <string>

// The crash tests run this same program a second time as a child that takes
// the screen over the way the intro does and then dies. The child's part runs
// before main, chosen by an environment variable, so it needs no test case
// of its own.

namespace fablewick::win32 {
namespace {

using namespace std::chrono_literals;

constexpr char CrashModeVariable[] = "FABLEWICK_INTRO_CRASH";
constexpr char ReportVariable[] = "FABLEWICK_INTRO_CRASH_REPORT";

std::string ReportPath() {
  char path[MAX_PATH] = {};
  GetEnvironmentVariableA(ReportVariable, path, MAX_PATH);
  return path;
}

// Appends one "label left top right bottom taskbarVisible guards" line.
void Report(const char* label) {
  RECT area{};
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
  const HWND taskbar = FindWindowA("Shell_TrayWnd", nullptr);
  char line[160];
  const int length = std::snprintf(line, sizeof line, "%s %ld %ld %ld %ld %d %d\n", label,
                                   area.left, area.top, area.right, area.bottom,
                                   taskbar != nullptr && IsWindowVisible(taskbar),
                                   fablewick::testing::RunningGuards(GetCurrentProcessId()));
  const HANDLE file = CreateFileA(ReportPath().c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr,
                                  OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  WriteFile(file, line, static_cast<DWORD>(length), &written, nullptr);
  CloseHandle(file);
}

// Installed before the restore handlers, so they hand over to these once
// they are done: whatever these see is what the user would be left with.
LONG WINAPI ReportAfterCrash(EXCEPTION_POINTERS*) {
  Report("after");
  return EXCEPTION_EXECUTE_HANDLER;
}
[[noreturn]] void ReportAfterTerminate() {
  Report("after");
  ExitProcess(3);
}

class NoMoviesView : public IntroView {
public:
  WindowHandle Window() override { return 0; }
  std::int32_t Dpi() override { return 96; }
  bool PresentOnScreen(WindowHandle) override { return true; }
  void SetClientSize(std::int32_t, std::int32_t) override {}
  std::int32_t ClientWidth() override { return 0; }
  std::int32_t ClientHeight() override { return 0; }
  void SetTVColourToForm() override {}
  void ShowTV(bool) override {}
  void SetTVWidth(std::int32_t) override {}
  void SetTVHeight(std::int32_t) override {}
  void SetTVPosition(std::int32_t, std::int32_t) override {}
  std::int32_t TVWidth() override { return 0; }
  std::int32_t TVHeight() override { return 0; }
  void Close() override {}
  void PostClose() override {}
  void ShowMainForm(WindowHandle) override {}
  bool IsPlainFile(const std::string&) override { return false; }
  DecoderCheck CheckDecoder(const std::string&) override { return DecoderCheck::NoneNeeded; }
};

[[noreturn]] void TakeOverThenCrash(const std::string& mode) {
  SetErrorMode(SEM_NOGPFAULTERRORBOX | SEM_FAILCRITICALERRORS);
  static GdiGammaDisplay gammaDisplay;
  static GammaFade gamma(gammaDisplay);
  // Guarded like the program itself, so the test sees the guard stand down.
  TakeScreenGuardRole(gamma);
  SetUnhandledExceptionFilter(&ReportAfterCrash);
  std::set_terminate(&ReportAfterTerminate);
  InstallScreenRestoreOnCrash();

  // The parent has made sure the shell's taskbar exists; this process may
  // still have to wait for it to be listed.
  for (int i = 0; i < 60 && FindWindowA("Shell_TrayWnd", nullptr) == nullptr; ++i) Sleep(50);
  // A work area unlike the whole screen, as a docked taskbar would leave it,
  // so that giving it back is distinguishable from not touching it.
  RECT own{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN) - 30};
  SystemParametersInfoA(SPI_SETWORKAREA, 0, &own, SPIF_SENDCHANGE);

  Report("before");
  static Win32Desktop desktop;
  static SystemClock clock;
  static MciPlayer player;
  static NoMoviesView view;
  static LayeredOverlay overlay;
  static IntroSequence intro(player, view, desktop, overlay, gamma, clock);
  intro.FormCreate();
  intro.FormShow();
  Report("during");

  if (mode == "terminate") {
    // Nothing up this stack catches it: this runs before main.
    throw std::runtime_error("escaped");
  } else {
    // An address the compiler cannot see is null, so the store really faults.
    volatile std::uintptr_t nowhere = 0;
    *reinterpret_cast<volatile int*>(nowhere) = 1;
  }
  ExitProcess(0); // the crash did not happen; the parent sees success and fails
}

// A guard the child starts is this same program once more.
const bool guardRan = [] {
  if (GetEnvironmentVariableA(GuardHandlesVariable, nullptr, 0) == 0) return false;
  GdiGammaDisplay display;
  GammaFade unused(display);
  TakeScreenGuardRole(unused);
  ExitProcess(0);
}();

const bool childRan = [] {
  char mode[32] = {};
  if (GetEnvironmentVariableA(CrashModeVariable, mode, sizeof mode) == 0) return false;
  TakeOverThenCrash(mode);
}();

struct Snapshot {
  Rect area;
  bool taskbarVisible = false;
  int guards = 0;
};

std::string ReadAll(const std::string& path) {
  std::string text;
  FILE* file = std::fopen(path.c_str(), "r");
  if (file == nullptr) return text;
  char chunk[256];
  while (std::size_t n = std::fread(chunk, 1, sizeof chunk, file)) text.append(chunk, n);
  std::fclose(file);
  return text;
}

std::map<std::string, Snapshot> ReadReport(const std::string& path) {
  std::map<std::string, Snapshot> lines;
  FILE* file = std::fopen(path.c_str(), "r");
  if (file == nullptr) return lines;
  char label[16];
  long l, t, r, b;
  int visible, guards;
  while (std::fscanf(file, "%15s %ld %ld %ld %ld %d %d", label, &l, &t, &r, &b, &visible,
                     &guards) == 7) {
    lines[label] = Snapshot{Rect{static_cast<std::int32_t>(l), static_cast<std::int32_t>(t),
                                 static_cast<std::int32_t>(r), static_cast<std::int32_t>(b)},
                            visible != 0, guards};
  }
  std::fclose(file);
  return lines;
}

class IntroCrashRestore : public ::testing::TestWithParam<const char*> {};

TEST_P(IntroCrashRestore, ACrashWhileTheIntroHoldsTheScreenGivesTaskbarAndWorkAreaBack) {
  ASSERT_FALSE(childRan);
  ASSERT_FALSE(guardRan);
  fablewick::testing::TestTaskbar taskbar;
  ASSERT_NE(taskbar.get(), nullptr);
  RECT userArea{};
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &userArea, 0);

  char temp[MAX_PATH], report[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  GetTempFileNameA(temp, "fwc", 0, report);
  DeleteFileA(report);
  char self[MAX_PATH];
  GetModuleFileNameA(nullptr, self, MAX_PATH);

  SetEnvironmentVariableA(CrashModeVariable, GetParam());
  SetEnvironmentVariableA(ReportVariable, report);
  std::string command = std::string("\"") + self + "\" --gtest_filter=-*";
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION child{};
  const BOOL started = CreateProcessA(self, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                      nullptr, &startup, &child);
  SetEnvironmentVariableA(CrashModeVariable, nullptr);
  SetEnvironmentVariableA(ReportVariable, nullptr);
  ASSERT_TRUE(started);

  // The child's taskbar calls may be served by this thread, so keep pumping.
  const bool ended = fablewick::testing::PumpUntil(
      [&] { return WaitForSingleObject(child.hProcess, 0) == WAIT_OBJECT_0; }, 60s,
      child.hProcess);
  if (!ended) TerminateProcess(child.hProcess, 1);
  DWORD exitCode = 0;
  GetExitCodeProcess(child.hProcess, &exitCode);
  const DWORD childId = child.dwProcessId;
  CloseHandle(child.hThread);
  CloseHandle(child.hProcess);
  SystemParametersInfoA(SPI_SETWORKAREA, 0, &userArea, SPIF_SENDCHANGE);
  ASSERT_TRUE(ended) << "the child hung";
  EXPECT_NE(exitCode, 0u) << "the child did not crash";

  auto lines = ReadReport(report);
  SCOPED_TRACE("child's report:\n" + ReadAll(report));
  DeleteFileA(report);
  ASSERT_EQ(lines.count("before") + lines.count("during") + lines.count("after"), 3u);
  const Rect screen{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  EXPECT_EQ(lines["during"].area, screen);
  EXPECT_FALSE(lines["during"].taskbarVisible);
  EXPECT_EQ(lines["before"].area, (Rect{0, 0, screen.right, screen.bottom - 30}));
  EXPECT_EQ(lines["after"].area, lines["before"].area);
  EXPECT_TRUE(lines["after"].taskbarVisible);
  EXPECT_TRUE(IsWindowVisible(taskbar.get()));
  EXPECT_EQ(lines["during"].guards, 1);
  EXPECT_TRUE(fablewick::testing::PumpUntil(
      [&] { return fablewick::testing::RunningGuards(childId) == 0; }, 5s))
      << "the guard outlived the crashed child";
}

INSTANTIATE_TEST_SUITE_P(UnhandledErrors, IntroCrashRestore,
                         ::testing::Values("terminate", "access_violation"));

} // namespace
} // namespace fablewick::win32

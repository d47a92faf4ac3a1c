// The package in folders the system's code page cannot spell (Japanese,
// Cyrillic, Greek with a playing card beyond the Basic Multilingual Plane,
// Hebrew), in a Latin-1 one that it can, and in one deeper than MAX_PATH:
// the first start plays the intro movie found there and a click starts that
// folder's game. The launcher started from such a folder and killed during
// its intro still gets the taskbar back, through a guard started from there.
#include "driver.h"
#include "e2e_launcher_fixture.h"

#include "../win32/intro_fixtures.h"

#include <gtest/gtest.h>

#include <cctype>
#include <chrono>
#include <fstream>
#include <iterator>

namespace fablewick::e2e {
namespace {

using namespace std::chrono_literals;
using fablewick::testing::PumpUntil;

std::string FixtureBytes(const char* name) {
  std::ifstream file(fablewick::testing::IntroFixture(name), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

struct NamedFolder {
  const char* what;
  std::string name; // UTF-8
};

// Four nested folders of 60 characters each: about 300 in all.
std::string DeepFolder() {
  std::string path = "deep";
  for (char letter : {'a', 'b', 'c', 'd'}) path += "\\" + std::string(60, letter);
  return path;
}

const NamedFolder kJapanese{"Japanese", "カードゲーム集"};
const NamedFolder kCyrillic{"Cyrillic", "Карточные игры"};
const NamedFolder kGreekBeyondTheBmp{"Greek and U+1F0A1", "Παιχνίδια 🂡"};
const NamedFolder kHebrew{"Hebrew", "משחקי קלפים"};
const NamedFolder kLatin1{"Latin-1", "Kartenspiele für Jürgen"};
const NamedFolder kDeep{"deeper than MAX_PATH", DeepFolder()};

std::string TestName(const ::testing::TestParamInfo<NamedFolder>& info) {
  std::string name;
  for (char c : std::string(info.param.what)) name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
  return name;
}

// The folder's own spelling, where a program was given its short form.
std::wstring LongForm(const std::string& path) {
  std::wstring wide = Wide(path), found(32768, L'\0');
  const DWORD length = GetLongPathNameW(wide.c_str(), found.data(), static_cast<DWORD>(found.size()));
  return length ? found.substr(0, length) : wide;
}

// Waits until the intro plays a movie: its panel takes the movie's own width
// (64), which only an opened device reports. The intro window, or null.
HWND IntroPlaying(const LauncherProcess& launcher) {
  HWND intro = nullptr;
  const bool playing = PumpUntil(
      [&] {
        intro = VisibleIntro(launcher.Windows());
        HWND panel = intro ? FindWindowExA(intro, nullptr, nullptr, nullptr) : nullptr;
        RECT r{};
        return (panel && IsWindowVisible(panel) && GetWindowRect(panel, &r) && r.right - r.left == 64) ||
               !launcher.Running();
      },
      20s);
  if (!playing || !launcher.Running()) {
    ADD_FAILURE() << "no intro movie played; " << Describe(launcher.Windows());
    return nullptr;
  }
  return intro;
}

class AnyFolder : public LauncherScenario, public ::testing::WithParamInterface<NamedFolder> {
protected:
  // A first start (no launcher key) with the movie, twenty seconds at 64x48,
  // and a game in the folder.
  void StartFirstTime(const ScenarioFolder& start, ScenarioFolder& package) {
    registry::Reset();
    package.AddFile("Kelvarn Movie.avi", FixtureBytes("movie_20s.avi"));
    package.AddGames({"Barrowby.exe"});
    registry::SetInstallDir(package.Path());
    launcher_ = LauncherProcess::Start(start);
  }
};

TEST_P(AnyFolder, AFirstStartPlaysTheFoldersIntroAndAClickStartsItsGame) {
  ScenarioFolder start("any_folder_start");
  ScenarioFolder package(GetParam().name);
  StartFirstTime(start, package);
  HWND intro = IntroPlaying(launcher_);
  ASSERT_NE(intro, nullptr);
  input::Click(intro, 5, 5);

  HWND window = launcher_.WaitForLauncher();
  ASSERT_NE(window, nullptr);
  ASSERT_TRUE(BringToFront(window) && WaitUntilShows(window, kBasePicture));
  ASSERT_TRUE(PressOn(window, kCaptions[1]));
  ReleaseBeforeMovingOn();
  const std::vector<ScenarioFolder::GameStart> starts = ExpectLaunchedAndClosed(start);
  ASSERT_EQ(starts.size(), 1u);
  EXPECT_EQ(starts[0].fileName, "Barrowby.exe");
  // The deep folder is current by its short form, which the game inherits.
  EXPECT_TRUE(LongForm(starts[0].workingDirectory) == Wide(package.Path())) << starts[0].workingDirectory;
}

INSTANTIATE_TEST_SUITE_P(Folders, AnyFolder,
                         ::testing::Values(kJapanese, kCyrillic, kGreekBeyondTheBmp, kHebrew, kLatin1, kDeep),
                         TestName);


class AnyFolderGuard : public ::testing::TestWithParam<NamedFolder> {};

// This test program stays running in the prefix throughout, so the taskbar
// seen after the kill is still the one the intro hid.
TEST_P(AnyFolderGuard, ALauncherStartedFromTheFolderAndKilledDuringTheIntroGivesTheTaskbarBack) {
  registry::Reset();
  // No program starts in a current folder deeper than MAX_PATH, so the
  // launcher is started in another.
  ScenarioFolder start("any_folder_guard_start");
  ScenarioFolder folder(GetParam().name);
  folder.AddCopy(FablewickExe(), "Fablewick.exe");
  folder.AddFile("Kelvarn Movie.avi", FixtureBytes("movie_20s.avi"));
  registry::SetInstallDir(folder.Path());
  input::MoveToScreen(0, 0);
  fablewick::testing::TestTaskbar taskbar;
  ASSERT_NE(taskbar.get(), nullptr);

  LauncherProcess launcher = LauncherProcess::StartProgram(folder.PathOf("Fablewick.exe"), start);
  ASSERT_TRUE(launcher.Started());
  // Pumping: the taskbar may be a window of this thread.
  PumpUntil(
      [&] {
        return (VisibleIntro(launcher.Windows()) && !IsWindowVisible(taskbar.get()) &&
                LauncherProcesses(launcher.Id()).size() == 1) ||
               !launcher.Running();
      },
      20s);
  ASSERT_NE(VisibleIntro(launcher.Windows()), nullptr) << "no intro came up; " << Describe(launcher.Windows());
  ASSERT_FALSE(IsWindowVisible(taskbar.get())) << "the intro did not hide the taskbar";
  ASSERT_EQ(LauncherProcesses(launcher.Id()).size(), 1u) << "no guard started from the folder";

  const DWORD launcherId = launcher.Id();
  ASSERT_TRUE(TerminateProcess(launcher.Handle(), 9));
  EXPECT_TRUE(PumpUntil([&] { return IsWindowVisible(taskbar.get()) != FALSE; }, 5s))
      << "the taskbar is still hidden after the kill";
  EXPECT_TRUE(PumpUntil([&] { return !launcher.Running() && LauncherProcesses(launcherId).empty(); }, 5s))
      << "the guard is still running";
}

INSTANTIATE_TEST_SUITE_P(Folders, AnyFolderGuard, ::testing::Values(kGreekBeyondTheBmp),
                         TestName);

} // namespace
} // namespace fablewick::e2e

// What the launcher keeps in and takes from the current user's registry: the
// first-run key, the package's install directory and the opening-tune choice.
#include "driver.h"
#include "e2e_error_box.h"

#include "../captions.h"
#include "../win32/intro_fixtures.h"

#include <gtest/gtest.h>

#include <chrono>

namespace fablewick::e2e {
namespace {

using namespace std::chrono_literals;
using fablewick::testing::PumpUntil;

constexpr POINT kTrillick = {seen::kCaptions[0].CentreX(), seen::kCaptions[0].CentreY()};

std::string Dword(DWORD value) { return std::string(reinterpret_cast<const char*>(&value), sizeof value); }

struct KeyContents {
  DWORD subkeys = 0, values = 0;
};
std::optional<KeyContents> Contents(const char* key) {
  HKEY open = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, key, 0, KEY_READ, &open) != ERROR_SUCCESS) return {};
  KeyContents contents;
  LSTATUS status = RegQueryInfoKeyA(open, nullptr, nullptr, nullptr, &contents.subkeys, nullptr, nullptr,
                                    &contents.values, nullptr, nullptr, nullptr, nullptr);
  RegCloseKey(open);
  if (status != ERROR_SUCCESS) return {};
  return contents;
}

class Settings : public ::testing::Test {
protected:
  void SetUp() override {
    registry::Reset();
    input::MoveToScreen(0, 0);
  }
  void TearDown() override { SetEnvironmentVariableA("FABLEWICK_PACKAGE", nullptr); }

  HWND Start(const ScenarioFolder& folder) {
    launcher_ = LauncherProcess::Start(folder);
    return launcher_.WaitForLauncher();
  }

  // Visible windows of the launcher's process besides the launcher itself.
  std::vector<TopWindow> OtherWindows(HWND window) const {
    std::vector<TopWindow> others;
    for (const TopWindow& top : launcher_.Windows()) {
      bool hasArea = top.rect.right > top.rect.left && top.rect.bottom > top.rect.top;
      if (top.visible && hasArea && top.handle != window) others.push_back(top);
    }
    return others;
  }

  // Clicks Trillick and waits for the launcher to end; the directory the
  // game was started in, or empty.
  std::string LaunchFirstGame(HWND window, const ScenarioFolder& logFolder) {
    size_t before = logFolder.GameStarts().size();
    if (!BringToFront(window) || !input::MoveTo(window, kTrillick.x, kTrillick.y)) return {};
    input::Press();
    input::Release();
    std::optional<LauncherProcess::Exit> exit = launcher_.WaitForExit(15000);
    std::vector<ScenarioFolder::GameStart> starts = logFolder.GameStarts();
    if (!exit || starts.size() != before + 1) {
      ADD_FAILURE() << "no game started; " << starts.size() - before << " new starts";
      return {};
    }
    EXPECT_EQ("Trillick.exe", starts.back().fileName);
    return starts.back().workingDirectory;
  }

  // Chooses File > Play Opening Music with the keyboard and waits until the
  // stored choice differs from `before`.
  std::optional<registry::Value> ToggleMusic(HWND window, const std::optional<registry::Value>& before) {
    if (!BringToFront(window)) return {};
    input::ChooseFromMenu('F', 'P');
    std::optional<registry::Value> now;
    for (int i = 0; i < 100; ++i, Sleep(50)) {
      now = registry::Read(kLauncherKey, "128");
      if (now.has_value() && (!before.has_value() || now->bytes != before->bytes)) return now;
    }
    ADD_FAILURE() << "the menu item stored nothing new";
    return now;
  }

  void Close(HWND window) {
    PostMessageA(window, WM_CLOSE, 0, 0);
    std::optional<LauncherProcess::Exit> exit = launcher_.WaitForExit(15000);
    ASSERT_TRUE(exit.has_value());
  }

  // Whether the sound card hears anything in the second after the launcher
  // has come up; the click-free start leaves only the opening tune.
  static bool TunePlays() {
    SoundcardRecording recording = SoundcardRecording::Mark();
    if (!recording.WaitFor(1000)) return false;
    return !recording.Read().Silent();
  }


  // What a person would see of the launcher's process at one moment: the
  // launcher window and a borderless window over the whole screen (not the
  // fade's layered overlay, which covers it for a moment too).
  struct OnScreen {
    HWND launcher = nullptr, intro = nullptr;
  };
  OnScreen Look() const {
    OnScreen seen;
    const int screenWidth = GetSystemMetrics(SM_CXSCREEN), screenHeight = GetSystemMetrics(SM_CYSCREEN);
    for (const TopWindow& top : launcher_.Windows()) {
      if (!top.visible || (GetWindowLongPtrA(top.handle, GWL_EXSTYLE) & WS_EX_LAYERED) != 0) continue;
      if (top.caption == kLauncherCaption && top.hasMenu) seen.launcher = top.handle;
      const SIZE client = ClientSize(top.handle);
      bool coversTheScreen = top.rect.left == 0 && top.rect.top == 0 && top.rect.right == screenWidth &&
                             top.rect.bottom == screenHeight;
      if (!top.hasMenu && coversTheScreen && client.cx == screenWidth && client.cy == screenHeight) {
        seen.intro = top.handle;
      }
    }
    return seen;
  }

  LauncherProcess launcher_;
};

// ---------------------------------------------------------------------------
TEST_F(Settings, TheFirstStartCreatesTheLauncherKeyAndAnEmptyPackageKeyAndPlaysTheTune) {
  ScenarioFolder folder("settings_first_start");
  ASSERT_FALSE(registry::KeyExists(kLauncherKey));
  HWND window = Start(folder);
  ASSERT_NE(nullptr, window);

  EXPECT_TRUE(TunePlays());
  EXPECT_TRUE(registry::KeyExists(kLauncherKey));
  EXPECT_FALSE(registry::Read(kLauncherKey, "128").has_value());
  std::optional<KeyContents> package = Contents(kPackageKey);
  ASSERT_TRUE(package.has_value());
  EXPECT_EQ(0u, package->values);
  EXPECT_EQ(0u, package->subkeys);
  EXPECT_TRUE(OtherWindows(window).empty()) << Describe(launcher_.Windows());
}

TEST_F(Settings, GamesStartFromTheInstallDirectory) {
  ScenarioFolder startFolder("settings_install_dir_start");
  ScenarioFolder package("settings_install_dir_package");
  package.AddGames({"Trillick.exe"});
  registry::SetInstallDir(package.Path());
  registry::SetDword(kLauncherKey, "128", 0);

  HWND window = Start(startFolder);
  ASSERT_NE(nullptr, window);
  EXPECT_EQ(package.Path(), LaunchFirstGame(window, startFolder));
}

TEST_F(Settings, AnUnusableInstallDirectoryLeavesTheStartFolderCurrentWithoutAMessage) {
  ScenarioFolder startFolder("settings_unusable_dir_start");
  ScenarioFolder package("settings_unusable_dir_package");
  startFolder.AddGames({"Trillick.exe"});
  package.AddGames({"Trillick.exe"});
  registry::SetDword(kLauncherKey, "128", 0);
  // Stored for expansion, but used as it stands: no folder has this name.
  SetEnvironmentVariableA("FABLEWICK_PACKAGE", package.Path().c_str());

  struct Case {
    const char* what;
    std::string directory;
    DWORD type;
  };
  for (const Case& unusable : {Case{"missing folder", startFolder.PathOf("no such folder"), REG_SZ},
                               Case{"expandable text", "%FABLEWICK_PACKAGE%", REG_EXPAND_SZ}}) {
    SCOPED_TRACE(unusable.what);
    registry::SetInstallDir(unusable.directory, unusable.type);
    HWND window = Start(startFolder);
    ASSERT_NE(nullptr, window);
    EXPECT_TRUE(OtherWindows(window).empty()) << Describe(launcher_.Windows());
    EXPECT_EQ(startFolder.Path(), LaunchFirstGame(window, startFolder));
  }
}

// ---------------------------------------------------------------------------
TEST_F(Settings, TheMenuItemFlipsTheStoredChoiceWhichTakesEffectAtTheNextStart) {
  ScenarioFolder folder("settings_music_choice");
  registry::CreateKey(kLauncherKey);

  // No stored choice: the tune plays and the item starts checked, so each
  // use stores the opposite of the last.
  HWND window = Start(folder);
  ASSERT_NE(nullptr, window);
  EXPECT_TRUE(TunePlays());
  std::optional<registry::Value> stored;
  for (DWORD expected : {0u, 1u, 0u}) {
    stored = ToggleMusic(window, stored);
    ASSERT_TRUE(stored.has_value());
    EXPECT_EQ(static_cast<DWORD>(REG_DWORD), stored->type);
    EXPECT_EQ(Dword(expected), stored->bytes);
  }
  Close(window);

  window = Start(folder);
  ASSERT_NE(nullptr, window);
  EXPECT_FALSE(TunePlays());
  stored = ToggleMusic(window, stored);
  ASSERT_TRUE(stored.has_value());
  EXPECT_EQ(Dword(1), stored->bytes);
  Close(window);

  window = Start(folder);
  ASSERT_NE(nullptr, window);
  EXPECT_TRUE(TunePlays());
}

TEST_F(Settings, AChoiceStoredAsTextIsReportedBeforeTheLauncherComesUpWithoutTheTune) {
  ScenarioFolder folder("settings_music_as_text");
  registry::SetValue(kLauncherKey, "128", REG_SZ, std::string_view("1", 2));

  SoundcardRecording recording = SoundcardRecording::Mark();
  launcher_ = LauncherProcess::Start(folder);
  HWND box = ExpectStartupErrorBox(launcher_, "Invalid data type for '128'");
  ASSERT_NE(nullptr, box);

  ASSERT_TRUE(BringToFront(box));
  input::Keys({VK_RETURN});
  HWND window = launcher_.WaitForLauncher();
  ASSERT_NE(nullptr, window);
  EXPECT_FALSE(TunePlays());
  ASSERT_TRUE(recording.WaitFor(500));
  EXPECT_TRUE(recording.Read().Silent()) << recording.Read().soundMs << " ms of sound";
  std::optional<registry::Value> stored = registry::Read(kLauncherKey, "128");
  ASSERT_TRUE(stored.has_value());
  EXPECT_EQ(static_cast<DWORD>(REG_SZ), stored->type);
}

// ---------------------------------------------------------------------------
TEST_F(Settings, AFirstStartPlaysTheIntroBeforeTheLauncherAndTheTuneAfterIt) {
  ScenarioFolder startFolder("settings_first_run_start");
  ScenarioFolder package("settings_first_run_package");
  package.AddMovies({"Kelvarn Movie.avi"});
  registry::SetInstallDir(package.Path());

  SoundcardRecording recording = SoundcardRecording::Mark();
  launcher_ = LauncherProcess::Start(startFolder);
  ASSERT_TRUE(launcher_.Started());

  // Pumping throughout: the launcher hides and shows the taskbar, which
  // could be a window of this thread.
  OnScreen first;
  PumpUntil(
      [&] {
        first = Look();
        return first.intro != nullptr || first.launcher != nullptr || !launcher_.Running();
      },
      20s);
  ASSERT_NE(nullptr, first.intro) << "no intro came up; " << Describe(launcher_.Windows());
  ASSERT_EQ(nullptr, first.launcher) << "the launcher came up with the intro";

  // The movie ends by itself after two seconds.
  // The recording only ever lags the card, so everything recorded at the last
  // look that still saw the intro was played while it was up or before it.
  bool launcherWhileIntro = false, keyWhileIntro = false;
  DWORD introMs = 0;
  const bool introClosed = PumpUntil(
      [&] {
        const DWORD recordedMs = recording.Read().recordedMs;
        if (!IsWindowVisible(first.intro)) return true;
        introMs = recordedMs;
        launcherWhileIntro = launcherWhileIntro || Look().launcher != nullptr;
        keyWhileIntro = keyWhileIntro || registry::KeyExists(kLauncherKey);
        return false;
      },
      30s);
  ASSERT_TRUE(introClosed) << "the intro never closed";
  EXPECT_FALSE(launcherWhileIntro);
  EXPECT_FALSE(keyWhileIntro) << "the first run was recorded before the intro had played";

  HWND window = launcher_.WaitForLauncher();
  ASSERT_NE(nullptr, window);
  const DWORD launcherMs = recording.Read().recordedMs;
  EXPECT_TRUE(IsWindow(first.intro)) << "the intro window is hidden, not destroyed";
  EXPECT_TRUE(PumpUntil([&] { return LauncherProcesses(launcher_.Id()).empty(); }, 5s))
      << "the intro's guard is still running";
  EXPECT_TRUE(registry::KeyExists(kLauncherKey));

  // The launcher comes up a moment after the intro has gone, and
  // the tune with it, so the second of listening counts from there.
  ASSERT_TRUE(recording.WaitFor(launcherMs + 1000));
  const SoundcardRecording::Report heard = recording.Read();
  ASSERT_FALSE(heard.Silent()) << "no opening tune after the intro";
  // The first sound is known to the 10 ms block it begins in.
  EXPECT_GT(heard.firstSoundMs + 10, introMs) << "the card played something while the intro was up";
  Close(window);

  // The key now marks a previous start, so the movie is left alone.
  launcher_ = LauncherProcess::Start(startFolder);
  ASSERT_TRUE(launcher_.Started());
  bool introAgain = false;
  PumpUntil(
      [&] {
        const OnScreen seen = Look();
        introAgain = introAgain || seen.intro != nullptr;
        return seen.launcher != nullptr || !launcher_.Running();
      },
      20s);
  window = launcher_.WaitForLauncher();
  ASSERT_NE(nullptr, window);
  PumpUntil(
      [&] {
        introAgain = introAgain || Look().intro != nullptr;
        return false;
      },
      1s);
  EXPECT_FALSE(introAgain) << "the intro played on a later start";
}

} // namespace
} // namespace fablewick::e2e

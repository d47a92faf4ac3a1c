// A DLL planted in the install folder, which the launcher makes its current
// directory, under the name of one the intro's video path loads on demand,
// or beside the program under the name of the sound library: the launcher
// must not load it, and the intro and the sounds must still play.
#include "driver.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <set>

namespace fablewick::e2e {
namespace {

// The Microsoft Video 1 decoder, which the MCI AVI driver loads when an
// intro movie starts.
constexpr const char* kDecoder = "msvidc32.dll";

std::string FileBytes(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

// Where the current directory comes before the system folder in the search
// order (SafeDllSearchMode 0, a machine-wide setting that older Windows had
// by default and that installers still meet), a planted DLL is loaded in
// place of the system's own. This sets it for the scenario and puts it back
// however the scenario ends.
class CurrentDirectorySearchedFirst {
public:
  CurrentDirectorySearchedFirst() {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kKey, 0, KEY_QUERY_VALUE | KEY_SET_VALUE, &key) != ERROR_SUCCESS) {
      return;
    }
    DWORD size = sizeof previous_;
    hadValue_ = RegQueryValueExA(key, kValue, nullptr, nullptr, reinterpret_cast<BYTE*>(&previous_),
                                 &size) == ERROR_SUCCESS;
    const DWORD off = 0;
    set_ = RegSetValueExA(key, kValue, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&off), sizeof off) ==
           ERROR_SUCCESS;
    RegCloseKey(key);
  }
  ~CurrentDirectorySearchedFirst() {
    if (!set_) return;
    if (hadValue_) {
      RegSetKeyValueA(HKEY_LOCAL_MACHINE, kKey, kValue, REG_DWORD, &previous_, sizeof previous_);
    } else {
      RegDeleteKeyValueA(HKEY_LOCAL_MACHINE, kKey, kValue);
    }
  }
  CurrentDirectorySearchedFirst(const CurrentDirectorySearchedFirst&) = delete;
  CurrentDirectorySearchedFirst& operator=(const CurrentDirectorySearchedFirst&) = delete;
  bool Set() const { return set_; }

private:
  static constexpr const char* kKey = "System\\CurrentControlSet\\Control\\Session Manager";
  static constexpr const char* kValue = "SafeDllSearchMode";
  DWORD previous_ = 0;
  bool hadValue_ = false;
  bool set_ = false;
};

// Wine prefers its built-in copy of a DLL to a file of the same name
// wherever that file lies; Windows loads the file it finds. Told to prefer
// the file for this program, Wine searches as Windows does. The setting lives
// in the Wine prefix's registry and goes with the scenario.
class PreferDllFiles {
public:
  PreferDllFiles(const std::string& program, const std::string& dll)
      : key_("Software\\Wine\\AppDefaults\\" + program + "\\DllOverrides"),
        name_(dll.substr(0, dll.rfind('.'))) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, key_.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                        nullptr) != ERROR_SUCCESS) {
      return;
    }
    static const char kNativeFirst[] = "native,builtin";
    set_ = RegSetValueExA(key, name_.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(kNativeFirst),
                          sizeof kNativeFirst) == ERROR_SUCCESS;
    RegCloseKey(key);
  }
  ~PreferDllFiles() { RegDeleteKeyValueA(HKEY_CURRENT_USER, key_.c_str(), name_.c_str()); }
  PreferDllFiles(const PreferDllFiles&) = delete;
  PreferDllFiles& operator=(const PreferDllFiles&) = delete;
  bool Set() const { return set_; }

private:
  std::string key_, name_;
  bool set_ = false;
};

// How many different colours the middle of the screen shows: the test
// movie's colour bars give several, an intro window without a picture one.
size_t ColoursInTheMiddle() {
  const int cx = GetSystemMetrics(SM_CXSCREEN) / 2, cy = GetSystemMetrics(SM_CYSCREEN) / 2;
  Image image = CaptureScreen(RECT{cx - 60, cy - 40, cx + 60, cy + 40});
  std::set<std::uint32_t> colours;
  for (int y = 0; y < image.height; ++y) {
    for (int x = 0; x < image.width; ++x) {
      const std::uint8_t* p = image.At(x, y);
      colours.insert(p[0] | (p[1] << 8) | (p[2] << 16));
    }
  }
  return colours.size();
}

TEST(DllSearch, ADllPlantedInTheInstallFolderIsNotLoadedAndTheIntroStillPlays) {
  registry::Reset();
  input::MoveToScreen(0, 0);
  ScenarioFolder start("dll_search_start");
  ScenarioFolder package("dll_search_package");
  package.AddMovies({"Kelvarn Movie.avi"});
  ASSERT_TRUE(CopyFileA(WindowsPath(PLANTED_DLL).c_str(), package.PathOf(kDecoder).c_str(), FALSE));
  registry::SetInstallDir(package.Path());
  const std::string log = package.PathOf("planted.log");
  SetEnvironmentVariableA("FABLEWICK_PLANTED_LOG", log.c_str());
  PreferDllFiles prefer("Fablewick.exe", kDecoder);
  ASSERT_TRUE(prefer.Set());

  CurrentDirectorySearchedFirst currentFirst;
  ASSERT_TRUE(currentFirst.Set());
  LauncherProcess launcher = LauncherProcess::Start(start);
  SetEnvironmentVariableA("FABLEWICK_PLANTED_LOG", nullptr);
  ASSERT_TRUE(launcher.Started());

  // A first start plays the intro before the launcher comes up.
  HWND intro = nullptr;
  size_t mostColours = 0;
  const DWORD begin = GetTickCount();
  while (GetTickCount() - begin < 30000 && launcher.Running()) {
    if (HWND shown = VisibleIntro(launcher.Windows())) intro = shown;
    if (intro != nullptr) {
      if (!IsWindowVisible(intro)) break;
      mostColours = std::max(mostColours, ColoursInTheMiddle());
    }
    Sleep(100);
  }
  EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(log.c_str()))
      << "the launcher loaded the planted " << kDecoder << ": " << FileBytes(log);
  ASSERT_NE(nullptr, intro) << "no intro came up; " << Describe(launcher.Windows());
  EXPECT_GE(mostColours, 3u) << "the movie did not show";
  HWND window = launcher.WaitForLauncher();
  ASSERT_NE(nullptr, window);
  PostMessageA(window, WM_CLOSE, 0, 0);
  EXPECT_TRUE(launcher.WaitForExit(15000).has_value());
}

// Windows looks for every library a program imports in the program's own
// folder first, unless it is one of the few it always takes from the system
// folder; the sound library is not one of those.
TEST(DllSearch, ASoundLibraryPlantedBesideTheProgramIsNotLoadedAndTheTunePlays) {
  registry::Reset();
  registry::CreateKey(kLauncherKey); // not a first run: the tune, no intro
  input::MoveToScreen(0, 0);
  ScenarioFolder folder("dll_search_beside_program");
  const std::string program = folder.PathOf("Fablewick.exe");
  ASSERT_TRUE(CopyFileA(FablewickExe().c_str(), program.c_str(), FALSE));
  ASSERT_TRUE(CopyFileA(WindowsPath(PLANTED_DLL).c_str(), folder.PathOf("dsound.dll").c_str(), FALSE));
  const std::string log = folder.PathOf("planted.log");
  SetEnvironmentVariableA("FABLEWICK_PLANTED_LOG", log.c_str());
  PreferDllFiles prefer("Fablewick.exe", "dsound.dll");
  ASSERT_TRUE(prefer.Set());

  SoundcardRecording tune = SoundcardRecording::Mark();
  LauncherProcess launcher = LauncherProcess::StartProgram(program, folder);
  SetEnvironmentVariableA("FABLEWICK_PLANTED_LOG", nullptr);
  HWND window = launcher.WaitForLauncher();
  ASSERT_NE(nullptr, window) << (launcher.Running() ? "" : "the program did not start");
  ASSERT_TRUE(tune.WaitFor(3000));
  EXPECT_FALSE(tune.Read().Silent()) << "no opening tune was heard";
  EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(log.c_str()))
      << "the launcher loaded the planted dsound.dll: " << FileBytes(log);
  PostMessageA(window, WM_CLOSE, 0, 0);
  EXPECT_TRUE(launcher.WaitForExit(15000).has_value());
}

} // namespace
} // namespace fablewick::e2e

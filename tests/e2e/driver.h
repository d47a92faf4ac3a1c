#pragma once
// Drives the real Fablewick.exe under Wine the way a person would: a folder
// with the games and movies, the registry as a user left it, real windows,
// real mouse and keyboard input, the screen and the sound card.
//
// Every wait is bounded. Helpers that can fail report at the caller's line
// (the defaulted std::source_location) and return an empty or false result, so
// a scenario can stop with ASSERT on it.
#include <windows.h>

#include <cstdint>
#include <optional>
#include <source_location>
#include <string>
#include <string_view>
#include <vector>

namespace fablewick::e2e {

using Where = std::source_location;

inline constexpr const char* kLauncherKey = "Software\\Quillmere\\Launcher\\1.0";
inline constexpr const char* kPackageKey = "Software\\Quillmere\\Marrowkins\\1.0";
inline constexpr const char* kLauncherCaption = "Fablewick";

// Paths in the driver are UTF-8, so that a folder may be named in any script;
// the driver hands them to the system through the wide calls.
std::wstring Wide(std::string_view utf8);

// "Z:" plus the Unix path with backslashes: how Wine names a host file.
std::string WindowsPath(std::string_view unixPath);
// The built programs, as Windows paths.
std::string FablewickExe();
std::string StubGameExe();

// ---------------------------------------------------------------------------
// A fresh folder per scenario, under the build folder, emptied on creation.
// The name may hold backslashes, for folders inside folders.
class ScenarioFolder {
public:
  explicit ScenarioFolder(std::string_view name, Where where = Where::current());
  const std::string& Path() const { return path_; }
  std::string PathOf(std::string_view fileName) const;

  // Copies the stub game in under each given name ("Caddle.exe", ...).
  void AddGames(const std::vector<std::string>& fileNames, Where where = Where::current());
  // Copies a short Microsoft Video 1 AVI in under each given name.
  void AddMovies(const std::vector<std::string>& fileNames, Where where = Where::current());
  void AddFile(std::string_view fileName, std::string_view bytes, Where where = Where::current());
  void AddCopy(const std::string& source, std::string_view fileName, Where where = Where::current());
  void AddDirectory(std::string_view name, Where where = Where::current());

  // Where started stub games write their lines (set through the environment
  // of the launcher, which the games inherit).
  std::string StubLogPath() const { return PathOf("stub_game.log"); }
  struct GameStart {
    std::string workingDirectory, fileName, arguments;
  };
  std::vector<GameStart> GameStarts() const;

private:
  std::string path_;
};

// ---------------------------------------------------------------------------
// The current user's registry as the launcher sees it.
namespace registry {
// Deletes the Launcher and Marrowkins keys with everything under them.
void Reset(Where where = Where::current());
bool KeyExists(const char* key);
// Creates the key if needed and stores the value with exactly these bytes.
void SetValue(const char* key, const char* name, DWORD type, std::string_view bytes,
              Where where = Where::current());
// Stored as UTF-16, as the registry editor and installers store any folder.
void SetInstallDir(const std::string& directory, DWORD type = REG_SZ, Where where = Where::current());
void SetDword(const char* key, const char* name, DWORD value, Where where = Where::current());
void CreateKey(const char* key, Where where = Where::current());
struct Value {
  DWORD type = REG_NONE;
  std::string bytes;
};
std::optional<Value> Read(const char* key, const char* name);
} // namespace registry

// ---------------------------------------------------------------------------
struct TopWindow {
  HWND handle = nullptr;
  std::string className, caption;
  RECT rect = {};
  bool visible = false, enabled = false;
  HWND owner = nullptr;
  bool hasMenu = false;
};
std::vector<TopWindow> TopLevelWindows(DWORD processId);
std::string Describe(const std::vector<TopWindow>& windows);
// The launcher's intro window among them while it shows, or null.
HWND VisibleIntro(const std::vector<TopWindow>& windows);
SIZE ClientSize(HWND window);
// Texts of every child window (static texts, buttons) of a dialog.
std::vector<std::string> ChildTexts(HWND window);

// A running Fablewick.exe. The destructor kills it if it is still running, so
// a failed scenario never leaves a launcher behind for the next one.
class LauncherProcess {
public:
  LauncherProcess() = default;
  LauncherProcess(LauncherProcess&& other) noexcept;
  LauncherProcess& operator=(LauncherProcess&& other) noexcept;
  LauncherProcess(const LauncherProcess&) = delete;
  LauncherProcess& operator=(const LauncherProcess&) = delete;
  ~LauncherProcess();

  // Starts the program in the folder with the shell's show command; the stub
  // games it starts log into the folder.
  static LauncherProcess Start(const ScenarioFolder& folder, int showCommand = SW_SHOWNORMAL,
                               Where where = Where::current());
  // The same for another build of the program, such as a test-only variant.
  static LauncherProcess StartProgram(const std::string& exe, const ScenarioFolder& folder,
                                      int showCommand = SW_SHOWNORMAL, Where where = Where::current());
  bool Started() const { return process_ != nullptr; }
  DWORD Id() const { return processId_; }
  HANDLE Handle() const { return process_; }
  bool Running() const;

  std::vector<TopWindow> Windows() const { return TopLevelWindows(processId_); }
  // The first visible top-level window of this process with the caption (and
  // a menu bar when asked), waited for up to the timeout.
  HWND WaitForWindow(std::string_view caption, bool withMenu, DWORD timeoutMs = 20000,
                     Where where = Where::current()) const;
  HWND WaitForLauncher(DWORD timeoutMs = 20000, Where where = Where::current()) const {
    return WaitForWindow(kLauncherCaption, true, timeoutMs, where);
  }
  // Visible windows of the process that are not the given one, for dialogs.
  HWND WaitForDialog(std::string_view caption, DWORD timeoutMs = 10000,
                     Where where = Where::current()) const;

  // Notes the moment of an action (a click, a close) for the exit time.
  void MarkAction() { actionTick_ = GetTickCount(); }
  struct Exit {
    DWORD code = 0;
    DWORD msSinceAction = 0;
  };
  // Waits for the process to end; after the timeout it is killed and the
  // scenario fails.
  std::optional<Exit> WaitForExit(DWORD timeoutMs, Where where = Where::current());

private:
  HANDLE process_ = nullptr;
  DWORD processId_ = 0;
  DWORD actionTick_ = 0;
};

// Ids of the running processes that the given process started, such as the
// guard the launcher starts while its intro holds the screen.
std::vector<DWORD> ChildProcesses(DWORD parentId);

// Ids of the running processes the launcher started, wherever the system put
// them: its children, and any other process of its program started after it
// (the guard, which runs under the shell).
std::vector<DWORD> LauncherProcesses(DWORD launcherId);

// Ends the process and every process descended from it by parent process
// id, as Task Manager's "End process tree" does.
void EndProcessTree(DWORD rootId);

// Waits until the window is the foreground window, which input goes to.
bool BringToFront(HWND window, Where where = Where::current());

// ---------------------------------------------------------------------------
// Real input through SendInput.
namespace input {
bool MoveTo(HWND window, int clientX, int clientY, Where where = Where::current());
void MoveToScreen(int x, int y);
// Physical buttons: which one acts as primary is the system's setting.
enum class Button { Left, Right };
void Press(Button button = Button::Left);
void Release(Button button = Button::Left);
// Press and release in one SendInput call, so both are in before the program
// handles the press, as a touchpad tap or a remote session delivers them.
void ClickInOneBatch(Button button = Button::Left);
// Moves there, then presses and releases straight away.
void Click(HWND window, int clientX, int clientY, Where where = Where::current());
// Presses the keys in order and releases them in reverse: {VK_CONTROL, 'Q'}.
void Keys(std::initializer_list<WORD> keys);
// Alt and the menu's key, then the item's key once the menu is open: on a busy
// machine a key sent before the menu shows is taken by the window instead.
void ChooseFromMenu(WORD menuKey, WORD itemKey);
} // namespace input

// ---------------------------------------------------------------------------
// Pictures: 24-bit pixels, top row first, three bytes (B, G, R) a pixel.
struct Image {
  int width = 0, height = 0;
  std::vector<std::uint8_t> bgr;
  bool Empty() const { return width == 0 || height == 0; }
  const std::uint8_t* At(int x, int y) const { return &bgr[(static_cast<size_t>(y) * width + x) * 3]; }
};
Image CaptureScreen(const RECT& screenRect, Where where = Where::current());
Image CaptureClient(HWND window, Where where = Where::current());
// Fablewick.exe's bitmap resource, loaded as data, not run.
Image LoadBitmapResource(int id, Where where = Where::current());
// The pixels of `expected` that differ by more than the tolerance in any
// channel from `captured` at (left, top), as a count and as a share (0..1).
size_t DifferingPixels(const Image& captured, int left, int top, const Image& expected,
                       int tolerance = 24);
double DifferingShare(const Image& captured, int left, int top, const Image& expected,
                      int tolerance = 24);
// Waits until the window's client area shows the bitmap resource at (left,
// top), since a window paints a moment after it changes its picture.
bool WaitUntilShows(HWND window, int bitmapId, int left = 0, int top = 0, DWORD timeoutMs = 5000,
                    Where where = Where::current());
// Writes name.bmp beside the scenario folders, for looking at a failure.
void SaveBitmap(const Image& image, std::string_view name);

// The menu bar strip of a window, between its caption bar and client area.
Image CaptureMenuBar(HWND window, Where where = Where::current());
// The same strip of a window of the test's own with a menu bar holding these
// items and a client area as wide as the given one, for comparison.
Image ReferenceMenuBar(const std::vector<std::string>& items, HWND likeWindow,
                       Where where = Where::current());

// ---------------------------------------------------------------------------
// The virtual sound card's recording (8000 Hz, 16-bit mono), from a mark on.
class SoundcardRecording {
public:
  static constexpr int kRate = 8000;
  // Remembers how much has been recorded so far.
  static SoundcardRecording Mark(Where where = Where::current());
  // Waits until at least `ms` have been recorded since the mark.
  bool WaitFor(DWORD ms, Where where = Where::current()) const;
  struct Report {
    DWORD recordedMs = 0;
    DWORD soundMs = 0;        // 10 ms blocks that are not silent
    DWORD firstSoundMs = 0;   // when the first such block begins
    DWORD lastSoundEndMs = 0; // when the last one ends
    bool Silent() const { return soundMs == 0; }
  };
  Report Read() const;
  std::vector<std::int16_t> Samples() const;

private:
  std::string path_;
  std::uint64_t offset_ = 0;
};

} // namespace fablewick::e2e

#include "driver.h"

#include "../win32/intro_fixtures.h"

#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace fablewick::e2e {

namespace fs = std::filesystem;

namespace {

constexpr DWORD kPollMs = 50;

void Fail(const Where& where, const std::string& message) {
  ADD_FAILURE_AT(where.file_name(), static_cast<int>(where.line())) << message;
}

std::string LastError() {
  char text[32];
  std::snprintf(text, sizeof text, " (error %lu)", GetLastError());
  return text;
}

// Polls the condition until it holds or the time is up; true when it held.
template <typename Condition> bool WaitUntil(DWORD timeoutMs, Condition condition) {
  DWORD start = GetTickCount();
  for (;;) {
    if (condition()) return true;
    if (GetTickCount() - start >= timeoutMs) return condition();
    Sleep(kPollMs);
  }
}

std::string WindowText(HWND window) {
  char text[512] = {};
  GetWindowTextA(window, text, sizeof text);
  return text;
}

struct ScreenDc {
  HDC dc = GetDC(nullptr);
  ~ScreenDc() { ReleaseDC(nullptr, dc); }
};

// A 24-bit top-down DIB section selected into a memory DC.
class DibCanvas {
public:
  DibCanvas(HDC like, int width, int height) : width_(width), height_(height) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    dc_ = CreateCompatibleDC(like);
    bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits_, nullptr, 0);
    if (bitmap_ != nullptr) old_ = SelectObject(dc_, bitmap_);
  }
  ~DibCanvas() {
    if (old_ != nullptr) SelectObject(dc_, old_);
    if (bitmap_ != nullptr) DeleteObject(bitmap_);
    if (dc_ != nullptr) DeleteDC(dc_);
  }
  DibCanvas(const DibCanvas&) = delete;
  DibCanvas& operator=(const DibCanvas&) = delete;

  bool Ok() const { return bits_ != nullptr; }
  HDC Dc() const { return dc_; }
  Image ToImage() const {
    GdiFlush();
    Image image;
    image.width = width_;
    image.height = height_;
    image.bgr.resize(static_cast<size_t>(width_) * height_ * 3);
    const size_t stride = (static_cast<size_t>(width_) * 3 + 3) & ~size_t{3};
    const auto* source = static_cast<const std::uint8_t*>(bits_);
    for (int y = 0; y < height_; ++y) {
      std::copy_n(source + y * stride, static_cast<size_t>(width_) * 3,
                  image.bgr.begin() + static_cast<std::ptrdiff_t>(y) * width_ * 3);
    }
    return image;
  }

private:
  int width_, height_;
  HDC dc_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ old_ = nullptr;
  void* bits_ = nullptr;
};

// One folder per Wine state: the same scenario may run in several states at
// once (at other DPIs).
std::string WorkDir() {
  const char* state = std::getenv("FABLEWICK_WINE_STATE");
  return WindowsPath(E2E_WORK_DIR) + (state && *state ? "\\" + std::string(state) : "");
}

fs::path FsPath(const std::string& utf8) { return fs::path(Wide(utf8)); }

// The C runtime's file calls, and std::filesystem's removal built on them,
// fail or overrun on paths beyond MAX_PATH under Wine; these use the wide
// calls only.
void RemoveTree(const std::wstring& path) {
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW((path + L"\\*").c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      const std::wstring name = found.cFileName;
      if (name == L"." || name == L"..") continue;
      const std::wstring child = path + L"\\" + name;
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveTree(child);
      } else {
        DeleteFileW(child.c_str());
      }
    } while (FindNextFileW(search, &found));
    FindClose(search);
  }
  RemoveDirectoryW(path.c_str());
}

bool WriteWholeFile(const std::string& path, std::string_view bytes) {
  HANDLE file = CreateFileW(Wide(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const BOOL ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
  return ok && written == bytes.size();
}

} // namespace

std::wstring Wide(std::string_view utf8) {
  const int size = static_cast<int>(utf8.size());
  const int length = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, nullptr, 0);
  std::wstring text(static_cast<size_t>(length), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, text.data(), length);
  return text;
}

std::string WindowsPath(std::string_view unixPath) {
  std::string path = "Z:" + std::string(unixPath);
  std::replace(path.begin(), path.end(), '/', '\\');
  return path;
}

std::string FablewickExe() { return WindowsPath(FABLEWICK_EXE); }
std::string StubGameExe() { return WindowsPath(STUB_GAME_EXE); }

// ---------------------------------------------------------------------------
ScenarioFolder::ScenarioFolder(std::string_view name, Where where)
    : path_(WorkDir() + "\\" + std::string(name)) {
  std::error_code error;
  RemoveTree(Wide(path_));
  fs::create_directories(FsPath(path_), error);
  if (error || !fs::is_directory(FsPath(path_))) Fail(where, "cannot make scenario folder " + path_);
}

std::string ScenarioFolder::PathOf(std::string_view fileName) const {
  return path_ + "\\" + std::string(fileName);
}

void ScenarioFolder::AddGames(const std::vector<std::string>& fileNames, Where where) {
  for (const std::string& fileName : fileNames) AddCopy(StubGameExe(), fileName, where);
}

void ScenarioFolder::AddMovies(const std::vector<std::string>& fileNames, Where where) {
  for (const std::string& fileName : fileNames) AddCopy(WindowsPath(E2E_MOVIE), fileName, where);
}

void ScenarioFolder::AddCopy(const std::string& source, std::string_view fileName, Where where) {
  if (!CopyFileW(Wide(source).c_str(), Wide(PathOf(fileName)).c_str(), FALSE)) {
    Fail(where, "cannot copy " + source + " to " + PathOf(fileName) + LastError());
  }
}

void ScenarioFolder::AddFile(std::string_view fileName, std::string_view bytes, Where where) {
  if (!WriteWholeFile(PathOf(fileName), bytes)) Fail(where, "cannot write " + PathOf(fileName));
}

void ScenarioFolder::AddDirectory(std::string_view name, Where where) {
  std::error_code error;
  fs::create_directories(FsPath(PathOf(name)), error);
  if (error) Fail(where, "cannot make " + PathOf(name));
}

std::vector<ScenarioFolder::GameStart> ScenarioFolder::GameStarts() const {
  std::vector<GameStart> starts;
  std::ifstream file{FsPath(StubLogPath())};
  std::string line;
  while (std::getline(file, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    std::vector<std::string> fields;
    std::stringstream stream(line);
    std::string field;
    while (std::getline(stream, field, '\t')) fields.push_back(field);
    fields.resize(4);
    if (fields[0] == "started") starts.push_back({fields[1], fields[2], fields[3]});
  }
  return starts;
}

// ---------------------------------------------------------------------------
namespace registry {

namespace {
struct Key {
  HKEY handle = nullptr;
  ~Key() {
    if (handle != nullptr) RegCloseKey(handle);
  }
};
} // namespace

void Reset(Where where) {
  for (const char* key : {"Software\\Quillmere\\Launcher", "Software\\Quillmere\\Marrowkins"}) {
    LSTATUS status = RegDeleteTreeA(HKEY_CURRENT_USER, key);
    if (status != ERROR_SUCCESS && status != ERROR_FILE_NOT_FOUND) {
      Fail(where, std::string("cannot delete HKCU\\") + key);
    }
  }
}

bool KeyExists(const char* key) {
  Key open;
  return RegOpenKeyExA(HKEY_CURRENT_USER, key, 0, KEY_READ, &open.handle) == ERROR_SUCCESS;
}

void CreateKey(const char* key, Where where) {
  Key open;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, key, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                      nullptr, &open.handle, nullptr) != ERROR_SUCCESS) {
    Fail(where, std::string("cannot create HKCU\\") + key);
  }
}

void SetValue(const char* key, const char* name, DWORD type, std::string_view bytes, Where where) {
  Key open;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, key, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                      nullptr, &open.handle, nullptr) != ERROR_SUCCESS ||
      RegSetValueExA(open.handle, name, 0, type, reinterpret_cast<const BYTE*>(bytes.data()),
                     static_cast<DWORD>(bytes.size())) != ERROR_SUCCESS) {
    Fail(where, std::string("cannot set HKCU\\") + key + " " + name);
  }
}

void SetInstallDir(const std::string& directory, DWORD type, Where where) {
  // With its terminating NUL, as the registry editor and installers store it.
  const std::wstring text = Wide(directory);
  Key open;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, kPackageKey, 0, nullptr, REG_OPTION_NON_VOLATILE,
                      KEY_ALL_ACCESS, nullptr, &open.handle, nullptr) != ERROR_SUCCESS ||
      RegSetValueExW(open.handle, L"InstallDir", 0, type, reinterpret_cast<const BYTE*>(text.c_str()),
                     static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t))) != ERROR_SUCCESS) {
    Fail(where, "cannot set the install folder " + directory);
  }
}

void SetDword(const char* key, const char* name, DWORD value, Where where) {
  SetValue(key, name, REG_DWORD, std::string_view(reinterpret_cast<const char*>(&value), sizeof value),
           where);
}

std::optional<Value> Read(const char* key, const char* name) {
  Key open;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, key, 0, KEY_READ, &open.handle) != ERROR_SUCCESS) return {};
  Value value;
  DWORD size = 0;
  if (RegQueryValueExA(open.handle, name, nullptr, &value.type, nullptr, &size) != ERROR_SUCCESS) {
    return {};
  }
  value.bytes.resize(size);
  if (RegQueryValueExA(open.handle, name, nullptr, &value.type,
                       reinterpret_cast<BYTE*>(value.bytes.data()), &size) != ERROR_SUCCESS) {
    return {};
  }
  value.bytes.resize(size);
  return value;
}

} // namespace registry

// ---------------------------------------------------------------------------
namespace {

// The processes `wanted` accepts among those started after `since`. Ids are
// reused, and a process keeps the id of a parent long gone, so a process
// started before `since` is some earlier process's child.
template <class Wanted> std::vector<DWORD> ProcessesStartedAfter(DWORD since, Wanted wanted) {
  std::vector<DWORD> found;
  const ULONGLONG sinceCreated = fablewick::testing::CreationTime(since);
  fablewick::testing::ForEachProcess([&](const PROCESSENTRY32& entry) {
    if (entry.th32ProcessID == since || !wanted(entry)) return;
    const ULONGLONG created = fablewick::testing::CreationTime(entry.th32ProcessID);
    if (created != 0 && created >= sinceCreated) found.push_back(entry.th32ProcessID);
  });
  return found;
}

} // namespace

std::vector<DWORD> ChildProcesses(DWORD parentId) {
  return ProcessesStartedAfter(parentId, [&](const PROCESSENTRY32& entry) {
    return entry.th32ParentProcessID == parentId;
  });
}

std::vector<DWORD> LauncherProcesses(DWORD launcherId) {
  return ProcessesStartedAfter(launcherId, [&](const PROCESSENTRY32& entry) {
    return entry.th32ParentProcessID == launcherId || _wcsicmp(entry.szExeFile, L"Fablewick.exe") == 0;
  });
}

void EndProcessTree(DWORD rootId) {
  std::vector<DWORD> tree{rootId};
  for (size_t next = 0; next < tree.size(); ++next) {
    for (DWORD child : ChildProcesses(tree[next])) tree.push_back(child);
  }
  for (DWORD id : tree) {
    HANDLE process = OpenProcess(PROCESS_TERMINATE, FALSE, id);
    if (process == nullptr) continue;
    TerminateProcess(process, 1);
    CloseHandle(process);
  }
}

std::vector<TopWindow> TopLevelWindows(DWORD processId) {
  struct Search {
    DWORD processId;
    std::vector<TopWindow> found;
  } search{processId, {}};
  EnumWindows(
      [](HWND window, LPARAM context) -> BOOL {
        auto& search = *reinterpret_cast<Search*>(context);
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner != search.processId) return TRUE;
        TopWindow top;
        top.handle = window;
        char className[256] = {};
        GetClassNameA(window, className, sizeof className);
        top.className = className;
        top.caption = WindowText(window);
        GetWindowRect(window, &top.rect);
        top.visible = IsWindowVisible(window) != FALSE;
        top.enabled = IsWindowEnabled(window) != FALSE;
        top.owner = GetWindow(window, GW_OWNER);
        top.hasMenu = GetMenu(window) != nullptr;
        search.found.push_back(top);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND VisibleIntro(const std::vector<TopWindow>& windows) {
  for (const TopWindow& top : windows) {
    if (top.visible && top.className == "TfrmSplashMovie") return top.handle;
  }
  return nullptr;
}

std::string Describe(const std::vector<TopWindow>& windows) {
  std::string text = "top-level windows of the process:";
  if (windows.empty()) text += " none";
  for (const TopWindow& window : windows) {
    char line[768];
    std::snprintf(line, sizeof line, "\n  %p class \"%s\" caption \"%s\" rect (%ld,%ld)-(%ld,%ld)%s%s%s owner %p",
                  static_cast<void*>(window.handle), window.className.c_str(),
                  window.caption.c_str(), window.rect.left, window.rect.top, window.rect.right,
                  window.rect.bottom, window.visible ? " visible" : " hidden",
                  window.enabled ? "" : " disabled", window.hasMenu ? " menu" : "",
                  static_cast<void*>(window.owner));
    text += line;
    // A box that came up instead of the window waited for says why.
    if (window.className == "#32770") {
      for (const std::string& child : ChildTexts(window.handle)) text += "\n    \"" + child + "\"";
    }
  }
  return text;
}

SIZE ClientSize(HWND window) {
  RECT client = {};
  GetClientRect(window, &client);
  return {client.right - client.left, client.bottom - client.top};
}

std::vector<std::string> ChildTexts(HWND window) {
  std::vector<std::string> texts;
  EnumChildWindows(
      window,
      [](HWND child, LPARAM context) -> BOOL {
        std::string text = WindowText(child);
        if (!text.empty()) reinterpret_cast<std::vector<std::string>*>(context)->push_back(text);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&texts));
  return texts;
}

// ---------------------------------------------------------------------------
LauncherProcess::LauncherProcess(LauncherProcess&& other) noexcept { *this = std::move(other); }

LauncherProcess& LauncherProcess::operator=(LauncherProcess&& other) noexcept {
  std::swap(process_, other.process_);
  std::swap(processId_, other.processId_);
  std::swap(actionTick_, other.actionTick_);
  return *this;
}

LauncherProcess::~LauncherProcess() {
  if (process_ == nullptr) return;
  if (Running()) {
    TerminateProcess(process_, 255);
    WaitForSingleObject(process_, 5000);
  }
  CloseHandle(process_);
}

LauncherProcess LauncherProcess::Start(const ScenarioFolder& folder, int showCommand, Where where) {
  return StartProgram(FablewickExe(), folder, showCommand, where);
}

LauncherProcess LauncherProcess::StartProgram(const std::string& exe, const ScenarioFolder& folder,
                                              int showCommand, Where where) {
  LauncherProcess launcher;
  // The games that the launcher starts inherit this and log into the folder.
  SetEnvironmentVariableW(L"FABLEWICK_STUB_LOG", Wide(folder.StubLogPath()).c_str());
  std::wstring commandLine = L"\"" + Wide(exe) + L"\"";
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = static_cast<WORD>(showCommand);
  PROCESS_INFORMATION info = {};
  if (!CreateProcessW(Wide(exe).c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      Wide(folder.Path()).c_str(), &startup, &info)) {
    Fail(where, "cannot start " + exe + LastError());
    return launcher;
  }
  CloseHandle(info.hThread);
  launcher.process_ = info.hProcess;
  launcher.processId_ = info.dwProcessId;
  launcher.MarkAction();
  return launcher;
}

bool LauncherProcess::Running() const {
  return process_ != nullptr && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT;
}

HWND LauncherProcess::WaitForWindow(std::string_view caption, bool withMenu, DWORD timeoutMs,
                                    Where where) const {
  HWND found = nullptr;
  WaitUntil(timeoutMs, [&] {
    for (const TopWindow& window : Windows()) {
      if (window.visible && window.caption == caption && (!withMenu || window.hasMenu)) {
        found = window.handle;
        return true;
      }
    }
    return !Running();
  });
  if (found == nullptr) {
    Fail(where, "no visible window \"" + std::string(caption) + "\"" + (withMenu ? " with a menu" : "") +
                    (Running() ? "" : " (the process has ended)") + "; " + Describe(Windows()));
  }
  return found;
}

HWND LauncherProcess::WaitForDialog(std::string_view caption, DWORD timeoutMs, Where where) const {
  HWND found = nullptr;
  WaitUntil(timeoutMs, [&] {
    for (const TopWindow& window : Windows()) {
      bool hasArea = window.rect.right > window.rect.left && window.rect.bottom > window.rect.top;
      if (window.visible && !window.hasMenu && hasArea && window.caption == caption) {
        found = window.handle;
        return true;
      }
    }
    return !Running();
  });
  if (found == nullptr) {
    Fail(where, "no dialog \"" + std::string(caption) + "\"; " + Describe(Windows()));
  }
  return found;
}

std::optional<LauncherProcess::Exit> LauncherProcess::WaitForExit(DWORD timeoutMs, Where where) {
  if (process_ == nullptr) {
    Fail(where, "the launcher was never started");
    return {};
  }
  if (WaitForSingleObject(process_, timeoutMs) != WAIT_OBJECT_0) {
    std::string windows = Describe(Windows());
    TerminateProcess(process_, 255);
    WaitForSingleObject(process_, 5000);
    Fail(where, "the launcher did not end within " + std::to_string(timeoutMs) + " ms and was killed; " +
                    windows);
    return {};
  }
  Exit exit;
  exit.msSinceAction = GetTickCount() - actionTick_;
  GetExitCodeProcess(process_, &exit.code);
  return exit;
}

bool BringToFront(HWND window, Where where) {
  bool front = WaitUntil(3000, [&] {
    if (GetForegroundWindow() == window) return true;
    SetForegroundWindow(window);
    return false;
  });
  if (!front) Fail(where, "the window \"" + WindowText(window) + "\" does not come to the front");
  return front;
}

// ---------------------------------------------------------------------------
namespace input {

namespace {
void Send(INPUT event) { SendInput(1, &event, sizeof event); }

INPUT MouseEvent(DWORD flags, LONG dx = 0, LONG dy = 0) {
  INPUT event = {};
  event.type = INPUT_MOUSE;
  event.mi.dwFlags = flags;
  event.mi.dx = dx;
  event.mi.dy = dy;
  return event;
}

void Mouse(DWORD flags, LONG dx = 0, LONG dy = 0) { Send(MouseEvent(flags, dx, dy)); }

DWORD DownFlag(Button button) { return button == Button::Left ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_RIGHTDOWN; }
DWORD UpFlag(Button button) { return button == Button::Left ? MOUSEEVENTF_LEFTUP : MOUSEEVENTF_RIGHTUP; }

// Absolute input is in 1/65536 of the screen; rounding up lands on the pixel
// itself whether the system truncates or rounds on the way back.
LONG Normalised(int pixel, int screenSize) {
  return static_cast<LONG>((static_cast<long long>(pixel) * 65536 + screenSize - 1) / screenSize);
}
} // namespace

void MoveToScreen(int x, int y) {
  const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
  // Wine moves the X pointer only when its own idea of the position changes,
  // and the two can part (a window that maps under the X pointer then lights
  // up where Wine's pointer is not). A step aside first makes it move.
  const int aside = x > 0 ? x - 1 : x + 1;
  Mouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, Normalised(aside, width), Normalised(y, height));
  Mouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, Normalised(x, width), Normalised(y, height));
}

bool MoveTo(HWND window, int clientX, int clientY, Where where) {
  POINT point = {clientX, clientY};
  ClientToScreen(window, &point);
  MoveToScreen(point.x, point.y);
  POINT now = {};
  bool there = WaitUntil(1000, [&] { return GetCursorPos(&now) && now.x == point.x && now.y == point.y; });
  if (!there) {
    Fail(where, "the pointer went to (" + std::to_string(now.x) + "," + std::to_string(now.y) +
                    ") instead of (" + std::to_string(point.x) + "," + std::to_string(point.y) + ")");
  }
  return there;
}

void Press(Button button) { Mouse(DownFlag(button)); }
void Release(Button button) { Mouse(UpFlag(button)); }

void ClickInOneBatch(Button button) {
  INPUT events[] = {MouseEvent(DownFlag(button)), MouseEvent(UpFlag(button))};
  SendInput(2, events, sizeof events[0]);
}

void Click(HWND window, int clientX, int clientY, Where where) {
  if (!MoveTo(window, clientX, clientY, where)) return;
  Press();
  Release();
}

void Keys(std::initializer_list<WORD> keys) {
  auto key = [](WORD virtualKey, DWORD flags) {
    INPUT event = {};
    event.type = INPUT_KEYBOARD;
    event.ki.wVk = virtualKey;
    event.ki.wScan = static_cast<WORD>(MapVirtualKeyA(virtualKey, MAPVK_VK_TO_VSC));
    event.ki.dwFlags = flags;
    Send(event);
  };
  for (WORD virtualKey : keys) key(virtualKey, 0);
  for (auto it = std::rbegin(keys); it != std::rend(keys); ++it) key(*it, KEYEVENTF_KEYUP);
}

void ChooseFromMenu(WORD menuKey, WORD itemKey) {
  Keys({VK_MENU, menuKey});
  // "#32768" is the class of every open menu. If none shows, the key goes
  // anyway and the caller's own check tells what did not happen.
  for (int waited = 0; waited < 5000; waited += 20) {
    HWND menu = FindWindowA("#32768", nullptr);
    if (menu != nullptr && IsWindowVisible(menu)) break;
    Sleep(20);
  }
  Keys({itemKey});
}

} // namespace input

// ---------------------------------------------------------------------------
Image CaptureScreen(const RECT& rect, Where where) {
  int width = rect.right - rect.left, height = rect.bottom - rect.top;
  ScreenDc screen;
  DibCanvas canvas(screen.dc, std::max(width, 1), std::max(height, 1));
  if (width <= 0 || height <= 0 || !canvas.Ok() ||
      !BitBlt(canvas.Dc(), 0, 0, width, height, screen.dc, rect.left, rect.top, SRCCOPY | CAPTUREBLT)) {
    Fail(where, "cannot capture the screen" + LastError());
    return {};
  }
  return canvas.ToImage();
}

Image CaptureClient(HWND window, Where where) {
  RECT client = {};
  GetClientRect(window, &client);
  MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&client), 2);
  return CaptureScreen(client, where);
}

Image LoadBitmapResource(int id, Where where) {
  HMODULE module = LoadLibraryExA(FablewickExe().c_str(), nullptr,
                                  LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  if (module == nullptr) {
    Fail(where, "cannot load " + FablewickExe() + " as data" + LastError());
    return {};
  }
  Image image;
  HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(2) /* RT_BITMAP */);
  HGLOBAL loaded = found != nullptr ? LoadResource(module, found) : nullptr;
  const auto* info = loaded != nullptr ? static_cast<const BITMAPINFO*>(LockResource(loaded)) : nullptr;
  if (info == nullptr || info->bmiHeader.biSize < sizeof(BITMAPINFOHEADER)) {
    Fail(where, "Fablewick.exe has no bitmap " + std::to_string(id));
  } else {
    const BITMAPINFOHEADER& header = info->bmiHeader;
    DWORD colours = header.biClrUsed != 0 ? header.biClrUsed
                    : header.biBitCount <= 8 ? (1u << header.biBitCount)
                                             : 0;
    DWORD masks = header.biCompression == BI_BITFIELDS ? 3 : 0;
    const auto* bits = reinterpret_cast<const BYTE*>(info) + header.biSize + (colours + masks) * 4;
    int width = header.biWidth, height = header.biHeight < 0 ? -header.biHeight : header.biHeight;
    ScreenDc screen;
    DibCanvas canvas(screen.dc, width, height);
    // Let GDI decode whatever depth the resource has into our 24-bit canvas.
    if (canvas.Ok() && SetDIBitsToDevice(canvas.Dc(), 0, 0, width, height, 0, 0, 0, height, bits,
                                         info, DIB_RGB_COLORS) != 0) {
      image = canvas.ToImage();
    } else {
      Fail(where, "cannot decode bitmap " + std::to_string(id));
    }
  }
  FreeLibrary(module);
  return image;
}

size_t DifferingPixels(const Image& captured, int left, int top, const Image& expected, int tolerance) {
  size_t differing = 0;
  for (int y = 0; y < expected.height; ++y) {
    for (int x = 0; x < expected.width; ++x) {
      int cx = left + x, cy = top + y;
      if (cx < 0 || cy < 0 || cx >= captured.width || cy >= captured.height) {
        ++differing;
        continue;
      }
      const std::uint8_t* a = captured.At(cx, cy);
      const std::uint8_t* b = expected.At(x, y);
      for (int channel = 0; channel < 3; ++channel) {
        if (std::abs(int{a[channel]} - int{b[channel]}) > tolerance) {
          ++differing;
          break;
        }
      }
    }
  }
  return differing;
}

double DifferingShare(const Image& captured, int left, int top, const Image& expected, int tolerance) {
  if (expected.Empty()) return 1.0;
  return static_cast<double>(DifferingPixels(captured, left, top, expected, tolerance)) /
         (static_cast<double>(expected.width) * expected.height);
}

bool WaitUntilShows(HWND window, int bitmapId, int left, int top, DWORD timeoutMs, Where where) {
  Image expected = LoadBitmapResource(bitmapId, where);
  if (expected.Empty()) return false;
  Image captured;
  double share = 1.0;
  bool shows = WaitUntil(timeoutMs, [&] {
    captured = CaptureClient(window, where);
    share = DifferingShare(captured, left, top, expected);
    return share < 0.01;
  });
  if (!shows) {
    std::string name = "bitmap" + std::to_string(bitmapId) + "_not_shown";
    SaveBitmap(captured, name);
    Fail(where, "the window does not show bitmap " + std::to_string(bitmapId) + " at (" +
                    std::to_string(left) + "," + std::to_string(top) + "): " +
                    std::to_string(static_cast<int>(share * 100)) + "% of its pixels differ; see " +
                    name + ".bmp");
  }
  return shows;
}

void SaveBitmap(const Image& image, std::string_view name) {
  if (image.Empty()) return;
  const DWORD stride = (static_cast<DWORD>(image.width) * 3 + 3) & ~3u;
  BITMAPINFOHEADER header = {};
  header.biSize = sizeof header;
  header.biWidth = image.width;
  header.biHeight = -image.height;
  header.biPlanes = 1;
  header.biBitCount = 24;
  header.biSizeImage = stride * image.height;
  BITMAPFILEHEADER file = {};
  file.bfType = 0x4D42;
  file.bfOffBits = sizeof file + sizeof header;
  file.bfSize = file.bfOffBits + header.biSizeImage;
  std::error_code error;
  fs::create_directories(fs::path(WorkDir()), error);
  std::ofstream out(fs::path(WorkDir() + "\\" + std::string(name) + ".bmp"), std::ios::binary);
  out.write(reinterpret_cast<const char*>(&file), sizeof file);
  out.write(reinterpret_cast<const char*>(&header), sizeof header);
  const std::string padding(stride - image.width * 3, '\0');
  for (int y = 0; y < image.height; ++y) {
    out.write(reinterpret_cast<const char*>(image.At(0, y)), image.width * 3);
    out.write(padding.data(), static_cast<std::streamsize>(padding.size()));
  }
}

Image CaptureMenuBar(HWND window, Where where) {
  RECT client = {};
  GetClientRect(window, &client);
  MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&client), 2);
  RECT strip = {client.left, client.top - GetSystemMetrics(SM_CYMENU), client.right, client.top};
  return CaptureScreen(strip, where);
}

Image ReferenceMenuBar(const std::vector<std::string>& items, HWND likeWindow, Where where) {
  static const char* const kClass = "FablewickE2eReference";
  WNDCLASSA windowClass = {};
  windowClass.lpfnWndProc = DefWindowProcA;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = kClass;
  RegisterClassA(&windowClass); // fails harmlessly when already registered

  HMENU bar = CreateMenu();
  for (const std::string& item : items) {
    AppendMenuA(bar, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(CreatePopupMenu()), item.c_str());
  }
  SIZE size = ClientSize(likeWindow);
  const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
  RECT frame = {0, 0, size.cx, size.cy};
  AdjustWindowRectEx(&frame, style, TRUE, WS_EX_TOPMOST);
  HWND reference = CreateWindowExA(WS_EX_TOPMOST, kClass, "Reference", style, 0, 0,
                                   frame.right - frame.left, frame.bottom - frame.top, nullptr, bar,
                                   windowClass.hInstance, nullptr);
  if (reference == nullptr) {
    DestroyMenu(bar);
    Fail(where, "cannot make the reference window" + LastError());
    return {};
  }
  ShowWindow(reference, SW_SHOWNOACTIVATE);
  UpdateWindow(reference);
  DrawMenuBar(reference);
  // Let the window system map and paint it before it is read back.
  DWORD start = GetTickCount();
  MSG message;
  while (GetTickCount() - start < 500) {
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
    Sleep(20);
  }
  Image strip = CaptureMenuBar(reference, where);
  DestroyWindow(reference); // destroys the menu bar with it
  return strip;
}

// ---------------------------------------------------------------------------
namespace {
std::uint64_t FileSize(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data = {};
  if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return 0;
  return (std::uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow;
}
constexpr int kBlock = SoundcardRecording::kRate / 100; // 10 ms
constexpr int kSilenceLevel = 100;                       // about -50 dB of full scale
} // namespace

SoundcardRecording SoundcardRecording::Mark(Where where) {
  SoundcardRecording recording;
  char path[MAX_PATH * 2] = {};
  DWORD length = GetEnvironmentVariableA("FABLEWICK_SOUNDCARD", path, sizeof path);
  if (length == 0 || length >= sizeof path) {
    Fail(where, "FABLEWICK_SOUNDCARD is not set: run the tests through scripts/wine-run");
    return recording;
  }
  recording.path_ = path;
  recording.offset_ = FileSize(recording.path_) & ~std::uint64_t{1};
  return recording;
}

bool SoundcardRecording::WaitFor(DWORD ms, Where where) const {
  if (path_.empty()) return false;
  const std::uint64_t needed = std::uint64_t{ms} * kRate / 1000 * 2;
  // The card records in real time, so this takes `ms` plus the recorder's lag.
  bool done = WaitUntil(ms + 5000, [&] { return FileSize(path_) - offset_ >= needed; });
  if (!done) Fail(where, "the sound card recording does not grow (is the recorder running?)");
  return done;
}

std::vector<std::int16_t> SoundcardRecording::Samples() const {
  std::vector<std::int16_t> samples;
  if (path_.empty()) return samples;
  std::ifstream file(fs::path(path_), std::ios::binary);
  file.seekg(static_cast<std::streamoff>(offset_));
  std::vector<char> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  samples.resize(bytes.size() / 2);
  std::copy_n(bytes.data(), samples.size() * 2, reinterpret_cast<char*>(samples.data()));
  return samples;
}

SoundcardRecording::Report SoundcardRecording::Read() const {
  std::vector<std::int16_t> samples = Samples();
  Report report;
  report.recordedMs = static_cast<DWORD>(samples.size() * 1000 / kRate);
  bool first = true;
  for (size_t block = 0; block + kBlock <= samples.size(); block += kBlock) {
    bool sound = std::any_of(samples.begin() + static_cast<std::ptrdiff_t>(block),
                             samples.begin() + static_cast<std::ptrdiff_t>(block + kBlock),
                             [](std::int16_t sample) { return std::abs(int{sample}) > kSilenceLevel; });
    if (!sound) continue;
    DWORD at = static_cast<DWORD>(block * 1000 / kRate);
    if (first) report.firstSoundMs = at;
    first = false;
    report.soundMs += 10;
    report.lastSoundEndMs = at + 10;
  }
  return report;
}

} // namespace fablewick::e2e

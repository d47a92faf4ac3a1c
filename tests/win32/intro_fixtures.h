#pragma once

// Helpers shared by the intro's Wine tests: the movie fixtures, a private
// current directory to put them in under the names the program looks for,
// and a message pump that waits without busy-looping.

#include <windows.h>

#include <tlhelp32.h>

#include <chrono>
#include <functional>
#include <string>

namespace fablewick::testing {

// The committed fixtures sit beside this header; Wine maps the Unix root to
// drive Z:.
inline std::string IntroFixture(const char* name) {
  std::string path = std::string("Z:") + FABLEWICK_FIXTURES + "intro/" + name;
  for (char& c : path) {
    if (c == '/') c = '\\';
  }
  return path;
}

// Dispatches this thread's messages until `done` holds or `limit` passes,
// waking also when `signalled` (if given) is set. Returns whether `done` held.
inline bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds limit,
                      HANDLE signalled = nullptr) {
  const auto end = std::chrono::steady_clock::now() + limit;
  while (!done()) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        end - std::chrono::steady_clock::now());
    if (left.count() <= 0) return false;
    // Short waits, so conditions that change without a message (a frame
    // drawn by another thread) are seen too.
    MsgWaitForMultipleObjects(signalled != nullptr ? 1 : 0, &signalled, FALSE,
                              static_cast<DWORD>(left.count() < 50 ? left.count() : 50),
                              QS_ALLINPUT);
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
  }
  return true;
}

inline void PumpFor(std::chrono::milliseconds span) {
  PumpUntil([] { return false; }, span);
}

// A fresh temporary directory made current for the test's lifetime, into
// which files are copied under the bare names the program opens.
class ScratchDirectory {
public:
  ScratchDirectory() {
    char base[MAX_PATH];
    GetTempPathA(MAX_PATH, base);
    char name[MAX_PATH];
    GetTempFileNameA(base, "fwi", 0, name);
    DeleteFileA(name);
    CreateDirectoryA(name, nullptr);
    path_ = name;
    GetCurrentDirectoryA(MAX_PATH, previous_);
    SetCurrentDirectoryA(path_.c_str());
  }
  ~ScratchDirectory() {
    SetCurrentDirectoryA(previous_);
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((path_ + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
      do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
          DeleteFileA((path_ + "\\" + found.cFileName).c_str());
        } else if (found.cFileName[0] != '.') {
          RemoveDirectoryA((path_ + "\\" + found.cFileName).c_str());
        }
      } while (FindNextFileA(search, &found));
      FindClose(search);
    }
    RemoveDirectoryA(path_.c_str());
  }
  ScratchDirectory(const ScratchDirectory&) = delete;
  ScratchDirectory& operator=(const ScratchDirectory&) = delete;

  bool CopyIn(const std::string& source, const char* as) const {
    return CopyFileA(source.c_str(), (path_ + "\\" + as).c_str(), FALSE) != FALSE;
  }
  bool Write(const char* as, const std::string& bytes) const {
    HANDLE file = CreateFileA((path_ + "\\" + as).c_str(), GENERIC_WRITE, 0, nullptr,
                              CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const BOOL ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                              nullptr);
    CloseHandle(file);
    return ok && written == bytes.size();
  }
  const std::string& Path() const { return path_; }

private:
  std::string path_;
  char previous_[MAX_PATH] = {};
};

// When the process started, or 0 once it has gone.
inline ULONGLONG CreationTime(DWORD id) {
  HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, id);
  if (process == nullptr) return 0;
  FILETIME created{}, exited{}, kernel{}, user{};
  const BOOL known = GetProcessTimes(process, &created, &exited, &kernel, &user);
  CloseHandle(process);
  return known ? (ULONGLONG(created.dwHighDateTime) << 32) | created.dwLowDateTime : 0;
}

// Calls `each` with every running process; false if the system will not
// list them.
template <class Each> bool ForEachProcess(Each each) {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return false;
  PROCESSENTRY32 entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry)) each(entry);
  CloseHandle(snapshot);
  return true;
}

// How many guards the given process started that still run; -1 if the
// system will not list processes. A guard runs this same program, as a child
// of the given process or, outside its process tree, of the shell: any
// process of this program started after the given one and not by this test
// counts.
inline int RunningGuards(DWORD launcher) {
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  const wchar_t* self = path;
  for (const wchar_t* c = path; *c != L'\0'; ++c) {
    if (*c == L'\\' || *c == L'/') self = c + 1;
  }
  const DWORD test = GetCurrentProcessId();
  const ULONGLONG launcherCreated = CreationTime(launcher);
  int count = 0;
  const bool listed = ForEachProcess([&](const PROCESSENTRY32& entry) {
    const DWORD id = entry.th32ProcessID, parent = entry.th32ParentProcessID;
    if (id == launcher || id == test) return;
    count += parent == launcher || (parent != test && lstrcmpiW(entry.szExeFile, self) == 0 && launcherCreated != 0 &&
                                    CreationTime(id) >= launcherCreated);
  });
  return listed ? count : -1;
}

// Top-level windows of this process with the dialog class: a message box.
inline int CountDialogsOfThisProcess() {
  int count = 0;
  EnumWindows(
      [](HWND window, LPARAM counter) -> BOOL {
        DWORD process = 0;
        GetWindowThreadProcessId(window, &process);
        char cls[16] = {};
        GetClassNameA(window, cls, sizeof cls);
        if (process == GetCurrentProcessId() && lstrcmpA(cls, "#32770") == 0) {
          ++*reinterpret_cast<int*>(counter);
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&count));
  return count;
}

// The shell's taskbar window, shown for the test and put back as it was
// afterwards. Wine's shell creates its "Shell_TrayWnd" a moment after the
// first window of a session appears, so it is waited for before a stand-in
// of the same class is made; otherwise the two could both exist and a later
// FindWindowA might pick the other one.
class TestTaskbar {
public:
  TestTaskbar() {
    GetDesktopWindow();
    PumpUntil([this] { return (window_ = FindWindowA("Shell_TrayWnd", nullptr)) != nullptr; },
              std::chrono::milliseconds(3000));
    if (window_ == nullptr) {
      WNDCLASSA cls{};
      cls.lpfnWndProc = &DefWindowProcA;
      cls.hInstance = GetModuleHandleA(nullptr);
      cls.lpszClassName = "Shell_TrayWnd";
      RegisterClassA(&cls);
      window_ = CreateWindowExA(WS_EX_TOOLWINDOW, "Shell_TrayWnd", "", WS_POPUP, 0, 700, 300, 30,
                                nullptr, nullptr, cls.hInstance, nullptr);
      own_ = true;
    }
    wasVisible_ = IsWindowVisible(window_) != FALSE;
    if (!wasVisible_) ShowWindow(window_, SW_SHOWNA);
  }
  ~TestTaskbar() {
    if (own_) {
      DestroyWindow(window_);
    } else if ((IsWindowVisible(window_) != FALSE) != wasVisible_) {
      ShowWindow(window_, wasVisible_ ? SW_SHOWNA : SW_HIDE);
    }
  }
  TestTaskbar(const TestTaskbar&) = delete;
  TestTaskbar& operator=(const TestTaskbar&) = delete;
  HWND get() const { return window_; }

private:
  HWND window_ = nullptr;
  bool own_ = false;
  bool wasVisible_ = false;
};

} // namespace fablewick::testing

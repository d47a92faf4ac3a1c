#pragma once

// Helpers for the frame's Wine tests: a second thread that finds a window of
// the test's user-interface thread while a modal loop runs there, reads it
// and dismisses it, and a watchdog that ends a hung test instead of letting
// a modal loop wait forever.

#include <windows.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace fablewick::testing {

inline std::string ClassOf(HWND window) {
  char name[128] = {};
  GetClassNameA(window, name, sizeof name);
  return name;
}

inline std::string TextOf(HWND window) {
  char text[1024] = {};
  GetWindowTextA(window, text, sizeof text);
  return text;
}

// The first visible top-level window of `thread` with that class, or null.
inline HWND FindThreadWindow(DWORD thread, const std::string& className) {
  struct Search {
    std::string className;
    HWND found = nullptr;
  } search{className};
  EnumThreadWindows(
      thread,
      [](HWND window, LPARAM context) -> BOOL {
        auto* s = reinterpret_cast<Search*>(context);
        if (IsWindowVisible(window) && ClassOf(window) == s->className) {
          s->found = window;
          return FALSE;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

inline std::vector<HWND> ChildrenOf(HWND parent) {
  std::vector<HWND> children;
  EnumChildWindows(
      parent,
      [](HWND window, LPARAM context) -> BOOL {
        reinterpret_cast<std::vector<HWND>*>(context)->push_back(window);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&children));
  return children;
}

// Ends the process with exit code 99 when not disarmed in time, so a modal
// loop that never ends fails its test quickly.
class Watchdog {
public:
  explicit Watchdog(std::chrono::milliseconds limit = std::chrono::seconds(30))
      : done_(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {
    thread_ = std::thread([this, limit] {
      if (WaitForSingleObject(done_, static_cast<DWORD>(limit.count())) == WAIT_TIMEOUT) {
        std::fprintf(stderr, "watchdog: the test hung\n");
        std::fflush(stderr);
        TerminateProcess(GetCurrentProcess(), 99);
      }
    });
  }
  ~Watchdog() {
    SetEvent(done_);
    thread_.join();
    CloseHandle(done_);
  }
  Watchdog(const Watchdog&) = delete;
  Watchdog& operator=(const Watchdog&) = delete;

private:
  HANDLE done_;
  std::thread thread_;
};

// Runs `act` on a second thread once a visible window of class `className`
// belonging to the calling (user-interface) thread appears. `act` gets the
// window; whatever it wants to check it stores for the test to assert on
// after the modal loop has returned.
class WindowActor {
public:
  WindowActor(std::string className, std::function<void(HWND)> act)
      : uiThread_(GetCurrentThreadId()), className_(std::move(className)), act_(std::move(act)) {
    thread_ = std::thread([this] {
      for (int i = 0; i < 1000 && !stop_; ++i) {
        if (HWND window = FindThreadWindow(uiThread_, className_)) {
          // Let the modal loop settle (activation, focus) before acting.
          Sleep(100);
          found_ = true;
          act_(window);
          return;
        }
        Sleep(10);
      }
    });
  }
  ~WindowActor() {
    stop_ = true;
    thread_.join();
  }
  WindowActor(const WindowActor&) = delete;
  WindowActor& operator=(const WindowActor&) = delete;

  bool Found() const { return found_; }
  DWORD UiThread() const { return uiThread_; }

private:
  DWORD uiThread_;
  std::string className_;
  std::function<void(HWND)> act_;
  std::atomic<bool> stop_{false};
  std::atomic<bool> found_{false};
  std::thread thread_;
};

// What a watcher saw of a standard message box.
struct SeenBox {
  std::string caption;
  std::string text;
  HWND owner = nullptr;
  bool hasIcon = false;
};

// Reads a message box (class "#32770") and presses its OK button.
inline void ReadAndDismissBox(HWND box, SeenBox& seen) {
  seen.caption = TextOf(box);
  seen.owner = GetWindow(box, GW_OWNER);
  for (HWND child : ChildrenOf(box)) {
    if (ClassOf(child) != "Static") continue;
    if (SendMessageA(child, STM_GETICON, 0, 0) != 0) seen.hasIcon = true;
    std::string text = TextOf(child);
    if (!text.empty()) seen.text = text;
  }
  PostMessageA(box, WM_COMMAND, IDOK, 0);
}

// Before a test starts the real program: its settings as a user who has run
// it before and turned the opening music off left them, so that neither an
// intro, a tune nor a report about settings another test left behind comes
// up; and the pointer off the picture, so that no caption lights up when the
// window maps under it. Wine moves the X pointer only when its own idea of
// the position changes, so a step aside first makes sure it does.
inline void PrepareProgramStart() {
  HKEY key = nullptr;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Quillmere\\Launcher\\1.0", 0, nullptr, 0, KEY_SET_VALUE,
                      nullptr, &key, nullptr) == ERROR_SUCCESS) {
    const DWORD off = 0;
    RegSetValueExA(key, "128", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&off), sizeof off);
    RegCloseKey(key);
  }
  SetCursorPos(1, 1);
  SetCursorPos(0, 0);
}

// The real program started, as PrepareProgramStart leaves things, in a fresh
// empty folder named after `purpose` (so every game and movie is missing),
// with the given show command if any; killed if a test leaves it running.
class StartedProgram {
public:
  explicit StartedProgram(const char* purpose, const WORD* show = nullptr) {
    PrepareProgramStart();
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    folder_ = std::string(temp) + "fablewick-" + purpose + "-" + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(folder_.c_str(), nullptr);
    std::string command = "\"Z:" FABLEWICK_EXE "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    if (show) {
      startup.dwFlags = STARTF_USESHOWWINDOW;
      startup.wShowWindow = *show;
    }
    if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, folder_.c_str(), &startup,
                        &info_)) {
      info_ = {};
    }
  }
  ~StartedProgram() {
    if (info_.hProcess) {
      if (Running()) {
        TerminateProcess(info_.hProcess, 1);
        WaitForSingleObject(info_.hProcess, 5000);
      }
      CloseHandle(info_.hThread);
      CloseHandle(info_.hProcess);
    }
    RemoveDirectoryA(folder_.c_str());
  }
  StartedProgram(const StartedProgram&) = delete;
  StartedProgram& operator=(const StartedProgram&) = delete;

  bool Started() const { return info_.hProcess != nullptr; }
  bool Running() const { return info_.hProcess && WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT; }
  HANDLE Process() const { return info_.hProcess; }
  DWORD Id() const { return info_.dwProcessId; }

private:
  std::string folder_;
  PROCESS_INFORMATION info_{};
};

} // namespace fablewick::testing

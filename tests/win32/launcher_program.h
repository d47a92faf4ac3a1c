#pragma once

// The real launcher started in a second process for the screen-reader
// tests, and a wait that keeps this thread's messages flowing meanwhile.

#include "frame_test_helpers.h"

#include <windows.h>

#include <functional>
#include <string>

namespace fablewick::testing {

// Waits while handling this thread's messages, through which the focus
// events of another process arrive.
inline bool WaitUntil(DWORD ms, const std::function<bool()>& done) {
  for (DWORD waited = 0; waited < ms; waited += 20) {
    if (done()) return true;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
  }
  return done();
}

// The launcher in a fresh empty folder, so every game is missing; killed if
// a test leaves it running.
class Launcher {
public:
  Launcher() {
    PrepareProgramStart();
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    folder_ = std::string(temp) + "fablewick-reader-" + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(folder_.c_str(), nullptr);
    std::string command = std::string("\"Z:") + FABLEWICK_EXE + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, folder_.c_str(), &startup,
                        &info_)) {
      return;
    }
    WaitUntil(30000, [this] {
      window_ = FindWindowOfClass("Tfrmmain");
      return window_ && IsWindowVisible(window_);
    });
    for (HWND child : ChildrenOf(window_)) picture_ = child;
  }
  ~Launcher() {
    if (info_.hProcess) {
      if (WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT) {
        TerminateProcess(info_.hProcess, 1);
        WaitForSingleObject(info_.hProcess, 5000);
      }
      CloseHandle(info_.hThread);
      CloseHandle(info_.hProcess);
    }
    RemoveDirectoryA(folder_.c_str());
  }
  Launcher(const Launcher&) = delete;
  Launcher& operator=(const Launcher&) = delete;

  HWND Window() const { return window_; }
  HWND Picture() const { return picture_; }
  bool Running() const { return info_.hProcess && WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT; }

  HWND FindWindowOfClass(const std::string& className) const {
    struct Search {
      DWORD process;
      std::string className;
      HWND found = nullptr;
    } search{info_.dwProcessId, className};
    EnumWindows(
        [](HWND window, LPARAM context) -> BOOL {
          auto* s = reinterpret_cast<Search*>(context);
          DWORD owner = 0;
          GetWindowThreadProcessId(window, &owner);
          if (owner == s->process && IsWindowVisible(window) && ClassOf(window) == s->className) {
            s->found = window;
            return FALSE;
          }
          return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
  }

  POINT ScreenPoint(int x, int y) const {
    POINT p{x, y};
    ClientToScreen(picture_, &p);
    return p;
  }

  // Real key strokes to the launcher in front.
  bool Key(WORD key) const {
    if (!WaitUntil(3000, [this] {
          if (GetForegroundWindow() == window_) return true;
          SetForegroundWindow(window_);
          return false;
        })) {
      return false;
    }
    INPUT events[2] = {};
    events[0].type = events[1].type = INPUT_KEYBOARD;
    events[0].ki.wVk = events[1].ki.wVk = key;
    events[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, events, sizeof events[0]);
    return true;
  }

private:
  std::string folder_;
  PROCESS_INFORMATION info_{};
  HWND window_ = nullptr;
  HWND picture_ = nullptr;
};

} // namespace fablewick::testing

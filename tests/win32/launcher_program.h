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

// The launcher started afresh (every game missing), once its window shows.
class Launcher {
public:
  Launcher() {
    if (!program_.Started()) return;
    WaitUntil(30000, [this] {
      window_ = FindWindowOfClass("Tfrmmain");
      return window_ && IsWindowVisible(window_);
    });
    for (HWND child : ChildrenOf(window_)) picture_ = child;
  }
  Launcher(const Launcher&) = delete;
  Launcher& operator=(const Launcher&) = delete;

  HWND Window() const { return window_; }
  HWND Picture() const { return picture_; }
  bool Running() const { return program_.Running(); }

  HWND FindWindowOfClass(const std::string& className) const {
    struct Search {
      DWORD process;
      std::string className;
      HWND found = nullptr;
    } search{program_.Id(), className};
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
  StartedProgram program_{"reader"};
  HWND window_ = nullptr;
  HWND picture_ = nullptr;
};

} // namespace fablewick::testing

#pragma once
// The launcher's screen take-over as another program on the desktop sees it:
// its fade overlay, its intro window, and which kind of screen the harness
// runs on; and a window of the test's own standing for the desktop.
#include "driver.h"

#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

namespace fablewick::e2e {

inline bool OnScreen(const char* variable, const char* value) {
  const char* set = std::getenv(variable);
  return set != nullptr && std::string(set) == value;
}

struct OverlaySeen {
  HWND window = nullptr;
  int alpha = 0;
  LONG exStyle = 0;
  RECT rect{};
};

// The visible layered window of the launcher, with the opacity it was given
// (a display without a compositor draws it black whatever the opacity, so
// the opacity is what shows the steps).
inline std::optional<OverlaySeen> FindOverlay(const std::vector<TopWindow>& windows) {
  for (const TopWindow& top : windows) {
    const LONG exStyle = static_cast<LONG>(GetWindowLongPtrA(top.handle, GWL_EXSTYLE));
    if (!top.visible || (exStyle & WS_EX_LAYERED) == 0) continue;
    BYTE alpha = 0;
    DWORD flags = 0;
    if (!GetLayeredWindowAttributes(top.handle, nullptr, &alpha, &flags)) continue;
    return OverlaySeen{top.handle, (flags & LWA_ALPHA) ? alpha : 255, exStyle, top.rect};
  }
  return std::nullopt;
}
inline std::optional<OverlaySeen> FindOverlay(const LauncherProcess& launcher) { return FindOverlay(launcher.Windows()); }

inline bool IntroWindowShows(const std::vector<TopWindow>& windows) { return VisibleIntro(windows) != nullptr; }
inline bool IntroWindowShows(const LauncherProcess& launcher) { return IntroWindowShows(launcher.Windows()); }

inline HWND VisibleLauncher(const LauncherProcess& launcher) {
  for (const TopWindow& top : launcher.Windows()) {
    if (top.visible && top.hasMenu && top.caption == kLauncherCaption) return top.handle;
  }
  return nullptr;
}

inline RECT VirtualScreen() {
  const int left = GetSystemMetrics(SM_XVIRTUALSCREEN), top = GetSystemMetrics(SM_YVIRTUALSCREEN);
  return RECT{left, top, left + GetSystemMetrics(SM_CXVIRTUALSCREEN), top + GetSystemMetrics(SM_CYVIRTUALSCREEN)};
}

// A window of this process, with a class of its own and a solid colour.
class TestWindow {
public:
  TestWindow(const char* className, const RECT& at, int brush, DWORD exStyle = 0) {
    WNDCLASSA cls{};
    cls.lpfnWndProc = &DefWindowProcA;
    cls.hInstance = GetModuleHandleA(nullptr);
    cls.hbrBackground = static_cast<HBRUSH>(GetStockObject(brush));
    cls.lpszClassName = className;
    RegisterClassA(&cls);
    window_ = CreateWindowExA(exStyle | WS_EX_TOOLWINDOW, className, "", WS_POPUP, at.left, at.top,
                              at.right - at.left, at.bottom - at.top, nullptr, nullptr, cls.hInstance, nullptr);
    ShowWindow(window_, SW_SHOWNA);
    UpdateWindow(window_);
  }
  ~TestWindow() { DestroyWindow(window_); }
  TestWindow(const TestWindow&) = delete;
  TestWindow& operator=(const TestWindow&) = delete;
  HWND get() const { return window_; }

private:
  HWND window_ = nullptr;
};

} // namespace fablewick::e2e

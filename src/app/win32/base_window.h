#pragma once

#include "app/form_host.h"

#include <windows.h>

#include <exception>
#include <string>

namespace fablewick::win32 {

// How every window of the program is wired: the object is attached to its
// window at WM_NCCREATE, the window procedure only unpacks the message and
// calls HandleMessage, and the create step (WM_CREATE) may refuse the window,
// whose creation then fails with the create step's own error. The window
// class is registered once per class name, all with the same procedure.
class BaseWindow {
public:
  BaseWindow(const BaseWindow&) = delete;
  BaseWindow& operator=(const BaseWindow&) = delete;

  HWND Window() const { return window_; }

protected:
  BaseWindow() = default;
  // Detaches the object first, so the messages of a window destroyed here
  // no longer reach a half-destroyed object.
  virtual ~BaseWindow();

  struct Creation {
    const char* className;
    DWORD style = 0;
    DWORD exStyle = 0;
    const char* title = "";
    int x = 0, y = 0, width = 0, height = 0;
    HWND parent = nullptr;
    // A top-level window's menu bar, which the window then shows and, once
    // destroyed with it still attached, destroys.
    HMENU menu = nullptr;
  };
  // Creates the window. An error raised by the create step comes out of
  // here as it was raised; any other failure is an AppError naming `what`.
  void CreateWindowFor(const Creation& creation, const std::string& what);
  // The same, but a failure other than the create step's answers false.
  bool TryCreateWindow(const Creation& creation);
  // DestroyWindow with the object still attached: its handlers see the
  // destroy messages.
  void DestroyOwnWindow();

  // Every message of the window; the default leaves it to DefWindowProc.
  virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  // WM_CREATE: raise an error to refuse the window.
  virtual void CreateStep() {}
  // Errors escaping HandleMessage are reported here. A window without a
  // host lets none escape its handlers.
  virtual FormHost* ReportingHost() { return nullptr; }

  LRESULT Default(UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(window_, message, wParam, lParam);
  }

private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT Dispatch(UINT message, WPARAM wParam, LPARAM lParam);

  HWND window_ = nullptr;
  std::exception_ptr createError_;
};

} // namespace fablewick::win32

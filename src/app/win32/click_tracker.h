#pragma once

#include <windows.h>

namespace fablewick::win32 {

// A press of the primary button and its release inside the same window make
// a click. The window holds the mouse in between, so the release comes back
// to it wherever the pointer is.
class ClickTracker {
public:
  // Follows the primary button through any message of the window: true when
  // this one completes a click.
  bool Observe(HWND window, UINT message, LPARAM point);

private:
  void Press(HWND window);
  // Ends the press; true when it completes a click at the released point.
  bool Release(HWND window, LPARAM point);

  bool pending_ = false;
};

} // namespace fablewick::win32

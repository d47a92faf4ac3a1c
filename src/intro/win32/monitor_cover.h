#pragma once

#include "intro/screen_types.h"

#include <windows.h>

namespace fablewick::win32 {

// A black popup of this process over one monitor: topmost, off the taskbar
// and never activated, so the intro window keeps the keyboard and the mouse
// wherever the user clicks. Null when it cannot be made.
HWND CreateMonitorCover(const Rect& area);

// Tells the shell (ITaskbarList2) whether the window is full-screen, so it
// keeps its taskbars behind it. Quietly does nothing where the shell offers
// no such list.
void MarkFullScreenToShell(HWND window, bool fullScreen);

} // namespace fablewick::win32

#pragma once

#include "app/dpi_scale.h"

#include <windows.h>

namespace fablewick::win32 {

// The DPI the window is drawn at: its monitor's under per-monitor
// awareness. GetDpiForWindow is looked up at run time, since older systems
// lack it; without it the screen's logical DPI is the answer.
int WindowDpi(HWND window);

// The window's scale from picture pixels to its physical pixels.
inline DpiScale WindowScale(HWND window) { return DpiScale(WindowDpi(window)); }

} // namespace fablewick::win32

#pragma once

#include "app/dpi_scale.h"
#include "app/win32/gdi.h"

#include <windows.h>

namespace fablewick::win32 {

// The DPI the window is drawn at: its monitor's under per-monitor
// awareness. GetDpiForWindow is looked up at run time, since older systems
// lack it; without it the screen's logical DPI is the answer.
int WindowDpi(HWND window);

// The window's scale from picture pixels to its physical pixels.
inline DpiScale WindowScale(HWND window) { return DpiScale(WindowDpi(window)); }

// A system metric (SM_CXICON, ...) at the DPI. Without
// GetSystemMetricsForDpi the system-DPI value is scaled.
int SystemMetricAt(int index, int dpi);

// The message font of the non-client metrics at the DPI; null if the
// system reports none. Without SystemParametersInfoForDpi the system-DPI
// font's height is scaled.
UniqueFont MessageFontAt(int dpi);

// One of the system's icons (IDI_HAND, ...) at its size for the DPI. The
// shared icon when the DPI is the system's; otherwise a scaled copy that
// the holder destroys.
class SystemIcon {
public:
  SystemIcon(LPCSTR name, int dpi);
  SystemIcon(const SystemIcon&) = delete;
  SystemIcon& operator=(const SystemIcon&) = delete;
  HICON Get() const { return icon_; }

private:
  UniqueIcon scaled_;
  HICON icon_ = nullptr;
};

} // namespace fablewick::win32

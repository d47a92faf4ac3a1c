#pragma once

#include "app/win32/scoped_win.h"

#include <windows.h>

namespace fablewick::win32 {

// The layouts' colour values to a COLORREF (system colours looked up now).
COLORREF ColorToRGB(unsigned color);

// Fills `area` with a layout colour.
void FillWithColor(HDC dc, const RECT& area, unsigned color);

} // namespace fablewick::win32

#include "app/win32/gdi.h"

#include "app/layout.h"

namespace fablewick::win32 {

COLORREF ColorToRGB(unsigned color) {
  if ((color & SystemColorFlag) == SystemColorFlag) return GetSysColor(static_cast<int>(color & 0xFF));
  return static_cast<COLORREF>(color & 0xFFFFFF);
}

void FillWithColor(HDC dc, const RECT& area, unsigned color) {
  UniqueBrush brush(CreateSolidBrush(ColorToRGB(color)));
  FillRect(dc, &area, brush.get());
}

} // namespace fablewick::win32

#include "app/win32/gdi.h"

#include "app/layout.h"

namespace fablewick::win32 {

COLORREF ColorToRGB(unsigned color) {
  if ((color & SystemColorFlag) == SystemColorFlag) return GetSysColor(static_cast<int>(color & 0xFF));
  return static_cast<COLORREF>(color & 0xFFFFFF);
}

} // namespace fablewick::win32

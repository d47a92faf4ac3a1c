#pragma once

#include "app/win32/gdi.h"

namespace fablewick::win32 {

// The program's own bitmap resource with this integer identifier, as a
// bitmap the caller owns. A missing or unreadable one raises AppError.
UniqueBitmap LoadBitmapResource(int id);

} // namespace fablewick::win32

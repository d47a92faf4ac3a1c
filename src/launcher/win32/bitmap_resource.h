#pragma once

#include "app/win32/gdi.h"

namespace fablewick::win32 {

// The program's own bitmap resource with this integer identifier, as a
// bitmap the caller owns. A missing or unreadable one raises AppError.
UniqueBitmap LoadBitmapResource(int id);

// Raises the AppError LoadBitmapResource would if this resource is missing
// or does not hold a whole picture, without decoding it.
void CheckBitmapResource(int id);

} // namespace fablewick::win32

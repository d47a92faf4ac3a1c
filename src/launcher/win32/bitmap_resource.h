#pragma once

#include "app/win32/gdi.h"

#include <span>

namespace fablewick::win32 {

// The program's own bitmap resource with this integer identifier, as a
// bitmap the caller owns. A missing or unreadable one raises AppError.
UniqueBitmap LoadBitmapResource(int id);

// Raises the AppError LoadBitmapResource would if this resource is missing
// or does not hold a whole picture, without decoding it.
void CheckBitmapResource(int id);

// Starts loading these resources on a thread of its own. LoadBitmapResource
// waits for that, then hands each one over once; it loads any other, or
// again any that failed, as before, so a failure surfaces where it did.
void PreloadBitmapResources(std::span<const int> ids);

} // namespace fablewick::win32

#include "launcher/win32/bitmap_resource.h"

#include "app/app_error.h"

namespace fablewick::win32 {

UniqueBitmap LoadBitmapResource(int id) {
  UniqueBitmap bitmap(static_cast<HBITMAP>(
      LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR)));
  if (!bitmap) throw AppError("Bitmap image is not valid");
  return bitmap;
}

} // namespace fablewick::win32

#include "launcher/win32/bitmap_resource.h"

#include "app/app_error.h"
#include "launcher/packed_bitmap.h"

namespace fablewick::win32 {

namespace {

constexpr const char* kNotABitmap = "Bitmap image is not valid";

} // namespace

void CheckBitmapResource(int id) {
  const HMODULE module = GetModuleHandleA(nullptr);
  const HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(2)); // RT_BITMAP
  const HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
  const void* bytes = loaded ? LockResource(loaded) : nullptr;
  if (!bytes || !IsWholePackedBitmap({static_cast<const std::byte*>(bytes), SizeofResource(module, found)})) {
    throw AppError(kNotABitmap);
  }
}

UniqueBitmap LoadBitmapResource(int id) {
  UniqueBitmap bitmap(static_cast<HBITMAP>(
      LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR)));
  if (!bitmap) throw AppError(kNotABitmap);
  return bitmap;
}

} // namespace fablewick::win32

#include "launcher/win32/bitmap_resource.h"

#include "app/app_error.h"
#include "app/win32/early_work.h"
#include "launcher/packed_bitmap.h"

#include <memory>
#include <utility>
#include <vector>

namespace fablewick::win32 {

namespace {

constexpr const char* kNotABitmap = "Bitmap image is not valid";

HBITMAP Load(int id) {
  return static_cast<HBITMAP>(
      LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR));
}

struct Preload {
  explicit Preload(std::span<const int> wanted)
      : ids(wanted.begin(), wanted.end()), bitmaps(ids.size()), work([this] {
          for (std::size_t i = 0; i < ids.size(); ++i) bitmaps[i].reset(Load(ids[i]));
        }) {}

  std::vector<int> ids;
  std::vector<UniqueBitmap> bitmaps;
  EarlyWork work; // last, so it starts once what it writes exists
};

// Touched only by the thread that loads the pictures for the windows.
std::unique_ptr<Preload>& ThePreload() {
  static std::unique_ptr<Preload> preload;
  return preload;
}

UniqueBitmap TakePreloaded(int id) {
  Preload* preload = ThePreload().get();
  if (!preload) return {};
  preload->work.Wait();
  for (std::size_t i = 0; i < preload->ids.size(); ++i) {
    if (preload->ids[i] == id && preload->bitmaps[i]) return std::move(preload->bitmaps[i]);
  }
  return {};
}

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

void PreloadBitmapResources(std::span<const int> ids) { ThePreload() = std::make_unique<Preload>(ids); }

UniqueBitmap LoadBitmapResource(int id) {
  UniqueBitmap bitmap = TakePreloaded(id);
  if (!bitmap) bitmap.reset(Load(id));
  if (!bitmap) throw AppError(kNotABitmap);
  return bitmap;
}

} // namespace fablewick::win32

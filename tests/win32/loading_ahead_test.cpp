// What the start-up loads ahead on threads of its own is exactly what it
// would have loaded itself, handed over once, with failures where they were.
#include "app/app_error.h"
#include "app/win32/early_work.h"
#include "launcher/win32/bitmap_resource.h"
#include "resources/resource.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <vector>

namespace fablewick::win32 {
namespace {

TEST(EarlyWork, RunsBesideItsCallerAndWhatItWroteIsThereAfterTheWait) {
  const DWORD caller = GetCurrentThreadId();
  HANDLE go = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  DWORD ranOn = 0;
  std::vector<int> written;
  EarlyWork work([&] {
    // Run on the caller's thread, this would wait out its whole limit.
    if (WaitForSingleObject(go, 5000) != WAIT_OBJECT_0) return;
    ranOn = GetCurrentThreadId();
    written.assign(1000, 7);
  });
  SetEvent(go);
  work.Wait();
  EXPECT_NE(ranOn, 0u);
  EXPECT_NE(ranOn, caller);
  EXPECT_EQ(written, std::vector<int>(1000, 7));
  CloseHandle(go);
}

TEST(EarlyWork, IsWaitedForWhenItsOwnerGoes) {
  bool done = false;
  {
    EarlyWork work([&] {
      Sleep(100);
      done = true;
    });
  }
  EXPECT_TRUE(done);
}

// The picture's pixels as 24-bit rows, the way the launcher's copies draw.
std::vector<std::uint8_t> Pixels(HBITMAP bitmap) {
  BITMAP info{};
  if (!GetObjectA(bitmap, sizeof info, &info)) return {};
  BITMAPINFO format{};
  format.bmiHeader.biSize = sizeof format.bmiHeader;
  format.bmiHeader.biWidth = info.bmWidth;
  format.bmiHeader.biHeight = info.bmHeight;
  format.bmiHeader.biPlanes = 1;
  format.bmiHeader.biBitCount = 24;
  std::vector<std::uint8_t> pixels(std::size_t((info.bmWidth * 3 + 3) & ~3) * info.bmHeight);
  HDC screen = GetDC(nullptr);
  const int rows = GetDIBits(screen, bitmap, 0, info.bmHeight, pixels.data(), &format, DIB_RGB_COLORS);
  ReleaseDC(nullptr, screen);
  return rows == info.bmHeight ? pixels : std::vector<std::uint8_t>{};
}

std::vector<std::uint8_t> PixelsLoadedNow(int id) {
  UniqueBitmap bitmap(static_cast<HBITMAP>(
      LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR)));
  return Pixels(bitmap.get());
}

TEST(PicturesLoadedAhead, EachIsThePictureItsIdNamesAndIsHandedOverOnlyOnce) {
  const int ids[] = {IDB_PRESSED_FIRST + 2, IDB_MENU, IDB_HOVER_FIRST + 4};
  PreloadBitmapResources(ids);
  for (int id : {IDB_MENU, IDB_HOVER_FIRST + 4, IDB_PRESSED_FIRST + 2}) {
    const UniqueBitmap first = LoadBitmapResource(id);
    const UniqueBitmap second = LoadBitmapResource(id);
    ASSERT_NE(first.get(), second.get()) << id;
    const std::vector<std::uint8_t> expected = PixelsLoadedNow(id);
    ASSERT_FALSE(expected.empty()) << id;
    EXPECT_EQ(Pixels(first.get()), expected) << id;
    EXPECT_EQ(Pixels(second.get()), expected) << id;
  }
}

TEST(PicturesLoadedAhead, OneThatCannotBeLoadedFailsWhereItIsTakenNotBefore) {
  const int missing = 9999;
  const int ids[] = {missing, IDB_MENU};
  PreloadBitmapResources(ids);
  EXPECT_NE(LoadBitmapResource(IDB_MENU), nullptr);
  try {
    LoadBitmapResource(missing);
    ADD_FAILURE() << "a missing picture loaded";
  } catch (const AppError& error) {
    EXPECT_STREQ(error.what(), "Bitmap image is not valid");
  }
}

} // namespace
} // namespace fablewick::win32

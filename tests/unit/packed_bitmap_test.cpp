#include "launcher/packed_bitmap.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace fablewick {
namespace {

// A packed bitmap with a 40-byte header, `colours` palette entries and
// room for every row, as a resource holds it.
std::vector<std::byte> Picture(std::int32_t width, std::int32_t height, int depth, int colours = 0) {
  const std::size_t stride = (static_cast<std::size_t>(width) * depth + 31) / 32 * 4;
  const std::size_t rows = static_cast<std::size_t>(height < 0 ? -height : height);
  std::vector<std::byte> bytes(40 + 4 * static_cast<std::size_t>(colours) + stride * rows);
  auto put = [&](std::size_t at, std::uint32_t value, int width) {
    for (int i = 0; i < width; ++i) bytes[at + i] = static_cast<std::byte>(value >> (8 * i));
  };
  put(0, 40, 4);
  put(4, static_cast<std::uint32_t>(width), 4);
  put(8, static_cast<std::uint32_t>(height), 4);
  put(12, 1, 2);
  put(14, static_cast<std::uint32_t>(depth), 2);
  put(32, static_cast<std::uint32_t>(colours), 4);
  return bytes;
}

TEST(PackedBitmapTest, AWholePictureIsTakenAndAnyMissingOrImpossiblePartIsNot) {
  EXPECT_TRUE(IsWholePackedBitmap(Picture(560, 420, 24)));
  EXPECT_TRUE(IsWholePackedBitmap(Picture(180, -91, 24))); // top-down rows
  EXPECT_TRUE(IsWholePackedBitmap(Picture(3, 2, 8, 256)));
  EXPECT_TRUE(IsWholePackedBitmap(Picture(9, 1, 1, 2)));

  auto lastByteGone = Picture(560, 420, 24);
  lastByteGone.pop_back();
  EXPECT_FALSE(IsWholePackedBitmap(lastByteGone));
  // An 8-bit picture that names no colours has all 256 of them.
  EXPECT_FALSE(IsWholePackedBitmap(Picture(3, 2, 8)));
  EXPECT_FALSE(IsWholePackedBitmap(Picture(0, 420, 24)));
  EXPECT_FALSE(IsWholePackedBitmap(Picture(560, 0, 24)));
  EXPECT_FALSE(IsWholePackedBitmap(Picture(560, 420, 7)));
  auto twoPlanes = Picture(2, 2, 24);
  twoPlanes[12] = std::byte{2};
  EXPECT_FALSE(IsWholePackedBitmap(twoPlanes));
  auto oddHeader = Picture(2, 2, 24);
  oddHeader[0] = std::byte{20};
  EXPECT_FALSE(IsWholePackedBitmap(oddHeader));
  // Sizes whose rows could not fit in any resource, rather than a sum that wraps.
  auto huge = Picture(1, 1, 32);
  huge[4] = huge[5] = huge[6] = std::byte{0xff};
  huge[8] = huge[9] = huge[10] = std::byte{0xff};
  EXPECT_FALSE(IsWholePackedBitmap(huge));
  EXPECT_FALSE(IsWholePackedBitmap({}));
}

} // namespace
} // namespace fablewick

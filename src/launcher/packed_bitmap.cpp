#include "launcher/packed_bitmap.h"

#include <cstdint>

namespace fablewick {

namespace {

std::uint32_t Read(std::span<const std::byte> bytes, std::size_t at, std::size_t width) {
  std::uint32_t value = 0;
  for (std::size_t i = 0; i < width; ++i) value |= std::to_integer<std::uint32_t>(bytes[at + i]) << (8 * i);
  return value;
}

constexpr std::size_t kCoreHeader = 12;  // width, height, planes, depth as 16-bit
constexpr std::size_t kInfoHeader = 40;  // the same as 32, 32, 16, 16 bits, then more
constexpr std::uint32_t kBitfields = 3;

} // namespace

bool IsWholePackedBitmap(std::span<const std::byte> bytes) {
  if (bytes.size() < 4) return false;
  const std::size_t header = Read(bytes, 0, 4);
  std::uint64_t width = 0, height = 0, planes = 0, depth = 0, colours = 0, compression = 0;
  std::size_t colourSize = 4;
  if (header == kCoreHeader && bytes.size() >= kCoreHeader) {
    width = Read(bytes, 4, 2);
    height = Read(bytes, 6, 2);
    planes = Read(bytes, 8, 2);
    depth = Read(bytes, 10, 2);
    colourSize = 3;
  } else if (header >= kInfoHeader && header <= bytes.size()) {
    width = Read(bytes, 4, 4);
    const auto rows = static_cast<std::int32_t>(Read(bytes, 8, 4));
    height = rows < 0 ? 0 - static_cast<std::int64_t>(rows) : rows;
    planes = Read(bytes, 12, 2);
    depth = Read(bytes, 14, 2);
    compression = Read(bytes, 16, 4);
    colours = Read(bytes, 32, 4);
  } else {
    return false;
  }
  // A row takes at least four bytes and holds at most eight pixels a byte,
  // which also keeps the sums below from overflowing.
  if (width == 0 || height == 0 || planes != 1) return false;
  if (height > bytes.size() || width > bytes.size() * 8) return false;
  if (depth != 1 && depth != 4 && depth != 8 && depth != 16 && depth != 24 && depth != 32) return false;
  // Compressed rows have no fixed length; the system checks those itself.
  if (compression != 0 && compression != kBitfields) return true;
  if (depth <= 8 && colours == 0) colours = std::uint64_t{1} << depth;
  const std::uint64_t masks = compression == kBitfields && header == kInfoHeader ? 12 : 0;
  const std::uint64_t stride = (width * depth + 31) / 32 * 4;
  const std::uint64_t needed = header + masks + colours * colourSize + stride * height;
  return needed <= bytes.size();
}

} // namespace fablewick

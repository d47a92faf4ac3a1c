#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace fablewick {

// The first video stream's format as an AVI file stores it: the bytes of its
// BITMAPINFOHEADER (the "strf" chunk of the "vids" stream), zero-filled past
// a shorter chunk, and the compression code read from them.
struct AviVideoFormat {
  static constexpr std::size_t HeaderSize = 40;
  std::array<std::byte, HeaderSize> header{};
  std::uint32_t compression = 0;
};

// Walks RIFF "AVI " > LIST "hdrl" > LIST "strl" > "strh"/"strf" within the
// bytes given (the head of the file), never past them. Empty when they hold
// no whole video format.
std::optional<AviVideoFormat> ReadAviVideoFormat(std::span<const std::byte> head);

} // namespace fablewick

#include "intro/avi_format.h"

#include <algorithm>
#include <cstring>
#include <string_view>

namespace fablewick {

namespace {

std::uint32_t Word(std::span<const std::byte> bytes, std::size_t at) {
  std::uint32_t value = 0;
  for (std::size_t i = 0; i < 4; ++i) value |= std::to_integer<std::uint32_t>(bytes[at + i]) << (8 * i);
  return value;
}

bool Is(std::span<const std::byte> bytes, std::size_t at, std::string_view tag) {
  return bytes.size() >= at + 4 && std::memcmp(bytes.data() + at, tag.data(), 4) == 0;
}

// Calls `visit(id, body)` for each whole chunk of a list's body, in order,
// until it returns true; a chunk that runs past the bytes ends the walk.
template <class Visit>
bool EachChunk(std::span<const std::byte> list, Visit visit) {
  std::size_t at = 0;
  while (list.size() - at >= 8) {
    const std::uint32_t size = Word(list, at + 4);
    if (size > list.size() - at - 8) return false;
    if (visit(list.subspan(at, 4), list.subspan(at + 8, size))) return true;
    // Chunks start on even offsets: an odd size is followed by a pad byte.
    at += 8 + size + (size & 1u);
    if (at > list.size()) return false;
  }
  return false;
}

bool IsList(std::span<const std::byte> id, std::span<const std::byte> body, std::string_view type) {
  return Is(id, 0, "LIST") && Is(body, 0, type);
}

} // namespace

std::optional<AviVideoFormat> ReadAviVideoFormat(std::span<const std::byte> head) {
  if (head.size() < 12 || !Is(head, 0, "RIFF") || !Is(head, 8, "AVI ")) return std::nullopt;
  // The RIFF size counts the whole file, most of which was not read.
  std::optional<AviVideoFormat> found;
  EachChunk(head.subspan(12), [&](auto id, auto hdrl) {
    if (!IsList(id, hdrl, "hdrl")) return false;
    EachChunk(hdrl.subspan(4), [&](auto listId, auto strl) {
      if (!IsList(listId, strl, "strl")) return false;
      bool video = false;
      EachChunk(strl.subspan(4), [&](auto chunkId, auto body) {
        if (Is(chunkId, 0, "strh")) video = Is(body, 0, "vids");
        // The fields up to and including the compression code must be there.
        if (!Is(chunkId, 0, "strf") || !video || body.size() < 20) return false;
        AviVideoFormat format;
        std::copy_n(body.begin(), std::min(body.size(), AviVideoFormat::HeaderSize), format.header.begin());
        format.compression = Word(body, 16);
        found = format;
        return true;
      });
      return found.has_value();
    });
    return true;
  });
  return found;
}

} // namespace fablewick

#pragma once

#include <cstddef>
#include <span>

namespace fablewick {

// Whether a bitmap resource's bytes (a header, its colour table, then the
// rows) hold a whole picture the system can decode: a known header size, a
// non-empty size, one plane, a bit depth bitmaps use, and every row present.
// Reading the header alone costs nothing, so a window can find out at once
// whether each of its pictures will load and decode the ones it does not
// show yet later.
bool IsWholePackedBitmap(std::span<const std::byte> bytes);

} // namespace fablewick

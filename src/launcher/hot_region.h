#pragma once

#include "resources/resource.h"

#include <array>
#include <optional>
#include <string_view>

namespace fablewick {

// One caption of the menu picture. The rectangle is in Background's client
// pixels; right and bottom are exclusive.
struct HotRegion {
  int left;
  int top;
  int right;
  int bottom;
  int hoverBitmap;
  int overlayBitmap;
  // The game started by a click, or none for Quit.
  std::optional<std::string_view> target;
};

inline constexpr int kHotRegionCount = 5;
inline constexpr int kNoRegion = -1;

// With right and bottom exclusive, the rows between captions (y = 89, 179,
// 260, 347) and the column x = 559 light nothing.
inline constexpr std::array<HotRegion, kHotRegionCount> kHotRegions{{
    {380, 0, 559, 89, IDB_HOVER_FIRST + 0, IDB_PRESSED_FIRST + 0, "Trillick.exe"},
    {380, 90, 559, 179, IDB_HOVER_FIRST + 1, IDB_PRESSED_FIRST + 1, "Barrowby.exe"},
    {380, 180, 559, 260, IDB_HOVER_FIRST + 2, IDB_PRESSED_FIRST + 2, "Caddle.exe"},
    {380, 261, 559, 347, IDB_HOVER_FIRST + 3, IDB_PRESSED_FIRST + 3, "Pimmet.exe"},
    {380, 348, 559, 419, IDB_HOVER_FIRST + 4, IDB_PRESSED_FIRST + 4, std::nullopt},
}};

// The first region, in index order, that contains the point; kNoRegion when
// none does.
int HitTest(int x, int y);

} // namespace fablewick

#pragma once

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
    {380, 0, 559, 89, 200, 300, "Trillick.exe"},
    {380, 90, 559, 179, 201, 301, "Barrowby.exe"},
    {380, 180, 559, 260, 202, 302, "Caddle.exe"},
    {380, 261, 559, 347, 203, 303, "Pimmet.exe"},
    {380, 348, 559, 419, 204, 304, std::nullopt},
}};

// The first region, in index order, that contains the point; kNoRegion when
// none does.
int HitTest(int x, int y);

} // namespace fablewick

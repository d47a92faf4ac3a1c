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
  // 180 pixels wide and overlayHeight high, drawn at the region's top left;
  // it may reach a pixel or two below the region.
  int overlayBitmap;
  int overlayHeight;
  // Drawn in the artwork and spoken by a screen reader.
  std::string_view name;
  // The game started by a click, or none for Quit.
  std::optional<std::string_view> target;
};

// The catalogue of the captions: everything else (the pictures loaded, the
// screen reader's names and places, the art script in src/resources) reads
// it from here. With right and bottom exclusive, the rows between captions
// (y = 89, 179, 260, 347) and the column x = 559 light nothing.
inline constexpr auto kHotRegions = std::to_array<HotRegion>({
    {380, 0, 559, 89, IDB_HOVER_FIRST + 0, IDB_PRESSED_FIRST + 0, 91, "Trillick", "Trillick.exe"},
    {380, 90, 559, 179, IDB_HOVER_FIRST + 1, IDB_PRESSED_FIRST + 1, 90, "Barrowby", "Barrowby.exe"},
    {380, 180, 559, 260, IDB_HOVER_FIRST + 2, IDB_PRESSED_FIRST + 2, 81, "Caddle", "Caddle.exe"},
    {380, 261, 559, 347, IDB_HOVER_FIRST + 3, IDB_PRESSED_FIRST + 3, 87, "Pimmet", "Pimmet.exe"},
    {380, 348, 559, 419, IDB_HOVER_FIRST + 4, IDB_PRESSED_FIRST + 4, 72, "Quit", std::nullopt},
});

inline constexpr int kHotRegionCount = static_cast<int>(kHotRegions.size());
inline constexpr int kNoRegion = -1;

// The resource script numbers the pictures by caption from a first id: a
// caption added or removed here must be added or removed there too.
static_assert(kHotRegionCount == IDB_CAPTION_COUNT, "resource.h numbers a different count of captions");
consteval bool PicturesNumberedByCaption() {
  for (int i = 0; i < kHotRegionCount; ++i) {
    if (kHotRegions[i].hoverBitmap != IDB_HOVER_FIRST + i) return false;
    if (kHotRegions[i].overlayBitmap != IDB_PRESSED_FIRST + i) return false;
  }
  return IDB_HOVER_LAST == IDB_HOVER_FIRST + kHotRegionCount - 1 &&
         IDB_PRESSED_LAST == IDB_PRESSED_FIRST + kHotRegionCount - 1;
}
static_assert(PicturesNumberedByCaption(), "a caption's pictures are not the ones resource.h numbers for it");

// The first region, in index order, that contains the point; kNoRegion when
// none does.
int HitTest(int x, int y);

} // namespace fablewick

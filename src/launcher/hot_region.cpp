#include "launcher/hot_region.h"

namespace fablewick {

int HitTest(int x, int y) {
  for (int i = 0; i < kHotRegionCount; ++i) {
    const HotRegion& r = kHotRegions[i];
    if (x >= r.left && x < r.right && y >= r.top && y < r.bottom) return i;
  }
  return kNoRegion;
}

} // namespace fablewick

#include "launcher/hot_region.h"

#include "../captions.h"

#include <gtest/gtest.h>

namespace fablewick {
namespace {

struct Point {
  int x;
  int y;
};

TEST(HitTest, FindsEachCaptionFromItsTopLeftToItsLastInsidePixel) {
  for (int region = 0; region < seen::kCaptionCount; ++region) {
    const seen::Caption& c = seen::kCaptions[region];
    EXPECT_EQ(HitTest(c.left, c.top), region);
    EXPECT_EQ(HitTest(c.right - 1, c.bottom - 1), region);
  }
}

TEST(HitTest, LeavesTheGapRowsTheRightColumnAndTheBottomRowUnlit) {
  // The row below each caption: the gaps between them and y = 419.
  for (const seen::Caption& c : seen::kCaptions) {
    for (int x : {380, 470, 558}) EXPECT_EQ(HitTest(x, c.bottom), kNoRegion) << x << "," << c.bottom;
  }
  for (int y = 0; y < 420; ++y) EXPECT_EQ(HitTest(559, y), kNoRegion) << "559," << y;
}

TEST(HitTest, FindsNothingLeftOfTheColumnOrOutsideThePicture) {
  for (int y = 0; y < 420; y += 7) {
    EXPECT_EQ(HitTest(379, y), kNoRegion) << "379," << y;
    EXPECT_EQ(HitTest(0, y), kNoRegion) << "0," << y;
  }
  // While a press holds the capture, points outside the window arrive too.
  for (Point p : {Point{-1, 10}, Point{400, -1}, Point{400, 420}, Point{600, 100},
                  Point{-32768, -32768}}) {
    EXPECT_EQ(HitTest(p.x, p.y), kNoRegion) << p.x << "," << p.y;
  }
}

} // namespace
} // namespace fablewick

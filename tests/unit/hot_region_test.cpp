#include "launcher/hot_region.h"

#include <gtest/gtest.h>

namespace fablewick {
namespace {

struct Point {
  int x;
  int y;
};

TEST(HitTest, FindsEachCaptionFromItsTopLeftToItsLastInsidePixel) {
  const struct {
    Point topLeft;
    Point bottomRight;
    int region;
  } cases[] = {
      {{380, 0}, {558, 88}, 0},   {{380, 90}, {558, 178}, 1},  {{380, 180}, {558, 259}, 2},
      {{380, 261}, {558, 346}, 3}, {{380, 348}, {558, 418}, 4},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(HitTest(c.topLeft.x, c.topLeft.y), c.region) << c.topLeft.x << "," << c.topLeft.y;
    EXPECT_EQ(HitTest(c.bottomRight.x, c.bottomRight.y), c.region)
        << c.bottomRight.x << "," << c.bottomRight.y;
  }
}

TEST(HitTest, LeavesTheGapRowsTheRightColumnAndTheBottomRowUnlit) {
  for (int y : {89, 179, 260, 347, 419}) {
    for (int x : {380, 470, 558}) EXPECT_EQ(HitTest(x, y), kNoRegion) << x << "," << y;
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

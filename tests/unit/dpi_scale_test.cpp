#include "app/dpi_scale.h"
#include "launcher/hot_region.h"

#include <gtest/gtest.h>

namespace fablewick {
namespace {

constexpr int kPictureWidth = 560;
constexpr int kPictureHeight = 420;
// 100, 125, 150, 175, 200 and 300 %.
constexpr int kDpis[] = {96, 120, 144, 168, 192, 288};

TEST(DpiScale, SizesTheLauncherClientAtTheCommonScales) {
  const struct {
    int dpi, width, height;
  } cases[] = {
      {96, 560, 420}, {120, 700, 525}, {144, 840, 630}, {168, 980, 735}, {192, 1120, 840}, {288, 1680, 1260},
  };
  for (const auto& c : cases) {
    DpiScale scale(c.dpi);
    EXPECT_EQ(scale.ToPhysical(kPictureWidth), c.width) << c.dpi;
    EXPECT_EQ(scale.ToPhysical(kPictureHeight), c.height) << c.dpi;
  }
}

TEST(DpiScale, RoundsHalvesAwayFromZeroAndOtherFractionsToTheNearest) {
  DpiScale scale(120); // s = 1.25
  EXPECT_EQ(scale.ToPhysical(1), 1);   // 1.25
  EXPECT_EQ(scale.ToPhysical(2), 3);   // 2.5
  EXPECT_EQ(scale.ToPhysical(3), 4);   // 3.75
  EXPECT_EQ(scale.ToPhysical(-2), -3); // -2.5
  EXPECT_EQ(DpiScale(110).ToPhysical(kPictureWidth), 642); // 641.67
  EXPECT_EQ(DpiScale(100).ToPhysical(kPictureHeight), 438); // 437.5
}

TEST(DpiScale, ClampsReportsOutsideTheOfferedRangeToAUsableSize) {
  for (int dpi : {0, -96, -1, 1, 72, 95}) {
    DpiScale scale(dpi);
    EXPECT_EQ(scale.Dpi(), 96) << dpi;
    EXPECT_EQ(scale.ToPhysical(kPictureWidth), kPictureWidth) << dpi;
    EXPECT_EQ(scale.ToPicture(100), 100) << dpi;
  }
  for (int dpi : {481, 960, 1 << 30}) {
    DpiScale scale(dpi);
    EXPECT_EQ(scale.Dpi(), 480) << dpi;
    EXPECT_EQ(scale.ToPhysical(kPictureWidth), 2800) << dpi;
    EXPECT_EQ(scale.ToPhysical(kPictureHeight), 2100) << dpi;
  }
  EXPECT_EQ(DpiScale(480).Dpi(), 480);
  EXPECT_EQ(DpiScale(96).Dpi(), 96);
}

TEST(DpiScale, DrawsPixelExactAtWholeScalesAndSmoothlyBetweenThem) {
  for (int dpi : {96, 192, 288, 384, 480, 0, 1000}) {
    EXPECT_EQ(DpiScale(dpi).Drawing(), PictureDrawing::PixelExact) << dpi;
  }
  for (int dpi : {97, 120, 144, 168, 240, 336, 479}) {
    EXPECT_EQ(DpiScale(dpi).Drawing(), PictureDrawing::Smooth) << dpi;
  }
}

TEST(DpiScale, MapsEachWholeScaleBlockOntoOnePicturePixel) {
  for (int dpi : {96, 192, 288, 480}) {
    DpiScale scale(dpi);
    const int s = dpi / 96;
    for (int picture : {0, 89, 90, 179, 559, 419}) {
      EXPECT_EQ(scale.ToPicture(picture * s), picture) << dpi;
      EXPECT_EQ(scale.ToPicture(picture * s + s - 1), picture) << dpi;
    }
  }
}

TEST(DpiScale, ReachesEveryPictureRowAndColumnInOrderAtEveryScale) {
  // A scale that skipped a picture row could jump over a gap row between two
  // captions, lighting one straight after the other.
  for (int dpi : kDpis) {
    DpiScale scale(dpi);
    for (int length : {kPictureWidth, kPictureHeight}) {
      int previous = -1;
      for (int physical = 0; physical < scale.ToPhysical(length); ++physical) {
        const int picture = scale.ToPicture(physical);
        ASSERT_TRUE(picture == previous || picture == previous + 1) << dpi << " at " << physical;
        previous = picture;
      }
      EXPECT_EQ(previous, length - 1) << dpi;
      EXPECT_EQ(scale.ToPicture(scale.ToPhysical(length)), length) << dpi;
    }
  }
}

TEST(DpiScale, KeepsTheGapRowsAndTheLastColumnUnlitAtEveryScale) {
  for (int dpi : kDpis) {
    DpiScale scale(dpi);
    const int x = scale.ToPhysical(470);
    for (int gap : {89, 179, 260, 347}) {
      int first = scale.ToPhysical(gap);
      while (scale.ToPicture(first) > gap) --first;
      while (scale.ToPicture(first) < gap) ++first;
      EXPECT_EQ(HitTest(scale.ToPicture(x), scale.ToPicture(first)), kNoRegion) << dpi << " row " << gap;
      EXPECT_NE(HitTest(scale.ToPicture(x), scale.ToPicture(first - 1)), kNoRegion) << dpi << " above " << gap;
    }
    const int lastColumn = scale.ToPhysical(kPictureWidth) - 1;
    EXPECT_EQ(scale.ToPicture(lastColumn), 559) << dpi;
    for (int y : {0, scale.ToPhysical(130), scale.ToPhysical(400)}) {
      EXPECT_EQ(HitTest(scale.ToPicture(lastColumn), scale.ToPicture(y)), kNoRegion) << dpi;
      EXPECT_NE(HitTest(scale.ToPicture(lastColumn - scale.ToPhysical(1)), scale.ToPicture(y)), kNoRegion)
          << dpi;
    }
  }
}

TEST(DpiScale, FindsTheSecondCaptionAndItsGapRowAtTwiceTheSize) {
  DpiScale scale(192);
  EXPECT_EQ(HitTest(scale.ToPicture(940), scale.ToPicture(260)), 1);
  EXPECT_EQ(HitTest(scale.ToPicture(940), scale.ToPicture(179)), kNoRegion);
  EXPECT_EQ(HitTest(scale.ToPicture(940), scale.ToPicture(180)), 1);
  EXPECT_EQ(HitTest(scale.ToPicture(940), scale.ToPicture(177)), 0);
}

TEST(DpiScale, MapsPointsLeftOfOrAboveThePictureBelowZero) {
  // A captured pointer reports negative coordinates; rounding them towards
  // zero would light the top caption from above the window.
  for (int dpi : kDpis) {
    DpiScale scale(dpi);
    EXPECT_EQ(scale.ToPicture(-1), -1) << dpi;
    EXPECT_EQ(HitTest(scale.ToPicture(scale.ToPhysical(470)), scale.ToPicture(-1)), kNoRegion) << dpi;
  }
  EXPECT_EQ(DpiScale(192).ToPicture(-2), -1);
  EXPECT_EQ(DpiScale(192).ToPicture(-3), -2);
  EXPECT_EQ(DpiScale(120).ToPicture(-5), -4);
  EXPECT_EQ(DpiScale(120).ToPicture(-6), -5);
}

} // namespace
} // namespace fablewick

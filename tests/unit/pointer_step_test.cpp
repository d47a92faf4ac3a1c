#include "launcher/pointer_step.h"

#include "fakes/fake_launcher_rig.h"

#include "../captions.h"

#include <gtest/gtest.h>

namespace fablewick {
namespace {

using Events = std::vector<std::string>;

// A point inside each caption, and one on the background.
constexpr int kCaptionX = seen::kCaptions[0].CentreX();
constexpr int kBackgroundX = 100;
constexpr int kBackgroundY = 200;

class PointerStepTest : public ::testing::Test {
protected:
  // Returns what this one event did.
  Events Move(int x, int y, bool down = false) {
    rig.events.clear();
    PointerStep(state, rig.host, x, y, down);
    return rig.events;
  }
  Events OnCaption(int region, bool down = false) {
    return Move(kCaptionX, seen::kCaptions[region].CentreY(), down);
  }
  Events OnBackground(bool down = false) { return Move(kBackgroundX, kBackgroundY, down); }

  fakes::FakeLauncherRig rig;
  HoverState state;
};

TEST_F(PointerStepTest, ClicksOnceOnEnteringEachCaptionAndNeverOverTheBackground) {
  // The state starts as "over nothing, button up", so the first move over
  // the background is no change at all.
  EXPECT_EQ(OnBackground(), Events{});
  for (int region = 0; region < kHotRegionCount; ++region) {
    EXPECT_EQ(OnCaption(region), (Events{"play 128", "hover " + std::to_string(region)}));
    EXPECT_EQ(Move(kCaptionX + 20, seen::kCaptions[region].CentreY() + 3), Events{}) << region;
    EXPECT_EQ(OnBackground(), (Events{"base"})) << region;
  }
}

TEST_F(PointerStepTest, MovingStraightFromOneCaptionToTheNextClicksAgain) {
  OnCaption(0);
  EXPECT_EQ(Move(kCaptionX, 88), Events{});
  EXPECT_EQ(Move(kCaptionX, 90), (Events{"play 128", "hover 1"}));

  // Across the gap row the pointer passes over no caption on its way.
  OnCaption(0);
  EXPECT_EQ(Move(kCaptionX, 89), (Events{"base"}));
  EXPECT_EQ(Move(kCaptionX, 90), (Events{"play 128", "hover 1"}));
}

TEST_F(PointerStepTest, TwoIdenticalEventsInARowChangeNothingTheSecondTime) {
  for (bool down : {false, true}) {
    for (int region = 0; region < kHotRegionCount; ++region) {
      OnCaption(region, down);
      const HoverState before = state;
      EXPECT_EQ(OnCaption(region, down), Events{}) << region << " down=" << down;
      EXPECT_EQ(state.lastRegion, before.lastRegion);
      EXPECT_EQ(state.armedRegion, before.armedRegion);
    }
    OnBackground(down);
    EXPECT_EQ(OnBackground(down), Events{});
  }
}

TEST_F(PointerStepTest, PressingOnACaptionArmsItClicksAndDrawsItsOverlayAtItsCorner) {
  for (int region = 0; region < seen::kCaptionCount; ++region) {
    const seen::Caption& c = seen::kCaptions[region];
    const std::string overlay = "overlay " + std::to_string(region) + " at " + std::to_string(c.left) + "," +
                                std::to_string(c.top);
    OnCaption(region);
    EXPECT_EQ(OnCaption(region, true), (Events{"play 128", overlay}));
    EXPECT_EQ(state.armedRegion, region);
    OnCaption(region, false);
    EXPECT_EQ(state.armedRegion, kNoRegion);
  }
}

TEST_F(PointerStepTest, DraggingAPressOntoAnotherCaptionKeepsThePressedOneLitAndUnpressed) {
  OnCaption(2);
  OnCaption(2, true);
  EXPECT_EQ(OnCaption(3, true), (Events{"hover 2"}));
  EXPECT_EQ(Move(kCaptionX, 260, true), (Events{"hover 2"}));
  EXPECT_EQ(OnCaption(3, true), (Events{"hover 2"}));
  EXPECT_EQ(state.armedRegion, 2);
}

TEST_F(PointerStepTest, LeavingAPressedCaptionAndComingBackClicksAndPressesItAgain) {
  OnCaption(2);
  OnCaption(2, true);
  EXPECT_EQ(OnBackground(true), (Events{"hover 2"}));
  EXPECT_EQ(Move(-40, -40, true), Events{});
  EXPECT_EQ(OnCaption(2, true), (Events{"play 128", "overlay 2 at 380,180"}));
  EXPECT_EQ(state.armedRegion, 2);
}

TEST_F(PointerStepTest, APressOutsideEveryCaptionArmsNothingAndDraggingOntoOneShowsThePlainArt) {
  OnBackground();
  EXPECT_EQ(OnBackground(true), (Events{"base"}));
  EXPECT_EQ(state.armedRegion, kNoRegion);
  EXPECT_EQ(OnCaption(1, true), (Events{"base"}));
  EXPECT_EQ(OnCaption(4, true), (Events{"base"}));
  EXPECT_EQ(state.armedRegion, kNoRegion);
}

TEST_F(PointerStepTest, PressingDirectlyWithoutAHoverFirstStillPresses) {
  // A press can be the first event over the picture, e.g. after the pointer
  // came in from another window with no move in between.
  EXPECT_EQ(OnCaption(0, true), (Events{"play 128", "overlay 0 at 380,0"}));
  EXPECT_EQ(state.armedRegion, 0);
}

} // namespace
} // namespace fablewick

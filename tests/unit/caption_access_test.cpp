#include "launcher/caption_access.h"

#include "launcher/pointer_step.h"
#include "fakes/fake_caption_focus_host.h"
#include "fakes/fake_launcher_rig.h"

#include <gtest/gtest.h>

namespace fablewick {
namespace {

class CaptionAccessTest : public ::testing::Test {
protected:
  void Key(CaptionKey key) { focus.KeyDown({key}, ports); }

  fakes::FakeLauncherRig rig;
  fakes::FakeCaptionFocusHost marks{rig.events};
  CaptionFocus focus{rig.host, marks};
  LauncherPorts& ports = rig.ports;
  HoverState hover;
};

TEST_F(CaptionAccessTest, EveryCaptionIsFocusableAndNoneIsFocusedOrHotAtStart) {
  for (int region = 0; region < kHotRegionCount; ++region) {
    const CaptionStates s = CaptionState(focus, region);
    EXPECT_TRUE(s.focusable);
    EXPECT_FALSE(s.focused || s.hotTracked || s.pressed) << region;
  }
}

TEST_F(CaptionAccessTest, TheKeyboardsCaptionIsFocusedAndHotAndNoOtherIs) {
  Key(CaptionKey::Tab);
  Key(CaptionKey::Down);
  for (int region = 0; region < kHotRegionCount; ++region) {
    const CaptionStates s = CaptionState(focus, region);
    EXPECT_EQ(s.focused, region == 1) << region;
    EXPECT_EQ(s.hotTracked, region == 1) << region;
    EXPECT_FALSE(s.pressed);
  }
}

TEST_F(CaptionAccessTest, ThePointersCaptionIsHotAndPressedWhileHeldButNotFocused) {
  PointerStep(hover, focus, 450, 300, false);
  EXPECT_TRUE(CaptionState(focus, 3).hotTracked);
  EXPECT_FALSE(CaptionState(focus, 3).focused);
  EXPECT_FALSE(CaptionState(focus, 3).pressed);
  PointerStep(hover, focus, 450, 300, true);
  for (int region = 0; region < kHotRegionCount; ++region) {
    EXPECT_EQ(CaptionState(focus, region).pressed, region == 3) << region;
  }
  PointerStep(hover, focus, 100, 300, true);
  EXPECT_TRUE(CaptionState(focus, 3).hotTracked);
  EXPECT_FALSE(CaptionState(focus, 3).pressed);
}

TEST_F(CaptionAccessTest, NavigationWalksTheKeyboardOrderWithoutWrapping) {
  EXPECT_EQ(NavigateCaptions(kNoRegion, CaptionDirection::FirstChild), 0);
  EXPECT_EQ(NavigateCaptions(kNoRegion, CaptionDirection::LastChild), 4);
  EXPECT_EQ(NavigateCaptions(kNoRegion, CaptionDirection::Next), kNoRegion);

  int region = 0;
  int visited = 1;
  while ((region = NavigateCaptions(region, CaptionDirection::Next)) != kNoRegion) ++visited;
  EXPECT_EQ(visited, kHotRegionCount);
  EXPECT_EQ(NavigateCaptions(0, CaptionDirection::Previous), kNoRegion);
  EXPECT_EQ(NavigateCaptions(4, CaptionDirection::Up), 3);
  EXPECT_EQ(NavigateCaptions(2, CaptionDirection::Down), 3);
  for (CaptionDirection d : {CaptionDirection::Left, CaptionDirection::Right, CaptionDirection::FirstChild,
                             CaptionDirection::LastChild}) {
    EXPECT_EQ(NavigateCaptions(2, d), kNoRegion);
  }
  EXPECT_EQ(NavigateCaptions(7, CaptionDirection::Previous), kNoRegion);
}

} // namespace
} // namespace fablewick

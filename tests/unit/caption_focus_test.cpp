#include "launcher/caption_focus.h"

#include "launcher/pointer_step.h"
#include "launcher/launch.h"
#include "fakes/fake_caption_focus_host.h"
#include "fakes/fake_launcher_rig.h"

#include "../captions.h"

#include <gtest/gtest.h>

namespace fablewick {
namespace {

using Events = std::vector<std::string>;

constexpr int kCaptionX = seen::kCaptions[0].CentreX();
constexpr int CaptionY(int region) { return seen::kCaptions[region].CentreY(); }
constexpr int kBackgroundX = 100;
constexpr int kBackgroundY = 200;
// Three pixels inside each caption's region.
const char* const kMarks[] = {"mark 383,3-556,86", "mark 383,93-556,176", "mark 383,183-556,257",
                              "mark 383,264-556,344", "mark 383,351-556,416"};

// Moving the focus onto a caption that is not lit yet: the click and the
// hover picture exactly as pointing does, then the mark and the notice.
Events FocusArrives(int region) {
  const std::string r = std::to_string(region);
  return {"play 128", "hover " + r, kMarks[region], "announce " + r};
}

class CaptionFocusTest : public ::testing::Test {
protected:
  CaptionFocusTest() {
    // As the launcher window does when it passes the end request on.
    rig.host.onTerminate = [this] { focus.LauncherEnding(); };
    for (int i = 0; i < seen::kGameCount; ++i) rig.shell.files.insert(seen::kCaptions[i].game);
  }

  Events Key(CaptionKey key, bool shift = false) { return Key(KeyPress{key, shift}); }
  Events Key(const KeyPress& press) {
    rig.events.clear();
    handled = focus.KeyDown(press, ports);
    return rig.events;
  }
  Events Point(int x, int y, bool down = false) {
    rig.events.clear();
    PointerStep(hover, focus, x, y, down);
    return rig.events;
  }
  Events PointAt(int region, bool down = false) { return Point(kCaptionX, CaptionY(region), down); }

  fakes::FakeLauncherRig rig;
  fakes::FakeCaptionFocusHost marks{rig.events};
  CaptionFocus focus{rig.host, marks};
  LauncherPorts& ports = rig.ports;
  HoverState hover;
  bool handled = false;
};

// --- moving ------------------------------------------------------------------

TEST_F(CaptionFocusTest, NothingIsFocusedAtStartAndTabOrDownWalkForwardWrappingRound) {
  EXPECT_EQ(focus.Focused(), kNoRegion);
  for (CaptionKey forward : {CaptionKey::Tab, CaptionKey::Down}) {
    CaptionFocus fresh{rig.host, marks};
    for (int step = 0; step < 7; ++step) {
      rig.events.clear();
      EXPECT_TRUE(fresh.KeyDown({forward}, ports));
      const int expected = step % kHotRegionCount;
      EXPECT_EQ(rig.events, FocusArrives(expected)) << "step " << step;
      EXPECT_EQ(fresh.Focused(), expected);
    }
  }
}

TEST_F(CaptionFocusTest, ShiftTabOrUpWalkBackwardFromQuitWrappingRound) {
  for (KeyPress backward : {KeyPress{CaptionKey::Tab, true}, KeyPress{CaptionKey::Up}}) {
    CaptionFocus fresh{rig.host, marks};
    for (int step = 0; step < 7; ++step) {
      rig.events.clear();
      EXPECT_TRUE(fresh.KeyDown(backward, ports));
      const int expected = (kHotRegionCount - 1 - step + 2 * kHotRegionCount) % kHotRegionCount;
      EXPECT_EQ(rig.events, FocusArrives(expected)) << "step " << step;
    }
  }
}

TEST_F(CaptionFocusTest, HomeAndEndJumpToTheEndsAndAgainOnTheSameCaptionDoNothing) {
  EXPECT_EQ(Key(CaptionKey::End), FocusArrives(4));
  EXPECT_EQ(Key(CaptionKey::End), Events{});
  EXPECT_TRUE(handled);
  Key(CaptionKey::Up);
  Key(CaptionKey::Up);
  EXPECT_EQ(Key(CaptionKey::Home), FocusArrives(0));
  EXPECT_EQ(Key(CaptionKey::Home), Events{});
  EXPECT_EQ(Key(CaptionKey::End), FocusArrives(4));
}

TEST_F(CaptionFocusTest, MovementStartsFromTheCaptionThePointerLit) {
  PointAt(2);
  EXPECT_EQ(Key(CaptionKey::Tab), FocusArrives(3));

  CaptionFocus other{rig.host, marks};
  HoverState otherHover;
  PointerStep(otherHover, other, kCaptionX, CaptionY(2), false);
  rig.events.clear();
  other.KeyDown({CaptionKey::Up}, ports);
  EXPECT_EQ(rig.events, FocusArrives(1));
}

TEST_F(CaptionFocusTest, FocusingTheCaptionThePointerAlreadyLitOnlyAddsTheMarkUnlessItShowsPressed) {
  PointAt(0);
  EXPECT_EQ(Key(CaptionKey::Home), (Events{kMarks[0], "announce 0"}));
  EXPECT_EQ(focus.Focused(), 0);

  // Held down with the mouse, then reached with a key: lit, no longer pressed.
  PointAt(4);
  PointAt(4, true);
  EXPECT_EQ(Key(CaptionKey::End), FocusArrives(4));
  EXPECT_FALSE(focus.LitPressed());
}

TEST_F(CaptionFocusTest, OtherKeysAndChordsWithCtrlOrAltAreLeftToTheMenus) {
  EXPECT_EQ(Key(CaptionKey::Other), Events{});
  EXPECT_FALSE(handled);
  EXPECT_EQ(Key(KeyPress{CaptionKey::Tab, false, true}), Events{});
  EXPECT_FALSE(handled);
  Key(CaptionKey::Tab);
  EXPECT_EQ(Key(KeyPress{CaptionKey::Enter, false, true}), Events{});
  EXPECT_FALSE(handled);
  EXPECT_EQ(focus.Focused(), 0);
}

// --- pressing ----------------------------------------------------------------

TEST_F(CaptionFocusTest, EnterOrSpaceOnAGameDoesWhatAClickDoes) {
  for (CaptionKey key : {CaptionKey::Enter, CaptionKey::Space}) {
    for (int region = 0; region < 4; ++region) {
      fakes::FakeLauncherRig fresh;
      fresh.shell.files.insert(seen::kCaptions[region].game);
      fakes::FakeCaptionFocusHost freshMarks{fresh.events};
      CaptionFocus captions{fresh.host, freshMarks};
      for (int i = 0; i <= region; ++i) captions.KeyDown({CaptionKey::Down}, fresh.ports);
      fresh.events.clear();
      const std::uint32_t start = fresh.clock.Ticks();
      EXPECT_TRUE(captions.KeyDown({key}, fresh.ports));
      const std::string game = seen::kCaptions[region].game;
      EXPECT_EQ(fresh.events, (Events{"play 128", "open " + game, "terminate"})) << region;
      ASSERT_EQ(fresh.host.terminatedAt.size(), 1u);
      EXPECT_GE(fresh.host.terminatedAt[0] - start, kLaunchGraceMs);
    }
  }
}

TEST_F(CaptionFocusTest, EnterOrSpaceOnQuitClicksThenQuits) {
  for (CaptionKey key : {CaptionKey::Enter, CaptionKey::Space}) {
    CaptionFocus captions{rig.host, marks};
    captions.KeyDown({CaptionKey::End}, ports);
    rig.events.clear();
    captions.KeyDown({key}, ports);
    EXPECT_EQ(rig.events, (Events{"play 128", "stop", "play 130", "terminate"}));
  }
}

TEST_F(CaptionFocusTest, AMissingGameShowsItsDialogAndTheFocusStaysForTheNextKey) {
  rig.shell.files.erase("Caddle.exe");
  Key(CaptionKey::End);
  Key(CaptionKey::Up);
  Key(CaptionKey::Up);
  EXPECT_EQ(Key(CaptionKey::Enter), (Events{"play 128", "message: " + MissingGameText("Caddle.exe")}));
  EXPECT_EQ(focus.Focused(), 2);
  EXPECT_FALSE(focus.Ending());
  EXPECT_EQ(Key(CaptionKey::Down), FocusArrives(3));
}

TEST_F(CaptionFocusTest, EnterWithoutAFocusedCaptionOrHeldDownDoesNothing) {
  PointAt(1);
  EXPECT_EQ(Key(CaptionKey::Enter), Events{});
  EXPECT_FALSE(handled);
  Key(CaptionKey::Down);
  EXPECT_EQ(Key(KeyPress{CaptionKey::Space, false, false, true}), Events{});
  EXPECT_EQ(Key(KeyPress{CaptionKey::Enter, false, false, true}), Events{});
  EXPECT_TRUE(handled);
}

TEST_F(CaptionFocusTest, OnceALaunchOrAQuitHasAskedToEndKeysAndPressesDoNothing) {
  Key(CaptionKey::Tab);
  Key(CaptionKey::Enter);
  ASSERT_TRUE(focus.Ending());
  for (CaptionKey key : {CaptionKey::Tab, CaptionKey::Down, CaptionKey::End, CaptionKey::Enter, CaptionKey::Space}) {
    EXPECT_EQ(Key(key), Events{});
  }
  rig.events.clear();
  focus.Press(1, ports);
  EXPECT_EQ(rig.events, Events{});
  EXPECT_EQ(rig.shell.opened, std::vector<std::string>{"Trillick.exe"});
}

TEST_F(CaptionFocusTest, APressOfACaptionIdOutsideTheFiveDoesNothing) {
  for (int region : {-1, 5, 1000}) {
    rig.events.clear();
    focus.Press(region, ports);
    EXPECT_EQ(rig.events, Events{}) << region;
  }
}

TEST_F(CaptionFocusTest, AReaderMovingTheFocusActsAsTheKeysDoUnlessTheIdIsBadOrTheLauncherIsEnding) {
  rig.events.clear();
  focus.Focus(3);
  EXPECT_EQ(rig.events, FocusArrives(3));
  EXPECT_EQ(Key(CaptionKey::Down), FocusArrives(4));
  for (int region : {-1, 5}) {
    rig.events.clear();
    focus.Focus(region);
    EXPECT_EQ(rig.events, Events{}) << region;
  }
  Key(CaptionKey::Enter);
  ASSERT_TRUE(focus.Ending());
  rig.events.clear();
  focus.Focus(0);
  EXPECT_EQ(rig.events, Events{});
}

// --- the pointer taking over -------------------------------------------------

TEST_F(CaptionFocusTest, APointerEventThatShowsAnotherPictureEndsTheKeyboardFocus) {
  Key(CaptionKey::Tab);
  Key(CaptionKey::Tab);
  EXPECT_EQ(PointAt(3), (Events{"play 128", "hover 3"}));
  EXPECT_EQ(focus.Focused(), kNoRegion);
  // And the keys carry on from where the pointer is.
  EXPECT_EQ(Key(CaptionKey::Tab), FocusArrives(4));

  EXPECT_EQ(Point(kBackgroundX, kBackgroundY), (Events{"base"}));
  EXPECT_EQ(focus.Focused(), kNoRegion);
  EXPECT_EQ(Key(CaptionKey::Tab), FocusArrives(0));
}

TEST_F(CaptionFocusTest, APointerEventThatChangesNothingLeavesTheFocusAndItsMark) {
  PointAt(3);
  Key(CaptionKey::Tab);
  EXPECT_EQ(Point(kCaptionX + 10, CaptionY(3) + 2), Events{});
  EXPECT_EQ(focus.Focused(), 4);
}

TEST_F(CaptionFocusTest, ThePointerLightingTheFocusedCaptionKeepsItsMark) {
  PointAt(3);
  Key(CaptionKey::Home);
  EXPECT_EQ(PointAt(0), (Events{"play 128", "hover 0", kMarks[0]}));
  EXPECT_EQ(focus.Focused(), 0);
  // Pressed with the mouse it still shows focused, as a push button does.
  EXPECT_EQ(PointAt(0, true), (Events{"play 128", "overlay 0 at 380,0", kMarks[0]}));
  EXPECT_EQ(focus.Focused(), 0);
}

TEST_F(CaptionFocusTest, APressOnACaptionOtherThanTheKeyboardsPutsItsOwnPictureUnderTheOverlay) {
  PointAt(2);
  Key(CaptionKey::Tab);
  EXPECT_EQ(PointAt(2, true), (Events{"play 128", "hover 2", "overlay 2 at 380,180"}));
  EXPECT_EQ(focus.Focused(), kNoRegion);
  EXPECT_EQ(focus.Lit(), 2);
  EXPECT_TRUE(focus.LitPressed());
}

TEST_F(CaptionFocusTest, WithoutKeysThePointerDrawsExactlyAsBefore) {
  // A press with no move first draws the overlay straight onto the picture.
  EXPECT_EQ(PointAt(1, true), (Events{"play 128", "overlay 1 at 380,90"}));
  EXPECT_EQ(PointAt(1, false), (Events{"play 128", "hover 1"}));
}

} // namespace
} // namespace fablewick

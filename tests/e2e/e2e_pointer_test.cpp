// Clicks on the captions the way touchpads, remote sessions, clicking tools
// and busy moments deliver them, odd button traffic, and swapped buttons.
#include "driver.h"
#include "e2e_launcher_fixture.h"

#include <gtest/gtest.h>

#include <functional>

namespace fablewick::e2e::pointer_scenarios {
namespace {

const Caption& kBarrowby = kCaptions[1];

class Pointer : public LauncherScenario {
protected:
  // The window still shows the picture once anything the last input caused
  // has had time to be drawn.
  static bool StillShows(HWND window, int bitmapId, Where where = Where::current()) {
    Sleep(300);
    return WaitUntilShows(window, bitmapId, 0, 0, 1000, where);
  }

  // Waits past a launch's grace period and checks that nothing started.
  void ExpectNothingStarted(const ScenarioFolder& folder) {
    Sleep(kLaunchGraceMs + 500);
    EXPECT_TRUE(launcher_.Running());
    EXPECT_TRUE(folder.GameStarts().empty());
  }

  void ExpectOnlyBarrowbyStarted(const ScenarioFolder& folder) {
    std::vector<ScenarioFolder::GameStart> starts = ExpectLaunchedAndClosed(folder);
    ASSERT_EQ(1u, starts.size());
    EXPECT_EQ(kBarrowby.game, starts.back().fileName);
  }
};

struct QuickClick {
  const char* name;
  bool waitForHover; // whether the launcher has shown the caption lit first
  std::function<void()> click;
};

TEST_F(Pointer, AClickWhoseReleaseIsInBeforeThePressIsHandledStillStartsTheGame) {
  const QuickClick clicks[] = {
      {"press and release in one batch", true, [] { input::ClickInOneBatch(); }},
      {"a 5 ms tap", true,
       [] {
         input::Press();
         Sleep(5);
         input::Release();
       }},
      {"a press right after a move", false, [] { input::ClickInOneBatch(); }},
  };
  for (const QuickClick& click : clicks) {
    SCOPED_TRACE(click.name);
    ScenarioFolder folder("pointer_quick_click");
    folder.AddGames(kGames);
    HWND window = StartLauncher(folder);
    ASSERT_NE(nullptr, window);
    if (click.waitForHover) {
      ASSERT_TRUE(input::MoveTo(window, kBarrowby.CentreX(), kBarrowby.CentreY()));
      ASSERT_TRUE(WaitUntilShows(window, kBarrowby.hoverBitmap));
    } else {
      // Onto the caption from the background, pressing as the pointer lands.
      ASSERT_TRUE(input::MoveTo(window, kOffCaptions.x, kOffCaptions.y));
      ASSERT_TRUE(WaitUntilShows(window, kBasePicture));
      ASSERT_TRUE(input::MoveTo(window, kBarrowby.CentreX(), kBarrowby.CentreY()));
    }
    launcher_.MarkAction();
    click.click();
    ExpectOnlyBarrowbyStarted(folder);
  }
}

TEST_F(Pointer, APressedCaptionDraggedOffAndBackShowsPressedAgainAndStartsOnRelease) {
  ScenarioFolder folder("pointer_drag_back");
  folder.AddGames(kGames);
  HWND window = StartLauncher(folder);
  ASSERT_NE(nullptr, window);

  ASSERT_TRUE(PressOn(window, kBarrowby));
  ASSERT_TRUE(input::MoveTo(window, kOffCaptions.x, kOffCaptions.y));
  EXPECT_TRUE(WaitUntilShows(window, kBarrowby.hoverBitmap));
  ASSERT_TRUE(input::MoveTo(window, kBarrowby.CentreX(), kBarrowby.CentreY()));
  EXPECT_TRUE(WaitUntilShows(window, kBarrowby.overlayBitmap, kBarrowby.left, kBarrowby.top));
  launcher_.MarkAction();
  input::Release();
  ExpectOnlyBarrowbyStarted(folder);
}

TEST_F(Pointer, APressBegunOnTheBackgroundArmsNothing) {
  ScenarioFolder folder("pointer_press_background");
  folder.AddGames(kGames);
  HWND window = StartLauncher(folder);
  ASSERT_NE(nullptr, window);

  ASSERT_TRUE(input::MoveTo(window, kOffCaptions.x, kOffCaptions.y));
  input::Press();
  ASSERT_TRUE(input::MoveTo(window, kBarrowby.CentreX(), kBarrowby.CentreY()));
  EXPECT_TRUE(StillShows(window, kBasePicture));
  input::Release();
  ExpectNothingStarted(folder);
  // The next move with the button up lights the caption again.
  ASSERT_TRUE(input::MoveTo(window, kBarrowby.CentreX(), kBarrowby.CentreY() + 10));
  EXPECT_TRUE(WaitUntilShows(window, kBarrowby.hoverBitmap));
}

TEST_F(Pointer, AStrayReleaseAndTheOtherButtonStartNothingAndADoubleClickStartsOnce) {
  ScenarioFolder folder("pointer_odd_buttons");
  folder.AddGames(kGames);
  HWND window = StartLauncher(folder);
  ASSERT_NE(nullptr, window);
  ASSERT_TRUE(input::MoveTo(window, kBarrowby.CentreX(), kBarrowby.CentreY()));
  ASSERT_TRUE(WaitUntilShows(window, kBarrowby.hoverBitmap));

  // A release with no press before it completes nothing.
  input::Release();
  // The secondary button neither presses the caption nor arms it, so its
  // release, which would complete an armed click, completes nothing.
  input::Press(input::Button::Right);
  EXPECT_TRUE(StillShows(window, kBarrowby.hoverBitmap));
  input::Release(input::Button::Right);
  ExpectNothingStarted(folder);

  // A double click, all in at once: the first click starts the game, and the
  // launcher closes before the second one can start it again.
  launcher_.MarkAction();
  INPUT events[4] = {};
  for (int i = 0; i < 4; ++i) {
    events[i].type = INPUT_MOUSE;
    events[i].mi.dwFlags = i % 2 == 0 ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
  }
  ASSERT_EQ(4u, SendInput(4, events, sizeof events[0]));
  ExpectOnlyBarrowbyStarted(folder);
}

// Swaps the mouse buttons for this session only (nothing is written to the
// user's profile) and puts them back however the scenario ends.
class SwappedButtons {
public:
  SwappedButtons() : wasSwapped_(GetSystemMetrics(SM_SWAPBUTTON) != 0) {
    SystemParametersInfoA(SPI_SETMOUSEBUTTONSWAP, TRUE, nullptr, 0);
  }
  ~SwappedButtons() { SystemParametersInfoA(SPI_SETMOUSEBUTTONSWAP, wasSwapped_, nullptr, 0); }
  SwappedButtons(const SwappedButtons&) = delete;
  SwappedButtons& operator=(const SwappedButtons&) = delete;

private:
  bool wasSwapped_;
};

// Windows turns the physical buttons into messages of the logical ones: with
// swapped buttons the physical right button arrives as WM_LBUTTONDOWN with
// MK_LBUTTON, the left one as WM_RBUTTONDOWN with MK_RBUTTON. Wine keeps the
// setting but does not apply it to input (SendInput's and the X server's left
// button still arrive as WM_LBUTTONDOWN), so the scenario posts the messages
// Windows makes of each physical button to the picture, with both buttons up
// as far as the asynchronous state knows.
TEST_F(Pointer, WithSwappedButtonsThePhysicalRightButtonClicksAndTheLeftDoesNot) {
  SwappedButtons swapped;
  ASSERT_NE(0, GetSystemMetrics(SM_SWAPBUTTON));
  ScenarioFolder folder("pointer_swapped");
  folder.AddGames(kGames);
  HWND window = StartLauncher(folder);
  ASSERT_NE(nullptr, window);
  HWND picture = FindWindowExA(window, nullptr, "FablewickControl", nullptr);
  ASSERT_NE(nullptr, picture);
  ASSERT_TRUE(input::MoveTo(window, kBarrowby.CentreX(), kBarrowby.CentreY()));
  ASSERT_TRUE(WaitUntilShows(window, kBarrowby.hoverBitmap));
  const LPARAM at = MAKELPARAM(kBarrowby.CentreX(), kBarrowby.CentreY());

  // The physical left button.
  PostMessageA(picture, WM_RBUTTONDOWN, MK_RBUTTON, at);
  EXPECT_TRUE(StillShows(window, kBarrowby.hoverBitmap));
  PostMessageA(picture, WM_RBUTTONUP, 0, at);
  ExpectNothingStarted(folder);

  // The physical right button.
  PostMessageA(picture, WM_LBUTTONDOWN, MK_LBUTTON, at);
  EXPECT_TRUE(WaitUntilShows(window, kBarrowby.overlayBitmap, kBarrowby.left, kBarrowby.top));
  launcher_.MarkAction();
  PostMessageA(picture, WM_LBUTTONUP, 0, at);
  ExpectOnlyBarrowbyStarted(folder);
}

} // namespace
} // namespace fablewick::e2e::pointer_scenarios

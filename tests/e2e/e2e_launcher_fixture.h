#pragma once

// What the launcher scenarios share: the captions of the menu picture, and a
// launcher started in a scenario folder and brought to the front.

#include "driver.h"

#include "../captions.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace fablewick::e2e {

using seen::Caption;
using seen::kCaptions;

inline constexpr const Caption& kQuit = kCaptions[4];
inline constexpr POINT kOffCaptions = {120, 200};
inline constexpr int kBasePicture = seen::kBasePicture;
// A launch waits this long before the launcher closes.
inline constexpr DWORD kLaunchGraceMs = 1500;

inline const std::vector<std::string> kGames = seen::GameFiles();

class LauncherScenario : public ::testing::Test {
protected:
  void SetUp() override {
    registry::Reset();
    // Not a first run and no opening tune: the sound card carries only what
    // the scenario causes.
    registry::SetDword(kLauncherKey, "128", 0);
    input::MoveToScreen(0, 0);
  }
  void TearDown() override { input::Release(); }

  // Starts the launcher in the folder and waits until it shows its artwork
  // in front of everything else.
  HWND StartLauncher(const ScenarioFolder& folder) {
    input::MoveToScreen(0, 0);
    launcher_ = LauncherProcess::Start(folder);
    HWND window = launcher_.WaitForLauncher();
    if (window == nullptr) return nullptr;
    if (!BringToFront(window) || !WaitUntilShows(window, kBasePicture)) return nullptr;
    return window;
  }

  // Moves onto a caption, presses and waits until it shows pressed.
  bool PressOn(HWND window, const Caption& caption, input::Button button = input::Button::Left) {
    if (!input::MoveTo(window, caption.CentreX(), caption.CentreY())) return false;
    if (!WaitUntilShows(window, caption.hoverBitmap)) return false;
    input::Press(button);
    return WaitUntilShows(window, caption.overlayBitmap, caption.left, caption.top);
  }

  // Releases a press that captured the pointer, before the pointer moves on.
  // Wine answers the end of the capture with a move to where the release
  // happened, and a real move that is queued by then is merged into it and
  // lost; a person's next move comes later than that.
  static void ReleaseBeforeMovingOn() {
    input::Release();
    Sleep(100);
  }

  // Waits for the launcher to end after a launch, and checks that it ended
  // well and not before the grace period. The games started so far.
  std::vector<ScenarioFolder::GameStart> ExpectLaunchedAndClosed(const ScenarioFolder& folder) {
    std::optional<LauncherProcess::Exit> exit = launcher_.WaitForExit(15000);
    if (!exit.has_value()) return {};
    EXPECT_EQ(0u, exit->code);
    EXPECT_GE(exit->msSinceAction, kLaunchGraceMs);
    return folder.GameStarts();
  }

  LauncherProcess launcher_;
};

} // namespace fablewick::e2e

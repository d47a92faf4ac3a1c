// The launcher as a whole program: what comes up on screen, and how closing
// it ends the process.
#include "driver.h"

#include <gtest/gtest.h>

namespace fablewick::e2e {
namespace {

class LauncherFrame : public ::testing::Test {
protected:
  void SetUp() override {
    registry::Reset();
    // Not a first run and no opening tune, so the sound card carries only
    // what the scenario itself causes.
    registry::SetDword(kLauncherKey, "128", 0);
    // Keep the pointer off the picture so that no caption lights up.
    input::MoveToScreen(0, 0);
  }
};

TEST_F(LauncherFrame, ComesUpWithA560By420ClientAreaAndFileAndHelpMenus) {
  ScenarioFolder folder("frame_comes_up");
  LauncherProcess launcher = LauncherProcess::Start(folder);
  HWND window = launcher.WaitForLauncher();
  ASSERT_NE(nullptr, window);

  SIZE client = ClientSize(window);
  EXPECT_EQ(560, client.cx);
  EXPECT_EQ(420, client.cy);

  // The bar is mostly background, so a wrong letter or a missing access-key
  // underline changes only a few dozen pixels: allow next to none.
  Image reference = ReferenceMenuBar({"&File", "&Help"}, window);
  ASSERT_FALSE(reference.Empty());
  // The window can be found a moment before Wine has drawn its menu bar (the
  // capture is then all black), so give the first paint a bounded while.
  Image bar;
  size_t differing = 0;
  for (int attempt = 0; attempt < 50; ++attempt) {
    bar = CaptureMenuBar(window);
    differing = DifferingPixels(bar, 0, 0, reference);
    if (differing <= 3) break;
    Sleep(100);
  }
  if (differing > 3) {
    SaveBitmap(bar, "frame_menu_bar");
    SaveBitmap(reference, "frame_menu_bar_expected");
  }
  EXPECT_LE(differing, 3u) << "the menu bar does not read File, Help (see frame_menu_bar*.bmp)";
}

TEST_F(LauncherFrame, HasOneZeroSizeApplicationWindowThatOwnsTheLauncher) {
  ScenarioFolder folder("frame_owner");
  LauncherProcess launcher = LauncherProcess::Start(folder);
  HWND window = launcher.WaitForLauncher();
  ASSERT_NE(nullptr, window);

  HWND owner = GetWindow(window, GW_OWNER);
  ASSERT_NE(nullptr, owner) << Describe(launcher.Windows());
  bool found = false;
  for (const TopWindow& top : launcher.Windows()) {
    if (top.handle != owner) continue;
    found = true;
    EXPECT_EQ(kLauncherCaption, top.caption);
    EXPECT_EQ(top.rect.left, top.rect.right);
    EXPECT_EQ(top.rect.top, top.rect.bottom);
  }
  EXPECT_TRUE(found) << "the owner belongs to another process; " << Describe(launcher.Windows());
}

// Closing the window is a plain terminate request: no click, no quit sound.
void ExpectQuietExitAfter(LauncherProcess& launcher, const SoundcardRecording& recording) {
  std::optional<LauncherProcess::Exit> exit = launcher.WaitForExit(15000);
  ASSERT_TRUE(exit.has_value());
  EXPECT_EQ(0u, exit->code);
  ASSERT_TRUE(recording.WaitFor(exit->msSinceAction + 500));
  SoundcardRecording::Report report = recording.Read();
  EXPECT_TRUE(report.Silent()) << report.soundMs << " ms of sound from " << report.firstSoundMs
                               << " ms after the close";
}

TEST_F(LauncherFrame, ClosingTheWindowEndsTheProgramWithCodeZeroAndNoSound) {
  ScenarioFolder folder("frame_close");
  LauncherProcess launcher = LauncherProcess::Start(folder);
  HWND window = launcher.WaitForLauncher();
  ASSERT_NE(nullptr, window);

  SoundcardRecording recording = SoundcardRecording::Mark();
  launcher.MarkAction();
  PostMessageA(window, WM_CLOSE, 0, 0);
  ExpectQuietExitAfter(launcher, recording);
}

TEST_F(LauncherFrame, AltF4EndsTheProgramWithCodeZeroAndNoSound) {
  ScenarioFolder folder("frame_alt_f4");
  LauncherProcess launcher = LauncherProcess::Start(folder);
  HWND window = launcher.WaitForLauncher();
  ASSERT_NE(nullptr, window);
  ASSERT_TRUE(BringToFront(window));

  SoundcardRecording recording = SoundcardRecording::Mark();
  launcher.MarkAction();
  input::Keys({VK_MENU, VK_F4});
  ExpectQuietExitAfter(launcher, recording);
}

} // namespace
} // namespace fablewick::e2e

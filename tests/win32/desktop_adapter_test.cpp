#include "intro/win32/win32_desktop.h"

#include "intro_fixtures.h"

#include <gtest/gtest.h>

#include <optional>

#include <windows.h>

namespace fablewick::win32 {
namespace {

TEST(Win32Desktop, TheWorkAreaIsSetAndGivenBackExactly) {
  Win32Desktop desktop;
  const std::optional<Rect> before = desktop.GetWorkArea();
  ASSERT_TRUE(before);
  const ScreenSize screen = desktop.GetScreenSize();
  ASSERT_GT(screen.width, 0);
  ASSERT_GT(screen.height, 0);

  const Rect full{0, 0, screen.width, screen.height};
  desktop.SetWorkArea(full);
  EXPECT_EQ(desktop.GetWorkArea(), full);

  const Rect odd{3, 7, screen.width - 11, screen.height - 29};
  desktop.SetWorkArea(odd);
  EXPECT_EQ(desktop.GetWorkArea(), odd);

  desktop.SetWorkArea(*before);
  EXPECT_EQ(desktop.GetWorkArea(), before);
}

TEST(Win32Desktop, TheTaskbarIsFoundSentToTheBackHiddenAndBroughtBackOnTop) {
  fablewick::testing::TestTaskbar taskbar;
  ASSERT_NE(taskbar.get(), nullptr);
  Win32Desktop desktop;
  const std::vector<WindowHandle> taskbars = desktop.FindTaskbars();
  ASSERT_FALSE(taskbars.empty());
  const WindowHandle found = taskbars.front();
  ASSERT_EQ(reinterpret_cast<HWND>(found), taskbar.get());
  const HWND window = taskbar.get();
  const HWND activeBefore = GetActiveWindow();

  desktop.PlaceTaskbar(found, TaskbarPlace::Bottom);
  EXPECT_EQ(GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
  desktop.ShowTaskbar(found, false);
  EXPECT_FALSE(IsWindowVisible(window));

  desktop.PlaceTaskbar(found, TaskbarPlace::Topmost);
  desktop.ShowTaskbar(found, true);
  EXPECT_TRUE(IsWindowVisible(window));
  EXPECT_NE(GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
  EXPECT_EQ(GetActiveWindow(), activeBefore);
}

TEST(Win32Desktop, NoMonitorOfTheVirtualDisplayIsInHdr) {
  Win32Desktop desktop;
  ASSERT_FALSE(desktop.GetMonitors().empty());
  EXPECT_FALSE(desktop.AnyMonitorInHdr());
}

} // namespace
} // namespace fablewick::win32

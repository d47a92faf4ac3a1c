// A screen reader's view of the captions on a screen of another DPI: each
// caption is found where it is drawn and reports the place it covers. The
// normal run sees 96 DPI; tests/e2e/run_at_dpi runs it again at 144 and 192.
#include "driver.h"

#include "../captions.h"
#include "app/dpi_scale.h"

#include <gtest/gtest.h>

#include <oleacc.h>

#include <cstdlib>

namespace fablewick::e2e::reader_dpi_scenarios {
namespace {

int TestDpi() {
  const char* value = std::getenv("FABLEWICK_TEST_DPI");
  return value ? std::atoi(value) : kBaseDpi;
}

TEST(DpiReader, EachCaptionIsFoundWhereItIsDrawnAndReportsThePlaceItCovers) {
  // This thread then sees the same physical pixels as the launcher.
  using SetContextFn = HANDLE(WINAPI*)(HANDLE);
  auto setContext = reinterpret_cast<SetContextFn>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleA("user32.dll"), "SetThreadDpiAwarenessContext")));
  if (setContext) setContext(reinterpret_cast<HANDLE>(-4) /* PER_MONITOR_AWARE_V2 */);
  registry::Reset();
  registry::SetDword(kLauncherKey, "128", 0);
  CoInitialize(nullptr);

  {
    ScenarioFolder folder("reader_dpi");
    LauncherProcess launcher = LauncherProcess::Start(folder);
    HWND window = launcher.WaitForLauncher();
    ASSERT_NE(nullptr, window);
    ASSERT_TRUE(BringToFront(window));
    HWND picture = FindWindowExA(window, nullptr, nullptr, nullptr);
    ASSERT_NE(nullptr, picture);
    const DpiScale scale(TestDpi());

    auto screenPoint = [&](int pictureX, int pictureY) {
      POINT p{scale.ToPhysical(pictureX), scale.ToPhysical(pictureY)};
      ClientToScreen(picture, &p);
      return p;
    };
    for (LONG i = 0; i < seen::kCaptionCount; ++i) {
      const seen::Caption& c = seen::kCaptions[i];
      SCOPED_TRACE(i);
      IAccessible* found = nullptr;
      VARIANT child;
      VariantInit(&child);
      ASSERT_EQ(S_OK, AccessibleObjectFromPoint(screenPoint((c.left + c.right) / 2, (c.top + c.bottom) / 2), &found,
                                                &child));
      EXPECT_EQ(VT_I4, child.vt);
      EXPECT_EQ(i + 1, child.lVal);
      LONG left = 0, top = 0, width = 0, height = 0;
      EXPECT_EQ(S_OK, found->accLocation(&left, &top, &width, &height, child));
      const POINT corner = screenPoint(c.left, c.top);
      EXPECT_EQ(corner.x, left);
      EXPECT_EQ(corner.y, top);
      EXPECT_EQ(scale.ToPhysical(c.right) - scale.ToPhysical(c.left), width);
      EXPECT_EQ(scale.ToPhysical(c.bottom) - scale.ToPhysical(c.top), height);

      // The gap row below the caption is the picture itself.
      VARIANT hit;
      VariantInit(&hit);
      const POINT gap = screenPoint((c.left + c.right) / 2, c.bottom);
      if (i < 4) {
        EXPECT_EQ(S_OK, found->accHitTest(gap.x, gap.y, &hit));
        EXPECT_EQ(CHILDID_SELF, hit.lVal);
      }
      found->Release();
    }
  }
  CoUninitialize();
}

} // namespace
} // namespace fablewick::e2e::reader_dpi_scenarios

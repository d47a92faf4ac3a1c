// The launcher window told that it moved to a monitor of another DPI: it
// takes the place the system suggests and sizes its client and picture by
// the scale, clamping a DPI no monitor has.
#include "app/win32/application.h"
#include "launcher/win32/tfrmmain.h"

#include <gtest/gtest.h>

namespace fablewick::win32 {
namespace {

SIZE ClientOf(HWND window) {
  RECT client{};
  GetClientRect(window, &client);
  return {client.right, client.bottom};
}

TEST(LauncherDpi, AMoveToAnotherDpiTakesTheSuggestedPlaceAndRescalesClientAndPicture) {
  Tfrmmain form(App());
  form.FormCreate();

  const struct {
    WORD dpi;
    int width, height;
  } cases[] = {
      {120, 700, 525}, {96, 560, 420}, {0, 560, 420}, {144, 840, 630}, {960, 2800, 2100}, {72, 560, 420},
  };
  const int screenWidth = GetSystemMetrics(SM_CXSCREEN), screenHeight = GetSystemMetrics(SM_CYSCREEN);
  for (const auto& c : cases) {
    RECT suggested{40, 30, 40 + 500, 30 + 400};
    SendMessageA(form.Handle(), WM_DPICHANGED, MAKEWPARAM(c.dpi, c.dpi), reinterpret_cast<LPARAM>(&suggested));
    EXPECT_EQ(form.Background->Width(), c.width) << c.dpi;
    EXPECT_EQ(form.Background->Height(), c.height) << c.dpi;
    RECT window{};
    GetWindowRect(form.Handle(), &window);
    EXPECT_EQ(window.left, 40) << c.dpi;
    EXPECT_EQ(window.top, 30) << c.dpi;
    // The system keeps a window within the screen's size; within it the
    // client is exactly the picture's.
    if (c.width < screenWidth - 40 && c.height < screenHeight - 80) {
      const SIZE client = ClientOf(form.Handle());
      EXPECT_EQ(client.cx, c.width) << c.dpi;
      EXPECT_EQ(client.cy, c.height) << c.dpi;
    }
  }

  form.FormDestroy();
}

} // namespace
} // namespace fablewick::win32

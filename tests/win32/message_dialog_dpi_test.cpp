// The message dialog at the DPI of the monitor it comes up on. The usual run
// is at 96 DPI; tests/e2e/run_at_dpi repeats this at 192 DPI, named in
// FABLEWICK_TEST_DPI.
#include "app/win32/application.h"
#include "app/win32/message_dialog.h"

#include "frame_test_helpers.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace fablewick::win32 {
namespace {

using fablewick::testing::ChildrenOf;
using fablewick::testing::ClassOf;
using fablewick::testing::Watchdog;
using fablewick::testing::WindowActor;

template <class Fn>
Fn User32(const char* name) {
  return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("user32.dll"), name)));
}

struct SeenDialog {
  UINT dpi = 0;
  LOGFONTW textFont{};
  int textWidth = 0;
  SIZE iconSize{};
};

TEST(MessageDialogDpi, FontIconAndWrapWidthFollowTheDpiOfTheDialogsMonitor) {
  const auto getDpiForWindow = User32<UINT(WINAPI*)(HWND)>("GetDpiForWindow");
  const auto metricsForDpi = User32<int(WINAPI*)(int, UINT)>("GetSystemMetricsForDpi");
  const auto parametersForDpi = User32<BOOL(WINAPI*)(UINT, UINT, PVOID, UINT, UINT)>("SystemParametersInfoForDpi");
  ASSERT_TRUE(getDpiForWindow && metricsForDpi && parametersForDpi);

  Watchdog watchdog;
  std::string longText;
  for (int i = 0; i < 60; ++i) longText += "words that go on ";
  SeenDialog seen;
  {
    WindowActor actor("TMessageForm", [&](HWND dialog) {
      seen.dpi = getDpiForWindow(dialog);
      for (HWND child : ChildrenOf(dialog)) {
        if (ClassOf(child) != "Static") continue;
        RECT area{};
        GetClientRect(child, &area);
        if (SendMessageA(child, STM_GETICON, 0, 0)) {
          seen.iconSize = {area.right, area.bottom};
        } else {
          seen.textWidth = area.right;
          auto font = reinterpret_cast<HFONT>(SendMessageA(child, WM_GETFONT, 0, 0));
          GetObjectW(font, sizeof seen.textFont, &seen.textFont);
        }
      }
      PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
    });
    MessageDlg(App(), longText, MessageType::Error);
  }

  const char* configured = std::getenv("FABLEWICK_TEST_DPI");
  EXPECT_EQ(seen.dpi, configured ? static_cast<UINT>(std::atoi(configured)) : 96u);

  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  ASSERT_TRUE(parametersForDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, seen.dpi));
  EXPECT_EQ(seen.textFont.lfHeight, metrics.lfMessageFont.lfHeight);
  EXPECT_EQ(std::wstring(seen.textFont.lfFaceName), std::wstring(metrics.lfMessageFont.lfFaceName));

  EXPECT_EQ(seen.iconSize.cx, metricsForDpi(SM_CXICON, seen.dpi));
  EXPECT_EQ(seen.iconSize.cy, metricsForDpi(SM_CYICON, seen.dpi));

  // Wrapped at half the screen's physical width, less at most about one
  // word of the font at that size.
  const int half = GetSystemMetrics(SM_CXSCREEN) / 2;
  EXPECT_LE(seen.textWidth, half);
  EXPECT_GT(seen.textWidth, half - MulDiv(60, static_cast<int>(seen.dpi), 96));
}

} // namespace
} // namespace fablewick::win32

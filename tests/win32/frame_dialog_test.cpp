#include "app/win32/application.h"
#include "app/win32/message_dialog.h"

#include "frame_test_helpers.h"

#include <gtest/gtest.h>

#include <functional>

namespace fablewick::win32 {
namespace {

using fablewick::testing::ChildrenOf;
using fablewick::testing::ClassOf;
using fablewick::testing::TextOf;
using fablewick::testing::Watchdog;
using fablewick::testing::WindowActor;

constexpr char DialogClass[] = "TMessageForm";

struct SeenDialog {
  std::string caption;
  std::string text;
  HICON icon = nullptr;
  HWND button = nullptr;
  std::string buttonText;
  RECT window{};
  LONG style = 0;
};

void Read(HWND dialog, SeenDialog& seen) {
  seen.caption = TextOf(dialog);
  GetWindowRect(dialog, &seen.window);
  seen.style = static_cast<LONG>(GetWindowLongPtrA(dialog, GWL_STYLE));
  for (HWND child : ChildrenOf(dialog)) {
    std::string cls = ClassOf(child);
    if (cls == "Button") {
      seen.button = child;
      seen.buttonText = TextOf(child);
    } else if (cls == "Static") {
      if (HICON icon = reinterpret_cast<HICON>(SendMessageA(child, STM_GETICON, 0, 0))) seen.icon = icon;
      else seen.text = TextOf(child);
    }
  }
}

// Shows the dialog, lets `act` read and dismiss it from a second thread and
// returns the dialog's result.
int ShowAndAct(const std::string& text, MessageType type, SeenDialog& seen,
               const std::function<void(HWND dialog, DWORD uiThread)>& dismiss) {
  DWORD uiThread = GetCurrentThreadId();
  WindowActor actor(DialogClass, [&](HWND dialog) {
    Read(dialog, seen);
    dismiss(dialog, uiThread);
  });
  return MessageDlg(App(), text, type);
}

void PressKeyOnFocus(DWORD uiThread, WPARAM key) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  GetGUIThreadInfo(uiThread, &info);
  PostMessageA(info.hwndFocus, WM_KEYDOWN, key, 1);
  PostMessageA(info.hwndFocus, WM_KEYUP, key, 1 | (1u << 30) | (1u << 31));
}

TEST(MessageDialog, EnterEscapeAndTheOkButtonGiveOkAndTheCloseBoxGivesCancel) {
  Watchdog watchdog;
  SeenDialog seen;
  EXPECT_EQ(ShowAndAct("Enter", MessageType::Information, seen,
                       [](HWND, DWORD ui) { PressKeyOnFocus(ui, VK_RETURN); }),
            mrOk);
  EXPECT_EQ(ShowAndAct("Escape", MessageType::Information, seen,
                       [](HWND, DWORD ui) { PressKeyOnFocus(ui, VK_ESCAPE); }),
            mrOk);
  EXPECT_EQ(ShowAndAct("Button", MessageType::Information, seen,
                       [&](HWND, DWORD) { PostMessageA(seen.button, BM_CLICK, 0, 0); }),
            mrOk);
  EXPECT_EQ(ShowAndAct("Close box", MessageType::Information, seen,
                       [](HWND dialog, DWORD) { PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0); }),
            mrCancel);
}

TEST(MessageDialog, CaptionAndIconFollowTheTypeWithOneOkButtonAndNoSizing) {
  Watchdog watchdog;
  auto close = [](HWND dialog, DWORD) { PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0); };
  SeenDialog error;
  ShowAndAct("Something failed", MessageType::Error, error, close);
  EXPECT_EQ(error.caption, "Error");
  EXPECT_EQ(error.icon, LoadIconA(nullptr, reinterpret_cast<LPCSTR>(IDI_HAND)));
  EXPECT_EQ(error.text, "Something failed");
  EXPECT_EQ(error.buttonText, "OK");
  EXPECT_TRUE(error.style & WS_SYSMENU);
  EXPECT_FALSE(error.style & (WS_THICKFRAME | WS_MAXIMIZEBOX | WS_MINIMIZEBOX));

  SeenDialog information;
  ShowAndAct("Click the game you want to launch.  For more help, select Help from within a specific game.",
             MessageType::Information, information, close);
  EXPECT_EQ(information.caption, "Information");
  EXPECT_EQ(information.icon, LoadIconA(nullptr, reinterpret_cast<LPCSTR>(IDI_ASTERISK)));
  EXPECT_EQ(information.text,
            "Click the game you want to launch.  For more help, select Help from within a specific game.");
}

TEST(MessageDialog, ALongTextWrapsAtHalfTheScreenAndTheDialogGrowsInHeight) {
  Watchdog watchdog;
  auto close = [](HWND dialog, DWORD) { PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0); };
  std::string longText;
  for (int i = 0; i < 60; ++i) longText += "words that go on ";
  SeenDialog shortOne, longOne;
  ShowAndAct("Short.", MessageType::Information, shortOne, close);
  ShowAndAct(longText, MessageType::Information, longOne, close);

  int screenWidth = GetSystemMetrics(SM_CXSCREEN);
  int longWidth = longOne.window.right - longOne.window.left;
  EXPECT_GT(longWidth, screenWidth / 2 - 60) << "the text should fill the half screen before wrapping";
  EXPECT_LE(longWidth, screenWidth / 2 + 160) << "only the icon and margins may add to half the screen";
  // About a thousand characters take several lines at that width.
  EXPECT_GT(longOne.window.bottom - longOne.window.top, shortOne.window.bottom - shortOne.window.top + 40);
}

TEST(MessageDialog, IsCentredDisablesTheOtherWindowsAndIsDestroyedWhenItReturns) {
  Watchdog watchdog;
  HWND other = CreateWindowExA(0, "STATIC", "other", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, App().Handle(),
                               nullptr, nullptr, nullptr);
  bool otherEnabledMeanwhile = true;
  HWND dialogWindow = nullptr;
  SeenDialog seen;
  ShowAndAct("Centred", MessageType::Information, seen, [&](HWND dialog, DWORD) {
    dialogWindow = dialog;
    otherEnabledMeanwhile = IsWindowEnabled(other) != FALSE;
    PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
  });
  EXPECT_FALSE(otherEnabledMeanwhile);
  EXPECT_TRUE(IsWindowEnabled(other));
  EXPECT_FALSE(IsWindow(dialogWindow));
  int centreX = (seen.window.left + seen.window.right) / 2, centreY = (seen.window.top + seen.window.bottom) / 2;
  EXPECT_NEAR(centreX, GetSystemMetrics(SM_CXSCREEN) / 2, 1);
  EXPECT_NEAR(centreY, GetSystemMetrics(SM_CYSCREEN) / 2, 1);
  DestroyWindow(other);
}

TEST(MessageDialog, AmpersandsInTheTextAreShownAsWritten) {
  Watchdog watchdog;
  SeenDialog seen;
  ShowAndAct("Salt & pepper", MessageType::Information, seen,
             [](HWND dialog, DWORD) { PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0); });
  EXPECT_EQ(seen.text, "Salt & pepper");
}

} // namespace
} // namespace fablewick::win32

#include "app/app_error.h"
#include "app/win32/application.h"

#include "frame_test_helpers.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace fablewick::win32 {
namespace {

using fablewick::testing::Watchdog;
using fablewick::testing::WindowActor;

constexpr char ModalLayout[] = R"(object frmModal: TModal
  BorderStyle = bsNone
  ClientWidth = 120
  ClientHeight = 80
  Position = poScreenCenter
  OnShow = FormShow
  OnActivate = FormActivate
  OnClose = FormClose
end
)";

// A form that records its events in order.
class TModal : public Form {
public:
  explicit TModal(FormHost& host = App())
      : Form(host, {.name = "TModal",
              .layoutResource = {},
              .layoutText = ModalLayout,
              .handlers = {Bind("FormShow", this, &TModal::FormShow),
                           Bind("FormActivate", this, &TModal::FormActivate),
                           Bind("FormClose", this, &TModal::FormClose)},
              .factories = {}}) {}

  void FormShow() { events.push_back(IsWindowVisible(Handle()) ? "show (visible)" : "show"); }
  void FormActivate() { events.push_back("activate"); }
  void FormClose(CloseAction&) { events.push_back("close"); }

  std::vector<std::string> events;
};

using Events = std::vector<std::string>;

TEST(ShowModally, RunsTheShowHandlerBeforeDisplayingAndDisablesOtherWindowsUntilItCloses) {
  Watchdog watchdog;
  HWND other = CreateWindowExA(0, "STATIC", "other", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, App().Handle(),
                               nullptr, nullptr, nullptr);
  HWND hiddenOther = CreateWindowExA(0, "STATIC", "hidden", WS_POPUP, 0, 0, 50, 50, App().Handle(), nullptr,
                                     nullptr, nullptr);
  SetActiveWindow(other);
  TModal form;
  bool otherEnabled = true, modalVisible = false;
  int result;
  {
    WindowActor actor("TModal", [&](HWND window) {
      otherEnabled = IsWindowEnabled(other) != FALSE;
      modalVisible = IsWindowVisible(window) != FALSE;
      PostMessageA(window, WM_CLOSE, 0, 0);
    });
    result = form.ShowModal();
  }
  EXPECT_EQ(result, mrCancel);
  EXPECT_EQ(form.events, (Events{"show", "activate", "close"}));
  EXPECT_FALSE(otherEnabled);
  EXPECT_TRUE(modalVisible);
  EXPECT_FALSE(IsWindowVisible(form.Handle()));
  EXPECT_FALSE(form.Visible());
  EXPECT_TRUE(IsWindowEnabled(other));
  EXPECT_TRUE(IsWindowEnabled(hiddenOther));
  EXPECT_EQ(GetActiveWindow(), other);
  DestroyWindow(other);
  DestroyWindow(hiddenOther);
}

TEST(ShowModally, CanBeShownAgainAndRunsItsShowHandlerEachTime) {
  Watchdog watchdog;
  TModal form;
  for (int i = 0; i < 2; ++i) {
    WindowActor actor("TModal", [](HWND window) { PostMessageA(window, WM_CLOSE, 0, 0); });
    EXPECT_EQ(form.ShowModal(), mrCancel);
  }
  EXPECT_EQ(form.events, (Events{"show", "activate", "close", "show", "activate", "close"}));
}

TEST(ShowModally, AQuitMessageEndsItWithCancelAndTheMainLoopEndsToo) {
  Watchdog watchdog;
  TModal form;
  int result;
  {
    WindowActor actor("TModal",
                      [](HWND window) { PostThreadMessageA(GetWindowThreadProcessId(window, nullptr), WM_QUIT, 0, 0); });
    result = form.ShowModal();
  }
  EXPECT_EQ(result, mrCancel);
  EXPECT_TRUE(App().Terminated());
  EXPECT_FALSE(IsWindowVisible(form.Handle()));
  // No close step after a quit: the program is ending.
  EXPECT_EQ(form.events, (Events{"show", "activate"}));
  // The outer loop must not wait for another quit message.
  App().Run();
  EXPECT_TRUE(App().Terminated());
}

} // namespace
} // namespace fablewick::win32

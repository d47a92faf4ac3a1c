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
  OnClick = FormClick
end
)";

// A form that records its events in order.
class TModal : public Form {
public:
  TModal()
      : Form({.name = "TModal",
              .layoutResource = {},
              .layoutText = ModalLayout,
              .handlers = {Bind("FormShow", this, &TModal::FormShow),
                           Bind("FormActivate", this, &TModal::FormActivate),
                           Bind("FormClose", this, &TModal::FormClose),
                           Bind("FormClick", this, &TModal::FormClick)},
              .factories = {}}) {}

  void FormShow() { events.push_back(IsWindowVisible(Handle()) ? "show (visible)" : "show"); }
  void FormActivate() { events.push_back("activate"); }
  void FormClose(CloseAction& action) {
    events.push_back("close");
    if (refusals > 0) {
      --refusals;
      action = CloseAction::caNone;
    }
  }
  void FormClick() {
    events.push_back("click");
    SetModalResult(clickResult);
  }

  std::vector<std::string> events;
  int refusals = 0;
  int clickResult = mrOk;
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

TEST(ShowModally, AModalResultSetByAHandlerRunsTheCloseStepAndIsReturned) {
  Watchdog watchdog;
  TModal form;
  form.clickResult = mrOk;
  int result;
  {
    WindowActor actor("TModal", [](HWND window) {
      PostMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
      PostMessageA(window, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    });
    result = form.ShowModal();
  }
  EXPECT_EQ(result, mrOk);
  EXPECT_EQ(form.events, (Events{"show", "activate", "click", "close"}));
}

TEST(ShowModally, ACloseHandlerThatRefusesKeepsTheWindowUp) {
  Watchdog watchdog;
  TModal form;
  form.refusals = 1;
  int result;
  {
    WindowActor actor("TModal", [](HWND window) {
      PostMessageA(window, WM_CLOSE, 0, 0);
      Sleep(200);
      PostMessageA(window, WM_CLOSE, 0, 0);
    });
    result = form.ShowModal();
  }
  EXPECT_EQ(result, mrCancel);
  EXPECT_EQ(form.events, (Events{"show", "activate", "close", "close"}));
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

TEST(ShowModally, RefusesAWindowThatIsAlreadyVisible) {
  Watchdog watchdog;
  TModal form;
  form.Show();
  EXPECT_THROW(form.ShowModal(), AppError);
}

} // namespace
} // namespace fablewick::win32

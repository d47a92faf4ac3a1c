#include "app/app_error.h"
#include "app/win32/application.h"

#include "frame_test_helpers.h"

#include <gtest/gtest.h>

namespace fablewick::win32 {
namespace {

using fablewick::testing::ReadAndDismissBox;
using fablewick::testing::SeenBox;
using fablewick::testing::Watchdog;
using fablewick::testing::WindowActor;

constexpr char BoxClass[] = "#32770";

// A form with one handler that fails, reached by a menu command.
constexpr char FailingLayout[] = R"(object frmFailing: TFailing
  Caption = 'Failing'
  ClientWidth = 200
  ClientHeight = 100
  OnCreate = Fail
  OnClick = Fail
end
)";

class TFailing : public Form {
public:
  explicit TFailing(FormHost& host = App())
      : Form(host, {.name = "TFailing",
              .layoutResource = {},
              .layoutText = FailingLayout,
              .handlers = {Bind("Fail", this, &TFailing::Fail)},
              .factories = {}}) {}
  void Fail() {
    ++calls;
    throw AppError(message);
  }
  int calls = 0;
  static inline std::string message = "Bitmap image is not valid";
};

TFailing* frmFailing = nullptr;

TEST(FrameErrorBox, ShowsTheMessageUnderTheTitleWithAFullStopOnlyWhereTheRuleSays) {
  Watchdog watchdog;
  App().SetTitle("Fablewick");
  struct Case {
    const char* message;
    const char* shown;
  } cases[] = {{"Invalid data type for '128'", "Invalid data type for '128'"},
               {"Bitmap image is not valid", "Bitmap image is not valid."}};
  for (const Case& c : cases) {
    SeenBox seen;
    {
      WindowActor actor(BoxClass, [&](HWND box) { ReadAndDismissBox(box, seen); });
      App().ReportError(c.message);
    }
    EXPECT_EQ(seen.text, c.shown);
    EXPECT_EQ(seen.caption, "Fablewick");
    EXPECT_EQ(seen.owner, App().Handle());
    EXPECT_TRUE(seen.hasIcon);
  }
}

TEST(FrameErrorBox, AnErrorInTheCreateHandlerIsReportedAndTheFormIsStillCreated) {
  Watchdog watchdog;
  App().SetTitle("Fablewick");
  SeenBox seen;
  {
    WindowActor actor(BoxClass, [&](HWND box) { ReadAndDismissBox(box, seen); });
    App().CreateForm(frmFailing);
  }
  EXPECT_EQ(seen.text, "Bitmap image is not valid.");
  ASSERT_NE(frmFailing, nullptr);
  EXPECT_EQ(frmFailing->calls, 1);
  EXPECT_TRUE(IsWindow(frmFailing->Handle()));
  EXPECT_EQ(App().MainForm(), frmFailing);
  App().DestroyForms();
  EXPECT_EQ(frmFailing, nullptr);
}

TEST(FrameErrorBox, AnErrorInAHandlerDisablesTheFormsWhileTheBoxIsUpAndReleasesTheMouse) {
  Watchdog watchdog;
  App().SetTitle("Fablewick");
  TFailing::message = "Failed to get data for '128'";
  {
    WindowActor actor(BoxClass, [](HWND box) { PostMessageA(box, WM_COMMAND, IDOK, 0); });
    App().CreateForm(frmFailing);
  }
  frmFailing->Show();
  HWND form = frmFailing->Handle();
  ASSERT_TRUE(IsWindowVisible(form));

  SeenBox seen;
  bool formEnabledDuringBox = true;
  {
    WindowActor actor(BoxClass, [&](HWND box) {
      formEnabledDuringBox = IsWindowEnabled(form) != FALSE;
      ReadAndDismissBox(box, seen);
    });
    // A click: the form captures the mouse on the press, the handler fails
    // on the release.
    SendMessageA(form, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
    SendMessageA(form, WM_LBUTTONUP, 0, MAKELPARAM(10, 10));
  }
  EXPECT_EQ(seen.text, "Failed to get data for '128'");
  EXPECT_FALSE(formEnabledDuringBox);
  EXPECT_TRUE(IsWindowEnabled(form));
  EXPECT_EQ(GetCapture(), nullptr);
  App().DestroyForms();
}

BOOL CALLBACK FindOtherMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM found) {
  MONITORINFO info{};
  info.cbSize = sizeof info;
  if (GetMonitorInfoA(monitor, &info) && !(info.dwFlags & MONITORINFOF_PRIMARY)) *reinterpret_cast<RECT*>(found) = info.rcMonitor;
  return TRUE;
}

TEST(FrameErrorBox, WithTheFormOnAnotherMonitorTheBoxComesUpThereAndTheOwnerGoesBack) {
  RECT other{};
  EnumDisplayMonitors(nullptr, nullptr, &FindOtherMonitor, reinterpret_cast<LPARAM>(&other));
  if (IsRectEmpty(&other)) GTEST_SKIP() << "needs two monitors: tests/e2e/run_on_screen two-monitors";
  Watchdog watchdog;
  App().SetTitle("Fablewick");
  {
    WindowActor actor(BoxClass, [](HWND box) { PostMessageA(box, WM_COMMAND, IDOK, 0); });
    App().CreateForm(frmFailing);
  }
  frmFailing->Show();
  HWND form = frmFailing->Handle();
  SetWindowPos(form, nullptr, other.left + 40, other.top + 40, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  SetActiveWindow(form);
  RECT ownerBefore{}, box{};
  GetWindowRect(App().Handle(), &ownerBefore);
  {
    WindowActor actor(BoxClass, [&](HWND shown) {
      GetWindowRect(shown, &box);
      PostMessageA(shown, WM_COMMAND, IDOK, 0);
    });
    SendMessageA(form, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
    SendMessageA(form, WM_LBUTTONUP, 0, MAKELPARAM(10, 10));
  }
  const POINT centre{(box.left + box.right) / 2, (box.top + box.bottom) / 2};
  EXPECT_TRUE(PtInRect(&other, centre)) << "the box came up at " << centre.x << "," << centre.y;
  RECT ownerAfter{};
  GetWindowRect(App().Handle(), &ownerAfter);
  EXPECT_TRUE(EqualRect(&ownerBefore, &ownerAfter));
  App().DestroyForms();
}

} // namespace
} // namespace fablewick::win32

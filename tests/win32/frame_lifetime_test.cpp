#include "app/app_error.h"
#include "app/win32/application.h"

#include "frame_test_helpers.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace fablewick::win32 {
namespace {

using fablewick::testing::ReadAndDismissBox;
using fablewick::testing::SeenBox;
using fablewick::testing::Watchdog;
using fablewick::testing::WindowActor;

std::vector<std::string> journal;

constexpr char FirstLayout[] = "object frmFirst: TFirst\n  OnDestroy = FormDestroy\n  OnShow = FormShow\nend\n";
constexpr char SecondLayout[] = "object frmSecond: TSecond\n  OnDestroy = FormDestroy\nend\n";

class TFirst : public Form {
public:
  explicit TFirst(FormHost& host = App())
      : Form(host, {.name = "TFirst",
              .layoutResource = {},
              .layoutText = FirstLayout,
              .handlers = {Bind("FormDestroy", this, &TFirst::FormDestroy), Bind("FormShow", this, &TFirst::FormShow)},
              .factories = {}}) {}
  void FormDestroy() {
    journal.push_back(std::string("first destroy, ") + (IsWindow(Handle()) ? "handle alive" : "no handle") + ", " +
                      (IsWindowVisible(Handle()) ? "visible" : "hidden"));
    if (failDestroy) throw AppError("Cannot stop the sound");
  }
  void FormShow() {
    journal.emplace_back(IsWindowVisible(Handle()) ? "show while visible" : "show before display");
  }
  bool failDestroy = false;
};

class TSecond : public Form {
public:
  explicit TSecond(FormHost& host = App())
      : Form(host, {.name = "TSecond",
              .layoutResource = {},
              .layoutText = SecondLayout,
              .handlers = {Bind("FormDestroy", this, &TSecond::FormDestroy)},
              .factories = {}}) {}
  void FormDestroy() { journal.push_back("second destroy"); }
};

TFirst* frmFirst = nullptr;
TSecond* frmSecond = nullptr;

TEST(FormLifetime, DestroysFormsInReverseOrderWithTheHandleStillThereForTheDestroyHandler) {
  journal.clear();
  App().CreateForm(frmFirst);
  App().CreateForm(frmSecond);
  EXPECT_EQ(App().MainForm(), frmFirst);
  frmFirst->Show();
  HWND first = frmFirst->Handle();
  App().DestroyForms();
  EXPECT_EQ(journal, (std::vector<std::string>{"show before display", "second destroy",
                                               "first destroy, handle alive, hidden"}));
  EXPECT_FALSE(IsWindow(first));
  EXPECT_EQ(frmFirst, nullptr);
  EXPECT_EQ(frmSecond, nullptr);
}

TEST(FormLifetime, AnErrorInADestroyHandlerIsReportedAndTheWindowIsDestroyedAnyway) {
  Watchdog watchdog;
  journal.clear();
  App().SetTitle("Fablewick");
  App().CreateForm(frmFirst);
  frmFirst->failDestroy = true;
  HWND first = frmFirst->Handle();
  SeenBox seen;
  {
    WindowActor actor("#32770", [&](HWND box) { ReadAndDismissBox(box, seen); });
    App().DestroyForms();
  }
  EXPECT_EQ(seen.text, "Cannot stop the sound.");
  EXPECT_FALSE(IsWindow(first));
  EXPECT_EQ(frmFirst, nullptr);
}

} // namespace
} // namespace fablewick::win32

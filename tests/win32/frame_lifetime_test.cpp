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
  TFirst()
      : Form({.name = "TFirst",
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
    journal.push_back(IsWindowVisible(Handle()) ? "show while visible" : "show before display");
    if (failShow) throw AppError("Failed to get data for 'InstallDir'");
  }
  bool failDestroy = false;
  bool failShow = false;
};

class TSecond : public Form {
public:
  TSecond()
      : Form({.name = "TSecond",
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

TEST(FormLifetime, AnErrorInTheShowHandlerIsReportedBeforeTheFormIsDisplayedWhichItIsAfterwards) {
  Watchdog watchdog;
  journal.clear();
  App().SetTitle("Fablewick");
  App().CreateForm(frmFirst);
  frmFirst->failShow = true;
  SeenBox seen;
  bool visibleDuringBox = true;
  {
    WindowActor actor("#32770", [&](HWND box) {
      visibleDuringBox = IsWindowVisible(frmFirst->Handle()) != FALSE;
      ReadAndDismissBox(box, seen);
    });
    frmFirst->Show();
  }
  EXPECT_EQ(seen.text, "Failed to get data for 'InstallDir'");
  EXPECT_FALSE(visibleDuringBox);
  EXPECT_TRUE(IsWindowVisible(frmFirst->Handle()));
  App().DestroyForms();
}

} // namespace
} // namespace fablewick::win32

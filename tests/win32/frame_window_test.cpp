#include "app/app_error.h"
#include "app/win32/application.h"
#include "app/win32/base_window.h"

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

constexpr char ProbeClass[] = "FablewickProbe";
constexpr UINT FailingMessage = WM_APP + 1;

// A window wired the one way every window of the program is.
class Probe : public BaseWindow {
public:
  explicit Probe(bool refuse = false) : refuse_(refuse) {}
  void Create() { CreateWindowFor({.className = ProbeClass, .style = WS_POPUP}, "the probe"); }
  using BaseWindow::Window;

  bool attachedAtCreate = false;
  std::vector<UINT> seen;

protected:
  void CreateStep() override {
    attachedAtCreate = Window() != nullptr;
    if (refuse_) throw AppError("No room for the probe");
  }
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
    seen.push_back(message);
    if (message == FailingMessage) throw AppError("The probe failed");
    return Default(message, wParam, lParam);
  }
  FormHost* ReportingHost() override { return &App(); }

private:
  bool refuse_;
};

int ProbeWindows() {
  int count = 0;
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND window, LPARAM context) -> BOOL {
        if (fablewick::testing::ClassOf(window) == ProbeClass) ++*reinterpret_cast<int*>(context);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&count));
  return count;
}

TEST(WindowWiring, TheObjectIsAttachedBeforeItsCreateStepAndGoesWithItsWindow) {
  HWND window = nullptr;
  {
    Probe probe;
    probe.Create();
    window = probe.Window();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(probe.attachedAtCreate);
    SendMessageA(window, WM_APP + 2, 0, 0);
    EXPECT_EQ(probe.seen.back(), WM_APP + 2);
  }
  EXPECT_FALSE(IsWindow(window));
  EXPECT_EQ(ProbeWindows(), 0);
}

TEST(WindowWiring, ACreateStepThatRefusesFailsTheCreationWithItsOwnErrorAndLeavesNoWindow) {
  Watchdog watchdog;
  Probe probe(true);
  try {
    probe.Create();
    FAIL() << "the refused window was created";
  } catch (const AppError& error) {
    EXPECT_STREQ(error.what(), "No room for the probe");
  }
  EXPECT_EQ(probe.Window(), nullptr);
  EXPECT_EQ(ProbeWindows(), 0);

  // Raised inside a handler, the frame shows it in its error box.
  App().SetTitle("Fablewick");
  SeenBox seen;
  {
    WindowActor actor("#32770", [&](HWND box) { ReadAndDismissBox(box, seen); });
    EXPECT_FALSE(App().Guarded([] {
      Probe refused(true);
      refused.Create();
    }));
  }
  EXPECT_EQ(seen.text, "No room for the probe.");
  EXPECT_EQ(seen.caption, "Fablewick");
  EXPECT_EQ(ProbeWindows(), 0);
}

TEST(WindowWiring, AnErrorInAHandlerIsReportedInTheErrorBoxAndTheWindowStays) {
  Watchdog watchdog;
  App().SetTitle("Fablewick");
  Probe probe;
  probe.Create();
  SeenBox seen;
  LRESULT result = 1;
  {
    WindowActor actor("#32770", [&](HWND box) { ReadAndDismissBox(box, seen); });
    result = SendMessageA(probe.Window(), FailingMessage, 0, 0);
  }
  EXPECT_EQ(seen.text, "The probe failed.");
  EXPECT_EQ(result, 0);
  EXPECT_TRUE(IsWindow(probe.Window()));
}

} // namespace
} // namespace fablewick::win32

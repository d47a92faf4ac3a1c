#include "app/win32/application.h"

#include "frame_test_helpers.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace fablewick::win32 {
namespace {

using fablewick::testing::ClassOf;

constexpr char FramedLayout[] = R"(object frmFramed: TFramed
  Caption = 'Framed'
  ClientWidth = 320
  ClientHeight = 240
  BorderStyle = bsSingle
  BorderIcons = [biSystemMenu, biMinimize]
  Position = poScreenCenter
  Menu = Menu1
  object Menu1: TMainMenu
    object File1: TMenuItem
      Caption = 'File'
    end
  end
  object Picture: TImage
    Width = 320
    Height = 240
  end
end
)";

class TFramed : public Form {
public:
  TFramed()
      : Form(App(), {.name = "TFramed", .layoutResource = {}, .layoutText = FramedLayout, .handlers = {},
                     .factories = {}}) {}
  using Form::BringToFront;
};

// What reaches the form's own window, from its creation on: the create
// call's arguments and every later change of place, size or style.
struct Observed {
  CREATESTRUCTA created{};
  bool seen = false;
  std::vector<UINT> changes;
};
Observed* observed = nullptr;

LRESULT CALLBACK CreationHook(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HCBT_CREATEWND && ClassOf(reinterpret_cast<HWND>(wParam)) == "TFramed") {
    observed->created = *reinterpret_cast<CBT_CREATEWNDA*>(lParam)->lpcs;
    observed->seen = true;
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

LRESULT CALLBACK MessageHook(int code, WPARAM wParam, LPARAM lParam) {
  const auto* message = reinterpret_cast<CWPSTRUCT*>(lParam);
  if (code == HC_ACTION && ClassOf(message->hwnd) == "TFramed" &&
      (message->message == WM_WINDOWPOSCHANGING || message->message == WM_STYLECHANGING)) {
    const UINT flags = message->message == WM_STYLECHANGING
                           ? 0u
                           : reinterpret_cast<WINDOWPOS*>(message->lParam)->flags;
    observed->changes.push_back(flags);
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

struct Hooks {
  Hooks() {
    cbt = SetWindowsHookExA(WH_CBT, CreationHook, nullptr, GetCurrentThreadId());
    calls = SetWindowsHookExA(WH_CALLWNDPROC, MessageHook, nullptr, GetCurrentThreadId());
  }
  ~Hooks() {
    UnhookWindowsHookEx(cbt);
    UnhookWindowsHookEx(calls);
  }
  HHOOK cbt, calls;
};

TEST(FormCreation, TheWindowIsMadeWithItsFrameMenuAndCentredSizeAndNotMovedAgainUntilShown) {
  Observed seen;
  observed = &seen;
  {
    Hooks hooks;
    TFramed form;
    ASSERT_TRUE(seen.seen);
    const DWORD style = static_cast<DWORD>(seen.created.style);
    EXPECT_EQ(style & (WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME),
              static_cast<DWORD>(WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX));
    EXPECT_EQ(seen.created.hMenu, form.Menu()->Handle());
    EXPECT_EQ(GetMenu(form.Handle()), form.Menu()->Handle());
    RECT outer{0, 0, 320, 240};
    AdjustWindowRectEx(&outer, style, TRUE, static_cast<DWORD>(seen.created.dwExStyle));
    const int width = outer.right - outer.left, height = outer.bottom - outer.top;
    EXPECT_EQ(seen.created.cx, width);
    EXPECT_EQ(seen.created.cy, height);
    EXPECT_EQ(seen.created.x, (GetSystemMetrics(SM_CXSCREEN) - width) / 2);
    EXPECT_EQ(seen.created.y, (GetSystemMetrics(SM_CYSCREEN) - height) / 2);
    EXPECT_EQ(form.ClientWidth(), 320);
    EXPECT_EQ(form.ClientHeight(), 240);
    EXPECT_TRUE(seen.changes.empty()) << seen.changes.size() << " changes after the create call";

    // The same size again changes nothing; showing only shows.
    form.SetClientSize(320, 240);
    EXPECT_TRUE(seen.changes.empty());
    form.Show();
    ASSERT_TRUE(IsWindowVisible(form.Handle()));
    for (UINT flags : seen.changes) EXPECT_TRUE(flags & SWP_NOMOVE) << std::hex << flags;
    RECT shown;
    GetWindowRect(form.Handle(), &shown);
    EXPECT_EQ(shown.left, (GetSystemMetrics(SM_CXSCREEN) - width) / 2);
    EXPECT_EQ(shown.top, (GetSystemMetrics(SM_CYSCREEN) - height) / 2);

    // Raised and active already: raising it again is no change.
    if (GetForegroundWindow() == form.Handle() && GetTopWindow(nullptr) == form.Handle()) {
      seen.changes.clear();
      form.BringToFront();
      EXPECT_TRUE(seen.changes.empty());
    }
    form.Hide();
  }
  observed = nullptr;
}

} // namespace
} // namespace fablewick::win32

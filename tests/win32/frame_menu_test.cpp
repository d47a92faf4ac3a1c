#include "app/win32/application.h"
#include "launcher/win32/tfrmmain.h"

#include "frame_test_helpers.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace fablewick::win32 {
namespace {

std::string MenuText(HMENU menu, UINT position) {
  char text[256] = {};
  GetMenuStringA(menu, position, text, sizeof text, MF_BYPOSITION);
  return text;
}

bool IsSeparator(HMENU menu, UINT position) {
  MENUITEMINFOA info{};
  info.cbSize = sizeof info;
  info.fMask = MIIM_FTYPE;
  GetMenuItemInfoA(menu, position, TRUE, &info);
  return (info.fType & MFT_SEPARATOR) != 0;
}

TEST(LauncherMenu, ShowsTheCaptionsWithFirstLettersAsAccessKeysAndTheShortcutAfterATab) {
  Tfrmmain form(App());
  HMENU bar = GetMenu(form.Handle());
  ASSERT_NE(bar, nullptr);
  ASSERT_EQ(GetMenuItemCount(bar), 2);
  EXPECT_EQ(MenuText(bar, 0), "&File");
  EXPECT_EQ(MenuText(bar, 1), "&Help");

  HMENU file = GetSubMenu(bar, 0);
  ASSERT_EQ(GetMenuItemCount(file), 3);
  EXPECT_EQ(MenuText(file, 0), "&Play Opening Music");
  EXPECT_TRUE(IsSeparator(file, 1));
  EXPECT_EQ(MenuText(file, 2), "&Quit\tCtrl+Q");

  HMENU help = GetSubMenu(bar, 1);
  ASSERT_EQ(GetMenuItemCount(help), 3);
  EXPECT_EQ(MenuText(help, 0), "&About Fablewick");
  EXPECT_TRUE(IsSeparator(help, 1));
  EXPECT_EQ(MenuText(help, 2), "&Fablewick Help");
}

TEST(LauncherMenu, TheMusicItemStartsUncheckedAndShowsItsCheckMark) {
  Tfrmmain form(App());
  HMENU file = GetSubMenu(GetMenu(form.Handle()), 0);
  EXPECT_FALSE(form.PlayOpeningMusic1->Checked());
  EXPECT_FALSE(GetMenuState(file, 0, MF_BYPOSITION) & MF_CHECKED);
  form.PlayOpeningMusic1->SetChecked(true);
  EXPECT_TRUE(form.PlayOpeningMusic1->Checked());
  EXPECT_TRUE(GetMenuState(file, 0, MF_BYPOSITION) & MF_CHECKED);
  form.PlayOpeningMusic1->SetChecked(false);
  EXPECT_FALSE(GetMenuState(file, 0, MF_BYPOSITION) & MF_CHECKED);
}

TEST(LauncherMenu, CtrlQIsTheOnlyShortcutAndItNamesTheQuitCommand) {
  Tfrmmain form(App());
  HACCEL table = form.MainMenu1->Accelerators();
  ASSERT_NE(table, nullptr);
  ACCEL entries[4];
  ASSERT_EQ(CopyAcceleratorTableA(table, entries, 4), 1);
  EXPECT_EQ(entries[0].fVirt & (FVIRTKEY | FCONTROL | FSHIFT | FALT), FVIRTKEY | FCONTROL);
  EXPECT_EQ(entries[0].key, 'Q');
  EXPECT_EQ(entries[0].cmd, form.Quit1->Command());
  EXPECT_EQ(form.MainMenu1->FindByCommand(form.Quit1->Command()), form.Quit1);
}

TEST(LauncherMenu, OnceQuitHasAskedToEndTheCaptionsTakeNoMoreKeys) {
  Tfrmmain ending(App()), running(App());
  ending.Quit1Click();
  MSG quit; // taken back off the queue, so the suite runs on
  ASSERT_TRUE(PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  for (Tfrmmain* form : {&ending, &running}) {
    form->FormCreate();
    const HBITMAP before = form->Background->Picture();
    SendMessageA(form->Background->Handle(), WM_KEYDOWN, VK_TAB, 0);
    EXPECT_EQ(form->Background->Picture() == before, form == &ending) << "Tab lights the first caption";
  }
}

constexpr char ShortcutLayout[] = R"(object frmKeys: TKeys
  ClientWidth = 100
  ClientHeight = 50
  Menu = Menu1
  object Menu1: TMainMenu
    object File1: TMenuItem
      Caption = 'File'
      object Quit1: TMenuItem
        Caption = 'Quit'
        ShortCut = 16465
        OnClick = Quit1Click
      end
    end
  end
end
)";

class TKeys : public Form {
public:
  explicit TKeys(FormHost& host = App())
      : Form(host, {.name = "TKeys",
              .layoutResource = {},
              .layoutText = ShortcutLayout,
              .handlers = {Bind("Quit1Click", this, &TKeys::Quit1Click)},
              .factories = {}}) {}
  void Quit1Click() { ++quits; }
  int quits = 0;
};

TKeys* frmKeys = nullptr;

// Posts Ctrl+Q to the form and handles what is queued.
void PressCtrlQ(HWND window) {
  BYTE keys[256] = {};
  GetKeyboardState(keys);
  keys[VK_CONTROL] = 0x80;
  SetKeyboardState(keys);
  PostMessageA(window, WM_KEYDOWN, 'Q', 1);
  MSG peek;
  while (PeekMessageA(&peek, nullptr, 0, 0, PM_NOREMOVE)) App().HandleMessage();
  keys[VK_CONTROL] = 0;
  SetKeyboardState(keys);
}

TEST(MenuShortcuts, ReachTheMainFormsMenuThroughTheMessageLoopOnlyWhileItIsEnabled) {
  fablewick::testing::Watchdog watchdog;
  App().CreateForm(frmKeys);
  ASSERT_EQ(App().MainForm(), frmKeys);
  frmKeys->Show();

  PressCtrlQ(frmKeys->Handle());
  EXPECT_EQ(frmKeys->quits, 1);

  EnableWindow(frmKeys->Handle(), FALSE);
  PressCtrlQ(frmKeys->Handle());
  EXPECT_EQ(frmKeys->quits, 1);
  EnableWindow(frmKeys->Handle(), TRUE);
  App().DestroyForms();
}

} // namespace
} // namespace fablewick::win32

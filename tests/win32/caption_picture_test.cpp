// The launcher's picture control on a form of the test's own: keys reach the
// caption focus only while the window takes input, a screen reader's press
// runs from the message loop, and the reader's object is cut off with the
// window.

#include "app/win32/application.h"
#include "app/win32/form.h"
#include "app/win32/system_clock.h"
#include "launcher/win32/caption_picture.h"
#include "launcher/win32/registry_current_user.h"
#include "launcher/win32/shell_windows.h"

#include "accessible_child.h"
#include "frame_test_helpers.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <oleacc.h>

#include <array>
#include <string>
#include <vector>

namespace fablewick::win32 {
namespace {

using fablewick::testing::AccessibleChild;

const char* PictureLayout = R"(object f: TCaptionForm
  object Background: TImage
    Left = 0
    Top = 0
    Width = 560
    Height = 420
  end
end
)";

constexpr int kWidth = 560;
constexpr int kHeight = 420;

class NoDialogs : public Messages {
public:
  void ShowMessage(const std::string& text, MessageType) override { shown.push_back(text); }
  std::vector<std::string> shown;
};

UniqueBitmap SolidPicture(COLORREF colour) {
  WindowDC screen(nullptr);
  UniqueBitmap bitmap(CreateCompatibleBitmap(screen.Get(), kWidth, kHeight));
  MemoryDC dc(bitmap.get());
  RECT all{0, 0, kWidth, kHeight};
  UniqueBrush brush(CreateSolidBrush(colour));
  FillRect(dc.Get(), &all, brush.get());
  return bitmap;
}

// A launcher window in miniature: solid-coloured pictures, and a log of the
// sounds and the end request instead of playing and ending.
class TCaptionForm : public Form, private LauncherHost {
public:
  explicit TCaptionForm(FormHost& host = App())
      : Form(host, {.name = "TCaptionForm",
              .layoutResource = {},
              .layoutText = PictureLayout,
              .handlers = {},
              .factories = {{"TImage",
                             [](Form& owner, const std::string& name) -> std::unique_ptr<Control> {
                               return std::make_unique<CaptionPicture>(owner, name);
                             }}}}),
        Background(Find<CaptionPicture>("Background")),
        captions(*this, *Background),
        ports{*this, shell_, registry_, messages, clock_} {
    Background->Attach(captions, ports);
    base_ = SolidPicture(RGB(20, 40, 60));
    for (int i = 0; i < kHotRegionCount; ++i) hover[i] = SolidPicture(RGB(200, 30 * i, 90));
    Background->Assign(base_.get());
  }

  CaptionPicture* Background;
  CaptionFocus captions;
  LauncherPorts ports;
  NoDialogs messages;
  std::array<UniqueBitmap, kHotRegionCount> hover;
  std::vector<std::string> log;

private:
  void ShowBasePicture() override { Background->Assign(base_.get()); }
  void ShowHoverPicture(int region) override { Background->Assign(hover[region].get()); }
  void DrawPressedOverlay(int, int, int) override {}
  void PlaySoundResource(int id) override { log.push_back("play " + std::to_string(id)); }
  void StopAllSounds() override {}
  bool AnySoundPlaying() override { return false; }
  void Terminate() override {
    log.push_back("terminate");
    captions.LauncherEnding();
  }
  void SetMainForm() override {}
  bool AnyMovieExists() override { return false; }
  void ShowIntroModal() override {}

  UniqueBitmap base_;
  WindowsShell shell_;
  CurrentUserRegistry registry_;
  SystemClock clock_;
};

TCaptionForm* frmCaptions = nullptr;

void Pump() {
  MSG peek;
  while (PeekMessageA(&peek, nullptr, 0, 0, PM_NOREMOVE)) App().HandleMessage();
}

void KeyWith(HWND window, WPARAM key, int modifier = 0) {
  BYTE keys[256] = {};
  GetKeyboardState(keys);
  if (modifier) keys[modifier] = 0x80;
  SetKeyboardState(keys);
  SendMessageA(window, WM_KEYDOWN, key, 1);
  if (modifier) keys[modifier] = 0;
  SetKeyboardState(keys);
}

IAccessible* ReaderObject(HWND window) {
  const LRESULT answer = SendMessageA(window, WM_GETOBJECT, 0, static_cast<LPARAM>(OBJID_CLIENT));
  IAccessible* object = nullptr;
  if (answer > 0) ObjectFromLresult(answer, __uuidof(IAccessible), 0, reinterpret_cast<void**>(&object));
  return object;
}

class CaptionPictureTest : public ::testing::Test {
protected:
  void SetUp() override {
    CoInitialize(nullptr);
    App().CreateForm(frmCaptions);
    frmCaptions->Show();
    picture = frmCaptions->Background->Handle();
  }
  void TearDown() override {
    App().DestroyForms();
    CoUninitialize();
  }

  fablewick::testing::Watchdog watchdog;
  HWND picture = nullptr;
};

TEST_F(CaptionPictureTest, KeysMoveTheFocusOnlyWhileTheWindowTakesInput) {
  EXPECT_EQ(SendMessageA(picture, WM_GETDLGCODE, 0, 0) & (DLGC_WANTTAB | DLGC_WANTARROWS),
            DLGC_WANTTAB | DLGC_WANTARROWS);
  KeyWith(picture, VK_TAB);
  EXPECT_EQ(frmCaptions->captions.Focused(), 0);
  EXPECT_EQ(frmCaptions->log, std::vector<std::string>{"play 128"});

  // A dialog or the intro disables the launcher; keys still queued for it
  // are delivered by their loops and must change nothing.
  EnableWindow(frmCaptions->Handle(), FALSE);
  KeyWith(picture, VK_DOWN);
  KeyWith(picture, VK_RETURN);
  EXPECT_EQ(frmCaptions->captions.Focused(), 0);
  EnableWindow(frmCaptions->Handle(), TRUE);

  KeyWith(picture, VK_TAB, VK_CONTROL);
  EXPECT_EQ(frmCaptions->captions.Focused(), 0);
  KeyWith(picture, VK_TAB, VK_SHIFT);
  EXPECT_EQ(frmCaptions->captions.Focused(), 4);
  KeyWith(picture, VK_HOME);
  EXPECT_EQ(frmCaptions->captions.Focused(), 0);
  KeyWith(picture, VK_END);
  EXPECT_EQ(frmCaptions->captions.Focused(), 4);
}

TEST_F(CaptionPictureTest, AReadersPressRunsFromTheMessageLoopAndNotWhileTheWindowIsDisabled) {
  IAccessible* reader = ReaderObject(picture);
  ASSERT_NE(reader, nullptr);

  EnableWindow(frmCaptions->Handle(), FALSE);
  EXPECT_EQ(reader->accDoDefaultAction(AccessibleChild(5)), S_OK);
  Pump();
  EXPECT_TRUE(frmCaptions->log.empty());
  EnableWindow(frmCaptions->Handle(), TRUE);

  EXPECT_EQ(reader->accDoDefaultAction(AccessibleChild(5)), S_OK);
  EXPECT_TRUE(frmCaptions->log.empty());
  Pump();
  EXPECT_EQ(frmCaptions->log, (std::vector<std::string>{"play 128", "play 130", "terminate"}));
  reader->Release();
}

TEST_F(CaptionPictureTest, AReadersObjectIsCutOffWhenTheWindowGoes) {
  IAccessible* reader = ReaderObject(picture);
  ASSERT_NE(reader, nullptr);
  App().DestroyForms();
  BSTR name = nullptr;
  EXPECT_EQ(reader->get_accName(AccessibleChild(1), &name), RPC_E_DISCONNECTED);
  LONG count = 0;
  EXPECT_EQ(reader->get_accChildCount(&count), RPC_E_DISCONNECTED);
  VARIANT hit;
  EXPECT_EQ(reader->accHitTest(0, 0, &hit), RPC_E_DISCONNECTED);
  reader->Release();
}

} // namespace
} // namespace fablewick::win32

#include "app/app_error.h"
#include "app/win32/application.h"
#include "intro/win32/gdi_gamma_display.h"
#include "intro/win32/tfrmsplashmovie.h"
#include "launcher/win32/tfrmmain.h"

#include "frame_test_helpers.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace fablewick::win32 {
namespace {

RECT BoundsInParent(HWND child) {
  RECT r;
  GetWindowRect(child, &r);
  MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&r), 2);
  return r;
}

TEST(StoredLayouts, BuildTheLauncherWindowWithItsFrameOwnerAndPicture) {
  Tfrmmain form(App());
  HWND window = form.Handle();
  EXPECT_EQ(form.Caption(), "Fablewick");
  LONG style = static_cast<LONG>(GetWindowLongPtrA(window, GWL_STYLE));
  EXPECT_TRUE(style & WS_CAPTION);
  EXPECT_TRUE(style & WS_SYSMENU);
  EXPECT_TRUE(style & WS_MINIMIZEBOX);
  EXPECT_FALSE(style & WS_MAXIMIZEBOX);
  EXPECT_FALSE(style & WS_THICKFRAME);
  EXPECT_FALSE(style & WS_VISIBLE);
  // Owned by the application window, so the taskbar shows one button: its.
  EXPECT_EQ(GetWindow(window, GW_OWNER), App().Handle());
  EXPECT_FALSE(GetWindowLongPtrA(window, GWL_EXSTYLE) & WS_EX_APPWINDOW);
  EXPECT_EQ(form.ClientWidth(), 526);
  EXPECT_EQ(form.ClientHeight(), 285);
  EXPECT_EQ(form.Color(), SystemColorFlag | COLOR_BTNFACE);
  EXPECT_TRUE(form.MusicEnabled) << "the constructor's assignment comes after the layout";

  ASSERT_NE(form.Background->Handle(), nullptr);
  EXPECT_EQ(GetParent(form.Background->Handle()), window);
  RECT bounds = BoundsInParent(form.Background->Handle());
  EXPECT_EQ(bounds.left, 0);
  EXPECT_EQ(bounds.top, 0);
  EXPECT_EQ(bounds.right, 497);
  EXPECT_EQ(bounds.bottom, 273);
}

TEST(StoredLayouts, BuildTheIntroWindowBorderlessWithItsPanelAndHiddenPlayer) {
  GdiGammaDisplay display;
  GammaFade gamma(display);
  TfrmSplashMovie form(App(), gamma);
  LONG style = static_cast<LONG>(GetWindowLongPtrA(form.Handle(), GWL_STYLE));
  EXPECT_FALSE(style & (WS_CAPTION | WS_THICKFRAME | WS_SYSMENU | WS_BORDER));
  EXPECT_EQ(form.Color(), 0u);
  EXPECT_EQ(GetWindow(form.Handle(), GW_OWNER), App().Handle());

  RECT tv = BoundsInParent(form.TV->Handle());
  EXPECT_EQ(tv.left, 24);
  EXPECT_EQ(tv.top, 32);
  EXPECT_EQ(tv.right - tv.left, 399);
  EXPECT_EQ(tv.bottom - tv.top, 362);
  EXPECT_EQ(form.TV->TabOrder(), 1);

  EXPECT_FALSE(form.VCR->Visible());
  EXPECT_EQ(form.VCR->DeviceType(), "dtAVIVideo");
  EXPECT_EQ(form.VCR->Display(), form.TV);
  EXPECT_EQ(form.VCR->TabOrder(), 0);
  EXPECT_EQ(form.VCR->Left(), 88);
  EXPECT_EQ(form.VCR->Width(), 253);
}

// ---------------------------------------------------------------------------
// A form of our own to drive the controls and the builder.

constexpr char ProbeLayout[] = R"(object frmProbe: TProbe
  ClientWidth = 300
  ClientHeight = 200
  Position = poScreenCenter
  BorderStyle = bsNone
  OnClick = FormClick
  object Picture: TImage
    Left = 10
    Top = 20
    Width = 100
    Height = 80
    OnMouseDown = Down
    OnMouseMove = Move
    OnMouseUp = Up
  end
  object Surface: TPanel
    Left = 150
    Top = 20
    Width = 60
    Height = 40
    BevelOuter = bvNone
    OnClick = SurfaceClick
  end
  object Player: TMediaPlayer
    Display = Surface
    Visible = False
    OnNotify = Notified
  end
end
)";

class TProbe : public Form {
public:
  explicit TProbe(std::string layout = ProbeLayout, std::map<std::string, ControlFactory, std::less<>> factories = {})
      : Form(App(), {.name = "TProbe",
              .layoutResource = {},
              .layoutText = std::move(layout),
              .handlers = {Bind("Down", this, &TProbe::Down), Bind("Move", this, &TProbe::Move),
                           Bind("Up", this, &TProbe::Up), Bind("FormClick", this, &TProbe::FormClick),
                           Bind("SurfaceClick", this, &TProbe::SurfaceClick),
                           Bind("Notified", this, &TProbe::Notified)},
              .factories = std::move(factories)}) {}

  void Down(MouseButton button, ShiftState shift, int x, int y) { Record("down", button, shift, x, y); }
  void Move(ShiftState shift, int x, int y) { Record("move", MouseButton::Left, shift, x, y); }
  void Up(MouseButton button, ShiftState shift, int x, int y) { Record("up", button, shift, x, y); }
  void FormClick() { events.push_back("form click"); }
  void SurfaceClick() { events.push_back("surface click"); }
  void Notified() { events.push_back("notify"); }

  void Record(const char* what, MouseButton button, ShiftState shift, int x, int y) {
    char text[96];
    std::snprintf(text, sizeof text, "%s %d %s%s %d,%d", what, static_cast<int>(button),
                  (shift & ssLeft) ? "L" : "-", (shift & ssShift) ? "S" : "-", x, y);
    events.push_back(text);
  }

  std::vector<std::string> events;
};

using Events = std::vector<std::string>;

TEST(PictureControl, DeliversMouseEventsInItsOwnCoordinatesAndCapturesOnlyThePrimaryPress) {
  TProbe form;
  HWND picture = form.Find<PictureControl>("Picture")->Handle();
  SendMessageA(picture, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(5, 6));
  EXPECT_EQ(GetCapture(), nullptr);
  SendMessageA(picture, WM_RBUTTONUP, 0, MAKELPARAM(5, 6));

  SendMessageA(picture, WM_LBUTTONDOWN, MK_LBUTTON | MK_SHIFT, MAKELPARAM(7, 8));
  EXPECT_EQ(GetCapture(), picture);
  // Under capture the pointer may be left of and above the control.
  SendMessageA(picture, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(static_cast<WORD>(-15), static_cast<WORD>(-3)));
  SendMessageA(picture, WM_LBUTTONUP, 0, MAKELPARAM(static_cast<WORD>(-15), static_cast<WORD>(-3)));
  EXPECT_EQ(GetCapture(), nullptr);

  EXPECT_EQ(form.events, (Events{"down 1 -- 5,6", "up 1 -- 5,6", "down 0 LS 7,8", "move 0 L- -15,-3",
                                 "up 0 -- -15,-3"}));
  // Without CS_DBLCLKS a double-click reaches the handlers as a second press.
  EXPECT_FALSE(GetClassLongPtrA(picture, GCL_STYLE) & CS_DBLCLKS);
  EXPECT_FALSE(GetClassLongPtrA(form.Handle(), GCL_STYLE) & CS_DBLCLKS);
}

HBITMAP SolidBitmap(int width, int height, COLORREF color) {
  fablewick::win32::WindowDC screen(nullptr);
  HBITMAP bitmap = CreateCompatibleBitmap(screen.Get(), width, height);
  MemoryDC dc(bitmap);
  UniqueBrush brush(CreateSolidBrush(color));
  RECT all{0, 0, width, height};
  FillRect(dc.Get(), &all, brush.get());
  return bitmap;
}

COLORREF PixelOf(HBITMAP bitmap, int x, int y) {
  MemoryDC dc(bitmap);
  return GetPixel(dc.Get(), x, y);
}

TEST(PictureControl, ShowsItsOwnCopyAndOverlaysChangeOnlyThatCopy) {
  TProbe form;
  PictureControl& picture = *form.Find<PictureControl>("Picture");
  UniqueBitmap base(SolidBitmap(8, 6, RGB(255, 0, 0)));
  UniqueBitmap overlay(SolidBitmap(2, 2, RGB(0, 0, 255)));
  picture.Assign(base.get());
  EXPECT_NE(picture.Picture(), base.get());
  EXPECT_EQ(picture.PictureWidth(), 8);
  EXPECT_EQ(picture.PictureHeight(), 6);

  picture.DrawOverlay(overlay.get(), 3, 2);
  EXPECT_EQ(PixelOf(picture.Picture(), 3, 2), RGB(0, 0, 255));
  EXPECT_EQ(PixelOf(picture.Picture(), 4, 3), RGB(0, 0, 255));
  EXPECT_EQ(PixelOf(picture.Picture(), 5, 2), RGB(255, 0, 0));
  EXPECT_EQ(PixelOf(base.get(), 3, 2), RGB(255, 0, 0)) << "the source stays as it was";

  // Assigning again replaces the whole displayed picture.
  picture.Assign(base.get());
  EXPECT_EQ(PixelOf(picture.Picture(), 3, 2), RGB(255, 0, 0));

  // The displayed copy survives its source.
  base.reset();
  EXPECT_EQ(PixelOf(picture.Picture(), 0, 0), RGB(255, 0, 0));
}

TEST(PictureControl, PaintsTheChangeAtTheNextPaint) {
  TProbe form;
  PictureControl& picture = *form.Find<PictureControl>("Picture");
  form.Show();
  UniqueBitmap green(SolidBitmap(100, 80, RGB(0, 255, 0)));
  picture.Assign(green.get());
  UpdateWindow(picture.Handle());
  fablewick::win32::WindowDC dc(picture.Handle());
  EXPECT_EQ(GetPixel(dc.Get(), 50, 40), RGB(0, 255, 0));
}

TEST(Panel, AClickOnItRunsItsHandlerAndAClickBesideItTheFormsHandler) {
  TProbe form;
  Panel& surface = *form.Find<Panel>("Surface");
  SendMessageA(surface.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
  SendMessageA(surface.Handle(), WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
  // A press on the panel released outside it is no click.
  SendMessageA(surface.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
  SendMessageA(surface.Handle(), WM_LBUTTONUP, 0, MAKELPARAM(200, 3));
  SendMessageA(form.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(280, 180));
  SendMessageA(form.Handle(), WM_LBUTTONUP, 0, MAKELPARAM(280, 180));
  EXPECT_EQ(form.events, (Events{"surface click", "form click"}));

  surface.SetColor(0x0000FF);
  EXPECT_EQ(surface.Color(), 0x0000FFu);
  surface.Hide();
  EXPECT_FALSE(IsWindowVisible(surface.Handle()));
  surface.SetBounds(1, 2, 30, 40);
  RECT r = BoundsInParent(surface.Handle());
  EXPECT_EQ(r.left, 1);
  EXPECT_EQ(r.bottom, 42);
}

class RecordingPlayer : public MediaPlayerControl {
public:
  using MediaPlayerControl::MediaPlayerControl;
  static inline int made = 0;
};

TEST(FormBuilder, MakesMediaPlayersThroughTheFormClassesFactoryAndBindsTheirProperties) {
  RecordingPlayer::made = 0;
  TProbe form(ProbeLayout, {{"TMediaPlayer", [](Form& owner, const std::string& name) {
                               ++RecordingPlayer::made;
                               return std::make_unique<RecordingPlayer>(owner, name);
                             }}});
  EXPECT_EQ(RecordingPlayer::made, 1);
  auto* player = form.Find<RecordingPlayer>("Player");
  EXPECT_EQ(player->Display(), form.Find<Panel>("Surface"));
  player->DoNotify();
  EXPECT_EQ(form.events, (Events{"notify"}));
}

TEST(FormShow, CentresTheFormOnTheScreenWhenItIsShown) {
  TProbe form;
  form.Show();
  RECT r;
  GetWindowRect(form.Handle(), &r);
  EXPECT_EQ(r.left, (GetSystemMetrics(SM_CXSCREEN) - 300) / 2);
  EXPECT_EQ(r.top, (GetSystemMetrics(SM_CYSCREEN) - 200) / 2);
  EXPECT_TRUE(IsWindowVisible(form.Handle()));
  form.Hide();
  EXPECT_FALSE(IsWindowVisible(form.Handle()));
}

std::string BuildError(const std::string& layout) {
  try {
    TProbe form(layout);
  } catch (const AppError& error) {
    return error.what();
  }
  return "no error";
}

TEST(FormBuilder, RefusesLayoutsThatNameWhatTheClassDoesNotOfferWithTheLine) {
  EXPECT_EQ(BuildError("object f: TProbe\n  OnShow = FormShow\nend\n"),
            "Layout TProbe, line 2: TProbe has no handler FormShow");
  EXPECT_EQ(BuildError("object f: TProbe\n  OnClick = Down\nend\n"),
            "Layout TProbe, line 2: handler Down of TProbe does not fit OnClick, which takes no arguments");
  EXPECT_EQ(BuildError("object f: TProbe\n  object b: TButton\n  end\nend\n"),
            "Layout TProbe, line 2: unknown control class TButton");
  EXPECT_EQ(BuildError("object f: TProbe\n  object p: TPanel\n    Colour = clRed\n  end\nend\n"),
            "Layout TProbe, line 3: TPanel has no property Colour");
  EXPECT_EQ(BuildError("object f: TOther\nend\n"), "Layout TProbe, line 1: the layout is for TOther, not TProbe");
  EXPECT_EQ(BuildError("object f: TProbe\n  object p: TPanel\n  end\n  object p: TImage\n  end\nend\n"),
            "Layout TProbe, line 4: the name p is used twice");
  EXPECT_EQ(BuildError("object f: TProbe\n  object m: TMediaPlayer\n    Display = Nowhere\n  end\nend\n"),
            "Layout TProbe, line 3: there is no component named Nowhere");
}

constexpr char BrokenLayout[] = "object f: TBroken\n  OnShow = Missing\nend\n";

class TBroken : public Form {
public:
  explicit TBroken(FormHost& host = App())
      : Form(host, {.name = "TBroken", .layoutResource = {}, .layoutText = BrokenLayout, .handlers = {}, .factories = {}}) {}
};

TBroken* frmBroken = nullptr;

class TSees;
TSees* frmSees = nullptr;
const void* referenceInConstructor = nullptr;

class TSees : public Form {
public:
  explicit TSees(FormHost& host = App())
      : Form(host, {.name = "TSees",
              .layoutResource = {},
              .layoutText = "object f: TSees\nend\n",
              .handlers = {},
              .factories = {}}) {
    referenceInConstructor = frmSees;
  }
};

TEST(CreateForm, SetsTheReferenceBeforeConstructionAndClearsItWhenConstructionFails) {
  EXPECT_THROW(App().CreateForm(frmBroken), AppError);
  EXPECT_EQ(frmBroken, nullptr);
  EXPECT_EQ(App().MainForm(), nullptr) << "a form that failed is no main form";

  App().CreateForm(frmSees);
  ASSERT_NE(frmSees, nullptr);
  EXPECT_EQ(referenceInConstructor, frmSees);
  EXPECT_EQ(App().MainForm(), frmSees);
  App().DestroyForms();
  EXPECT_EQ(frmSees, nullptr);
}

} // namespace
} // namespace fablewick::win32

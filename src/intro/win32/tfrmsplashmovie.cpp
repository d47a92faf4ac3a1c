#include "intro/win32/tfrmsplashmovie.h"

#include "app/startup_trace.h"
#include "app/win32/dpi.h"
#include "app/win32/lazy_library.h"
#include "app/win32/plain_file.h"
#include "intro/win32/crash_restore.h"
#include "intro/win32/video_decoder.h"

#include <windows.h>

namespace fablewick::win32 {

namespace {

// Posted once a paint has been handled, so the sequence hears of it after
// the frame is drawn rather than before.
constexpr UINT WM_FRAME_PAINTED = WM_APP + 0x31;

// Waits until the compositor has put the last drawing on the screen. The
// desktop window manager's library is loaded at the first intro, not with
// the program; without it (no compositor) drawing shows when it is done.
void WaitForComposition() {
  static LazyLibrary library("dwmapi.dll");
  using DwmFlushFunction = HRESULT(WINAPI*)();
  if (const auto flush = library.Entry<DwmFlushFunction>("DwmFlush")) flush();
}

} // namespace

TfrmSplashMovie::TfrmSplashMovie(FormHost& host, GammaFade& gamma)
    : Form(host, {.name = "TfrmSplashMovie",
            .layoutResource = "TFRMSPLASHMOVIE",
            .layoutText = {},
            .handlers =
                {
                    Bind("FormCreate", this, &TfrmSplashMovie::FormCreate),
                    Bind("FormShow", this, &TfrmSplashMovie::FormShow),
                    Bind("TVClick", this, &TfrmSplashMovie::TVClick),
                    Bind("VCRNotify", this, &TfrmSplashMovie::VCRNotify),
                    Bind("FormClick", this, &TfrmSplashMovie::FormClick),
                    Bind("FormClose", this, &TfrmSplashMovie::FormClose),
                    Bind("FormActivate", this, &TfrmSplashMovie::FormActivate),
                },
            .factories = {{"TMediaPlayer",
                           [](Form& owner, const std::string& name) -> std::unique_ptr<Control> {
                             return std::make_unique<VcrPlayer>(owner, name);
                           }}}}),
      VCR(Find<VcrPlayer>("VCR")),
      TV(Find<Panel>("TV")) {
  InstallScreenRestoreOnCrash();
  FABLEWICK_STARTUP_MARK("crash guard");
  sequence_ = std::make_unique<IntroSequence>(*VCR, view_, desktop_, overlay_, gamma, clock_);
  FABLEWICK_STARTUP_MARK("intro sequence");
}

TfrmSplashMovie::~TfrmSplashMovie() = default;

void TfrmSplashMovie::FormCreate() { sequence_->FormCreate(); }

void TfrmSplashMovie::FormShow() { sequence_->FormShow(); }

void TfrmSplashMovie::TVClick() { sequence_->TVClick(); }

void TfrmSplashMovie::VCRNotify() { sequence_->VCRNotify(); }

void TfrmSplashMovie::FormClick() { sequence_->FormClick(); }

// The close action stays caHide: the window is shown again by later modal
// shows, so it is never destroyed here.
void TfrmSplashMovie::FormClose(CloseAction&) { sequence_->FormClose(); }

void TfrmSplashMovie::FormActivate() { sequence_->FormActivate(); }

void TfrmSplashMovie::SetMainForm(Form* mainForm) {
  sequence_->SetMainForm(reinterpret_cast<WindowHandle>(mainForm));
}

bool TfrmSplashMovie::AnyMovieExists() { return sequence_->AnyMovieExists(); }

bool TfrmSplashMovie::FormMessage(UINT message, WPARAM, LPARAM, LRESULT& result) {
  if (!sequence_) return false;
  switch (message) {
  // Sent to every top-level window when a monitor comes or goes.
  case WM_DISPLAYCHANGE:
    sequence_->DisplayChanged();
    break;
  case WM_PAINT:
    PostMessageA(Handle(), WM_FRAME_PAINTED, 0, 0);
    break;
  case WM_FRAME_PAINTED:
    sequence_->FramePainted();
    result = 0;
    return true;
  default:
    break;
  }
  return false;
}

WindowHandle TfrmSplashMovie::View::Window() { return reinterpret_cast<WindowHandle>(form_.Handle()); }

std::int32_t TfrmSplashMovie::View::Dpi() { return WindowDpi(form_.Handle()); }

bool TfrmSplashMovie::View::PresentOnScreen(WindowHandle window) {
  HWND handle = reinterpret_cast<HWND>(window);
  // The launcher is passed as its form, the intro as its window.
  if (window != Window()) handle = reinterpret_cast<Form*>(window)->Handle();
  if (handle == nullptr || !IsWindowVisible(handle)) return false;
  RedrawWindow(handle, nullptr, nullptr, RDW_UPDATENOW | RDW_ERASENOW | RDW_ALLCHILDREN);
  GdiFlush();
  WaitForComposition();
  return true;
}

void TfrmSplashMovie::View::SetClientSize(std::int32_t width, std::int32_t height) {
  form_.SetClientSize(width, height);
}

std::int32_t TfrmSplashMovie::View::ClientWidth() { return form_.ClientWidth(); }

std::int32_t TfrmSplashMovie::View::ClientHeight() { return form_.ClientHeight(); }

void TfrmSplashMovie::View::SetTVColourToForm() { form_.TV->SetColor(form_.Color()); }

void TfrmSplashMovie::View::ShowTV(bool visible) { form_.TV->SetVisible(visible); }

void TfrmSplashMovie::View::SetTVWidth(std::int32_t width) { form_.TV->SetWidth(width); }

void TfrmSplashMovie::View::SetTVHeight(std::int32_t height) { form_.TV->SetHeight(height); }

void TfrmSplashMovie::View::SetTVPosition(std::int32_t left, std::int32_t top) {
  form_.TV->SetBounds(left, top, form_.TV->Width(), form_.TV->Height());
}

std::int32_t TfrmSplashMovie::View::TVWidth() { return form_.TV->Width(); }

std::int32_t TfrmSplashMovie::View::TVHeight() { return form_.TV->Height(); }

void TfrmSplashMovie::View::Close() { form_.Close(); }

void TfrmSplashMovie::View::PostClose() { PostMessageA(form_.Handle(), WM_CLOSE, 0, 0); }

void TfrmSplashMovie::View::ShowMainForm(WindowHandle mainForm) {
  Form* form = reinterpret_cast<Form*>(mainForm);
  form->Show();
  form->BringToFront();
}

bool TfrmSplashMovie::View::IsPlainFile(const std::string& fileName) { return win32::IsPlainFile(fileName); }

DecoderCheck TfrmSplashMovie::View::CheckDecoder(const std::string& fileName) {
  return CheckVideoDecoder(fileName);
}

} // namespace fablewick::win32

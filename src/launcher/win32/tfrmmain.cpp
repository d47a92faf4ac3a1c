#include "launcher/win32/tfrmmain.h"

#include "app/app_error.h"
#include "app/startup_trace.h"
#include "app/win32/dpi.h"
#include "intro/win32/tfrmsplashmovie.h"
#include "launcher/launch.h"
#include "launcher/settings.h"
#include "launcher/win32/bitmap_resource.h"
#include "sound/sound_engine.h"
#include "sound/win32/sound_window.h"
#include "sound/win32/wave_resource.h"
#include "resources/resource.h"

#include <array>

namespace fablewick::win32 {

namespace {

constexpr int kBasePictureId = IDB_MENU;

// The primary button as it stood when the event happened. The mouse
// messages carry it in MK_LBUTTON, which already names the primary button
// when the buttons are swapped. Polling the live state instead would lose a
// click whose release is already in by the time the press is handled.
bool PrimaryButtonDown(ShiftState shift) { return (shift & ssLeft) != 0; }

} // namespace

Tfrmmain::Tfrmmain(FormHost& host)
    : Form(host, {.name = "Tfrmmain",
            .layoutResource = "TFRMMAIN",
            .layoutText = {},
            .handlers =
                {
                    Bind("FormCreate", this, &Tfrmmain::FormCreate),
                    Bind("FormDestroy", this, &Tfrmmain::FormDestroy),
                    Bind("FormShow", this, &Tfrmmain::FormShow),
                    Bind("BackgroundMouseDown", this, &Tfrmmain::BackgroundMouseDown),
                    Bind("BackgroundMouseMove", this, &Tfrmmain::BackgroundMouseMove),
                    Bind("BackgroundMouseUp", this, &Tfrmmain::BackgroundMouseUp),
                    Bind("PlayOpeningMusic1Click", this, &Tfrmmain::PlayOpeningMusic1Click),
                    Bind("Quit1Click", this, &Tfrmmain::Quit1Click),
                    Bind("AboutFablewick1Click", this, &Tfrmmain::AboutFablewick1Click),
                    Bind("FablewickHelp1Click", this, &Tfrmmain::FablewickHelp1Click),
                },
            .factories = {{"TImage",
                           [](Form& owner, const std::string& name) -> std::unique_ptr<Control> {
                             return std::make_unique<CaptionPicture>(owner, name);
                           }}}}),
      Background(Find<CaptionPicture>("Background")),
      MainMenu1(Find<MainMenu>("MainMenu1")),
      File1(Find<MenuItem>("File1")),
      PlayOpeningMusic1(Find<MenuItem>("PlayOpeningMusic1")),
      Quit1(Find<MenuItem>("Quit1")),
      N2(Find<MenuItem>("N2")),
      captions_(*this, *Background),
      messages_(host),
      ports_{*this, shell_, registry_, messages_, clock_} {
  for (int s = 0; s < kSettingCount; ++s) settingItems_[s] = Find<MenuItem>(kSettings[s].menuItem);
  Background->Attach(captions_, ports_);
}

// Under Wine opening the device takes about as long as building the windows
// and needs none of them. The base picture is not loaded ahead as well: the
// window has time for it while the device opens, and a third busy thread
// held the first window up more than it saved.
void Tfrmmain::StartLoadingAhead() {
  OpenSoundDeviceEarly();
}

void Tfrmmain::FormCreate() {
  try {
    basePicture_ = LoadBitmapResource(kBasePictureId);
    // Only the base picture is on the first screen; the captions' pictures
    // are decoded later, but one that cannot be is still reported here, and
    // those before it still work.
    for (int i = 0; i < kHotRegionCount; ++i) {
      CheckBitmapResource(kHotRegions[i].hoverBitmap);
      ++captionPicturesUsable_;
      CheckBitmapResource(kHotRegions[i].overlayBitmap);
      ++captionPicturesUsable_;
    }
    FABLEWICK_STARTUP_MARK("bitmaps loaded");

    Background->Assign(basePicture_.get());
    Rescale(WindowDpi(Handle()));
  } catch (...) {
    // A sound failure's box comes before any other.
    StartSound();
    throw;
  }
}

// The device has been opening on a thread of its own since the entry point;
// it is waited for as late as possible, so that building the window overlaps
// it, but before anything that could put up a box of its own, so that a
// sound failure is still the first thing the user is told.
void Tfrmmain::StartSound() {
  if (soundStarted_) return;
  soundStarted_ = true;
  InitSoundForWindow(Handle(), messages_);
  FABLEWICK_STARTUP_MARK("sound started");
}

void Tfrmmain::Rescale(int dpi) {
  Background->SetScale(DpiScale(dpi));
  SetClientSize(Background->Width(), Background->Height());
}

void Tfrmmain::FormDestroy() {
  fablewick::StopAllSounds();
  fablewick::ShutdownSound();
}

void Tfrmmain::FormShow() {
  StartSound();
  fablewick::FormShow(ports_, *this, Settings);
}

// The hot regions are in picture pixels, so every pointer position is
// mapped back onto the picture first.
void Tfrmmain::BackgroundMouseDown(MouseButton, ShiftState shift, int x, int y) {
  const DpiScale& scale = Background->Scale();
  fablewick::PointerStep(hover_, captions_, scale.ToPicture(x), scale.ToPicture(y), PrimaryButtonDown(shift));
}

void Tfrmmain::BackgroundMouseMove(ShiftState shift, int x, int y) {
  // The pointer is on its way to a caption: the device, let go in a quiet
  // spell, is opened before the click is due.
  fablewick::PrepareSound();
  const DpiScale& scale = Background->Scale();
  fablewick::PointerStep(hover_, captions_, scale.ToPicture(x), scale.ToPicture(y), PrimaryButtonDown(shift));
}

void Tfrmmain::BackgroundMouseUp(MouseButton, ShiftState, int x, int y) {
  const DpiScale& scale = Background->Scale();
  fablewick::ReleaseStep(hover_, ports_, scale.ToPicture(x), scale.ToPicture(y));
}

void Tfrmmain::PlayOpeningMusic1Click() { SettingClick(ports_, *this, Settings, kMusicEnabled); }

void Tfrmmain::Quit1Click() { fablewick::Quit1Click(ports_); }

void Tfrmmain::AboutFablewick1Click() { fablewick::AboutFablewick1Click(ports_); }

void Tfrmmain::FablewickHelp1Click() { fablewick::FablewickHelp1Click(ports_); }

bool Tfrmmain::FormMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  switch (message) {
  case WM_INITMENU:
    // A menu command may play a sound (the tune, Quit).
    fablewick::PrepareSound();
    return false;
  case WM_SETFOCUS:
    if (!Background->Handle()) return false;
    // The picture holds the keyboard for the window, as a dialog's first
    // control does.
    SetFocus(Background->Handle());
    result = 0;
    return true;
  case WM_DPICHANGED: {
    // Moved to a monitor of another DPI: the system suggests where the
    // window goes and how large it is; the client is then made exact.
    const RECT& suggested = *reinterpret_cast<const RECT*>(lParam);
    SetWindowPos(Handle(), nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
    Rescale(LOWORD(wParam));
    result = 0;
    return true;
  }
  default:
    return false;
  }
}

// ---------------------------------------------------------------------------

void Tfrmmain::ShowBasePicture() { Background->Assign(basePicture_.get()); }

void Tfrmmain::LoadCaptionPictures() {
  if (captionPicturesLoaded_) return;
  captionPicturesLoaded_ = true; // a failure is told once, not at every move
  for (int i = 0; i < kHotRegionCount; ++i) {
    if (2 * i < captionPicturesUsable_) hoverPictures_[i] = LoadBitmapResource(kHotRegions[i].hoverBitmap);
    if (2 * i + 1 < captionPicturesUsable_) pressedOverlays_[i] = LoadBitmapResource(kHotRegions[i].overlayBitmap);
  }
}

void Tfrmmain::ShowHoverPicture(int region) {
  LoadCaptionPictures();
  Background->Assign(hoverPictures_[region].get());
}

void Tfrmmain::DrawPressedOverlay(int region, int left, int top) {
  LoadCaptionPictures();
  Background->DrawOverlay(pressedOverlays_[region].get(), left, top);
}

void Tfrmmain::PlaySoundResource(int id) { win32::PlaySoundResource(id); }

void Tfrmmain::StopAllSounds() { fablewick::StopAllSounds(); }

bool Tfrmmain::AnySoundPlaying() { return fablewick::AnySoundPlaying(); }

void Tfrmmain::Terminate() {
  captions_.LauncherEnding();
  Host().Terminate();
}

void Tfrmmain::MakeIntroWindow() {
  if (intro_) return;
  StartSound();
  if (makeIntroWindow_) makeIntroWindow_(intro_);
  if (!intro_) throw AppError("The intro window could not be made");
  if (mainFormSet_) intro_->SetMainForm(this);
}

TfrmSplashMovie& Tfrmmain::Intro() {
  MakeIntroWindow();
  return *intro_;
}

bool Tfrmmain::IsFirstStart() { return fablewick::IsFirstStart(registry_); }

void Tfrmmain::SetMainForm() {
  mainFormSet_ = true;
  if (intro_) intro_->SetMainForm(this);
}

bool Tfrmmain::AnyMovieExists() { return Intro().AnyMovieExists(); }

void Tfrmmain::ShowIntroModal() { Intro().ShowModal(); }

} // namespace fablewick::win32

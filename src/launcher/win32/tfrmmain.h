#pragma once

#include "app/win32/form.h"
#include "app/win32/gdi.h"
#include "app/win32/message_dialog.h"
#include "app/win32/system_clock.h"
#include "launcher/caption_focus.h"
#include "launcher/launcher_ports.h"
#include "launcher/pointer_step.h"
#include "launcher/settings.h"
#include "launcher/win32/caption_picture.h"
#include "launcher/win32/registry_current_user.h"
#include "launcher/win32/shell_windows.h"

#include <array>
#include <functional>

namespace fablewick::win32 {

class TfrmSplashMovie;

// The launcher window: the menu picture, its menu bar and the handlers that
// the layout "TFRMMAIN" binds. The handlers only hand the events to the
// launcher's policy; the window offers that policy its pictures, the sound
// engine, the frame and the intro window.
class Tfrmmain : public Form, private LauncherHost, private SettingMarks {
public:
  explicit Tfrmmain(FormHost& host);

  // Starts opening the audio device on a thread of its own before any
  // window is built; the window takes it over just before it shows. Called
  // once, before the first window.
  static void StartLoadingAhead();

  // How the intro window is made, by whoever owns the forms: into the
  // reference it is given, which the owner empties when it destroys that
  // window. The launcher calls it whenever it first needs the intro.
  void SetIntroWindowMaker(std::function<void(TfrmSplashMovie*&)> make) { makeIntroWindow_ = std::move(make); }
  // Makes the intro window now unless it exists. On a first start the intro
  // may show before the launcher, so the window is made before it; a later
  // start makes it once the launcher is on screen.
  void MakeIntroWindow();
  // Whether this start may show the intro before the launcher.
  bool IsFirstStart();
  // The first screen shows only the base picture. The captions' lit and
  // pressed pictures are loaded by this, once the first screen is up, or
  // at once by the first caption that lights if that comes sooner.
  void LoadCaptionPictures();

  CaptionPicture* Background;
  MainMenu* MainMenu1;
  MenuItem* File1;
  MenuItem* PlayOpeningMusic1;
  MenuItem* Quit1;
  MenuItem* N2;

  // The stored choices as this window holds them.
  SettingValues Settings = DefaultSettings();
  // Whether the tune plays at start-up.
  bool& MusicEnabled = Settings[kMusicEnabled];

  void FormCreate();
  void FormDestroy();
  void FormShow();
  void BackgroundMouseDown(MouseButton button, ShiftState shift, int x, int y);
  void BackgroundMouseMove(ShiftState shift, int x, int y);
  void BackgroundMouseUp(MouseButton button, ShiftState shift, int x, int y);
  void PlayOpeningMusic1Click();
  void Quit1Click();
  void AboutFablewick1Click();
  void FablewickHelp1Click();

protected:
  bool FormMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
  TfrmSplashMovie& Intro();
  // Sizes the window and its picture for the DPI it is drawn at.
  void Rescale(int dpi);
  void StartSound();

  void ShowBasePicture() override;
  void ShowHoverPicture(int region) override;
  void DrawPressedOverlay(int region, int left, int top) override;
  void PlaySoundResource(int id) override;
  void StopAllSounds() override;
  bool AnySoundPlaying() override;
  void Terminate() override;
  void SetMainForm() override;
  bool AnyMovieExists() override;
  void ShowIntroModal() override;
  bool Checked(Setting setting) override { return settingItems_[setting]->Checked(); }
  void SetChecked(Setting setting, bool checked) override { settingItems_[setting]->SetChecked(checked); }

  // Loaded once and kept for the window's life; Background shows copies,
  // so these never change.
  UniqueBitmap basePicture_;
  std::array<UniqueBitmap, kHotRegionCount> hoverPictures_;
  std::array<UniqueBitmap, kHotRegionCount> pressedOverlays_;
  // How many of the captions' pictures, hover then overlay for each caption
  // in turn, FormCreate found whole before the first that is not.
  int captionPicturesUsable_ = 0;
  bool captionPicturesLoaded_ = false;
  bool soundStarted_ = false;

  std::function<void(TfrmSplashMovie*&)> makeIntroWindow_;
  TfrmSplashMovie* intro_ = nullptr;
  // The show handler named this the intro's main form before the intro
  // window was made.
  bool mainFormSet_ = false;
  CurrentUserRegistry registry_;
  WindowsShell shell_;
  SystemClock clock_;
  std::array<MenuItem*, kSettingCount> settingItems_{};
  HoverState hover_;
  // Every picture change goes through it, the pointer's as well as the
  // keyboard's; Terminate tells it when the launcher is ending.
  CaptionFocus captions_;
  DialogMessages messages_;
  LauncherPorts ports_;
};

} // namespace fablewick::win32

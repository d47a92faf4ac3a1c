#pragma once

#include "launcher/hot_region.h"
#include "launcher/launcher_ports.h"

namespace fablewick {

// A rectangle in picture pixels; right and bottom are exclusive.
struct PictureRect {
  int left;
  int top;
  int right;
  int bottom;
};

// The keys the captions answer to, as the window reads them.
enum class CaptionKey { Tab, Up, Down, Home, End, Enter, Space, Other };

struct KeyPress {
  CaptionKey key;
  bool shift = false;
  // Ctrl or Alt: those chords belong to the menus and shortcuts.
  bool commandModifier = false;
  // Sent again by the keyboard's auto-repeat while the key is held.
  bool repeat = false;
};

// What the keyboard focus needs from the launcher window beyond its
// pictures: the focus mark and the screen reader's focus notice.
class CaptionFocusHost {
public:
  virtual ~CaptionFocusHost() = default;
  // Draws the system's focus rectangle on the displayed copy of the picture.
  virtual void DrawFocusMark(const PictureRect& rect) = 0;
  virtual void AnnounceFocus(int region) = 0;
};

// The focus mark sits this far inside the caption, so it never touches the
// neighbouring artwork.
inline constexpr int kFocusMarkInset = 3;
PictureRect FocusMarkRect(int region);

// Keyboard focus over the five captions, in the manner of a row of push
// buttons. The launcher's policy draws through it (it is the window's
// picture host for the pointer steps too), so it always knows which caption
// the displayed picture lights, whether the pointer or a key lit it, and
// when the pointer has taken the picture over from the keyboard.
class CaptionFocus : public LauncherHost {
public:
  CaptionFocus(LauncherHost& window, CaptionFocusHost& marks) : window_(window), marks_(marks) {}

  // True when the key meant something to the captions. ports.host must be
  // this object, so that a launch or a quit it starts is seen here.
  bool KeyDown(const KeyPress& press, LauncherPorts& ports);
  // What a completed click on the caption does, unless the launcher is
  // already on its way out.
  void Press(int region, LauncherPorts& ports);
  // A screen reader moving the focus: the same as reaching the caption with
  // the keys.
  void Focus(int region);

  int Focused() const { return focused_; }
  // The caption whose hover picture is displayed, lit by either hand.
  int Lit() const { return lit_; }
  bool LitPressed() const { return pressed_; }
  // Set once a launch or a quit has asked the program to end.
  bool Ending() const { return ending_; }

  void ShowBasePicture() override;
  void ShowHoverPicture(int region) override;
  void DrawPressedOverlay(int region, int left, int top) override;
  void PlaySoundResource(int id) override { window_.PlaySoundResource(id); }
  void StopAllSounds() override { window_.StopAllSounds(); }
  bool AnySoundPlaying() override { return window_.AnySoundPlaying(); }
  void Terminate() override;
  void SetMainForm() override { window_.SetMainForm(); }
  bool AnyMovieExists() override { return window_.AnyMovieExists(); }
  void ShowIntroModal() override { window_.ShowIntroModal(); }
  bool PlayOpeningMusicChecked() override { return window_.PlayOpeningMusicChecked(); }
  void SetPlayOpeningMusicChecked(bool checked) override { window_.SetPlayOpeningMusicChecked(checked); }

private:
  void MoveFocus(int region);
  // A fresh picture wipes the mark: keep it on the focused caption, and let
  // any other picture end the keyboard's hold on the display.
  void AfterPictureChange(int region);

  LauncherHost& window_;
  CaptionFocusHost& marks_;
  int focused_ = kNoRegion;
  int lit_ = kNoRegion;
  bool pressed_ = false;
  bool ending_ = false;
};

} // namespace fablewick

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
// buttons. The pointer steps draw through it, so it always knows which
// caption the displayed picture lights, whether the pointer or a key lit it,
// and when the pointer has taken the picture over from the keyboard.
class CaptionFocus : public CaptionDisplay {
public:
  CaptionFocus(CaptionDisplay& window, CaptionFocusHost& marks) : window_(window), marks_(marks) {}

  // True when the key meant something to the captions.
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
  // Whoever passes the launcher's end request on to the frame tells it
  // here: from then on keys, presses and a reader's focus do nothing, so a
  // launch or a quit cannot be started twice.
  void LauncherEnding() { ending_ = true; }
  bool Ending() const { return ending_; }

  void ShowBasePicture() override;
  void ShowHoverPicture(int region) override;
  void DrawPressedOverlay(int region, int left, int top) override;
  void PlaySoundResource(int id) override { window_.PlaySoundResource(id); }

private:
  void MoveFocus(int region);
  // A fresh picture wipes the mark: keep it on the focused caption, and let
  // any other picture end the keyboard's hold on the display.
  void AfterPictureChange(int region);

  CaptionDisplay& window_;
  CaptionFocusHost& marks_;
  int focused_ = kNoRegion;
  int lit_ = kNoRegion;
  bool pressed_ = false;
  bool ending_ = false;
};

} // namespace fablewick

#include "launcher/caption_focus.h"

#include "launcher/launch.h"
#include "launcher/pointer_step.h"

namespace fablewick {

PictureRect FocusMarkRect(int region) {
  const HotRegion& r = kHotRegions[region];
  return {r.left + kFocusMarkInset, r.top + kFocusMarkInset, r.right - kFocusMarkInset,
          r.bottom - kFocusMarkInset};
}

bool CaptionFocus::KeyDown(const KeyPress& press, LauncherPorts& ports) {
  if (ending_ || press.commandModifier) return false;
  // Movement starts from the keyboard's own caption, else from the one the
  // pointer lit.
  const int from = focused_ != kNoRegion ? focused_ : lit_;
  const bool forward = press.key == CaptionKey::Down || (press.key == CaptionKey::Tab && !press.shift);
  const bool backward = press.key == CaptionKey::Up || (press.key == CaptionKey::Tab && press.shift);
  if (forward) {
    MoveFocus(from == kNoRegion ? 0 : (from + 1) % kHotRegionCount);
  } else if (backward) {
    MoveFocus(from == kNoRegion ? kHotRegionCount - 1 : (from + kHotRegionCount - 1) % kHotRegionCount);
  } else if (press.key == CaptionKey::Home) {
    MoveFocus(0);
  } else if (press.key == CaptionKey::End) {
    MoveFocus(kHotRegionCount - 1);
  } else if (press.key == CaptionKey::Enter || press.key == CaptionKey::Space) {
    // A held key must not start the caption again once a dialog it raised
    // has been dismissed.
    if (focused_ == kNoRegion) return false;
    if (!press.repeat) Press(focused_, ports);
  } else {
    return false;
  }
  return true;
}

void CaptionFocus::Press(int region, LauncherPorts& ports) {
  if (ending_ || region < 0 || region >= kHotRegionCount) return;
  LaunchGame(ports, kHotRegions[region].target);
}

void CaptionFocus::Focus(int region) {
  if (ending_ || region < 0 || region >= kHotRegionCount) return;
  MoveFocus(region);
}

void CaptionFocus::MoveFocus(int region) {
  if (region == focused_) return;
  focused_ = region;
  if (region != lit_ || pressed_) {
    window_.PlaySoundResource(kClickSound);
    window_.ShowHoverPicture(region);
    lit_ = region;
    pressed_ = false;
  }
  marks_.DrawFocusMark(FocusMarkRect(region));
  marks_.AnnounceFocus(region);
}

void CaptionFocus::AfterPictureChange(int region) {
  if (focused_ == kNoRegion) return;
  if (region == focused_) {
    marks_.DrawFocusMark(FocusMarkRect(region));
  } else {
    focused_ = kNoRegion;
  }
}

void CaptionFocus::ShowBasePicture() {
  window_.ShowBasePicture();
  lit_ = kNoRegion;
  pressed_ = false;
  AfterPictureChange(kNoRegion);
}

void CaptionFocus::ShowHoverPicture(int region) {
  window_.ShowHoverPicture(region);
  lit_ = region;
  pressed_ = false;
  AfterPictureChange(region);
}

void CaptionFocus::DrawPressedOverlay(int region, int left, int top) {
  // The pointer step draws the overlay over the caption it believes lit; a
  // key may have lit another one since, so put the right picture under it.
  if (focused_ != kNoRegion && region != lit_) window_.ShowHoverPicture(region);
  window_.DrawPressedOverlay(region, left, top);
  lit_ = region;
  pressed_ = true;
  AfterPictureChange(region);
}

} // namespace fablewick

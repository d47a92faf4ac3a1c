#pragma once

#include "app/dpi_scale.h"
#include "app/win32/controls.h"
#include "launcher/caption_focus.h"
#include "launcher/launcher_ports.h"
#include "launcher/win32/caption_accessible.h"

#include <string>

namespace fablewick::win32 {

// The launcher's picture control: the plain picture, plus the keyboard
// focus over its captions and their screen-reader view. It holds the
// keyboard focus for the launcher window, hands keys and screen-reader
// presses to the caption focus, and draws the focus mark.
class CaptionPicture : public PictureControl, public CaptionFocusHost, private CaptionAccessView {
public:
  CaptionPicture(ControlOwner& owner, std::string name);

  // Until attached it behaves as a plain picture: keys pass by and a screen
  // reader finds only the window's standard object.
  void Attach(CaptionFocus& captions, LauncherPorts& ports);

  // Shows the picture at the scale, sized to it; the captions, the focus
  // mark and what a screen reader is told stay in picture pixels.
  void SetScale(const DpiScale& scale);
  const DpiScale& Scale() const { return scale_; }

  void DrawFocusMark(const PictureRect& rect) override;
  void AnnounceFocus(int region) override;

protected:
  bool ControlMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
  const CaptionFocus& Captions() const override { return *captions_; }
  POINT PictureToClient(POINT picture) const override {
    return {scale_.ToPhysical(picture.x), scale_.ToPhysical(picture.y)};
  }
  POINT ClientToPicture(POINT client) const override {
    return {scale_.ToPicture(client.x), scale_.ToPicture(client.y)};
  }
  void RequestPress(int region) override;
  void RequestFocus(int region) override;

  // A dialog's or the intro's modal loop still delivers messages queued for
  // this window; the disabled launcher must not act on them.
  bool TakesInput() const;

  DpiScale scale_{kBaseDpi};
  CaptionFocus* captions_ = nullptr;
  LauncherPorts* ports_ = nullptr;
  AccessiblePicture accessible_{*this};
};

} // namespace fablewick::win32

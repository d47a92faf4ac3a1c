#pragma once

#include "app/dpi_scale.h"
#include "app/form_events.h"
#include "app/win32/click_tracker.h"
#include "app/win32/control.h"
#include "app/win32/gdi.h"

namespace fablewick::win32 {

// The picture control (layout class TImage). It owns the picture it shows:
// Assign copies a bitmap into it, DrawOverlay draws onto that copy only, and
// the change shows at the next paint. The picture is drawn at the top left,
// unscaled, unless SetStretch asks for it to fill the control. A press of the primary button captures the mouse until it is
// released, so the moves and the release reach the handlers outside the
// control too, with coordinates that may be negative. Events: OnMouseDown,
// OnMouseMove, OnMouseUp, OnClick.
class PictureControl : public WindowedControl {
public:
  PictureControl(ControlOwner& owner, std::string name);

  void Assign(HBITMAP source);
  void DrawOverlay(HBITMAP source, int x, int y);
  // From now on the picture fills the whole control, pixel exact or smooth;
  // overlays still go onto the picture in its own pixels.
  void SetStretch(PictureDrawing drawing);
  // The displayed picture; it stays owned by the control.
  HBITMAP Picture() const { return picture_.get(); }
  int PictureWidth() const { return pictureWidth_; }
  int PictureHeight() const { return pictureHeight_; }

  MouseEvent OnMouseDown;
  MouseMoveEvent OnMouseMove;
  MouseEvent OnMouseUp;
  NotifyEvent OnClick;

  bool ApplyProperty(const LayoutProperty& property, LayoutBinder& binder) override;

protected:
  bool ControlMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
  void Paint();

  UniqueBitmap picture_;
  int pictureWidth_ = 0, pictureHeight_ = 0;
  bool stretch_ = false;
  PictureDrawing drawing_ = PictureDrawing::PixelExact;
  ClickTracker click_;
};

} // namespace fablewick::win32

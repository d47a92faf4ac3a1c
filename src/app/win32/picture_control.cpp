#include "app/win32/picture_control.h"

#include "app/app_error.h"
#include "app/startup_trace.h"
#include "app/win32/layout_binder.h"
#include "app/win32/mouse_input.h"

namespace fablewick::win32 {

PictureControl::PictureControl(ControlOwner& owner, std::string name) : WindowedControl(owner, std::move(name)) {}

void PictureControl::Assign(HBITMAP source) {
  BITMAP info{};
  if (!source || !GetObjectA(source, sizeof info, &info)) {
    picture_.reset();
    pictureWidth_ = pictureHeight_ = 0;
  } else {
    WindowDC screen(nullptr);
    UniqueBitmap copy(CreateCompatibleBitmap(screen.Get(), info.bmWidth, info.bmHeight));
    if (!copy) throw AppError("Out of system resources");
    {
      MemoryDC from(source);
      MemoryDC to(copy.get());
      BitBlt(to.Get(), 0, 0, info.bmWidth, info.bmHeight, from.Get(), 0, 0, SRCCOPY);
    }
    picture_ = std::move(copy);
    pictureWidth_ = info.bmWidth;
    pictureHeight_ = info.bmHeight;
  }
  if (Handle()) InvalidateRect(Handle(), nullptr, FALSE);
}

void PictureControl::DrawOverlay(HBITMAP source, int x, int y) {
  BITMAP info{};
  if (!picture_ || !source || !GetObjectA(source, sizeof info, &info)) return;
  {
    MemoryDC from(source);
    MemoryDC to(picture_.get());
    BitBlt(to.Get(), x, y, info.bmWidth, info.bmHeight, from.Get(), 0, 0, SRCCOPY);
  }
  if (Handle()) InvalidateRect(Handle(), nullptr, FALSE);
}

void PictureControl::SetStretch(PictureDrawing drawing) {
  stretch_ = true;
  drawing_ = drawing;
  if (Handle()) InvalidateRect(Handle(), nullptr, FALSE);
}

bool PictureControl::ApplyProperty(const LayoutProperty& property, LayoutBinder& binder) {
  const std::string& name = property.name;
  if (name == "OnMouseDown") OnMouseDown = binder.MouseHandler(property);
  else if (name == "OnMouseMove") OnMouseMove = binder.MouseMoveHandler(property);
  else if (name == "OnMouseUp") OnMouseUp = binder.MouseHandler(property);
  else if (name == "OnClick") OnClick = binder.NotifyHandler(property);
  else if (name == "AutoSize" || name == "Center" || name == "Stretch") {
    // The picture is always drawn unscaled at the top left.
    if (property.AsBool()) ThrowLayoutError(property.source, property.line, name + " is not supported");
  } else {
    return Control::ApplyProperty(property, binder);
  }
  return true;
}

void PictureControl::Paint() {
  PaintScope paint(Handle());
  const HDC dc = paint.Dc();
  if (picture_ && stretch_) {
    MemoryDC from(picture_.get());
    // COLORONCOLOR repeats whole pixels; HALFTONE filters, and needs the
    // brush origin set again after the mode change.
    SetStretchBltMode(dc, drawing_ == PictureDrawing::Smooth ? HALFTONE : COLORONCOLOR);
    if (drawing_ == PictureDrawing::Smooth) SetBrushOrgEx(dc, 0, 0, nullptr);
    StretchBlt(dc, 0, 0, Width(), Height(), from.Get(), 0, 0, pictureWidth_, pictureHeight_, SRCCOPY);
    ExcludeClipRect(dc, 0, 0, Width(), Height());
  } else if (picture_) {
    MemoryDC from(picture_.get());
    BitBlt(dc, 0, 0, pictureWidth_, pictureHeight_, from.Get(), 0, 0, SRCCOPY);
    ExcludeClipRect(dc, 0, 0, pictureWidth_, pictureHeight_);
  }
  FillWithColor(dc, paint.Client(), Owner().Color());
}

bool PictureControl::ControlMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  const bool click = click_.Observe(Handle(), message, lParam);
  switch (message) {
  case WM_ERASEBKGND:
    result = 1;
    return true;
  case WM_PAINT:
    Paint();
    FABLEWICK_STARTUP_MARK("picture painted");
    result = 0;
    return true;
  case WM_LBUTTONDOWN:
  case WM_RBUTTONDOWN:
  case WM_MBUTTONDOWN: {
    MouseButton button = ButtonOf(message);
    if (OnMouseDown) OnMouseDown(button, ShiftFromKeys(wParam), MouseX(lParam), MouseY(lParam));
    result = 0;
    return true;
  }
  case WM_LBUTTONUP:
  case WM_RBUTTONUP:
  case WM_MBUTTONUP: {
    MouseButton button = ButtonOf(message);
    if (click && OnClick) OnClick();
    if (OnMouseUp) OnMouseUp(button, ShiftFromKeys(wParam), MouseX(lParam), MouseY(lParam));
    result = 0;
    return true;
  }
  case WM_MOUSEMOVE:
    if (OnMouseMove) OnMouseMove(ShiftFromKeys(wParam), MouseX(lParam), MouseY(lParam));
    result = 0;
    return true;
  default:
    return false;
  }
}

} // namespace fablewick::win32

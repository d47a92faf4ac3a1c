#pragma once

#include "app/dpi_scale.h"
#include "app/win32/component.h"
#include "app/form_events.h"
#include "app/form_host.h"
#include "app/win32/gdi.h"

#include <windows.h>

#include <cstdint>
#include <string>

namespace fablewick::win32 {

// What a control needs of the form it sits on.
class ControlOwner {
public:
  virtual HWND Handle() const = 0;
  // The colour a control paints where it has nothing of its own to show.
  virtual std::uint32_t Color() const = 0;
  // Where errors escaping the control's handlers are reported.
  virtual FormHost& ErrorHost() const = 0;

protected:
  ~ControlOwner() = default;
};

// A press of the primary button and its release inside the same window make
// a click. The window holds the mouse in between, so the release comes back
// to it wherever the pointer is.
class ClickTracker {
public:
  void Press(HWND window);
  // Ends the press; true when it completes a click at the released point.
  bool Release(HWND window, LPARAM point);
  void CaptureLost() { pending_ = false; }

private:
  bool pending_ = false;
};

// A control placed on a form: position and size in the form's client
// coordinates, visibility and tab order. Layout properties: Left, Top,
// Width, Height, Visible, TabOrder.
class Control : public Component {
public:
  Control(ControlOwner& owner, std::string name);

  ControlOwner& Owner() const { return owner_; }
  // The control's own window, or null for a control without one.
  virtual HWND Handle() const { return nullptr; }

  void SetBounds(int left, int top, int width, int height);
  void SetSize(int width, int height) { SetBounds(left_, top_, width, height); }
  void SetLeft(int left) { SetBounds(left, top_, width_, height_); }
  void SetTop(int top) { SetBounds(left_, top, width_, height_); }
  void SetWidth(int width) { SetBounds(left_, top_, width, height_); }
  void SetHeight(int height) { SetBounds(left_, top_, width_, height); }
  int Left() const { return left_; }
  int Top() const { return top_; }
  int Width() const { return width_; }
  int Height() const { return height_; }

  bool Visible() const { return visible_; }
  void SetVisible(bool visible);
  void Show() { SetVisible(true); }
  void Hide() { SetVisible(false); }

  int TabOrder() const { return tabOrder_; }

  bool ApplyProperty(const LayoutProperty& property, LayoutBinder& binder) override;

protected:
  virtual void BoundsChanged() {}
  virtual void VisibleChanged() {}

private:
  ControlOwner& owner_;
  int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
  bool visible_ = true;
  int tabOrder_ = -1;
};

// A control with a child window of the form. Messages to it run inside the
// frame's error guard, like the form's own.
class WindowedControl : public Control {
public:
  WindowedControl(ControlOwner& owner, std::string name);
  ~WindowedControl() override;
  HWND Handle() const override { return window_; }

protected:
  // Returns true when the message is handled and `result` set.
  virtual bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
  void BoundsChanged() override;
  void VisibleChanged() override;

private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  HWND window_ = nullptr;
};

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
  bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
  UniqueBitmap picture_;
  int pictureWidth_ = 0, pictureHeight_ = 0;
  bool stretch_ = false;
  PictureDrawing drawing_ = PictureDrawing::PixelExact;
  ClickTracker click_;
};

// A plain coloured panel (layout class TPanel) without bevel or caption; a
// press and release of the primary button on it is a click (OnClick). The
// movie player draws into its window.
class Panel : public WindowedControl {
public:
  Panel(ControlOwner& owner, std::string name);

  std::uint32_t Color() const { return color_; }
  void SetColor(std::uint32_t color);

  NotifyEvent OnClick;

  bool ApplyProperty(const LayoutProperty& property, LayoutBinder& binder) override;

protected:
  bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
  std::uint32_t color_ = SystemColorFlag | COLOR_BTNFACE;
  ClickTracker click_;
};

// The media player's layout-facing part (layout class TMediaPlayer): device
// type, display control and the notify event. It plays nothing itself; a
// form class supplies the real player through its factory for
// "TMediaPlayer", usually a class derived from this one.
class MediaPlayerControl : public Control {
public:
  MediaPlayerControl(ControlOwner& owner, std::string name);

  const std::string& DeviceType() const { return deviceType_; }
  Control* Display() const { return display_; }

  NotifyEvent OnNotify;
  // Runs OnNotify, if bound.
  void DoNotify();

  bool ApplyProperty(const LayoutProperty& property, LayoutBinder& binder) override;

private:
  std::string deviceType_ = "dtAutoSelect";
  Control* display_ = nullptr;
};

} // namespace fablewick::win32

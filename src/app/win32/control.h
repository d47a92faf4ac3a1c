#pragma once

#include "app/form_host.h"
#include "app/win32/base_window.h"
#include "app/win32/component.h"

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
class WindowedControl : public Control, protected BaseWindow {
public:
  WindowedControl(ControlOwner& owner, std::string name);
  HWND Handle() const override { return Window(); }

protected:
  // Returns true when the message is handled and `result` set.
  virtual bool ControlMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  FormHost* ReportingHost() override { return &Owner().ErrorHost(); }
  void BoundsChanged() override;
  void VisibleChanged() override;
};

} // namespace fablewick::win32

#include "app/win32/control.h"

#include "app/app_error.h"
#include "app/win32/layout_binder.h"

namespace fablewick::win32 {

namespace {

constexpr char ControlClassName[] = "FablewickControl";

} // namespace

Control::Control(ControlOwner& owner, std::string name) : Component(std::move(name)), owner_(owner) {}

void Control::SetBounds(int left, int top, int width, int height) {
  left_ = left;
  top_ = top;
  width_ = width < 0 ? 0 : width;
  height_ = height < 0 ? 0 : height;
  BoundsChanged();
}

void Control::SetVisible(bool visible) {
  if (visible_ == visible) return;
  visible_ = visible;
  VisibleChanged();
}

bool Control::ApplyProperty(const LayoutProperty& property, LayoutBinder&) {
  const std::string& name = property.name;
  if (name == "Left") SetLeft(property.AsInt());
  else if (name == "Top") SetTop(property.AsInt());
  else if (name == "Width") SetWidth(property.AsInt());
  else if (name == "Height") SetHeight(property.AsInt());
  else if (name == "Visible") SetVisible(property.AsBool());
  else if (name == "TabOrder") tabOrder_ = property.AsInt();
  else return false;
  return true;
}

// ---------------------------------------------------------------------------

WindowedControl::WindowedControl(ControlOwner& owner, std::string name) : Control(owner, std::move(name)) {
  CreateWindowFor({.className = ControlClassName,
                   .style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS,
                   .parent = owner.Handle()},
                  "the window of control " + Name());
}

bool WindowedControl::ControlMessage(UINT, WPARAM, LPARAM, LRESULT&) { return false; }

LRESULT WindowedControl::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  LRESULT result = 0;
  if (ControlMessage(message, wParam, lParam, result)) return result;
  return Default(message, wParam, lParam);
}

void WindowedControl::BoundsChanged() {
  if (Window()) MoveWindow(Window(), Left(), Top(), Width(), Height(), TRUE);
}

void WindowedControl::VisibleChanged() {
  if (Window()) ShowWindow(Window(), Visible() ? SW_SHOWNA : SW_HIDE);
}

} // namespace fablewick::win32

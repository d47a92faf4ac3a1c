#include "app/win32/panel.h"

#include "app/win32/gdi.h"
#include "app/win32/layout_binder.h"
#include "app/win32/mouse_input.h"

namespace fablewick::win32 {

Panel::Panel(ControlOwner& owner, std::string name) : WindowedControl(owner, std::move(name)) {}

void Panel::SetColor(std::uint32_t color) {
  color_ = color;
  if (Handle()) InvalidateRect(Handle(), nullptr, TRUE);
}

bool Panel::ApplyProperty(const LayoutProperty& property, LayoutBinder& binder) {
  const std::string& name = property.name;
  if (name == "OnClick") {
    OnClick = binder.NotifyHandler(property);
  } else if (name == "BevelOuter" || name == "BevelInner") {
    if (property.AsIdentifier() != "bvNone") {
      ThrowLayoutError(property.source, property.line, "only bvNone is supported for " + name);
    }
  } else if (name == "Color") {
    SetColor(property.AsColor());
  } else {
    return Control::ApplyProperty(property, binder);
  }
  return true;
}

bool Panel::ControlMessage(UINT message, WPARAM, LPARAM lParam, LRESULT& result) {
  if (click_.Observe(Handle(), message, lParam) && OnClick) OnClick();
  switch (message) {
  case WM_ERASEBKGND:
    result = 1;
    return true;
  case WM_PAINT: {
    PaintScope paint(Handle());
    FillWithColor(paint.Dc(), paint.Client(), color_);
    result = 0;
    return true;
  }
  case WM_LBUTTONDOWN:
  case WM_LBUTTONUP:
    result = 0;
    return true;
  default:
    return false;
  }
}

} // namespace fablewick::win32

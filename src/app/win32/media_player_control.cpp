#include "app/win32/media_player_control.h"

#include "app/win32/layout_binder.h"

namespace fablewick::win32 {

MediaPlayerControl::MediaPlayerControl(ControlOwner& owner, std::string name) : Control(owner, std::move(name)) {}

void MediaPlayerControl::DoNotify() {
  if (OnNotify) OnNotify();
}

bool MediaPlayerControl::ApplyProperty(const LayoutProperty& property, LayoutBinder& binder) {
  const std::string& name = property.name;
  if (name == "DeviceType") {
    deviceType_ = property.AsIdentifier();
  } else if (name == "Display") {
    display_ = dynamic_cast<Control*>(&binder.ComponentNamed(property));
    if (!display_) ThrowLayoutError(property.source, property.line, property.value.text + " is not a control");
  } else if (name == "OnNotify") {
    OnNotify = binder.NotifyHandler(property);
  } else {
    return Control::ApplyProperty(property, binder);
  }
  return true;
}

} // namespace fablewick::win32

#pragma once

#include "app/form_events.h"
#include "app/win32/control.h"

#include <string>

namespace fablewick::win32 {

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

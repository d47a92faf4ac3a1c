#pragma once

#include "app/error_box_place.h"

namespace fablewick::win32 {

// The monitors through MonitorFromWindow and GetMonitorInfo.
class Win32Monitors : public Monitors {
public:
  MonitorId MonitorOf(WindowHandle window) override;
  std::optional<Rect> WorkArea(MonitorId monitor) override;
};

} // namespace fablewick::win32

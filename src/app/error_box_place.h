#pragma once

#include "app/window_types.h"

#include <cstdint>
#include <optional>

namespace fablewick {

using MonitorId = std::uintptr_t;

// The monitors as the error box needs them.
class Monitors {
public:
  virtual ~Monitors() = default;
  // The monitor a window lies on (the nearest one when it lies on none).
  virtual MonitorId MonitorOf(WindowHandle window) = 0;
  // Its work area, or nothing when it cannot be read.
  virtual std::optional<Rect> WorkArea(MonitorId monitor) = 0;
};

struct Point {
  std::int32_t x = 0;
  std::int32_t y = 0;
  friend bool operator==(const Point&, const Point&) = default;
};

// The error box comes up on its owner's monitor. When the active window
// lies on another monitor, the owner moves for the time being to the centre
// of that monitor's work area, so the box appears where the user looks.
// Nothing: the owner stays where it is.
std::optional<Point> ErrorBoxOwnerPlace(Monitors& monitors, WindowHandle active, WindowHandle owner);

} // namespace fablewick

#include "app/dialog_place.h"

namespace fablewick {

std::optional<Rect> DialogArea(Monitors& monitors, WindowHandle belongsTo) {
  if (belongsTo == 0) return std::nullopt;
  return monitors.WorkArea(monitors.MonitorOf(belongsTo));
}

Point CentredIn(const Rect& area, std::int32_t width, std::int32_t height) {
  return Point{area.left + (area.right - area.left - width) / 2, area.top + (area.bottom - area.top - height) / 2};
}

} // namespace fablewick

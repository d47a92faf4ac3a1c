#include "app/error_box_place.h"

namespace fablewick {

std::optional<Point> ErrorBoxOwnerPlace(Monitors& monitors, WindowHandle active, WindowHandle owner) {
  if (active == 0 || owner == 0) return std::nullopt;
  const MonitorId activeMonitor = monitors.MonitorOf(active);
  if (activeMonitor == monitors.MonitorOf(owner)) return std::nullopt;
  const std::optional<Rect> work = monitors.WorkArea(activeMonitor);
  if (!work) return std::nullopt;
  return Point{(work->left + work->right) / 2, (work->top + work->bottom) / 2};
}

} // namespace fablewick

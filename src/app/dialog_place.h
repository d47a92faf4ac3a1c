#pragma once

#include "app/error_box_place.h"

#include <optional>

namespace fablewick {

// The area a dialog is centred in: the work area of the monitor of the
// window it belongs to, so it comes up where the user is looking. Nothing
// when there is no such window yet or its monitor cannot be read; the
// dialog is then centred on the primary screen.
std::optional<Rect> DialogArea(Monitors& monitors, WindowHandle belongsTo);

// The top-left corner that centres a box of this size in the area; a box
// larger than the area overhangs it evenly on both sides.
Point CentredIn(const Rect& area, std::int32_t width, std::int32_t height);

} // namespace fablewick

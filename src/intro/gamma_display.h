#pragma once

#include "intro/screen_types.h"

#include <array>
#include <cstdint>

namespace fablewick {

// Red table, then green, then blue: the layout the display driver uses.
using GammaRamp = std::array<std::uint16_t, 3 * 256>;

// The hardware gamma ramp of the display behind a window's device context.
class GammaDisplay {
public:
  virtual ~GammaDisplay() = default;
  virtual WindowHandle DesktopWindow() = 0;
  // False when the display has no readable ramp; `ramp` is then unspecified.
  virtual bool ReadRamp(WindowHandle window, GammaRamp& ramp) = 0;
  // False when the driver refuses the ramp.
  virtual bool WriteRamp(WindowHandle window, const GammaRamp& ramp) = 0;
};

} // namespace fablewick

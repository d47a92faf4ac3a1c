#pragma once

#include "intro/gamma_display.h"

namespace fablewick::win32 {

// The ramp of the display behind a window's device context. Every call takes
// and releases its own DC, so nothing is held between fade steps.
class GdiGammaDisplay : public GammaDisplay {
public:
  WindowHandle DesktopWindow() override;
  bool ReadRamp(WindowHandle window, GammaRamp& ramp) override;
  bool WriteRamp(WindowHandle window, const GammaRamp& ramp) override;
};

} // namespace fablewick::win32

#pragma once

#include "launcher/hot_region.h"
#include "launcher/launcher_ports.h"
#include "resources/resource.h"

namespace fablewick {

// Shared by the three mouse handlers of the launcher window; one per process.
struct HoverState {
  // The region of the last pointer event that got past the no-change test.
  int lastRegion = kNoRegion;
  // The primary button state that event saw.
  bool lastButtonDown = false;
  // The region on which the primary button went down.
  int armedRegion = kNoRegion;
};

inline constexpr int kClickSound = IDW_CLICK;

// A move or a press over Background. primaryButtonDown is the primary
// button's state as it stood when this event happened, whichever button the
// event itself is about.
void PointerStep(HoverState& state, CaptionDisplay& host, int x, int y, bool primaryButtonDown);

} // namespace fablewick

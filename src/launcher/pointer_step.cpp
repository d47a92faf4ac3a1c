#include "launcher/pointer_step.h"

namespace fablewick {

void PointerStep(HoverState& state, CaptionDisplay& host, int x, int y, bool primaryButtonDown) {
  const int hit = HitTest(x, y);

  if (primaryButtonDown != state.lastButtonDown) {
    state.armedRegion = primaryButtonDown ? hit : kNoRegion;
  }
  if (hit == state.lastRegion && primaryButtonDown == state.lastButtonDown) return;

  if (hit == kNoRegion && (state.armedRegion == kNoRegion || !primaryButtonDown)) {
    host.ShowBasePicture();
  } else if (hit != kNoRegion && !primaryButtonDown) {
    host.PlaySoundResource(kClickSound);
    host.ShowHoverPicture(hit);
  } else if (state.armedRegion != hit) {
    // Dragged off the pressed caption, or pressed outside every caption: the
    // armed caption stays lit but not pressed.
    if (state.armedRegion == kNoRegion) {
      host.ShowBasePicture();
    } else {
      host.ShowHoverPicture(state.armedRegion);
    }
  } else {
    const HotRegion& region = kHotRegions[hit];
    host.PlaySoundResource(kClickSound);
    host.DrawPressedOverlay(hit, region.left, region.top);
  }

  state.lastRegion = hit;
  state.lastButtonDown = primaryButtonDown;
}

} // namespace fablewick

#include "launcher/caption_access.h"

#include <array>

namespace fablewick {

namespace {

constexpr std::array<std::string_view, kHotRegionCount> kCaptionNames{"Trillick", "Barrowby", "Caddle",
                                                                        "Pimmet", "Quit"};

bool IsCaption(int region) { return region >= 0 && region < kHotRegionCount; }

} // namespace

// The names view string literals, which outlive every caller.
// cppcheck-suppress returnDanglingLifetime
std::string_view CaptionName(int region) { return IsCaption(region) ? kCaptionNames[region] : ""; }

CaptionStates CaptionState(const CaptionFocus& focus, int region) {
  CaptionStates states;
  states.focused = region == focus.Focused();
  states.hotTracked = region == focus.Lit();
  states.pressed = states.hotTracked && focus.LitPressed();
  return states;
}

PictureRect CaptionBounds(int region) {
  const HotRegion& r = kHotRegions[region];
  return {r.left, r.top, r.right, r.bottom};
}

int NavigateCaptions(int from, CaptionDirection direction) {
  if (from == kNoRegion) {
    if (direction == CaptionDirection::FirstChild) return 0;
    if (direction == CaptionDirection::LastChild) return kHotRegionCount - 1;
    return kNoRegion;
  }
  if (!IsCaption(from)) return kNoRegion;
  int to = kNoRegion;
  switch (direction) {
  case CaptionDirection::Next:
  case CaptionDirection::Down: to = from + 1; break;
  case CaptionDirection::Previous:
  case CaptionDirection::Up: to = from - 1; break;
  default: break;
  }
  return IsCaption(to) ? to : kNoRegion;
}

} // namespace fablewick

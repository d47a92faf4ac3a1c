#pragma once

#include "intro/screen_types.h"

#include <cstddef>
#include <cstdint>

namespace fablewick {

// Where the panel showing a movie goes in the intro window's client area.
struct MoviePlace {
  std::int32_t left = 0, top = 0, width = 0, height = 0;
};

// The movie's own frame scaled by the window's DPI over 96, as Windows would
// scale the movie of a program that left scaling to it; made smaller, aspect
// kept, where that would not fit the client area, but never smaller than the
// frame itself (a movie larger than the screen at 96 DPI is centred and
// clipped, not shrunk). Centred with truncating division.
MoviePlace PlaceMovie(std::int32_t movieWidth, std::int32_t movieHeight, std::int32_t dpi,
                      std::int32_t clientWidth, std::int32_t clientHeight);

// What was learnt of a movie's video format before opening it.
enum class DecoderCheck {
  // The header could not be read the way it was expected to be.
  Unreadable,
  // Stored uncompressed (or in a form every system draws itself).
  NoneNeeded,
  Found,
  Missing,
};

// A movie whose decoder is missing would play as a box saying so for its
// whole length: it is skipped like a missing file. A header that cannot be
// read is left to the movie device to judge, as before: refusing a movie
// the device could play would cost the user the intro for nothing.
bool WorthOpening(DecoderCheck check);

// Whether the display's gamma ramp may carry the fade. The ramp of the
// desktop's device is the primary monitor's alone: with more monitors the
// others would stay lit, then jump at the close, so the overlay, which
// spans every monitor, carries the whole fade. A monitor in HDR may take a
// ramp without error and show none of it, so it gets the overlay too.
bool RampCarriesFade(std::size_t monitors, bool anyMonitorInHdr);

} // namespace fablewick

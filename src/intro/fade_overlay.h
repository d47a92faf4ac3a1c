#pragma once

#include <cstdint>

namespace fablewick {

// A black window over every monitor, above every other window, that lets
// every click through: what darkens the screen where the display will not
// take a darker gamma ramp. It belongs to the process, so it goes when the
// process does.
class FadeOverlay {
public:
  virtual ~FadeOverlay() = default;
  // Puts the overlay up, or keeps it up, at `opacity` (255 is black). False
  // when it cannot be made or set; the screen then shows through.
  virtual bool Show(std::uint8_t opacity) = 0;
  // Takes it down altogether, so nothing of it stays over other windows.
  virtual void Hide() = 0;
};

} // namespace fablewick

#pragma once

#include <cstdint>

namespace fablewick {

// A platform window handle carried through the core without interpretation.
// Zero means "no window".
using WindowHandle = std::uintptr_t;

// Laid out like a Win32 RECT so adapters can pass it straight through.
struct Rect {
  std::int32_t left = 0;
  std::int32_t top = 0;
  std::int32_t right = 0;
  std::int32_t bottom = 0;

  friend bool operator==(const Rect&, const Rect&) = default;
};

} // namespace fablewick

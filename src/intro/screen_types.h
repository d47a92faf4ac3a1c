#pragma once

#include "app/window_types.h"

#include <cstdint>

namespace fablewick {

struct ScreenSize {
  std::int32_t width = 0;
  std::int32_t height = 0;
};

} // namespace fablewick

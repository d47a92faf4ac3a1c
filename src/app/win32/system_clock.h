#pragma once

#include "app/clock.h"

namespace fablewick::win32 {

// GetTickCount and Sleep: the clock every wait of the program polls.
class SystemClock : public Clock {
public:
  std::uint32_t Ticks() override;
  void Sleep(std::uint32_t milliseconds) override;
};

} // namespace fablewick::win32

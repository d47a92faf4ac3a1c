#pragma once

#include <cstdint>

namespace fablewick {

// Calls SoundTimerTick on the engine's own thread, once a period, from
// Start until Stop. Starting a running timer only changes its period.
class SoundTimer {
public:
  virtual ~SoundTimer() = default;
  virtual void Start(std::uint32_t periodMs) = 0;
  virtual void Stop() = 0;
};

} // namespace fablewick

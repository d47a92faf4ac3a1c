#pragma once

#include <cstdint>

namespace fablewick {

// The system's millisecond tick count and the thread's sleep. Every wait in
// the program is a poll over these two, so tests can run the waits in
// microseconds with a clock whose Sleep only moves time on.
class Clock {
public:
  virtual ~Clock() = default;
  // Milliseconds since some start; wraps around after about 49.7 days, so
  // callers compare two readings by their signed 32-bit difference.
  virtual std::uint32_t Ticks() = 0;
  virtual void Sleep(std::uint32_t milliseconds) = 0;
};

// Whether the tick count `now` has reached `deadline`, by their signed
// difference, so a count that wrapped in between still compares right.
inline bool TickReached(std::uint32_t now, std::uint32_t deadline) {
  return static_cast<std::int32_t>(now - deadline) >= 0;
}

} // namespace fablewick

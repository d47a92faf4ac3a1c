#pragma once

#include "app/clock.h"

#include <cstdint>
#include <functional>
#include <vector>

namespace fablewick::fakes {

// A clock whose Sleep only moves time on. Tests read back every sleep, and
// may hook each one to end sounds whose play time has run out.
class FakeClock : public Clock {
public:
  explicit FakeClock(std::uint32_t start = 1000) : now_(start) {}

  std::uint32_t Ticks() override { return now_; }
  void Sleep(std::uint32_t milliseconds) override {
    sleeps.push_back(milliseconds);
    now_ += milliseconds;
    if (onSleep) onSleep(now_);
  }

  void Advance(std::uint32_t milliseconds) { now_ += milliseconds; }
  std::uint32_t SleptInAll() const {
    std::uint32_t total = 0;
    for (auto s : sleeps) total += s;
    return total;
  }

  std::vector<std::uint32_t> sleeps;
  std::function<void(std::uint32_t now)> onSleep;

private:
  std::uint32_t now_;
};

} // namespace fablewick::fakes

#pragma once

#include "app/clock.h"

#include <cstdint>

namespace fablewick {

// What a start sees of other launchers in the same user session. The name
// is held from the claim until the message loop ends.
class InstanceRegistry {
public:
  enum class Claim {
    // This start holds the name now.
    Claimed,
    // Another launcher holds it.
    HeldElsewhere,
    // The name could not be made at all.
    Unavailable,
  };

  virtual ~InstanceRegistry() = default;
  virtual Claim ClaimName() = 0;
  // One attempt at showing the running launcher to the user: its visible
  // window (restored if minimised) brought to the front. False when it has
  // no window to show yet or does not answer.
  virtual bool BringRunningToFront() = 0;
};

enum class StartDecision { Run, LeaveToRunning };

// A launcher that has just started may not have its window yet, and one
// caught in a long wait answers late; past this the running one is taken
// for stale and the new start goes on.
inline constexpr std::uint32_t kBringToFrontPatienceMs = 2000;
inline constexpr std::uint32_t kBringToFrontRetryMs = 100;

// Decides at the very start whether this start runs, or hands over to a
// launcher that already runs, so that a double-click on the shortcut never
// makes two windows and two tunes.
StartDecision DecideStart(InstanceRegistry& instances, Clock& clock);

} // namespace fablewick

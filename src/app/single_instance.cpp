#include "app/single_instance.h"

namespace fablewick {

StartDecision DecideStart(InstanceRegistry& instances, Clock& clock) {
  // Without the name there is no way to tell, and refusing to start would
  // be worse than a second window.
  if (instances.ClaimName() != InstanceRegistry::Claim::HeldElsewhere) return StartDecision::Run;
  const std::uint32_t start = clock.Ticks();
  for (;;) {
    if (instances.BringRunningToFront()) return StartDecision::LeaveToRunning;
    const auto waited = static_cast<std::int32_t>(clock.Ticks() - start);
    if (waited >= static_cast<std::int32_t>(kBringToFrontPatienceMs)) return StartDecision::Run;
    clock.Sleep(kBringToFrontRetryMs);
  }
}

} // namespace fablewick

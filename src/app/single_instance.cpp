#include "app/single_instance.h"

namespace fablewick {

namespace {

// One attempt at the hand-over: false while the running launcher has not
// published itself, has no window yet, or does not answer.
bool HandOverOnce(InstanceRegistry& instances) {
  const std::uint32_t processId = instances.RunningProcessId();
  if (processId == 0) return false;
  const std::vector<ProcessWindow> windows = instances.ApplicationWindows();
  const std::optional<ProcessWindow> running = FindRunningLauncher(windows, processId);
  return running && instances.AskToComeForward(*running);
}

} // namespace

InstanceRegistry::Claim ClaimFor(NameOutcome outcome) {
  switch (outcome) {
  case NameOutcome::Created:
    return InstanceRegistry::Claim::Claimed;
  // A launcher this start may not even open is still a launcher that runs.
  case NameOutcome::OpenedExisting:
  case NameOutcome::AccessDenied:
    return InstanceRegistry::Claim::HeldElsewhere;
  case NameOutcome::Failed:
    break;
  }
  return InstanceRegistry::Claim::Unavailable;
}

std::optional<ProcessWindow> FindRunningLauncher(std::span<const ProcessWindow> windows,
                                                 std::uint32_t processId) {
  for (const ProcessWindow& window : windows) {
    if (processId != 0 && window.processId == processId) return window;
  }
  return std::nullopt;
}

std::optional<std::uintptr_t> WindowToActivate(std::span<const OwnWindow> topmostFirst) {
  for (const OwnWindow& window : topmostFirst) {
    if (window.visible && window.enabled && window.takesActivation && !window.carriesTaskbarButton) {
      return window.handle;
    }
  }
  return std::nullopt;
}

StartDecision DecideStart(InstanceRegistry& instances, Clock& clock) {
  // Without the name there is no way to tell, and refusing to start would
  // be worse than a second window.
  if (instances.ClaimName() != InstanceRegistry::Claim::HeldElsewhere) return StartDecision::Run;
  const std::uint32_t start = clock.Ticks();
  for (;;) {
    if (HandOverOnce(instances)) return StartDecision::LeaveToRunning;
    const auto waited = static_cast<std::int32_t>(clock.Ticks() - start);
    if (waited >= static_cast<std::int32_t>(kBringToFrontPatienceMs)) return StartDecision::Run;
    clock.Sleep(kBringToFrontRetryMs);
  }
}

} // namespace fablewick

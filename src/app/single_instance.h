#pragma once

#include "app/clock.h"

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace fablewick {

// How making the session's name went, as the system reported it.
enum class NameOutcome {
  // No one had it; this start made it.
  Created,
  // It existed and this start opened it.
  OpenedExisting,
  // It exists, but was made by a launcher this start may not open: one that
  // runs elevated, while this start does not.
  AccessDenied,
  // It could not be made (something else of another kind holds the name).
  Failed,
};

// A top-level window of any program, with the process it belongs to. The
// handle is an HWND on Windows.
struct ProcessWindow {
  std::uintptr_t handle = 0;
  std::uint32_t processId = 0;
};

// One of the running launcher's own top-level windows, in the order the
// screen stacks them.
struct OwnWindow {
  std::uintptr_t handle = 0;
  bool visible = false;
  bool enabled = false;
  // The zero-size window that only carries the taskbar button.
  bool carriesTaskbarButton = false;
  // False for the black covers of other monitors and the fade's overlay,
  // which stack above the intro but must never hold the foreground.
  bool takesActivation = true;
};

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
  // The process id that the launcher holding the name published; 0 while it
  // has published none.
  virtual std::uint32_t RunningProcessId() = 0;
  // The top-level windows of the launcher's application-window class, of
  // whichever program made them.
  virtual std::vector<ProcessWindow> ApplicationWindows() = 0;
  // Lets the window's process take the foreground and asks it to come
  // forward itself. True when it answered that it has.
  virtual bool AskToComeForward(const ProcessWindow& window) = 0;
};

enum class StartDecision { Run, LeaveToRunning };

// A launcher that has just started may not have its window yet, and one
// caught in a long wait answers late; past this the running one is taken
// for stale and the new start goes on.
inline constexpr std::uint32_t kBringToFrontPatienceMs = 2000;
inline constexpr std::uint32_t kBringToFrontRetryMs = 100;

InstanceRegistry::Claim ClaimFor(NameOutcome outcome);

// The running launcher's window among windows of its class: the one its
// own process made. Another program's window of the same class is passed by.
std::optional<ProcessWindow> FindRunningLauncher(std::span<const ProcessWindow> windows,
                                                 std::uint32_t processId);

// The window a launcher asked to come forward activates: its topmost one
// that takes input and activation (the intro while it plays, a message
// dialog while one is up, else the launcher). None while nothing of it shows.
std::optional<std::uintptr_t> WindowToActivate(std::span<const OwnWindow> topmostFirst);

// Decides at the very start whether this start runs, or hands over to a
// launcher that already runs, so that a double-click on the shortcut never
// makes two windows and two tunes.
StartDecision DecideStart(InstanceRegistry& instances, Clock& clock);

} // namespace fablewick

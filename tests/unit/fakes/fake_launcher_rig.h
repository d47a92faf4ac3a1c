#pragma once

#include "launcher/launcher_ports.h"
#include "fakes/fake_clock.h"
#include "fakes/fake_launcher_host.h"
#include "fakes/fake_messages.h"
#include "fakes/fake_registry.h"
#include "fakes/fake_shell.h"

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace fablewick::fakes {

// Every port the launcher's policy uses, wired to fakes that write into one
// event log; message dialogs appear there as "message: <text>".
struct FakeLauncherRig {
  explicit FakeLauncherRig(std::uint32_t startTicks = 1000) : clock(startTicks) {
    messages.onShow = [this](const std::string& text) { events.push_back("message: " + text); };
    // A wait that never ends would hang the run; fail it instead.
    clock.onSleep = [this](std::uint32_t) {
      if (clock.sleeps.size() > 100000) throw std::runtime_error("a wait that never ends");
    };
  }

  std::vector<std::string> events;
  FakeClock clock;
  FakeLauncherHost host{clock, events};
  FakeShell shell{events};
  FakeRegistry registry;
  FakeMessages messages;
  LauncherPorts ports{host, shell, registry, messages, clock};
};

} // namespace fablewick::fakes

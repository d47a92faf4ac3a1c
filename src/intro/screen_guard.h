#pragma once

#include "intro/desktop.h"
#include "intro/gamma_display.h"
#include "intro/gamma_fade.h"
#include "intro/screen_takeover.h"
#include "intro/screen_types.h"

#include <cstddef>
#include <optional>
#include <span>

namespace fablewick {

// A second process, the guard, watches the launcher while the intro holds the
// screen. The launcher keeps what it has taken in a block of memory it shares
// with the guard; if the launcher ends while something is still taken, the
// guard reads the block and gives it back by the launcher's own rules.

struct GuardRecord {
  // The desktop pointer is meaningless in another process and never stored.
  ScreenTakeover taken;
  WindowHandle gammaWindow = 0;
  bool hasRamp = false;
  GammaRamp savedRamp{};
};

// Two copies, written in turn, so that a launcher killed half-way through a
// write leaves the previous, whole one for the guard.
constexpr std::size_t GuardSlotSize = 1648;
constexpr std::size_t GuardAreaSize = 2 * GuardSlotSize;
using GuardArea = std::span<std::byte, GuardAreaSize>;
using ConstGuardArea = std::span<const std::byte, GuardAreaSize>;

// What the launcher holds now: the take-over and the start-up ramp of the
// fade's first window (the only one the intro fades), if any.
GuardRecord RecordOf(const ScreenTakeover& taken, const GammaFade& gamma);

// Stores the record over the older copy.
void WriteGuardRecord(GuardArea area, const GuardRecord& record);

// The newest whole copy; empty when neither copy is whole and consistent.
std::optional<GuardRecord> ReadGuardRecord(ConstGuardArea area);

enum class GuardWake { ScreenGivenBack, LauncherEnded };

// What the guard must put back when its watch ends: nothing when the
// launcher gave the screen back itself, when the record is missing or
// damaged, or when nothing was taken any more.
std::optional<GuardRecord> WhatToRestore(GuardWake wake, const std::optional<GuardRecord>& record);

// Gives back the work area and the taskbar with the launcher's own steps, and
// the saved ramp when the screen was left darker. Returns whether anything
// was given back.
bool RestoreFromGuard(const GuardRecord& record, Desktop& desktop, GammaDisplay& gamma);

} // namespace fablewick

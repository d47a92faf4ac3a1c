#include "intro/screen_guard.h"

#include <cstdint>

namespace fablewick {

namespace {

constexpr std::uint32_t Magic = 0x44475746; // "FWGD"
constexpr std::uint32_t Version = 2;
constexpr std::uint32_t Dimmed = 1, WorkAreaTaken = 2, HasRamp = 4;
constexpr std::uint32_t KnownFlags = Dimmed | WorkAreaTaken | HasRamp;

// Little-endian fields one after the other, whatever the compiler's padding.
class Writer {
public:
  explicit Writer(std::span<std::byte, GuardSlotSize> slot) : slot_(slot) {}
  void Put(std::uint64_t value, std::size_t bytes) {
    for (std::size_t i = 0; i < bytes; ++i) slot_[at_++] = static_cast<std::byte>(value >> (8 * i));
  }
  std::size_t At() const { return at_; }

private:
  std::span<std::byte, GuardSlotSize> slot_;
  std::size_t at_ = 0;
};

class Reader {
public:
  explicit Reader(std::span<const std::byte, GuardSlotSize> slot) : slot_(slot) {}
  std::uint64_t Get(std::size_t bytes) {
    std::uint64_t value = 0;
    for (std::size_t i = 0; i < bytes; ++i) {
      value |= static_cast<std::uint64_t>(slot_[at_++]) << (8 * i);
    }
    return value;
  }
  std::size_t At() const { return at_; }

private:
  std::span<const std::byte, GuardSlotSize> slot_;
  std::size_t at_ = 0;
};

std::uint32_t Checksum(std::span<const std::byte> bytes) {
  std::uint32_t hash = 2166136261u; // FNV-1a
  for (std::byte b : bytes) hash = (hash ^ static_cast<std::uint32_t>(b)) * 16777619u;
  return hash;
}

std::span<std::byte, GuardSlotSize> Slot(GuardArea area, std::uint64_t sequence) {
  return area.subspan((sequence % 2) * GuardSlotSize).first<GuardSlotSize>();
}
std::span<const std::byte, GuardSlotSize> Slot(ConstGuardArea area, std::size_t index) {
  return area.subspan(index * GuardSlotSize).first<GuardSlotSize>();
}

bool Empty(const Rect& r) { return r.right <= r.left || r.bottom <= r.top; }

struct Copy {
  std::uint64_t sequence = 0;
  GuardRecord record;
};

std::optional<Copy> ReadSlot(std::span<const std::byte, GuardSlotSize> slot) {
  Reader in(slot);
  if (in.Get(4) != Magic || in.Get(4) != Version) return std::nullopt;
  Copy copy;
  copy.sequence = in.Get(8);
  const std::uint64_t flags = in.Get(4);
  GuardRecord& r = copy.record;
  for (WindowHandle& taskbar : r.taken.hiddenTaskbars) taskbar = static_cast<WindowHandle>(in.Get(8));
  r.taken.savedWorkArea.left = static_cast<std::int32_t>(in.Get(4));
  r.taken.savedWorkArea.top = static_cast<std::int32_t>(in.Get(4));
  r.taken.savedWorkArea.right = static_cast<std::int32_t>(in.Get(4));
  r.taken.savedWorkArea.bottom = static_cast<std::int32_t>(in.Get(4));
  r.gammaWindow = static_cast<WindowHandle>(in.Get(8));
  for (std::uint16_t& level : r.savedRamp) level = static_cast<std::uint16_t>(in.Get(2));
  const std::size_t covered = in.At();
  if (in.Get(4) != Checksum(slot.first(covered))) return std::nullopt;

  if ((flags & ~KnownFlags) != 0) return std::nullopt;
  r.taken.dimmed = (flags & Dimmed) != 0;
  r.taken.workAreaTaken = (flags & WorkAreaTaken) != 0;
  r.hasRamp = (flags & HasRamp) != 0;
  // A record that contradicts itself was not written by a launcher; none
  // of it is trusted.
  if (r.taken.dimmed && !r.hasRamp) return std::nullopt;
  if (r.hasRamp && r.gammaWindow == 0) return std::nullopt;
  if (r.taken.workAreaTaken && Empty(r.taken.savedWorkArea)) return std::nullopt;
  return copy;
}

} // namespace

GuardRecord RecordOf(const ScreenTakeover& taken, const GammaFade& gamma) {
  GuardRecord record;
  record.taken = taken;
  // What dies with the launcher is not the guard's to give back.
  record.taken.desktop = nullptr;
  record.taken.covers = {};
  record.taken.fullScreenWindow = 0;
  record.taken.overlay = nullptr;
  record.taken.gamma = nullptr;
  record.taken.overlayShown = false;
  if (const GammaEntry* first = gamma.FirstGammaEntry()) {
    record.gammaWindow = first->window;
    record.hasRamp = true;
    record.savedRamp = first->savedRamp;
  }
  return record;
}

void WriteGuardRecord(GuardArea area, const GuardRecord& record) {
  std::uint64_t newest = 0;
  for (std::size_t i = 0; i < 2; ++i) {
    if (const auto copy = ReadSlot(Slot(ConstGuardArea(area), i))) {
      if (copy->sequence > newest) newest = copy->sequence;
    }
  }
  const std::uint64_t sequence = newest + 1;
  const auto slot = Slot(area, sequence);
  Writer out(slot);
  out.Put(Magic, 4);
  out.Put(Version, 4);
  out.Put(sequence, 8);
  out.Put((record.taken.dimmed ? Dimmed : 0) | (record.taken.workAreaTaken ? WorkAreaTaken : 0) |
              (record.hasRamp ? HasRamp : 0),
          4);
  for (WindowHandle taskbar : record.taken.hiddenTaskbars) out.Put(taskbar, 8);
  const Rect& saved = record.taken.savedWorkArea;
  for (std::int32_t edge : {saved.left, saved.top, saved.right, saved.bottom}) {
    out.Put(static_cast<std::uint32_t>(edge), 4);
  }
  out.Put(record.gammaWindow, 8);
  for (std::uint16_t level : record.savedRamp) out.Put(level, 2);
  const std::size_t covered = out.At();
  out.Put(Checksum(slot.first(covered)), 4);
}

std::optional<GuardRecord> ReadGuardRecord(ConstGuardArea area) {
  std::optional<Copy> best;
  for (std::size_t i = 0; i < 2; ++i) {
    std::optional<Copy> copy = ReadSlot(Slot(area, i));
    if (copy && (!best || copy->sequence > best->sequence)) best = std::move(copy);
  }
  if (!best) return std::nullopt;
  return best->record;
}

std::optional<GuardRecord> WhatToRestore(GuardWake wake, const std::optional<GuardRecord>& record) {
  if (wake == GuardWake::ScreenGivenBack || !record || !InForce(record->taken)) return std::nullopt;
  return record;
}

bool RestoreFromGuard(const GuardRecord& record, Desktop& desktop, GammaDisplay& gamma) {
  ScreenTakeover taken = record.taken;
  taken.desktop = &desktop;
  bool restored = GiveBackDesktop(taken);
  // Full brightness is the saved ramp itself, as in the launcher's own fade.
  if (taken.dimmed && record.hasRamp) {
    gamma.WriteRamp(record.gammaWindow, record.savedRamp);
    restored = true;
  }
  return restored;
}

} // namespace fablewick

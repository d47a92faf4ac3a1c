#include "intro/gamma_fade.h"

#include <new>

namespace fablewick {

GammaFade::~GammaFade() { FreeGammaList(); }

GammaEntry* GammaFade::FindGammaEntry(WindowHandle window) {
  for (GammaEntry* entry = list_.get(); entry != nullptr; entry = entry->next.get()) {
    if (entry->window == window) return entry;
  }
  return nullptr;
}

int GammaFade::RegisterGammaWindow(WindowHandle window) {
  if (FindGammaEntry(window) != nullptr) return 1;

  std::unique_ptr<GammaEntry> entry;
  try {
    entry = std::make_unique<GammaEntry>();
  } catch (const std::bad_alloc&) {
    // Callers treat this like a display without a ramp: no fading at all.
    return 0;
  }
  entry->window = window;
  if (!display_.ReadRamp(window, entry->savedRamp)) return 0;

  std::unique_ptr<GammaEntry>* tail = &list_;
  while (*tail) tail = &(*tail)->next;
  *tail = std::move(entry);
  return 1;
}

int GammaFade::GammaAvailable() { return RegisterGammaWindow(display_.DesktopWindow()); }

int GammaFade::ApplyGammaLevel(GammaEntry* entry, std::int16_t level) {
  if (entry == nullptr) return 0;
  for (std::size_t i = 0; i < entry->savedRamp.size(); ++i) {
    const std::int32_t scaled =
        static_cast<std::int32_t>(entry->savedRamp[i]) * static_cast<std::int32_t>(level) / 100;
    entry->scaledRamp[i] = static_cast<std::uint16_t>(scaled);
  }
  return display_.WriteRamp(entry->window, entry->scaledRamp) ? 1 : 0;
}

int GammaFade::SetGammaLevelAll(std::int16_t level) {
  int result = 1;
  for (GammaEntry* entry = list_.get(); entry != nullptr; entry = entry->next.get()) {
    result = ApplyGammaLevel(entry, level);
    if (result == 0) return 0;
  }
  return result;
}

int GammaFade::SetGammaLevelAllChecked(std::int16_t level) {
  for (GammaEntry* entry = list_.get(); entry != nullptr; entry = entry->next.get()) {
    if (ApplyGammaLevel(entry, level) == 0) return 0;
    GammaRamp shown{};
    if (!display_.ReadRamp(entry->window, shown)) return 0;
    for (std::size_t i = 0; i < shown.size(); ++i) {
      const int drift = static_cast<int>(shown[i]) - static_cast<int>(entry->scaledRamp[i]);
      if (drift > RampReadBackSlack || drift < -RampReadBackSlack) return 0;
    }
  }
  return 1;
}

int GammaFade::SetGammaLevelFor(WindowHandle window, std::int16_t level) {
  GammaEntry* entry = FindGammaEntry(window);
  if (entry == nullptr) {
    RegisterGammaWindow(window);
    entry = FindGammaEntry(window);
    if (entry == nullptr) return 0;
  }
  return ApplyGammaLevel(entry, level);
}

void GammaFade::FreeGammaList() {
  // Unlinked one at a time: letting the head's destructor chain down the
  // list would recurse once per entry.
  while (list_) list_ = std::move(list_->next);
}

} // namespace fablewick

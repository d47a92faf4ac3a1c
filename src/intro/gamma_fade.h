#pragma once

#include "intro/gamma_display.h"
#include "intro/screen_types.h"

#include <cstdint>
#include <memory>

namespace fablewick {

// Scales the display's hardware gamma ramp by a percentage, always from the
// ramp saved when the window was registered, so level 100 gives that ramp
// back bit for bit however many fades came before. One list per process;
// every function returns nonzero for success.

struct GammaEntry {
  WindowHandle window = 0;
  GammaRamp savedRamp{};
  GammaRamp scaledRamp{};
  std::unique_ptr<GammaEntry> next;
};

// The display the module reads and writes; until one is bound, no window can
// be registered.
void SetGammaDisplay(GammaDisplay* display);

int RegisterGammaWindow(WindowHandle window);
int GammaAvailable();
int SetGammaLevelAll(std::int16_t level);
int SetGammaLevelFor(WindowHandle window, std::int16_t level);
// As SetGammaLevelAll, then reads every display's ramp back: 0 also when a
// display reports success but holds something else than was written, beyond
// the low bits a display may drop (the dummy X driver keeps eight).
int SetGammaLevelAllChecked(std::int16_t level);
constexpr int RampReadBackSlack = 1024;
// Forgets every saved ramp without restoring any display.
void FreeGammaList();

GammaEntry* FindGammaEntry(WindowHandle window);
// The first window registered, or null: the one whose saved ramp another
// process would need to put the screen back.
const GammaEntry* FirstGammaEntry();
int ApplyGammaLevel(GammaEntry* entry, std::int16_t level);

} // namespace fablewick

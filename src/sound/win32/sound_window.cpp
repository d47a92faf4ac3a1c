#include "sound/win32/sound_window.h"

#include "app/win32/system_clock.h"
#include "sound/sound_engine.h"
#include "sound/win32/direct_sound_output.h"

#include <cstdint>

namespace fablewick::win32 {

void InitSoundForWindow(HWND window, Messages& messages) {
  // One engine per process, so its platform halves live as long as it does.
  static DirectSoundOutput output;
  static SystemClock clock;
  InitSound(output, clock, messages, reinterpret_cast<std::uintptr_t>(window));
}

} // namespace fablewick::win32

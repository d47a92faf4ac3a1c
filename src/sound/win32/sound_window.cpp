#include "sound/win32/sound_window.h"

#include "app/win32/system_clock.h"
#include "sound/sound_engine.h"
#include "sound/win32/direct_sound_output.h"
#include "sound/win32/window_sound_timer.h"

#include <cstdint>
#include <optional>

namespace fablewick::win32 {

namespace {

// One engine per process, so its platform halves live as long as it does.
DirectSoundOutput& Output() {
  static DirectSoundOutput output;
  return output;
}

} // namespace

void OpenSoundDeviceEarly() { Output().OpenEarly(); }

void InitSoundForWindow(HWND window, Messages& messages) {
  static SystemClock clock;
  static std::optional<WindowSoundTimer> timer;
  timer.emplace(window);
  InitSound(Output(), clock, messages, reinterpret_cast<std::uintptr_t>(window), &*timer);
}

} // namespace fablewick::win32

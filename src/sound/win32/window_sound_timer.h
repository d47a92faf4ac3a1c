#pragma once

#include "sound/sound_timer.h"

#include <windows.h>

namespace fablewick::win32 {

// The engine's timer as a timer of the window the engine was started on, so
// its ticks come through that thread's message loop like everything else.
class WindowSoundTimer : public SoundTimer {
public:
  explicit WindowSoundTimer(HWND window) : window_(window) {}
  void Start(std::uint32_t periodMs) override;
  void Stop() override;

private:
  HWND window_;
};

} // namespace fablewick::win32

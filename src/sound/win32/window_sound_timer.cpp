#include "sound/win32/window_sound_timer.h"

#include "sound/sound_engine.h"

namespace fablewick::win32 {

namespace {

// With a procedure of its own, the tick never reaches the window's handlers;
// the number only has to differ from the window's other timers.
constexpr UINT_PTR kTimerId = 0x50D5;

void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) { SoundTimerTick(); }

} // namespace

void WindowSoundTimer::Start(std::uint32_t periodMs) {
  SetTimer(window_, kTimerId, periodMs, &Tick);
}

// The window may be on its way out; a timer it no longer has is no harm.
void WindowSoundTimer::Stop() { KillTimer(window_, kTimerId); }

} // namespace fablewick::win32

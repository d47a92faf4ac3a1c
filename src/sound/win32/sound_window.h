#pragma once

#include "app/messages.h"

#include <windows.h>

namespace fablewick::win32 {

// Starts the sound engine on the window with DirectSound and the system
// clock; failures are shown through messages. The engine's other operations
// (PlayWave, StopAllSounds, AnySoundPlaying, ShutdownSound) are called as
// they stand; messages must stay alive until ShutdownSound has returned.
void InitSoundForWindow(HWND window, Messages& messages);

} // namespace fablewick::win32

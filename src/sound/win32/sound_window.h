#pragma once

#include "app/messages.h"

#include <windows.h>

namespace fablewick::win32 {

// Starts the sound engine on the window with DirectSound and the system
// clock, letting the device go after quiet spells by a timer of the window;
// failures are shown through messages. The engine's other operations
// (PlayWave, StopAllSounds, AnySoundPlaying, ShutdownSound) are called as
// they stand; messages must stay alive until ShutdownSound has returned.
void InitSoundForWindow(HWND window, Messages& messages);

// Starts opening the audio device on a thread of its own, so that the audio
// system loads while the windows are built. The next InitSoundForWindow
// takes that device over, or reports that failure, as if it had opened it.
void OpenSoundDeviceEarly();

} // namespace fablewick::win32

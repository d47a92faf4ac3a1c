#pragma once

#include "app/clock.h"
#include "app/messages.h"
#include "sound/audio_output.h"

#include <cstdint>
#include <span>

namespace fablewick {

// The five-voice sound player: one per process, module-wide state, free
// operations. Every failure is reported here, in the message dialog, and a
// device failure switches sound off for the rest of the run; callers never
// need to ask whether sound is on.

inline constexpr int kVoiceCount = 5;

// Opens the output device for the window (an HWND on Windows). The ports
// must outlive the engine's use of them, that is, until ShutdownSound.
void InitSound(AudioOutput& output, Clock& clock, Messages& messages, std::uintptr_t window);

// Waits for playing voices (at most about 3 s), then 1 s more, then
// releases every voice and the device. Sound is off afterwards.
void ShutdownSound();

// Plays a complete RIFF WAVE image once on the first silent voice, or drops
// the request when all five play. The samples are copied; the image is not
// referred to after the call.
void PlayWave(std::span<const std::uint8_t> image);

void StopAllSounds();
bool AnySoundPlaying();

// Whether the device is open.
bool SoundEnabled();

} // namespace fablewick

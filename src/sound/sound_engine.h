#pragma once

#include "app/clock.h"
#include "app/messages.h"
#include "sound/audio_output.h"
#include "sound/sound_timer.h"

#include <cstdint>
#include <span>

namespace fablewick {

// The five-voice sound player: one per process, module-wide state, free
// operations. Every failure is reported here, in the message dialog, and a
// device failure switches sound off for the rest of the run; callers never
// need to ask whether sound is on.

inline constexpr int kVoiceCount = 5;

// The device is held only while sound is in use: it goes, with every voice,
// once nothing has played for this long (checked at every timer tick), and
// the next sound opens it again on whatever output is the default by then.
inline constexpr std::uint32_t kQuietReleaseMs = 6000;
inline constexpr std::uint32_t kQuietCheckMs = 1000;

// Opens the output device for the window (an HWND on Windows). The ports
// must outlive the engine's use of them, that is, until ShutdownSound.
// Without a timer the device stays open until ShutdownSound.
void InitSound(AudioOutput& output, Clock& clock, Messages& messages, std::uintptr_t window,
               SoundTimer* timer = nullptr);

// A sound is about to be asked for (the pointer in the window, a menu
// opening): opens the device now if a quiet spell had let it go.
void PrepareSound();

// The timer's tick: lets the device go after a quiet spell.
void SoundTimerTick();

// Waits for playing voices (at most about 3 s), then 1 s more, then
// releases every voice and the device. Sound is off afterwards.
void ShutdownSound();

// Plays a complete RIFF WAVE image once on the first silent voice, or drops
// the request when all five play. The samples are copied; the image is not
// referred to after the call.
void PlayWave(std::span<const std::uint8_t> image);

void StopAllSounds();
bool AnySoundPlaying();

// Whether sound is on: the device is open, or will be opened by the next
// sound. Off after ShutdownSound and after a failure the user was told of.
bool SoundEnabled();

} // namespace fablewick

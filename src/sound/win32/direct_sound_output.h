#pragma once

#include "sound/audio_output.h"

namespace fablewick::win32 {

// The audio output over DirectSound's default device.
class DirectSoundOutput : public AudioOutput {
public:
  AudioResult OpenDevice(std::unique_ptr<OutputDevice>& device) override;
};

} // namespace fablewick::win32

#pragma once

#include "sound/audio_output.h"

#include <memory>

namespace fablewick::win32 {

// The audio output over DirectSound's default device.
class DirectSoundOutput : public AudioOutput {
public:
  DirectSoundOutput();
  ~DirectSoundOutput() override;

  // Starts opening the device now, on a thread of its own; the next
  // OpenDevice takes that device, or that failure, over. Later ones open
  // afresh.
  void OpenEarly();
  AudioResult OpenDevice(std::unique_ptr<OutputDevice>& device) override;

private:
  struct Early;
  std::unique_ptr<Early> early_;
};

} // namespace fablewick::win32

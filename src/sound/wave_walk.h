#pragma once

#include "sound/audio_output.h"

#include <cstdint>
#include <span>

namespace fablewick {

enum class WaveWalkStatus {
  Ok,
  // The image cannot be walked as a RIFF "WAVE" memory file: too short to
  // carry its own length, no RIFF "WAVE" form, no "fmt " or no "data" chunk.
  Unopenable,
  // The format block was read, but its tag is not PCM.
  NotPcm,
};

struct WaveWalk {
  WaveWalkStatus status = WaveWalkStatus::Unopenable;
  // The 18 bytes read at the start of the "fmt " chunk's data. Bytes that
  // the image does not have stay zero.
  WaveFormatBlock format;
  // The "data" chunk's own size field.
  std::uint32_t declaredDataBytes = 0;
  // The part of the "data" chunk's bytes that really lies inside the image;
  // shorter than declaredDataBytes only for a truncated image.
  std::span<const std::uint8_t> samples;
};

// Walks a RIFF WAVE image held in memory the way the multimedia file calls
// would over a memory file whose length is taken from the image's header
// (the value at offset 4, plus 8): find the RIFF "WAVE" form, find "fmt "
// inside it, read 18 bytes, step past the chunk and its pad byte, then find
// "data", passing over any other chunk on the way. Nothing beyond the
// smaller of the header's length and the image's real size is ever read,
// and nothing after the "data" chunk's bytes is looked at.
WaveWalk WalkWave(std::span<const std::uint8_t> image);

} // namespace fablewick

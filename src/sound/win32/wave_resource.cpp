#include "sound/win32/wave_resource.h"

#include "app/win32/resource_bytes.h"
#include "sound/sound_engine.h"

namespace fablewick::win32 {

std::span<const std::uint8_t> FindWaveResource(HMODULE module, int id) {
  // The real size bounds every read of the image, whatever its header says.
  return ResourceBytes(module, MAKEINTRESOURCEA(id), "WAVE");
}

void PlaySoundResource(int id) {
  const auto image = FindWaveResource(GetModuleHandleA(nullptr), id);
  if (image.data()) PlayWave(image);
}

} // namespace fablewick::win32

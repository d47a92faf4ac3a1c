#include "sound/win32/wave_resource.h"

#include "sound/sound_engine.h"

namespace fablewick::win32 {

std::span<const std::uint8_t> FindWaveResource(HMODULE module, int id) {
  HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(id), "WAVE");
  if (!found) return {};
  // Resource memory belongs to the module: nothing to free or unlock.
  HGLOBAL loaded = LoadResource(module, found);
  if (!loaded) return {};
  const void* bytes = LockResource(loaded);
  if (!bytes) return {};
  // The real size bounds every read of the image, whatever its header says.
  return {static_cast<const std::uint8_t*>(bytes), SizeofResource(module, found)};
}

void PlaySoundResource(int id) {
  const auto image = FindWaveResource(GetModuleHandleA(nullptr), id);
  if (image.data()) PlayWave(image);
}

} // namespace fablewick::win32

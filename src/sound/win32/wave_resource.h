#pragma once

#include <windows.h>

#include <cstdint>
#include <span>

namespace fablewick::win32 {

// The bytes of the resource of type "WAVE" with this integer identifier in
// the module, as long as the module stays loaded; empty when there is none.
std::span<const std::uint8_t> FindWaveResource(HMODULE module, int id);

// Plays the program's own "WAVE" resource with this identifier. A missing
// resource plays nothing and reports nothing.
void PlaySoundResource(int id);

} // namespace fablewick::win32

#pragma once

#include <windows.h>

#include <cstdint>
#include <span>

namespace fablewick::win32 {

// The bytes of a resource of `module`, bounded by its real size; empty when
// there is no such resource. The memory belongs to the module: nothing to
// free or unlock.
std::span<const std::uint8_t> ResourceBytes(HMODULE module, LPCSTR name, LPCSTR type);

} // namespace fablewick::win32

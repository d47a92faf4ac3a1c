#include "app/win32/resource_bytes.h"

namespace fablewick::win32 {

std::span<const std::uint8_t> ResourceBytes(HMODULE module, LPCSTR name, LPCSTR type) {
  HRSRC found = FindResourceA(module, name, type);
  if (!found) return {};
  HGLOBAL loaded = LoadResource(module, found);
  if (!loaded) return {};
  const void* bytes = LockResource(loaded);
  if (!bytes) return {};
  return {static_cast<const std::uint8_t*>(bytes), SizeofResource(module, found)};
}

} // namespace fablewick::win32

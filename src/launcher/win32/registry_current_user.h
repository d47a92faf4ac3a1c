#pragma once

#include "launcher/registry.h"

namespace fablewick::win32 {

// The Registry port over the real HKEY_CURRENT_USER. Keys are always opened
// with KEY_ALL_ACCESS; each RegistryKey it returns owns its HKEY.
class CurrentUserRegistry : public Registry {
public:
  std::unique_ptr<RegistryKey> CreateKey(const std::string& path) override;
  std::unique_ptr<RegistryKey> OpenKey(const std::string& path) override;
};

} // namespace fablewick::win32

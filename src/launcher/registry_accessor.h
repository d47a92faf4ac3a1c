#pragma once

#include "launcher/registry.h"

#include <memory>
#include <string>

namespace fablewick {

// Holds at most one open key for the length of one handler run. Reads and
// writes check the stored type and size and raise AppError with the value's
// name; destroying the accessor closes whatever key is still open.
class RegistryAccessor {
public:
  explicit RegistryAccessor(Registry& registry);
  RegistryAccessor(const RegistryAccessor&) = delete;
  RegistryAccessor& operator=(const RegistryAccessor&) = delete;

  // Opens the key, creating it when absent, in place of any key held so far.
  // False, with no key open, when that fails.
  bool OpenKey(const std::string& path);
  void CloseKey();

  // An existing key that refuses full access counts as absent.
  bool KeyExists(const std::string& path);
  // False when no key is open.
  bool ValueExists(const std::string& name);

  // Text up to its first NUL; empty when absent or of size 0. ReadString
  // reads it in the code page's bytes, ReadText in UTF-16 as stored, each
  // unit as it is (a lone surrogate stays one).
  std::string ReadString(const std::string& name);
  std::u16string ReadText(const std::string& name);
  // A 32-bit number of at most 4 bytes; true when it is not 0.
  bool ReadBool(const std::string& name);
  // A 4-byte number, 1 or 0.
  void WriteBool(const std::string& name, bool value);

private:
  Registry& registry_;
  std::unique_ptr<RegistryKey> key_;
};

} // namespace fablewick

#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>

namespace fablewick {

// Value types as the registry numbers them. Any other stored number may come
// back from a query too, so the type travels as a plain 32-bit value.
enum RegistryValueType : std::uint32_t {
  kRegNone = 0,
  kRegSz = 1,
  kRegExpandSz = 2,
  kRegBinary = 3,
  kRegDword = 4,
};

// Result codes with the registry's own numbers; anything but success is a
// failure to the caller.
inline constexpr std::int32_t kRegistrySuccess = 0;
inline constexpr std::int32_t kRegistryFileNotFound = 2;
inline constexpr std::int32_t kRegistryMoreData = 234;

// One open key under HKEY_CURRENT_USER. Destroying it closes the key.
class RegistryKey {
public:
  virtual ~RegistryKey() = default;

  // Same contract as RegQueryValueEx. type and size may each be null. With
  // data null only the type and the stored byte count are reported. With a
  // buffer of *size bytes the data is copied and *size becomes the count
  // copied; when the buffer is too small the result is kRegistryMoreData,
  // *size becomes the count needed and the buffer's contents are undefined.
  // Text data comes as the ANSI query gives it: one byte a character, in the
  // system's code page.
  virtual std::int32_t QueryValue(const std::string& name, std::uint32_t* type,
                                  std::uint8_t* data, std::uint32_t* size) = 0;

  // The same query with text data as stored: UTF-16, little-endian, which
  // can spell any folder name. Stores that keep one form only (in-memory
  // ones) need not tell the two apart.
  virtual std::int32_t QueryWideValue(const std::string& name, std::uint32_t* type,
                                      std::uint8_t* data, std::uint32_t* size) {
    return QueryValue(name, type, data, size);
  }

  virtual std::int32_t SetValue(const std::string& name, std::uint32_t type,
                                std::span<const std::uint8_t> data) = 0;
};

// The current user's registry, always with full access.
class Registry {
public:
  virtual ~Registry() = default;

  // Opens the key at path, creating it (non-volatile) when absent. Null when
  // the key can be neither opened nor created.
  virtual std::unique_ptr<RegistryKey> CreateKey(const std::string& path) = 0;

  // Opens an existing key only. Null when it is absent, and also when it
  // exists but refuses full access.
  virtual std::unique_ptr<RegistryKey> OpenKey(const std::string& path) = 0;
};

} // namespace fablewick

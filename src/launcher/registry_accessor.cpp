#include "launcher/registry_accessor.h"

#include "app/app_error.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <vector>

namespace fablewick {
namespace {

AppError RegistryError(const char* what, const std::string& name) {
  return AppError(std::string(what) + " for '" + name + "'");
}

using Query = std::int32_t (RegistryKey::*)(const std::string&, std::uint32_t*, std::uint8_t*,
                                            std::uint32_t*);

// The stored bytes of a text value, by the rules both text forms share.
std::vector<std::uint8_t> TextBytes(RegistryKey* key, Query query, const std::string& name) {
  std::uint32_t type = kRegNone;
  std::uint32_t size = 0;
  if (!key || (key->*query)(name, &type, nullptr, &size) != kRegistrySuccess || size == 0) {
    return {};
  }

  std::vector<std::uint8_t> buffer(size);
  std::uint32_t length = size;
  if ((key->*query)(name, &type, buffer.data(), &length) != kRegistrySuccess) {
    throw RegistryError("Failed to get data", name);
  }
  if (type != kRegSz && type != kRegExpandSz) throw RegistryError("Invalid data type", name);

  // Text values need not have been stored with their NUL, and the registry
  // does not always add one: stop at the count it reports.
  buffer.resize(std::min(length, size));
  return buffer;
}

} // namespace

RegistryAccessor::RegistryAccessor(Registry& registry) : registry_(registry) {}

bool RegistryAccessor::OpenKey(const std::string& path) {
  key_.reset();
  key_ = registry_.CreateKey(path);
  return key_ != nullptr;
}

void RegistryAccessor::CloseKey() { key_.reset(); }

bool RegistryAccessor::KeyExists(const std::string& path) {
  return registry_.OpenKey(path) != nullptr;
}

bool RegistryAccessor::ValueExists(const std::string& name) {
  return key_ && key_->QueryValue(name, nullptr, nullptr, nullptr) == kRegistrySuccess;
}

std::string RegistryAccessor::ReadString(const std::string& name) {
  const std::vector<std::uint8_t> bytes = TextBytes(key_.get(), &RegistryKey::QueryValue, name);
  return std::string(bytes.begin(), std::find(bytes.begin(), bytes.end(), std::uint8_t{0}));
}

std::u16string RegistryAccessor::ReadText(const std::string& name) {
  const std::vector<std::uint8_t> bytes =
      TextBytes(key_.get(), &RegistryKey::QueryWideValue, name);
  std::u16string text;
  // A last odd byte is half a unit that was cut off; it is not text.
  for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
    const auto unit = static_cast<char16_t>(bytes[i] | bytes[i + 1] << 8);
    if (unit == u'\0') break;
    text.push_back(unit);
  }
  return text;
}

bool RegistryAccessor::ReadBool(const std::string& name) {
  std::array<std::uint8_t, 4> buffer{};
  std::uint32_t type = kRegNone;
  std::uint32_t length = buffer.size();
  // The read comes before the type test, so a long value of any type fails
  // to read rather than being reported as the wrong type.
  if (!key_ || key_->QueryValue(name, &type, buffer.data(), &length) != kRegistrySuccess) {
    throw RegistryError("Failed to get data", name);
  }
  if (type != kRegDword) throw RegistryError("Invalid data type", name);

  // A number stored with fewer than 4 bytes counts its missing high bytes as
  // zero rather than whatever the buffer held.
  std::uint32_t value = 0;
  for (std::uint32_t i = 0; i < std::min<std::uint32_t>(length, buffer.size()); ++i) {
    value |= static_cast<std::uint32_t>(buffer[i]) << (8 * i);
  }
  return value != 0;
}

void RegistryAccessor::WriteBool(const std::string& name, bool value) {
  const std::array<std::uint8_t, 4> bytes{static_cast<std::uint8_t>(value ? 1 : 0), 0, 0, 0};
  if (!key_ || key_->SetValue(name, kRegDword, bytes) != kRegistrySuccess) {
    throw RegistryError("Failed to set data", name);
  }
}

} // namespace fablewick

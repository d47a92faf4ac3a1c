#pragma once

#include "launcher/registry.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace fablewick::fakes {

struct StoredValue {
  std::uint32_t type = kRegNone;
  std::vector<std::uint8_t> bytes;
  bool operator==(const StoredValue&) const = default;
};

using StoredKey = std::map<std::string, StoredValue>;

// Text as the registry stores it: UTF-16, little-endian, unit for unit.
inline std::vector<std::uint8_t> Utf16Bytes(std::u16string_view text) {
  std::vector<std::uint8_t> bytes;
  for (char16_t unit : text) {
    bytes.push_back(static_cast<std::uint8_t>(unit));
    bytes.push_back(static_cast<std::uint8_t>(unit >> 8));
  }
  return bytes;
}

// An in-memory current-user registry with RegQueryValueEx's size rules. Keys
// can be made to refuse creation or full access, and every open handle is
// counted so tests can see that none is left behind.
class FakeRegistry : public Registry {
public:
  std::map<std::string, StoredKey> keys;
  std::set<std::string> refuseCreate;
  std::set<std::string> refuseOpen;
  int openHandles = 0;
  std::vector<std::string> writes;

  std::unique_ptr<RegistryKey> CreateKey(const std::string& path) override {
    if (refuseCreate.count(path) || refuseOpen.count(path)) return nullptr;
    keys[path];
    return std::make_unique<Key>(*this, path);
  }

  std::unique_ptr<RegistryKey> OpenKey(const std::string& path) override {
    if (refuseOpen.count(path) || !keys.count(path)) return nullptr;
    return std::make_unique<Key>(*this, path);
  }

  void Put(const std::string& path, const std::string& name, std::uint32_t type,
           std::vector<std::uint8_t> bytes) {
    keys[path][name] = StoredValue{type, std::move(bytes)};
  }
  void PutDword(const std::string& path, const std::string& name, std::uint32_t value) {
    Put(path, name, kRegDword,
        {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
         static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)});
  }
  void PutText(const std::string& path, const std::string& name, const std::string& text,
               std::uint32_t type = kRegSz) {
    std::vector<std::uint8_t> bytes(text.begin(), text.end());
    bytes.push_back(0);
    Put(path, name, type, std::move(bytes));
  }

  void PutWideText(const std::string& path, const std::string& name, std::u16string_view text,
                   std::uint32_t type = kRegSz) {
    std::vector<std::uint8_t> bytes = Utf16Bytes(text);
    bytes.insert(bytes.end(), {0, 0});
    Put(path, name, type, std::move(bytes));
  }

  bool HasKey(const std::string& path) const { return keys.count(path) != 0; }
  const StoredValue* Find(const std::string& path, const std::string& name) const {
    auto key = keys.find(path);
    if (key == keys.end()) return nullptr;
    auto value = key->second.find(name);
    return value == key->second.end() ? nullptr : &value->second;
  }

private:
  class Key : public RegistryKey {
  public:
    Key(FakeRegistry& registry, std::string path) : registry_(registry), path_(std::move(path)) {
      ++registry_.openHandles;
    }
    ~Key() override { --registry_.openHandles; }

    std::int32_t QueryValue(const std::string& name, std::uint32_t* type, std::uint8_t* data,
                            std::uint32_t* size) override {
      const StoredValue* value = registry_.Find(path_, name);
      if (!value) return kRegistryFileNotFound;
      if (type) *type = value->type;
      const auto stored = static_cast<std::uint32_t>(value->bytes.size());
      if (!data) {
        if (size) *size = stored;
        return kRegistrySuccess;
      }
      if (*size < stored) {
        // Undefined contents: make any use of them show.
        std::memset(data, 0xCD, *size);
        *size = stored;
        return kRegistryMoreData;
      }
      std::copy(value->bytes.begin(), value->bytes.end(), data);
      *size = stored;
      return kRegistrySuccess;
    }

    std::int32_t SetValue(const std::string& name, std::uint32_t type,
                          std::span<const std::uint8_t> data) override {
      if (!registry_.keys.count(path_)) return kRegistryFileNotFound;
      registry_.keys[path_][name] = StoredValue{type, {data.begin(), data.end()}};
      registry_.writes.push_back(path_ + "\\" + name);
      return kRegistrySuccess;
    }

  private:
    FakeRegistry& registry_;
    std::string path_;
  };
};

} // namespace fablewick::fakes

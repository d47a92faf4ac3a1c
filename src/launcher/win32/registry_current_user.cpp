#include "launcher/win32/registry_current_user.h"

#include "app/win32/scoped_win.h"
#include "app/win32/wide_text.h"

#include <windows.h>

namespace fablewick::win32 {
namespace {

class CurrentUserKey : public RegistryKey {
public:
  explicit CurrentUserKey(HKEY key) : key_(key) {}

  std::int32_t QueryValue(const std::string& name, std::uint32_t* type, std::uint8_t* data,
                          std::uint32_t* size) override {
    return Query(RegQueryValueExA, name.c_str(), type, data, size);
  }

  std::int32_t QueryWideValue(const std::string& name, std::uint32_t* type, std::uint8_t* data,
                              std::uint32_t* size) override {
    return Query(RegQueryValueExW, WideFromUtf8(name).c_str(), type, data, size);
  }

  std::int32_t SetValue(const std::string& name, std::uint32_t type,
                        std::span<const std::uint8_t> data) override {
    return RegSetValueExA(key_.get(), name.c_str(), 0, type, data.data(),
                          static_cast<DWORD>(data.size()));
  }

private:
  template <typename Char>
  std::int32_t Query(LONG(WINAPI* query)(HKEY, const Char*, DWORD*, DWORD*, BYTE*, DWORD*),
                     const Char* name, std::uint32_t* type, std::uint8_t* data,
                     std::uint32_t* size) {
    // The API would write through a null count when given a buffer.
    if (data && !size) return ERROR_INVALID_PARAMETER;
    DWORD storedType = REG_NONE;
    DWORD count = size ? *size : 0;
    const LONG result =
        query(key_.get(), name, nullptr, type ? &storedType : nullptr, data, size ? &count : nullptr);
    if (type) *type = storedType;
    if (size) *size = count;
    return result;
  }

  UniqueKey key_;
};

} // namespace

std::unique_ptr<RegistryKey> CurrentUserRegistry::CreateKey(const std::string& path) {
  HKEY key = nullptr;
  DWORD disposition = 0;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                      KEY_ALL_ACCESS, nullptr, &key, &disposition) != ERROR_SUCCESS) {
    return nullptr;
  }
  return std::make_unique<CurrentUserKey>(key);
}

std::unique_ptr<RegistryKey> CurrentUserRegistry::OpenKey(const std::string& path) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) {
    return nullptr;
  }
  return std::make_unique<CurrentUserKey>(key);
}

} // namespace fablewick::win32

#include "app/win32/long_path.h"

#include <windows.h>

namespace fablewick::win32 {

namespace {

// A wide call that reports the length it needs when the buffer is short.
template <typename Call> std::wstring Grown(Call call) {
  std::wstring text(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = call(text.data(), static_cast<DWORD>(text.size()));
    if (length == 0) return {};
    if (length < text.size()) {
      text.resize(length);
      return text;
    }
    text.resize(length);
  }
}

} // namespace

std::wstring FullPath(const std::wstring& name) {
  return Grown([&](wchar_t* buffer, DWORD size) {
    return GetFullPathNameW(name.c_str(), size, buffer, nullptr);
  });
}

std::wstring ShortFullPath(const std::wstring& name) {
  const std::wstring full = FullPath(name);
  if (full.empty()) return {};
  return Grown([&](wchar_t* buffer, DWORD size) {
    return GetShortPathNameW(full.c_str(), buffer, size);
  });
}

} // namespace fablewick::win32

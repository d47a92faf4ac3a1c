#include "app/win32/long_path.h"

#include <windows.h>

#include <iterator>

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

// Without the system's long-path setting the wide file calls stop at
// MAX_PATH, unless the path is marked literal ("\\?\"), which lifts the limit.
// Only a full path on a drive or share may be marked (a device path is left
// alone), and the mark is taken off the answer.
constexpr wchar_t kLiteral[] = L"\\\\?\\";
constexpr wchar_t kLiteralShare[] = L"\\\\?\\UNC\\";

bool StartsWith(const std::wstring& text, const wchar_t* prefix) { return text.rfind(prefix, 0) == 0; }

std::wstring Literal(const std::wstring& full) {
  if (full.size() < MAX_PATH || StartsWith(full, kLiteral) || StartsWith(full, L"\\\\.\\")) return full;
  if (StartsWith(full, L"\\\\")) return kLiteralShare + full.substr(2);
  return kLiteral + full;
}

std::wstring WithoutLiteralMark(const std::wstring& path) {
  if (StartsWith(path, kLiteralShare)) return L"\\\\" + path.substr(std::size(kLiteralShare) - 1);
  if (StartsWith(path, kLiteral)) return path.substr(std::size(kLiteral) - 1);
  return path;
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
  const std::wstring asked = Literal(full);
  const std::wstring found = Grown([&](wchar_t* buffer, DWORD size) {
    return GetShortPathNameW(asked.c_str(), buffer, size);
  });
  return asked == full ? found : WithoutLiteralMark(found);
}

} // namespace fablewick::win32

#pragma once

#include <string>

namespace fablewick::win32 {

// The file's full path, resolved against the current directory; empty when
// it cannot be had.
std::wstring FullPath(const std::wstring& name);

// The file's full path in its short form, which is plain ASCII and short
// wherever the volume keeps short names; empty where it has none.
std::wstring ShortFullPath(const std::wstring& name);

} // namespace fablewick::win32

#pragma once

#include <string>

namespace fablewick::win32 {

// The file's full path, resolved against the current directory; empty when
// it cannot be had.
std::wstring FullPath(const std::wstring& name);

// The file's full path in its short form, which is plain ASCII and short
// wherever the volume keeps short names (elsewhere the system gives the long
// one back); empty for a file that is not there. Paths of any length.
std::wstring ShortFullPath(const std::wstring& name);

} // namespace fablewick::win32

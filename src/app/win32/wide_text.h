#pragma once

#include <string>
#include <string_view>

namespace fablewick::win32 {

// Texts for the wide calls, which are the only ones that can carry every
// folder name. The program's own fixed names are UTF-8 (plain ASCII in
// practice); texts read from the user's setup are already UTF-16 and pass
// through unit for unit, so even a malformed one reaches the system as it
// was stored.
std::wstring WideFromUtf8(std::string_view text);
std::wstring WideFromUtf16(std::u16string_view text);

} // namespace fablewick::win32

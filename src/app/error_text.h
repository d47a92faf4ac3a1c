#pragma once

#include <string>
#include <string_view>

namespace fablewick {

// The text of the error message box: the message, with a full stop appended
// when its last character sorts after "." as an unsigned byte.
std::string ErrorBoxText(std::string_view message);

} // namespace fablewick

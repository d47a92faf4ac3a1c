#pragma once

#include <string>

namespace fablewick::win32 {

// Whether `name` is an existing file and not a folder.
bool IsPlainFile(const std::string& name);

} // namespace fablewick::win32

#pragma once

#include <string>

#include <windows.h>

namespace fablewick::win32 {

// Registers a window class of the program's own module once per process.
// No CS_DBLCLKS: a double-click then reaches the handlers as a second press.
void RegisterWindowClass(const std::string& name, WNDPROC procedure);

} // namespace fablewick::win32

#pragma once

namespace fablewick::win32 {

// Makes an unhandled C++ exception or an unhandled structured exception give
// the user's taskbar, work area and screen brightness back before the
// process ends, if the intro still holds them. Safe to call more than once.
void InstallScreenRestoreOnCrash();

} // namespace fablewick::win32

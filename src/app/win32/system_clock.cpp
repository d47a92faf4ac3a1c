#include "app/win32/system_clock.h"

#include <windows.h>

namespace fablewick::win32 {

std::uint32_t SystemClock::Ticks() { return GetTickCount(); }

void SystemClock::Sleep(std::uint32_t milliseconds) { ::Sleep(milliseconds); }

} // namespace fablewick::win32

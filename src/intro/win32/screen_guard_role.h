#pragma once

#include "intro/gamma_fade.h"

namespace fablewick::win32 {

// Called first thing in the program. When this process was started as the
// screen guard, it stands guard over its launcher, does what is needed when
// the watch ends and returns true: the process should then end at once.
// Otherwise it lets this process start its own guard whenever the intro
// takes the screen, with the ramp `gamma` saved, and returns false.
bool TakeScreenGuardRole(const GammaFade& gamma);

} // namespace fablewick::win32

#pragma once

#include "app/win32/scoped_win.h"
#include "intro/gamma_fade.h"
#include "intro/screen_takeover.h"

namespace fablewick::win32 {

// The environment variable through which a guard learns the values of the
// three handles it inherits: the shared record, the launcher's process and
// the "screen given back" event, as "record,process,event" in hexadecimal.
inline constexpr char GuardHandlesVariable[] = "FABLEWICK_SCREEN_GUARD";

// The launcher's side of the guard: when the intro starts taking the screen
// it shares its record and starts this same program again as the guard;
// every change is written to the record; when nothing is taken any more it
// tells the guard to end. A guard that cannot be started costs nothing but
// the protection.
class ScreenGuardStarter : public TakeoverWatcher {
public:
  // `gamma` holds the ramp the guard would put back.
  explicit ScreenGuardStarter(const GammaFade& gamma) : gamma_(gamma) {}
  void TakeoverChanged(const ScreenTakeover& taken) noexcept override;

private:
  bool Share() noexcept;
  bool StartGuard() noexcept;
  void Forget() noexcept;

  const GammaFade& gamma_;
  UniqueKernelHandle record_;
  UniqueView view_;
  UniqueKernelHandle givenBack_;
  bool guarded_ = false;
  bool failed_ = false;
};

} // namespace fablewick::win32

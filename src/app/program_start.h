#pragma once

#include "app/form_core.h"

namespace fablewick {

// The shell's show commands that change how the main form first appears.
inline constexpr int ShowMaximized = 3;    // SW_SHOWMAXIMIZED
inline constexpr int ShowMinNoActive = 7;  // SW_SHOWMINNOACTIVE

// The main form's first appearance, as the shell's show command asks.
class ProgramStart {
public:
  // Maximised for ShowMaximized. For ShowMinNoActive the program is
  // minimised and the form stays invisible: its show handler runs only when
  // the user restores the program. Anything else shows it normal.
  void Start(FormCore& mainForm, int showCommand);
  // The program was restored from its taskbar button: a deferred first show
  // happens now, once.
  void Restored(FormCore& mainForm);

private:
  bool showOnRestore_ = false;
};

} // namespace fablewick

#include "app/program_start.h"

namespace fablewick {

void ProgramStart::Start(FormCore& mainForm, int showCommand) {
  if (showCommand == ShowMinNoActive) {
    showOnRestore_ = true;
    mainForm.Host().MinimizeProgram();
    return;
  }
  if (showCommand == ShowMaximized) mainForm.SetWindowState(WindowState::wsMaximized);
  mainForm.Show();
}

void ProgramStart::Restored(FormCore& mainForm) {
  if (!showOnRestore_) return;
  showOnRestore_ = false;
  mainForm.Show();
}

} // namespace fablewick

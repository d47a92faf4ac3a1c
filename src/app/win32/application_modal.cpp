#include "app/app_error.h"
#include "app/win32/application.h"
#include "app/win32/thread_windows.h"

namespace fablewick::win32 {

bool Application::TranslateShortcut(MSG& message) {
  if (!mainForm_ || !mainForm_->Handle() || !mainForm_->Menu()) return false;
  HACCEL accelerators = mainForm_->Menu()->Accelerators();
  if (!accelerators || !IsWindowEnabled(mainForm_->Handle())) return false;
  return TranslateAcceleratorA(mainForm_->Handle(), accelerators, &message) != 0;
}

void Application::HandleMessage() {
  MSG message;
  BOOL got = GetMessageA(&message, nullptr, 0, 0);
  if (got == 0) {
    terminated_ = true;
    return;
  }
  if (got < 0) return;
  if (TranslateShortcut(message)) return;
  TranslateMessage(&message);
  DispatchMessageA(&message);
}

void Application::Terminate() { PostQuitMessage(0); }

int Application::ShowModal(FormCore& form) {
  HWND window = reinterpret_cast<HWND>(form.WindowId());
  if (!window || !IsWindowEnabled(window)) throw AppError("Cannot make a visible window modal");
  FormCore::ModalScope modal(form);
  ReleaseCapture();
  HWND active = GetActiveWindow();
  ThreadWindowsDisabled disabled(window);
  form.Show();
  int result = RunModalLoop(form, *this);
  HWND reactivate = reinterpret_cast<HWND>(WindowToReactivate(
      reinterpret_cast<WindowHandle>(active), reinterpret_cast<WindowHandle>(GetActiveWindow()),
      reinterpret_cast<WindowHandle>(window)));
  form.Hide();
  disabled.Enable();
  if (reactivate && IsWindow(reactivate)) SetActiveWindow(reactivate);
  return result;
}

} // namespace fablewick::win32

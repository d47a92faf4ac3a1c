#pragma once

#include "app/window_types.h"

#include <functional>
#include <string_view>

namespace fablewick {

class FormCore;

// What a form, its controls and the dialogs need of the program around them.
// The application object is the one host of the program; tests use a fake.
class FormHost {
public:
  virtual ~FormHost() = default;

  // The error message box (mouse capture cancelled first).
  virtual void ReportError(std::string_view message) = 0;
  // The modal show of `form`; returns its modal result.
  virtual int ShowModal(FormCore& form) = 0;
  virtual bool IsMainForm(const FormCore& form) const = 0;
  // Posts the quit message and returns at once.
  virtual void Terminate() = 0;
  // Hides the program's forms behind its taskbar button.
  virtual void MinimizeProgram() = 0;
  // The window that owns every form and message box.
  virtual WindowHandle OwnerWindow() const = 0;
  // The main form's window, which dialogs belong to; zero before it exists.
  virtual WindowHandle MainWindow() const = 0;
  // A form became active; the program hands activation back to it later.
  virtual void FormActivated(WindowHandle form) = 0;

  // Runs a handler; an error escaping it is reported and the program goes
  // on. Returns false when it raised one.
  bool Guarded(const std::function<void()>& handler);
  // Reports the exception being handled; only inside a catch block. Errors
  // that are not std::exception are reported as "Unknown error".
  void ReportCurrentError();
};

} // namespace fablewick

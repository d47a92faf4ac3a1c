#pragma once

#include "app/form_host.h"
#include "app/modal_loop.h"
#include "app/program_start.h"
#include "app/win32/base_window.h"
#include "app/win32/form.h"
#include "app/win32/scoped_win.h"

#include <windows.h>

#include <functional>
#include <memory>
#include <new>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace fablewick::win32 {

// The one application object of the process (App()), and the host of every
// form. It owns the application window, a zero-size top-level window that
// carries the single taskbar button and the icon, and owns every form and
// message box. It creates the forms, runs the message loop and the modal
// loops, and reports errors that escape handlers. Forms, controls and
// dialogs reach it only as their FormHost.
class Application : public FormHost, private MessagePump, private BaseWindow {
public:
  Application();
  ~Application() override;
  Application(const Application&) = delete;
  Application& operator=(const Application&) = delete;

  HWND Handle() const { return Window(); }
  void SetTitle(const std::string& title);

  // The first form created through CreateForm; never changes after.
  Form* MainForm() const { return mainForm_; }
  bool Terminated() const override { return terminated_; }

  // Allocates a T, sets `reference` to it before T's constructor runs (code
  // running during construction can reach the form through it), constructs
  // it with this host and `args` (the layout is built in Form's constructor,
  // then T's own assignments), runs its OnCreate inside the error guard, and
  // makes the first form created the main form. If construction throws,
  // `reference` is set back to null and the error goes on to the caller.
  template <class T, class... Args>
  void CreateForm(T*& reference, Args&&... args);

  // Shows the main form as the shell asked, then runs the message loop
  // until the quit message is taken.
  void Run();
  // Work the first screen does not need: Run does it, in the order given
  // and each inside the error guard, the first time its message queue is
  // empty after the main form is shown, so after the form's first paint
  // has gone to the screen.
  void AfterFirstScreen(std::function<void()> work) { afterFirstScreen_.push_back(std::move(work)); }
  // Takes and handles one message, waiting for one if the queue is empty.
  void HandleMessage() override;

  // FormHost
  void ReportError(std::string_view message) override;
  int ShowModal(FormCore& form) override;
  bool IsMainForm(const FormCore& form) const override;
  void Terminate() override;
  void MinimizeProgram() override;
  WindowHandle OwnerWindow() const override { return reinterpret_cast<WindowHandle>(Window()); }
  WindowHandle MainWindow() const override { return mainForm_ ? mainForm_->WindowId() : 0; }
  void FormActivated(WindowHandle window) override { lastActive_ = reinterpret_cast<HWND>(window); }

  // Destroys the forms in reverse order of creation: each is hidden, its
  // OnDestroy runs (guarded), then its window is destroyed and its
  // reference cleared.
  void DestroyForms();

private:
  struct OwnedForm {
    std::unique_ptr<Form> form;
    std::function<void()> clearReference;
  };

  void AddForm(Form* form, std::function<void()> clearReference);
  bool TranslateShortcut(MSG& message);
  void Restore();
  // Asked by a second start: shows the program and activates its topmost
  // window that takes input.
  LRESULT ComeForward();
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  FormHost* ReportingHost() override { return this; }

  std::string title_;
  Form* mainForm_ = nullptr;
  bool terminated_ = false;
  ProgramStart start_;
  std::vector<OwnedForm> forms_;
  std::vector<std::function<void()>> afterFirstScreen_;
  HWND lastActive_ = nullptr;
  UniqueIcon bigIcon_;
  UniqueIcon smallIcon_;
};

// The process's application object, created on first use. Only the entry
// point reaches it; everything else is handed its host.
Application& App();

template <class T, class... Args>
void Application::CreateForm(T*& reference, Args&&... args) {
  void* memory = ::operator new(sizeof(T));
  reference = static_cast<T*>(memory);
  T* form = nullptr;
  try {
    form = new (memory) T(*this, std::forward<Args>(args)...);
  } catch (...) {
    reference = nullptr;
    ::operator delete(memory);
    throw;
  }
  T** slot = &reference;
  AddForm(form, [slot] { *slot = nullptr; });
}

} // namespace fablewick::win32

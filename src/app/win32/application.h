#pragma once

#include "app/messages.h"
#include "app/win32/form.h"

#include <windows.h>

#include <exception>
#include <functional>
#include <memory>
#include <new>
#include <string>
#include <string_view>
#include <vector>

namespace fablewick::win32 {

// The one application object of the process (App()). It owns the
// application window, a zero-size top-level window that carries the single
// taskbar button and the icon, and owns every form and message box. It
// creates the forms, runs the message loop and the modal loops, and reports
// errors that escape handlers.
//
// From handlers:
//   App().Terminate();                       // the program ends once the handler returns
//   int r = frmSplashMovie->ShowModal();     // same as App().ShowModal(*frmSplashMovie)
//   MessageDlg(text, MessageType::Error);    // the message dialog (message_dialog.h)
//   Messages& messages = App().MessagesPort();  // the same dialog as the core's port
class Application {
public:
  Application();
  ~Application();
  Application(const Application&) = delete;
  Application& operator=(const Application&) = delete;

  HWND Handle() const { return window_; }
  const std::string& Title() const { return title_; }
  void SetTitle(const std::string& title);

  // The first form created through CreateForm; never changes after.
  Form* MainForm() const { return mainForm_; }
  bool Terminated() const { return terminated_; }

  // Allocates a T, sets `reference` to it before T's constructor runs (code
  // running during construction can reach the form through it), constructs
  // it (the layout is built in Form's constructor, then T's own
  // assignments), runs its OnCreate inside the error guard, and makes the
  // first form created the main form. If construction throws, `reference`
  // is set back to null and the error goes on to the caller.
  template <class T>
  void CreateForm(T*& reference);

  // Shows the main form as the shell asked, then runs the message loop
  // until the quit message is taken.
  void Run();
  // Takes and handles one message, waiting for one if the queue is empty.
  void HandleMessage();
  // Posts the quit message and returns at once.
  void Terminate();
  // The modal show: other windows disabled, the form shown, messages
  // handled until its modal result is set, the form hidden again.
  int ShowModal(Form& form);

  // The error message box for an error that escaped a handler.
  void ShowException(const std::exception& error);
  void ReportError(std::string_view message);
  // Reports the exception being handled; call it only inside a catch block.
  // Errors that are not std::exception are reported as "Unknown error".
  void ShowCurrentException();
  // Runs `step` and reports any error it raises (after cancelling mouse
  // capture); returns false when it raised one.
  bool Guarded(const std::function<void()>& step);

  // The message dialog: returns mrOk, or mrCancel for the close box.
  int MessageDialog(const std::string& text, MessageType type);
  void ShowMessage(const std::string& text, MessageType type) { MessageDialog(text, type); }
  // The same dialog behind the port the core talks to.
  Messages& MessagesPort();

  void Minimize();
  void Restore();
  // Forms report here when they become active, so that activating the
  // application (its taskbar button) can hand activation back to them.
  void FormActivated(HWND window) { lastActive_ = window; }

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
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  HWND window_ = nullptr;
  std::string title_;
  Form* mainForm_ = nullptr;
  bool terminated_ = false;
  bool showMainOnRestore_ = false;
  std::vector<OwnedForm> forms_;
  std::unique_ptr<Messages> messages_;
  HWND lastActive_ = nullptr;
  HICON bigIcon_ = nullptr;
  HICON smallIcon_ = nullptr;
};

// The process's application object, created on first use.
Application& App();

template <class T>
void Application::CreateForm(T*& reference) {
  void* memory = ::operator new(sizeof(T));
  reference = static_cast<T*>(memory);
  T* form = nullptr;
  try {
    form = new (memory) T();
  } catch (...) {
    reference = nullptr;
    ::operator delete(memory);
    throw;
  }
  T** slot = &reference;
  AddForm(form, [slot] { *slot = nullptr; });
}

} // namespace fablewick::win32

#include "app/win32/application.h"

#include "app/app_error.h"
#include "app/error_text.h"
#include "app/win32/message_dialog.h"

namespace fablewick::win32 {

namespace {

constexpr char ApplicationClassName[] = "FablewickApplication";

struct DisabledWindows {
  HWND except;
  std::vector<HWND> windows;
};

BOOL CALLBACK DisableOne(HWND window, LPARAM context) {
  auto* disabled = reinterpret_cast<DisabledWindows*>(context);
  if (window != disabled->except && IsWindowVisible(window) && IsWindowEnabled(window)) {
    disabled->windows.push_back(window);
    EnableWindow(window, FALSE);
  }
  return TRUE;
}

// Disables every visible, enabled top-level window of this thread except
// `except`; the destructor enables them again.
class ThreadWindowsDisabled {
public:
  explicit ThreadWindowsDisabled(HWND except) : disabled_{except, {}} {
    EnumThreadWindows(GetCurrentThreadId(), DisableOne, reinterpret_cast<LPARAM>(&disabled_));
  }
  ~ThreadWindowsDisabled() { Enable(); }
  ThreadWindowsDisabled(const ThreadWindowsDisabled&) = delete;
  ThreadWindowsDisabled& operator=(const ThreadWindowsDisabled&) = delete;

  void Enable() {
    for (HWND window : disabled_.windows) {
      if (IsWindow(window)) EnableWindow(window, TRUE);
    }
    disabled_.windows.clear();
  }

private:
  DisabledWindows disabled_;
};

} // namespace

Application::Application() {
  HINSTANCE instance = GetModuleHandleA(nullptr);
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = &Application::WindowProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  wc.lpszClassName = ApplicationClassName;
  RegisterClassExA(&wc);
  // Zero size, so nothing of it shows; it exists to own the forms and carry
  // the taskbar button, which owned windows do not get.
  window_ = CreateWindowExA(0, ApplicationClassName, "",
                            WS_POPUP | WS_CAPTION | WS_CLIPSIBLINGS | WS_SYSMENU | WS_MINIMIZEBOX,
                            GetSystemMetrics(SM_CXSCREEN) / 2, GetSystemMetrics(SM_CYSCREEN) / 2, 0, 0, nullptr,
                            nullptr, instance, this);
  if (!window_) return;
  SetWindowLongPtrA(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  if (HMENU system = GetSystemMenu(window_, FALSE)) {
    DeleteMenu(system, SC_MAXIMIZE, MF_BYCOMMAND);
    DeleteMenu(system, SC_SIZE, MF_BYCOMMAND);
  }
  bigIcon_ = static_cast<HICON>(LoadImageA(instance, "MAINICON", IMAGE_ICON, GetSystemMetrics(SM_CXICON),
                                           GetSystemMetrics(SM_CYICON), LR_DEFAULTCOLOR));
  smallIcon_ = static_cast<HICON>(LoadImageA(instance, "MAINICON", IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                             GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR));
  if (bigIcon_) SendMessageA(window_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon_));
  if (smallIcon_) SendMessageA(window_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_));
  ShowWindow(window_, SW_SHOWNOACTIVATE);
}

Application::~Application() {
  forms_.clear();
  if (window_) DestroyWindow(window_);
  if (bigIcon_) DestroyIcon(bigIcon_);
  if (smallIcon_) DestroyIcon(smallIcon_);
}

Application& App() {
  static Application application;
  return application;
}

void Application::SetTitle(const std::string& title) {
  title_ = title;
  if (window_) SetWindowTextA(window_, title_.c_str());
}

void Application::AddForm(Form* form, std::function<void()> clearReference) {
  forms_.push_back({std::unique_ptr<Form>(form), std::move(clearReference)});
  // An error in the create handler is reported; the form is created anyway.
  form->DoCreate();
  if (!mainForm_ && form->Handle()) mainForm_ = form;
}

void Application::Run() {
  if (mainForm_) {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    GetStartupInfoA(&startup);
    int show = (startup.dwFlags & STARTF_USESHOWWINDOW) ? startup.wShowWindow : SW_SHOWNORMAL;
    if (show == SW_SHOWMINNOACTIVE) {
      // The main form's show handler then runs when the user restores the
      // program, not now.
      showMainOnRestore_ = true;
      Minimize();
    } else {
      if (show == SW_SHOWMAXIMIZED) mainForm_->SetWindowState(WindowState::wsMaximized);
      mainForm_->Show();
    }
  }
  while (!terminated_) HandleMessage();
}

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

int Application::ShowModal(Form& form) {
  if (form.Visible() || form.Modal() || !form.Handle() || !IsWindowEnabled(form.Handle())) {
    throw AppError("Cannot make a visible window modal");
  }
  ReleaseCapture();
  HWND active = GetActiveWindow();
  form.modal_ = true;
  struct ModalEnd {
    Form& form;
    ~ModalEnd() { form.modal_ = false; }
  } modalEnd{form};
  ThreadWindowsDisabled disabled(form.Handle());
  form.Show();
  form.modalResult_ = mrNone;
  do {
    // Terminated never resets: once the quit message is taken, no modal
    // loop waits for another message.
    if (!terminated_) HandleMessage();
    if (terminated_) {
      form.modalResult_ = mrCancel;
    } else if (form.modalResult_ != mrNone) {
      try {
        if (form.CloseStep() == CloseAction::caNone) form.modalResult_ = mrNone;
      } catch (...) {
        form.modalResult_ = mrNone;
        ShowCurrentException();
      }
    }
  } while (form.modalResult_ == mrNone);
  if (GetActiveWindow() != form.Handle()) active = nullptr;
  form.Hide();
  disabled.Enable();
  if (active && IsWindow(active)) SetActiveWindow(active);
  return form.modalResult_;
}

void Application::ShowException(const std::exception& error) { ReportError(error.what()); }

void Application::ShowCurrentException() {
  try {
    throw;
  } catch (const std::exception& error) {
    ShowException(error);
  } catch (...) {
    ReportError("Unknown error");
  }
}

bool Application::Guarded(const std::function<void()>& step) {
  try {
    step();
    return true;
  } catch (...) {
    ShowCurrentException();
    return false;
  }
}

void Application::ReportError(std::string_view message) {
  ReleaseCapture();
  std::string text = ErrorBoxText(message);
  HWND active = GetActiveWindow();
  ThreadWindowsDisabled disabled(nullptr);
  // The box comes up on the application window's monitor; bring that
  // window to the monitor the user is looking at for the time being.
  RECT home{};
  bool moved = false;
  if (active && window_) {
    HMONITOR activeMonitor = MonitorFromWindow(active, MONITOR_DEFAULTTONEAREST);
    if (activeMonitor != MonitorFromWindow(window_, MONITOR_DEFAULTTONEAREST)) {
      MONITORINFO info{};
      info.cbSize = sizeof info;
      if (GetWindowRect(window_, &home) && GetMonitorInfoA(activeMonitor, &info)) {
        SetWindowPos(window_, nullptr, (info.rcWork.left + info.rcWork.right) / 2,
                     (info.rcWork.top + info.rcWork.bottom) / 2, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        moved = true;
      }
    }
  }
  MessageBoxA(window_, text.c_str(), title_.c_str(), MB_OK | MB_ICONSTOP);
  if (moved) SetWindowPos(window_, nullptr, home.left, home.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  disabled.Enable();
  if (active && IsWindow(active)) SetActiveWindow(active);
}

int Application::MessageDialog(const std::string& text, MessageType type) { return MessageDlg(text, type); }

Messages& Application::MessagesPort() {
  if (!messages_) messages_ = std::make_unique<DialogMessages>();
  return *messages_;
}

void Application::Minimize() {
  if (!window_ || IsIconic(window_)) return;
  for (auto& owned : forms_) {
    if (owned.form->Visible() && owned.form->Handle()) ShowWindow(owned.form->Handle(), SW_HIDE);
  }
  ShowWindow(window_, SW_MINIMIZE);
}

void Application::Restore() {
  if (window_ && IsIconic(window_)) ShowWindow(window_, SW_RESTORE);
  for (auto& owned : forms_) {
    if (owned.form->Visible() && owned.form->Handle()) ShowWindow(owned.form->Handle(), SW_SHOWNA);
  }
  if (showMainOnRestore_ && mainForm_) {
    showMainOnRestore_ = false;
    mainForm_->Show();
  }
  HWND target = lastActive_ && IsWindow(lastActive_) && IsWindowVisible(lastActive_)
                    ? lastActive_
                    : (mainForm_ ? mainForm_->Handle() : nullptr);
  if (target && IsWindowVisible(target) && IsWindowEnabled(target)) SetActiveWindow(target);
}

void Application::DestroyForms() {
  while (!forms_.empty()) {
    OwnedForm owned = std::move(forms_.back());
    forms_.pop_back();
    owned.form->DoDestroy();
    if (mainForm_ == owned.form.get()) mainForm_ = nullptr;
    owned.form.reset();
    if (owned.clearReference) owned.clearReference();
  }
}

LRESULT CALLBACK Application::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* application = reinterpret_cast<Application*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  if (!application) return DefWindowProcA(window, message, wParam, lParam);
  try {
    switch (message) {
    case WM_SYSCOMMAND:
      switch (wParam & 0xFFF0) {
      case SC_RESTORE:
        application->Restore();
        return 0;
      case SC_MINIMIZE:
        application->Minimize();
        return 0;
      default:
        break;
      }
      break;
    case WM_CLOSE:
      if (application->mainForm_) application->mainForm_->Close();
      return 0;
    case WM_SETFOCUS: {
      // Activating the taskbar button's window hands the focus to the form
      // the user last worked in.
      HWND target = application->lastActive_;
      if (target && IsWindow(target) && IsWindowVisible(target) && IsWindowEnabled(target)) {
        SetActiveWindow(target);
        return 0;
      }
      break;
    }
    default:
      break;
    }
  } catch (...) {
    application->ShowCurrentException();
    return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

} // namespace fablewick::win32

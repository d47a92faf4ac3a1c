#include "app/win32/application.h"


namespace fablewick::win32 {

namespace {

constexpr char ApplicationClassName[] = "FablewickApplication";

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
  form->RunCreateHandler();
  if (!mainForm_ && form->Handle()) mainForm_ = form;
}

void Application::Run() {
  if (mainForm_) {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    GetStartupInfoA(&startup);
    start_.Start(*mainForm_, (startup.dwFlags & STARTF_USESHOWWINDOW) ? startup.wShowWindow : SW_SHOWNORMAL);
  }
  while (!terminated_) HandleMessage();
}

bool Application::IsMainForm(const FormCore& form) const {
  return mainForm_ != nullptr && static_cast<const FormCore*>(mainForm_) == &form;
}

void Application::MinimizeProgram() {
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
  if (mainForm_) start_.Restored(*mainForm_);
  HWND target = lastActive_ && IsWindow(lastActive_) && IsWindowVisible(lastActive_)
                    ? lastActive_
                    : (mainForm_ ? mainForm_->Handle() : nullptr);
  if (target && IsWindowVisible(target) && IsWindowEnabled(target)) SetActiveWindow(target);
}

void Application::DestroyForms() {
  while (!forms_.empty()) {
    OwnedForm owned = std::move(forms_.back());
    forms_.pop_back();
    owned.form->RunDestroyHandler();
    owned.form->DestroyHandle();
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
        application->MinimizeProgram();
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
    application->ReportCurrentError();
    return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

} // namespace fablewick::win32

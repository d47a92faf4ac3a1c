#include "app/win32/application.h"

#include "app/win32/come_forward.h"

namespace fablewick::win32 {

Application::Application() {
  // Zero size, so nothing of it shows; it exists to own the forms and carry
  // the taskbar button, which owned windows do not get. Without it the
  // program still runs, its forms unowned.
  if (!TryCreateWindow({.className = kApplicationWindowClass,
                        .style = WS_POPUP | WS_CAPTION | WS_CLIPSIBLINGS | WS_SYSMENU | WS_MINIMIZEBOX,
                        .x = GetSystemMetrics(SM_CXSCREEN) / 2,
                        .y = GetSystemMetrics(SM_CYSCREEN) / 2})) {
    return;
  }
  if (HMENU system = GetSystemMenu(Window(), FALSE)) {
    DeleteMenu(system, SC_MAXIMIZE, MF_BYCOMMAND);
    DeleteMenu(system, SC_SIZE, MF_BYCOMMAND);
  }
  HINSTANCE instance = GetModuleHandleA(nullptr);
  const auto loadIcon = [instance](int width, int height) {
    return UniqueIcon(static_cast<HICON>(LoadImageA(instance, "MAINICON", IMAGE_ICON, width, height, LR_DEFAULTCOLOR)));
  };
  bigIcon_ = loadIcon(GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON));
  smallIcon_ = loadIcon(GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON));
  if (bigIcon_) SendMessageA(Window(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon_.get()));
  if (smallIcon_) SendMessageA(Window(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_.get()));
  ShowWindow(Window(), SW_SHOWNOACTIVATE);
  AcceptComeForward(Window());
}

Application::~Application() {
  forms_.clear();
  // Before the icons it shows go.
  DestroyOwnWindow();
}

Application& App() {
  static Application application;
  return application;
}

void Application::SetTitle(const std::string& title) {
  title_ = title;
  if (Window()) SetWindowTextA(Window(), title_.c_str());
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
  while (!terminated_) {
    MSG waiting;
    // Under Wine a window's painting reaches the screen when its thread
    // finds its queue empty, which this look does.
    if (!afterFirstScreen_.empty() && !PeekMessageA(&waiting, nullptr, 0, 0, PM_NOREMOVE)) {
      std::vector<std::function<void()>> work = std::move(afterFirstScreen_);
      afterFirstScreen_.clear();
      for (auto& step : work) Guarded(step);
      continue;
    }
    HandleMessage();
  }
}

bool Application::IsMainForm(const FormCore& form) const {
  return mainForm_ != nullptr && static_cast<const FormCore*>(mainForm_) == &form;
}

void Application::MinimizeProgram() {
  if (!Window() || IsIconic(Window())) return;
  for (auto& owned : forms_) {
    if (owned.form->Visible() && owned.form->Handle()) ShowWindow(owned.form->Handle(), SW_HIDE);
  }
  ShowWindow(Window(), SW_MINIMIZE);
}

void Application::Restore() {
  if (Window() && IsIconic(Window())) ShowWindow(Window(), SW_RESTORE);
  for (auto& owned : forms_) {
    if (owned.form->Visible() && owned.form->Handle()) ShowWindow(owned.form->Handle(), SW_SHOWNA);
  }
  if (mainForm_) start_.Restored(*mainForm_);
  HWND target = lastActive_ && IsWindow(lastActive_) && IsWindowVisible(lastActive_)
                    ? lastActive_
                    : (mainForm_ ? mainForm_->Handle() : nullptr);
  if (target && IsWindowVisible(target) && IsWindowEnabled(target)) SetActiveWindow(target);
}

LRESULT Application::ComeForward() {
  // Minimised as a whole, the forms are hidden until the program is restored.
  if (IsIconic(Window())) Restore();
  const std::optional<std::uintptr_t> chosen = WindowToActivate(OwnTopLevelWindows(Window()));
  // The start that asked is waiting; it may end now.
  ReplyMessage(chosen ? kCameForward : 0);
  if (!chosen) return 0;
  HWND target = reinterpret_cast<HWND>(*chosen);
  if (IsIconic(target)) ShowWindow(target, SW_RESTORE);
  SetForegroundWindow(target);
  return kCameForward;
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

LRESULT Application::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
  case WM_SYSCOMMAND:
    switch (wParam & 0xFFF0) {
    case SC_RESTORE:
      Restore();
      return 0;
    case SC_MINIMIZE:
      MinimizeProgram();
      return 0;
    default:
      break;
    }
    break;
  case WM_CLOSE:
    if (mainForm_) mainForm_->Close();
    return 0;
  case WM_SETFOCUS: {
    // Activating the taskbar button's window hands the focus to the form
    // the user last worked in.
    HWND target = lastActive_;
    if (target && IsWindow(target) && IsWindowVisible(target) && IsWindowEnabled(target)) {
      SetActiveWindow(target);
      return 0;
    }
    break;
  }
  default:
    if (message == ComeForwardMessage() && message != 0) return ComeForward();
    break;
  }
  return Default(message, wParam, lParam);
}

} // namespace fablewick::win32

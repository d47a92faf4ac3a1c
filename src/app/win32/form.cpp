#include "app/win32/form.h"

#include "app/app_error.h"
#include "app/startup_trace.h"

namespace fablewick::win32 {

Form::~Form() {
  // The form class's handlers are gone by now: nothing may reach them.
  OnCreate = OnDestroy = OnShow = OnHide = OnActivate = OnClick = nullptr;
  OnClose = nullptr;
  DestroyHandle();
}

void Form::DestroyHandle() {
  if (!Window()) return;
  // The menu belongs to MainMenu; keep DestroyWindow from destroying it too.
  SetMenu(Window(), nullptr);
  DestroyOwnWindow();
}

void Form::CreateFormWindow(const FormClass& formClass) {
  CreateWindowFor({.className = formClass.name.c_str(),
                   .style = WS_POPUP | WS_CLIPCHILDREN | WS_CLIPSIBLINGS,
                   .parent = reinterpret_cast<HWND>(Host().OwnerWindow())},
                  "the window " + formClass.name);
}
Component* Form::FindComponent(std::string_view name) const {
  auto found = names_.find(name);
  return found == names_.end() ? nullptr : found->second;
}

void Form::MissingComponent(std::string_view name) const {
  throw AppError(className_ + " has no component " + std::string(name) + " of the expected type");
}

std::string Form::Caption() const {
  int length = GetWindowTextLengthA(Window());
  std::string text(static_cast<std::size_t>(length) + 1, '\0');
  text.resize(static_cast<std::size_t>(GetWindowTextA(Window(), text.data(), length + 1)));
  return text;
}

void Form::SetCaption(const std::string& caption) { SetWindowTextA(Window(), caption.c_str()); }

void Form::SetClientSize(int width, int height) {
  if (width < 0) width = 0;
  if (height < 0) height = 0;
  LONG style = static_cast<LONG>(GetWindowLongPtrA(Window(), GWL_STYLE));
  LONG exStyle = static_cast<LONG>(GetWindowLongPtrA(Window(), GWL_EXSTYLE));
  RECT frame{0, 0, width, height};
  AdjustWindowRectEx(&frame, static_cast<DWORD>(style), GetMenu(Window()) != nullptr, static_cast<DWORD>(exStyle));
  SetWindowPos(Window(), nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  // A menu bar that wraps onto a second line takes more than the one line
  // AdjustWindowRectEx allows for; measure and make up the difference.
  RECT client;
  GetClientRect(Window(), &client);
  int dw = width - (client.right - client.left), dh = height - (client.bottom - client.top);
  if (dw != 0 || dh != 0) {
    RECT outer;
    GetWindowRect(Window(), &outer);
    SetWindowPos(Window(), nullptr, 0, 0, outer.right - outer.left + dw, outer.bottom - outer.top + dh,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

int Form::ClientWidth() const {
  RECT client{};
  GetClientRect(Window(), &client);
  return client.right - client.left;
}

int Form::ClientHeight() const {
  RECT client{};
  GetClientRect(Window(), &client);
  return client.bottom - client.top;
}

void Form::DisplayWindow() {
  if (position_ == FormPosition::poScreenCenter && State() == WindowState::wsNormal) CenterOnScreen();
  int command = SW_SHOWNORMAL;
  if (State() == WindowState::wsMaximized) command = SW_SHOWMAXIMIZED;
  else if (State() == WindowState::wsMinimized) command = SW_SHOWMINIMIZED;
  ShowWindow(Window(), command);
  FABLEWICK_STARTUP_MARK("shown");
  UpdateWindow(Window());
  FABLEWICK_STARTUP_MARK("updated");
}

void Form::CenterOnScreen() {
  RECT outer;
  GetWindowRect(Window(), &outer);
  int width = outer.right - outer.left, height = outer.bottom - outer.top;
  int left = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
  int top = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
  SetWindowPos(Window(), nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Form::BringToFront() {
  if (Visible() && Window()) SetWindowPos(Window(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

void Form::HideWindow() { ShowWindow(Window(), SW_HIDE); }

void Form::MinimizeWindow() { ShowWindow(Window(), SW_MINIMIZE); }

bool Form::FormMessage(UINT, WPARAM, LPARAM, LRESULT&) { return false; }

LRESULT Form::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  LRESULT result = 0;
  if (FormMessage(message, wParam, lParam, result)) return result;
  if (click_.Observe(Window(), message, lParam) && OnClick) OnClick();
  switch (message) {
  case WM_ERASEBKGND: {
    RECT client;
    GetClientRect(Window(), &client);
    FillRect(reinterpret_cast<HDC>(wParam), &client, brush_ ? brush_.get() : GetSysColorBrush(COLOR_BTNFACE));
    return 1;
  }
  case WM_CLOSE:
    Close();
    return 0;
  case WM_SYSCOMMAND:
    if ((wParam & 0xFFF0) == SC_MINIMIZE && MinimizeProgramFor()) return 0;
    break;
  case WM_ACTIVATE:
    if (LOWORD(wParam) != WA_INACTIVE) Activated();
    break;
  case WM_COMMAND:
    if (lParam == 0 && menu_) {
      if (MenuItem* item = menu_->FindByCommand(LOWORD(wParam))) {
        item->Click();
        return 0;
      }
    }
    break;
  case WM_LBUTTONDOWN:
  case WM_LBUTTONUP:
    return 0;
  default:
    break;
  }
  return Default(message, wParam, lParam);
}

} // namespace fablewick::win32

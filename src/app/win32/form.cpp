#include "app/win32/form.h"

#include "app/app_error.h"
#include "app/dialog_place.h"
#include "app/startup_trace.h"

#include <algorithm>

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

// Each window change after creation costs a round of server requests (and a
// display check for every move), so the window is made with its final
// style, menu, place and size at once.
void Form::CreateFormWindow(const FormClass& formClass) {
  const FrameStyle frame = StyleOfFrame();
  RECT outer{0, 0, std::max(designWidth_, 0), std::max(designHeight_, 0)};
  AdjustWindowRectEx(&outer, frame.style, menu_ != nullptr, frame.exStyle);
  const int width = outer.right - outer.left, height = outer.bottom - outer.top;
  int left = designLeft_, top = designTop_;
  if (CentredWhenShown()) {
    const RECT area = CentringArea();
    const Point centred = CentredIn(Rect{area.left, area.top, area.right, area.bottom}, width, height);
    left = centred.x;
    top = centred.y;
  }
  CreateWindowFor({.className = formClass.name.c_str(),
                   .style = frame.style,
                   .exStyle = frame.exStyle,
                   .x = left,
                   .y = top,
                   .width = width,
                   .height = height,
                   .parent = reinterpret_cast<HWND>(Host().OwnerWindow()),
                   .menu = menu_ ? menu_->Handle() : nullptr},
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
  RECT client;
  GetClientRect(Window(), &client);
  int dw = width - (client.right - client.left), dh = height - (client.bottom - client.top);
  if (dw == 0 && dh == 0) return;
  LONG style = static_cast<LONG>(GetWindowLongPtrA(Window(), GWL_STYLE));
  LONG exStyle = static_cast<LONG>(GetWindowLongPtrA(Window(), GWL_EXSTYLE));
  RECT frame{0, 0, width, height};
  AdjustWindowRectEx(&frame, static_cast<DWORD>(style), GetMenu(Window()) != nullptr, static_cast<DWORD>(exStyle));
  PlaceFrame(frame.right - frame.left, frame.bottom - frame.top);
  // A menu bar that wraps onto a second line takes more than the one line
  // AdjustWindowRectEx allows for; measure and make up the difference.
  GetClientRect(Window(), &client);
  dw = width - (client.right - client.left), dh = height - (client.bottom - client.top);
  if (dw != 0 || dh != 0) {
    RECT outer;
    GetWindowRect(Window(), &outer);
    PlaceFrame(outer.right - outer.left + dw, outer.bottom - outer.top + dh);
  }
}

void Form::PlaceFrame(int outerWidth, int outerHeight) {
  RECT outer;
  GetWindowRect(Window(), &outer);
  const RECT screen = CentringArea();
  const Rect area{screen.left, screen.top, screen.right, screen.bottom};
  const Point was = CentredIn(area, outer.right - outer.left, outer.bottom - outer.top);
  UINT flags = SWP_NOZORDER | SWP_NOACTIVATE;
  int left = 0, top = 0;
  // Kept centred only while hidden and where it was centred: a place given
  // since (a move to another monitor) stays as it was.
  if (CentredWhenShown() && !IsWindowVisible(Window()) && outer.left == was.x && outer.top == was.y) {
    const Point centred = CentredIn(area, outerWidth, outerHeight);
    left = centred.x;
    top = centred.y;
  } else {
    flags |= SWP_NOMOVE;
  }
  SetWindowPos(Window(), nullptr, left, top, outerWidth, outerHeight, flags);
}

bool Form::CentredWhenShown() const {
  return position_ == FormPosition::poScreenCenter && State() == WindowState::wsNormal;
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
  if (CentredWhenShown()) CenterOnScreen();
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
  const RECT screen = CentringArea();
  const Point centred = CentredIn(Rect{screen.left, screen.top, screen.right, screen.bottom},
                                  outer.right - outer.left, outer.bottom - outer.top);
  const int left = centred.x, top = centred.y;
  // Usually already there: placed when it was created or last resized.
  if (outer.left == left && outer.top == top) return;
  SetWindowPos(Window(), nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Form::CentreIn(const Rect& area) {
  centreArea_ = area;
  if (CentredWhenShown() && Window() && !IsWindowVisible(Window())) CenterOnScreen();
}

RECT Form::CentringArea() const {
  if (centreArea_) return RECT{centreArea_->left, centreArea_->top, centreArea_->right, centreArea_->bottom};
  return RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

void Form::BringToFront() {
  if (!Visible() || !Window()) return;
  // Already the active window at the top: raising it again would only cost
  // a round of server requests.
  if (GetTopWindow(nullptr) == Window() && GetForegroundWindow() == Window()) return;
  SetWindowPos(Window(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
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

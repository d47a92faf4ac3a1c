#include "app/win32/base_window.h"

#include "app/app_error.h"

#include <set>
#include <utility>

namespace fablewick::win32 {

namespace {

// Once per class name and process, all with the one window procedure. No
// CS_DBLCLKS: a double-click then reaches the handlers as a second press.
void RegisterWindowClass(const char* name, WNDPROC procedure) {
  static std::set<std::string, std::less<>> registered;
  if (registered.count(name)) return;
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = procedure;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  wc.lpszClassName = name;
  if (!RegisterClassExA(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
    throw AppError("Cannot register the window class " + std::string(name));
  }
  registered.insert(name);
}

} // namespace

BaseWindow::~BaseWindow() {
  if (!window_) return;
  SetWindowLongPtrA(window_, GWLP_USERDATA, 0);
  DestroyWindow(window_);
}

void BaseWindow::CreateWindowFor(const Creation& creation, const std::string& what) {
  if (!TryCreateWindow(creation)) throw AppError("Cannot create " + what);
}

bool BaseWindow::TryCreateWindow(const Creation& creation) {
  RegisterWindowClass(creation.className, &BaseWindow::WindowProc);
  createError_ = nullptr;
  HWND created = CreateWindowExA(creation.exStyle, creation.className, creation.title, creation.style, creation.x,
                                 creation.y, creation.width, creation.height, creation.parent, creation.menu,
                                 GetModuleHandleA(nullptr), this);
  if (created) return true;
  // A refused window is already destroyed and detached: nothing is left.
  window_ = nullptr;
  if (createError_) std::rethrow_exception(std::exchange(createError_, nullptr));
  return false;
}

void BaseWindow::DestroyOwnWindow() {
  if (window_) DestroyWindow(window_);
}

LRESULT BaseWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  return Default(message, wParam, lParam);
}

LRESULT BaseWindow::Dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
  FormHost* host = ReportingHost();
  if (!host) return HandleMessage(message, wParam, lParam);
  try {
    return HandleMessage(message, wParam, lParam);
  } catch (...) {
    host->ReportCurrentError();
    return 0;
  }
}

LRESULT CALLBACK BaseWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* self = static_cast<BaseWindow*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
    self->window_ = window;
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<BaseWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  if (!self) return DefWindowProcA(window, message, wParam, lParam);
  switch (message) {
  case WM_CREATE:
    try {
      self->CreateStep();
      return 0;
    } catch (...) {
      self->createError_ = std::current_exception();
      return -1;
    }
  case WM_NCDESTROY:
    SetWindowLongPtrA(window, GWLP_USERDATA, 0);
    self->window_ = nullptr;
    return DefWindowProcA(window, message, wParam, lParam);
  default:
    return self->Dispatch(message, wParam, lParam);
  }
}

} // namespace fablewick::win32

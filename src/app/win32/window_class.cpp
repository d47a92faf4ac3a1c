#include "app/win32/window_class.h"

#include "app/app_error.h"

#include <set>

namespace fablewick::win32 {

void RegisterWindowClass(const std::string& name, WNDPROC procedure) {
  static std::set<std::string> registered;
  if (registered.count(name)) return;
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof wc;
  wc.style = 0;
  wc.lpfnWndProc = procedure;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  wc.lpszClassName = name.c_str();
  if (!RegisterClassExA(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
    throw AppError("Cannot register the window class " + name);
  }
  registered.insert(name);
}

} // namespace fablewick::win32

#include "launcher/win32/shell_windows.h"

#include <windows.h>

#include <memory>
#include <type_traits>

namespace fablewick::win32 {

namespace {

struct LibraryFreer {
  void operator()(HMODULE module) const { FreeLibrary(module); }
};

using ShellExecuteFunction = HINSTANCE(WINAPI*)(HWND, LPCSTR, LPCSTR, LPCSTR, LPCSTR, INT);

// The shell library is loaded when a game is first started, not with the
// program: under Wine it brings a handful of other libraries along, and
// every start of the launcher would wait for them before its first paint.
ShellExecuteFunction ShellExecuteEntry() {
  static const std::unique_ptr<std::remove_pointer_t<HMODULE>, LibraryFreer> shell(LoadLibraryA("shell32.dll"));
  if (!shell) return nullptr;
  return reinterpret_cast<ShellExecuteFunction>(
      reinterpret_cast<void*>(GetProcAddress(shell.get(), "ShellExecuteA")));
}

} // namespace

bool WindowsShell::IsPlainFile(const std::string& name) {
  const DWORD attributes = GetFileAttributesA(name.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool WindowsShell::OpenDetached(const std::string& name) {
  // ShellExecute's HINSTANCE is an error code in disguise: above 32 means the
  // shell started the program.
  const ShellExecuteFunction shellExecute = ShellExecuteEntry();
  if (!shellExecute) return false;
  const HINSTANCE result = shellExecute(nullptr, "open", name.c_str(), nullptr, nullptr, SW_SHOW);
  return reinterpret_cast<INT_PTR>(result) > 32;
}

void WindowsShell::ChangeCurrentDirectory(const std::string& path) {
  SetCurrentDirectoryA(path.c_str());
}

} // namespace fablewick::win32

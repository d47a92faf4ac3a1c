#include "launcher/win32/shell_windows.h"

#include "app/win32/lazy_library.h"
#include "app/win32/plain_file.h"
#include "app/win32/wide_text.h"

#include <windows.h>
#include <shellapi.h>

namespace fablewick::win32 {

namespace {

// Loaded when a game is first started (see LazyLibrary).
LazyLibrary& ShellLibrary() {
  static LazyLibrary library("shell32.dll");
  return library;
}

} // namespace

bool WindowsShell::IsPlainFile(const std::string& name) { return win32::IsPlainFile(name); }

bool WindowsShell::OpenDetached(const std::string& name) {
  // ShellExecute's HINSTANCE is an error code in disguise: above 32 means the
  // shell started the program.
  const auto shellExecute = ShellLibrary().Entry<decltype(&ShellExecuteW)>("ShellExecuteW");
  if (!shellExecute) return false;
  const HINSTANCE result =
      shellExecute(nullptr, L"open", WideFromUtf8(name).c_str(), nullptr, nullptr, SW_SHOW);
  return reinterpret_cast<INT_PTR>(result) > 32;
}

void WindowsShell::ChangeCurrentDirectory(const std::u16string& path) {
  SetCurrentDirectoryW(WideFromUtf16(path).c_str());
}

} // namespace fablewick::win32

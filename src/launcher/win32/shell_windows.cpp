#include "launcher/win32/shell_windows.h"

#include "app/win32/lazy_library.h"
#include "app/win32/long_path.h"
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
  if (!SetCurrentDirectoryW(WideFromUtf16(path).c_str())) return;
  // No program starts in a current folder deeper than MAX_PATH (CreateProcess
  // refuses it), and the games and the guard start from here: such a folder
  // is made current by the short form of its path, where it has one.
  if (GetCurrentDirectoryW(0, nullptr) < MAX_PATH) return;
  const std::wstring alias = ShortFullPath(L".");
  if (!alias.empty() && alias.size() < MAX_PATH - 1) SetCurrentDirectoryW(alias.c_str());
}

} // namespace fablewick::win32

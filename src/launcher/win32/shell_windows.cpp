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

// Starts the program with no arguments and does not wait for it.
bool StartDetached(const std::wstring& program) {
  if (program.empty()) return false;
  std::wstring commandLine = L"\"" + program + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_SHOW;
  PROCESS_INFORMATION started{};
  if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      nullptr, &startup, &started)) {
    return false;
  }
  CloseHandle(started.hThread);
  CloseHandle(started.hProcess);
  return true;
}

} // namespace

bool WindowsShell::IsPlainFile(const std::string& name) { return win32::IsPlainFile(name); }

bool WindowsShell::OpenDetached(const std::string& name) {
  // ShellExecute's HINSTANCE is an error code in disguise: above 32 means the
  // shell started the program.
  const auto shellExecute = ShellLibrary().Entry<decltype(&ShellExecuteW)>("ShellExecuteW");
  if (!shellExecute) return false;
  const std::wstring file = WideFromUtf8(name);
  const INT_PTR result = reinterpret_cast<INT_PTR>(
      shellExecute(nullptr, L"open", file.c_str(), nullptr, nullptr, SW_SHOW));
  if (result > 32) return true;
  // Wine's shell loses its way to a file in a folder deeper than MAX_PATH
  // (which is current by its short form) and reports it missing; the file is
  // there, so the program is started directly, as the shell would have.
  if (result != SE_ERR_FNF && result != SE_ERR_PNF) return false;
  return StartDetached(FullPath(file));
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

#include "launcher/win32/shell_windows.h"

#include <windows.h>
#include <shellapi.h>

namespace fablewick::win32 {

bool WindowsShell::IsPlainFile(const std::string& name) {
  const DWORD attributes = GetFileAttributesA(name.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool WindowsShell::OpenDetached(const std::string& name) {
  // ShellExecute's HINSTANCE is an error code in disguise: above 32 means the
  // shell started the program.
  const HINSTANCE result = ShellExecuteA(nullptr, "open", name.c_str(), nullptr, nullptr, SW_SHOW);
  return reinterpret_cast<INT_PTR>(result) > 32;
}

void WindowsShell::ChangeCurrentDirectory(const std::string& path) {
  SetCurrentDirectoryA(path.c_str());
}

} // namespace fablewick::win32

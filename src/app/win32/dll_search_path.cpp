#include "app/win32/dll_search_path.h"

#include <string>

namespace fablewick::win32 {

namespace {

using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
using SetDllDirectoryWFn = BOOL(WINAPI*)(LPCWSTR);

template <class Fn>
Fn Kernel32Function(const char* name) {
  HMODULE kernel32 = GetModuleHandleW(L"kernel32.dll");
  if (kernel32 == nullptr) return nullptr;
  // Looked up rather than imported: a program that imports a missing
  // function does not start at all.
  return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(kernel32, name)));
}

} // namespace

void LoadDllsOnlyFromSystemAndProgramFolder() {
  // Windows 8 and later, and Windows 7 with KB2533623.
  if (auto setDefault = Kernel32Function<SetDefaultDllDirectoriesFn>("SetDefaultDllDirectories")) {
    if (setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32 | LOAD_LIBRARY_SEARCH_APPLICATION_DIR)) return;
  }
  // An empty string takes the current directory out of the search order.
  if (auto setDirectory = Kernel32Function<SetDllDirectoryWFn>("SetDllDirectoryW")) {
    setDirectory(L"");
  }
}

HMODULE LoadSystemLibrary(const char* fileName) {
  // By name, so that the program's manifest still picks the version of a
  // side-by-side library (version 6 of the common controls).
  HMODULE module = LoadLibraryExA(fileName, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
  if (module != nullptr || GetLastError() != ERROR_INVALID_PARAMETER) return module;
  // A system that does not know the flag: the full path.
  char folder[MAX_PATH] = {};
  const UINT length = GetSystemDirectoryA(folder, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return nullptr;
  std::string path(folder, length);
  path += '\\';
  path += fileName;
  return LoadLibraryA(path.c_str());
}

} // namespace fablewick::win32

// A DLL that someone left in the install folder under the name of one the
// program loads late. All it does is say that it was loaded: a line with the
// loading program's path in the file named by FABLEWICK_PLANTED_LOG.
#include <windows.h>

namespace {

void NoteLoading() {
  char logPath[MAX_PATH] = {};
  DWORD length = GetEnvironmentVariableA("FABLEWICK_PLANTED_LOG", logPath, sizeof logPath);
  if (length == 0 || length >= sizeof logPath) return;
  char line[MAX_PATH + 16] = "loaded by ";
  const DWORD prefix = lstrlenA(line);
  DWORD program = GetModuleFileNameA(nullptr, line + prefix, MAX_PATH);
  line[prefix + program] = '\n';
  HANDLE log = CreateFileA(logPath, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (log == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  WriteFile(log, line, prefix + program + 1, &written, nullptr);
  CloseHandle(log);
}

} // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) NoteLoading();
  return TRUE;
}

#include "launcher/win32/shell_windows.h"

#include "app/win32/com_library.h"
#include "app/win32/lazy_library.h"
#include "app/win32/long_path.h"
#include "app/win32/plain_file.h"
#include "app/win32/scoped_win.h"
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
  const UniqueKernelHandle thread(started.hThread), process(started.hProcess);
  return true;
}

} // namespace

WindowsShell::~WindowsShell() {
  if (apartmentEntered_) com::Uninitialize();
}

bool WindowsShell::IsPlainFile(const std::string& name) { return win32::IsPlainFile(name); }

StartResult WindowsShell::OpenDetached(const std::string& name) {
  // The shell may hand the start to extensions that live in a single-threaded
  // apartment; the window thread enters one once, for the rest of its life
  // (an apartment it is already in counts too, and is left as often).
  if (!apartmentTried_) {
    apartmentTried_ = true;
    apartmentEntered_ = SUCCEEDED(com::InitializeApartment());
  }
  const auto shellExecute = ShellLibrary().Entry<decltype(&ShellExecuteExW)>("ShellExecuteExW");
  if (!shellExecute) return StartResult::Refused;
  const std::wstring file = WideFromUtf8(name);
  SHELLEXECUTEINFOW request{};
  request.cbSize = sizeof request;
  // Done before the call returns, as the launcher ends soon after; the
  // launcher says itself what went wrong, so the shell shows no error box.
  request.fMask = SEE_MASK_NOASYNC | SEE_MASK_FLAG_NO_UI;
  request.lpVerb = L"open";
  request.lpFile = file.c_str();
  request.nShow = SW_SHOW;
  if (shellExecute(&request)) return StartResult::Started;
  // Only the extended form tells a "no" at the elevation prompt from a
  // failure: the plain one folds it into "access denied".
  const DWORD error = GetLastError();
  if (error == ERROR_CANCELLED) return StartResult::Cancelled;
  // Wine's shell loses its way to a file in a folder deeper than MAX_PATH
  // (which is current by its short form) and reports it missing; the file is
  // there, so the program is started directly, as the shell would have.
  const INT_PTR code = reinterpret_cast<INT_PTR>(request.hInstApp);
  const bool missing = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND || code == SE_ERR_FNF ||
                       code == SE_ERR_PNF;
  return missing && StartDetached(FullPath(file)) ? StartResult::Started : StartResult::Refused;
}

bool WindowsShell::MakeCurrent(const std::u16string& path) {
  if (!SetCurrentDirectoryW(WideFromUtf16(path).c_str())) return false;
  // No program starts in a current folder deeper than MAX_PATH (CreateProcess
  // refuses it), and the games and the guard start from here: such a folder
  // is made current by the short form of its path, where it has one.
  if (GetCurrentDirectoryW(0, nullptr) < MAX_PATH) return true;
  const std::wstring alias = ShortFullPath(L".");
  if (!alias.empty() && alias.size() < MAX_PATH - 1) SetCurrentDirectoryW(alias.c_str());
  return true;
}

std::u16string WindowsShell::ShortName(const std::u16string& path) {
  if (path.empty()) return {};
  const std::wstring alias = ShortFullPath(WideFromUtf16(path));
  return std::u16string(alias.begin(), alias.end());
}

} // namespace fablewick::win32

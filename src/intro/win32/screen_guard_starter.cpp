#include "intro/win32/screen_guard_starter.h"

#include "intro/screen_guard.h"

#include <cstdint>
#include <cstdio>
#include <string>

namespace fablewick::win32 {

namespace {

GuardArea AreaOf(void* view) { return GuardArea(static_cast<std::byte*>(view), GuardAreaSize); }

// An inheritable copy with only the access the guard needs.
UniqueKernelHandle Inheritable(HANDLE handle, DWORD access) {
  HANDLE copy = nullptr;
  if (!DuplicateHandle(GetCurrentProcess(), handle, GetCurrentProcess(), &copy, access, TRUE, 0)) {
    return nullptr;
  }
  return UniqueKernelHandle(copy);
}

// This program's own path, however long, in whatever script its folder is
// named. GetModuleFileName says only that the buffer was too small (by
// filling it), so the buffer grows until the path fits; empty when it cannot
// be had.
std::wstring OwnPath() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return {};
    if (length < path.size()) {
      path.resize(length);
      return path;
    }
    // Paths end at 32,767 units; beyond that the name cannot be right.
    if (path.size() > 32768) return {};
    path.resize(path.size() * 2);
  }
}

// How the guard is started, most wanted first. Task Manager's "End process
// tree" and a job that kills its processes both end the launcher's
// descendants, the guard with them, and the taskbar would stay hidden.
enum class GuardStart {
  // A child of the shell's process, which also puts it in the shell's job.
  UnderShell,
  // The launcher's child, out of the launcher's job where the job allows it.
  BreakingAway,
  // The launcher's child, as a job that allows no breakaway demands.
  Plain,
};

// The shell's own process, which outlives the launcher; none when there is
// no shell, or it may not be used as a parent.
UniqueKernelHandle ShellProcess() {
  HWND shell = GetShellWindow();
  if (shell == nullptr) shell = FindWindowA("Shell_TrayWnd", nullptr);
  DWORD processId = 0;
  if (shell != nullptr) GetWindowThreadProcessId(shell, &processId);
  if (processId == 0 || processId == GetCurrentProcessId()) return nullptr;
  return UniqueKernelHandle(OpenProcess(PROCESS_CREATE_PROCESS | PROCESS_DUP_HANDLE, FALSE, processId));
}

// Inheritable copies of the handles held in another process (the guard's
// parent), closed there again when this goes.
class HandlesIn {
public:
  HandlesIn(HANDLE process, const HANDLE (&handles)[3]) : process_(process) {
    for (int i = 0; i < 3; ++i) {
      if (!DuplicateHandle(GetCurrentProcess(), handles[i], process, &copies_[i], 0, TRUE, DUPLICATE_SAME_ACCESS)) {
        copies_[i] = nullptr;
      }
    }
  }
  ~HandlesIn() {
    for (HANDLE copy : copies_) {
      if (copy != nullptr) DuplicateHandle(process_, copy, nullptr, nullptr, 0, FALSE, DUPLICATE_CLOSE_SOURCE);
    }
  }
  HandlesIn(const HandlesIn&) = delete;
  HandlesIn& operator=(const HandlesIn&) = delete;
  bool Whole() const { return copies_[0] != nullptr && copies_[1] != nullptr && copies_[2] != nullptr; }
  HANDLE (&Copies())[3] { return copies_; }

private:
  HANDLE process_;
  HANDLE copies_[3] = {};
};

// Starts this program again with only the given handles inherited (values
// as the parent holds them), under `parent` when one is given; where the
// system cannot name the handles, every inheritable handle goes along, and
// the launcher makes no others.
bool CreateGuardProcess(HANDLE (&handles)[3], HANDLE parent, DWORD flags) {
  const std::wstring self = OwnPath();
  if (self.empty()) return false;
  // CreateProcessW may write into the command line, so it is a copy of its own.
  std::wstring commandLine = L"\"" + self + L"\"";

  char value[64];
  std::snprintf(value, sizeof value, "%llx,%llx,%llx",
                static_cast<unsigned long long>(reinterpret_cast<std::uintptr_t>(handles[0])),
                static_cast<unsigned long long>(reinterpret_cast<std::uintptr_t>(handles[1])),
                static_cast<unsigned long long>(reinterpret_cast<std::uintptr_t>(handles[2])));
  // Set only around the start, so that no program the launcher starts later
  // inherits it.
  if (!SetEnvironmentVariableA(GuardHandlesVariable, value)) return false;

  STARTUPINFOEXW startup{};
  startup.StartupInfo.cb = sizeof startup;
  // No busy cursor: the guard never shows a window.
  startup.StartupInfo.dwFlags = STARTF_FORCEOFFFEEDBACK;
  const DWORD count = parent != nullptr ? 2 : 1;
  SIZE_T size = 0;
  InitializeProcThreadAttributeList(nullptr, count, 0, &size);
  alignas(16) char attributeSpace[256];
  auto* attributes = reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(attributeSpace);
  const bool listed = size != 0 && size <= sizeof attributeSpace &&
                      InitializeProcThreadAttributeList(attributes, count, 0, &size);
  bool named = false;
  if (listed) {
    named = UpdateProcThreadAttribute(attributes, 0, PROC_THREAD_ATTRIBUTE_HANDLE_LIST, handles, sizeof handles,
                                      nullptr, nullptr) != FALSE;
    if (parent != nullptr) {
      // Without its own list the guard would inherit whatever the shell
      // leaves inheritable; without the parent it would land under the
      // launcher after all. Either way the plain start does better.
      if (!named || !UpdateProcThreadAttribute(attributes, 0, PROC_THREAD_ATTRIBUTE_PARENT_PROCESS, &parent,
                                               sizeof parent, nullptr, nullptr)) {
        DeleteProcThreadAttributeList(attributes);
        SetEnvironmentVariableA(GuardHandlesVariable, nullptr);
        return false;
      }
    }
  } else if (parent != nullptr) {
    SetEnvironmentVariableA(GuardHandlesVariable, nullptr);
    return false;
  }
  if (named) {
    startup.lpAttributeList = attributes;
    flags |= EXTENDED_STARTUPINFO_PRESENT;
  }
  PROCESS_INFORMATION guard{};
  const BOOL started = CreateProcessW(self.c_str(), commandLine.data(), nullptr, nullptr, TRUE, flags, nullptr,
                                      nullptr, &startup.StartupInfo, &guard);
  const DWORD error = GetLastError();
  if (listed) DeleteProcThreadAttributeList(attributes);
  SetEnvironmentVariableA(GuardHandlesVariable, nullptr);
  // The guard is not waited for: it ends by itself.
  const UniqueKernelHandle thread(guard.hThread), process(guard.hProcess);
  SetLastError(error);
  return started != FALSE;
}

bool StartGuardAs(GuardStart how, HANDLE (&handles)[3]) {
  switch (how) {
  case GuardStart::UnderShell: {
    const UniqueKernelHandle shell = ShellProcess();
    if (!shell) return false;
    HandlesIn inShell(shell.get(), handles);
    return inShell.Whole() && CreateGuardProcess(inShell.Copies(), shell.get(), 0);
  }
  case GuardStart::BreakingAway:
    return CreateGuardProcess(handles, nullptr, CREATE_BREAKAWAY_FROM_JOB);
  case GuardStart::Plain:
    return CreateGuardProcess(handles, nullptr, 0);
  }
  return false;
}

} // namespace

void ScreenGuardStarter::TakeoverChanged(const ScreenTakeover& taken) noexcept {
  if (!InForce(taken)) {
    if (view_) {
      WriteGuardRecord(AreaOf(view_.get()), RecordOf(taken, gamma_));
      SetEvent(givenBack_.get());
    }
    Forget();
    failed_ = false;
    return;
  }
  if (failed_) return;
  if (!view_ && !Share()) {
    failed_ = true;
    return;
  }
  // Written before the guard exists, so that it never finds an empty record.
  WriteGuardRecord(AreaOf(view_.get()), RecordOf(taken, gamma_));
  if (!guarded_ && !StartGuard()) {
    Forget();
    failed_ = true;
  }
}

bool ScreenGuardStarter::Share() noexcept {
  record_.reset(CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                   static_cast<DWORD>(GuardAreaSize), nullptr));
  if (!record_) return false;
  view_.reset(MapViewOfFile(record_.get(), FILE_MAP_WRITE, 0, 0, GuardAreaSize));
  givenBack_.reset(CreateEventA(nullptr, TRUE, FALSE, nullptr));
  return view_ && givenBack_;
}

bool ScreenGuardStarter::StartGuard() noexcept {
  const UniqueKernelHandle record = Inheritable(record_.get(), FILE_MAP_READ);
  const UniqueKernelHandle launcher =
      Inheritable(GetCurrentProcess(), SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION);
  const UniqueKernelHandle givenBack = Inheritable(givenBack_.get(), SYNCHRONIZE);
  if (!record || !launcher || !givenBack) return false;

  HANDLE handles[3] = {record.get(), launcher.get(), givenBack.get()};
  guarded_ = StartGuardAs(GuardStart::UnderShell, handles);
  if (!guarded_) {
    guarded_ = StartGuardAs(GuardStart::BreakingAway, handles);
    // A job that allows no breakaway refuses the whole start.
    if (!guarded_ && GetLastError() == ERROR_ACCESS_DENIED) guarded_ = StartGuardAs(GuardStart::Plain, handles);
  }
  return guarded_;
}

void ScreenGuardStarter::Forget() noexcept {
  view_.reset();
  record_.reset();
  givenBack_.reset();
  guarded_ = false;
}

} // namespace fablewick::win32

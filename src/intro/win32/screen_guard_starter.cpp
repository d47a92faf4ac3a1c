#include "intro/win32/screen_guard_starter.h"

#include "intro/gamma_fade.h"
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

// Starts this program again with only the given handles inherited, where
// the system supports naming them; elsewhere every inheritable handle goes
// along, and the launcher makes no others.
bool CreateGuardProcess(HANDLE (&handles)[3]) {
  const std::wstring self = OwnPath();
  if (self.empty()) return false;
  // CreateProcessW may write into the command line, so it is a copy of its own.
  std::wstring commandLine = L"\"" + self + L"\"";

  STARTUPINFOEXW startup{};
  startup.StartupInfo.cb = sizeof startup;
  // No busy cursor: the guard never shows a window.
  startup.StartupInfo.dwFlags = STARTF_FORCEOFFFEEDBACK;
  SIZE_T size = 0;
  InitializeProcThreadAttributeList(nullptr, 1, 0, &size);
  alignas(16) char attributeSpace[256];
  DWORD flags = 0;
  auto* attributes = reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(attributeSpace);
  bool listed = size != 0 && size <= sizeof attributeSpace &&
                InitializeProcThreadAttributeList(attributes, 1, 0, &size);
  if (listed) {
    if (UpdateProcThreadAttribute(attributes, 0, PROC_THREAD_ATTRIBUTE_HANDLE_LIST, handles,
                                  sizeof handles, nullptr, nullptr)) {
      startup.lpAttributeList = attributes;
      flags = EXTENDED_STARTUPINFO_PRESENT;
    }
  }
  PROCESS_INFORMATION guard{};
  const BOOL started = CreateProcessW(self.c_str(), commandLine.data(), nullptr, nullptr, TRUE,
                                      flags, nullptr, nullptr, &startup.StartupInfo, &guard);
  if (listed) DeleteProcThreadAttributeList(attributes);
  // The guard is not waited for: it ends by itself.
  const UniqueKernelHandle thread(guard.hThread), process(guard.hProcess);
  return started != FALSE;
}

} // namespace

void ScreenGuardStarter::TakeoverChanged(const ScreenTakeover& taken) noexcept {
  if (!InForce(taken)) {
    if (view_) {
      WriteGuardRecord(AreaOf(view_.get()), RecordOf(taken, FirstGammaEntry()));
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
  WriteGuardRecord(AreaOf(view_.get()), RecordOf(taken, FirstGammaEntry()));
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

  char value[64];
  std::snprintf(value, sizeof value, "%llx,%llx,%llx",
                static_cast<unsigned long long>(reinterpret_cast<std::uintptr_t>(record.get())),
                static_cast<unsigned long long>(reinterpret_cast<std::uintptr_t>(launcher.get())),
                static_cast<unsigned long long>(reinterpret_cast<std::uintptr_t>(givenBack.get())));
  // Set only around the start, so that no program the launcher starts later
  // inherits it.
  if (!SetEnvironmentVariableA(GuardHandlesVariable, value)) return false;
  HANDLE handles[3] = {record.get(), launcher.get(), givenBack.get()};
  guarded_ = CreateGuardProcess(handles);
  SetEnvironmentVariableA(GuardHandlesVariable, nullptr);
  return guarded_;
}

void ScreenGuardStarter::Forget() noexcept {
  view_.reset();
  record_.reset();
  givenBack_.reset();
  guarded_ = false;
}

} // namespace fablewick::win32

#include "intro/win32/screen_guard_starter.h"

#include "intro/gamma_fade.h"
#include "intro/screen_guard.h"

#include <cstdint>
#include <cstdio>

namespace fablewick::win32 {

namespace {

GuardArea AreaOf(void* view) { return GuardArea(static_cast<std::byte*>(view), GuardAreaSize); }

// An inheritable copy with only the access the guard needs.
UniqueHandle Inheritable(HANDLE handle, DWORD access) {
  HANDLE copy = nullptr;
  if (!DuplicateHandle(GetCurrentProcess(), handle, GetCurrentProcess(), &copy, access, TRUE, 0)) {
    return nullptr;
  }
  return UniqueHandle(copy);
}

// Starts this program again with only the given handles inherited, where
// the system supports naming them; elsewhere every inheritable handle goes
// along, and the launcher makes no others.
bool CreateGuardProcess(HANDLE (&handles)[3]) {
  char self[MAX_PATH];
  const DWORD length = GetModuleFileNameA(nullptr, self, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return false;
  char commandLine[MAX_PATH + 3];
  std::snprintf(commandLine, sizeof commandLine, "\"%s\"", self);

  STARTUPINFOEXA startup{};
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
  const BOOL started = CreateProcessA(self, commandLine, nullptr, nullptr, TRUE, flags, nullptr,
                                      nullptr, &startup.StartupInfo, &guard);
  if (listed) DeleteProcThreadAttributeList(attributes);
  // The guard is not waited for: it ends by itself.
  const UniqueHandle thread(guard.hThread), process(guard.hProcess);
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
  const UniqueHandle record = Inheritable(record_.get(), FILE_MAP_READ);
  const UniqueHandle launcher =
      Inheritable(GetCurrentProcess(), SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION);
  const UniqueHandle givenBack = Inheritable(givenBack_.get(), SYNCHRONIZE);
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

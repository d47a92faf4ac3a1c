#include "intro/win32/screen_guard_role.h"

#include "app/win32/scoped_win.h"
#include "intro/screen_guard.h"
#include "intro/win32/gdi_gamma_display.h"
#include "intro/win32/screen_guard_starter.h"
#include "intro/win32/win32_desktop.h"

#include <cstdio>
#include <cstring>

namespace fablewick::win32 {

namespace {

// Held by the one guard that may act; a second launcher's guard waits for
// it, so two guards never put the taskbar back against each other.
constexpr char ActingGuardMutex[] = "Local\\Quillmere.Fablewick.ScreenGuard";

struct InheritedHandles {
  UniqueKernelHandle record, launcher, givenBack;
};

// Empty handles when the value is not three numbers or a handle is not what
// it should be: such a guard restores nothing.
InheritedHandles ParseHandles(const char* value) {
  unsigned long long record = 0, launcher = 0, givenBack = 0;
  char rest = 0;
  if (std::sscanf(value, "%llx,%llx,%llx%c", &record, &launcher, &givenBack, &rest) != 3) return {};
  InheritedHandles handles{UniqueKernelHandle(reinterpret_cast<HANDLE>(record)),
                           UniqueKernelHandle(reinterpret_cast<HANDLE>(launcher)),
                           UniqueKernelHandle(reinterpret_cast<HANDLE>(givenBack))};
  if (GetProcessId(handles.launcher.get()) == 0) return {};
  return handles;
}

// Waits for the first of the handles; returns its index, or -1 on failure.
int FirstOf(std::initializer_list<HANDLE> handles) {
  const DWORD count = static_cast<DWORD>(handles.size());
  const DWORD result = WaitForMultipleObjects(count, handles.begin(), FALSE, INFINITE);
  if (result < WAIT_OBJECT_0 + count) return static_cast<int>(result - WAIT_OBJECT_0);
  // A guard that ended without releasing the mutex leaves it to the next.
  if (result >= WAIT_ABANDONED_0 && result < WAIT_ABANDONED_0 + count) {
    return static_cast<int>(result - WAIT_ABANDONED_0);
  }
  return -1;
}

std::optional<GuardRecord> ReadShared(HANDLE record) {
  const UniqueView view(MapViewOfFile(record, FILE_MAP_READ, 0, 0, GuardAreaSize));
  if (!view) return std::nullopt;
  return ReadGuardRecord(ConstGuardArea(static_cast<const std::byte*>(view.get()), GuardAreaSize));
}

// A taskbar handle that no longer names one of the shell's taskbars (the
// shell was restarted) must not make the guard show some other window.
void ForgetStaleTaskbars(GuardRecord& record) {
  for (WindowHandle& slot : record.taken.hiddenTaskbars) {
    char className[32] = {};
    const HWND taskbar = reinterpret_cast<HWND>(slot);
    if (taskbar == nullptr) continue;
    if (!IsWindow(taskbar) || GetClassNameA(taskbar, className, sizeof className) == 0 ||
        (std::strcmp(className, "Shell_TrayWnd") != 0 && std::strcmp(className, "Shell_SecondaryTrayWnd") != 0)) {
      slot = 0;
    }
  }
}

void StandGuard(const char* value) {
  const InheritedHandles handles = ParseHandles(value);
  if (!handles.launcher) return;
  const UniqueKernelHandle acting(CreateMutexA(nullptr, FALSE, ActingGuardMutex));
  if (acting) {
    const int first = FirstOf({handles.givenBack.get(), acting.get()});
    if (first != 1) return;
  }
  const int first = FirstOf({handles.givenBack.get(), handles.launcher.get()});
  // The launcher may have given the screen back just before it ended.
  if (first == 1 && WaitForSingleObject(handles.givenBack.get(), 0) == WAIT_TIMEOUT) {
    std::optional<GuardRecord> plan =
        WhatToRestore(GuardWake::LauncherEnded, ReadShared(handles.record.get()));
    if (plan) {
      ForgetStaleTaskbars(*plan);
      Win32Desktop desktop;
      GdiGammaDisplay gamma;
      RestoreFromGuard(*plan, desktop, gamma);
    }
  }
  if (acting) ReleaseMutex(acting.get());
}

} // namespace

bool TakeScreenGuardRole(const GammaFade& gamma) {
  char value[80] = {};
  const DWORD length = GetEnvironmentVariableA(GuardHandlesVariable, value, sizeof value);
  if (length == 0 && GetLastError() == ERROR_ENVVAR_NOT_FOUND) {
    static ScreenGuardStarter starter(gamma);
    SetTakeoverWatcher(&starter);
    return false;
  }
  if (length < sizeof value) StandGuard(value);
  return true;
}

} // namespace fablewick::win32

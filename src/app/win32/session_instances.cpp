#include "app/win32/session_instances.h"

#include "app/win32/system_clock.h"

namespace fablewick::win32 {

namespace {

// "Local\" keeps the name inside the user's own session: another user on
// the same machine runs a launcher of their own.
constexpr char kInstanceName[] = "Local\\Quillmere.Fablewick.Launcher";
constexpr char kLauncherClass[] = "Tfrmmain";
// Long enough for a busy launcher to answer, short enough to try again
// several times within the patience of the decision.
constexpr UINT kAnswerTimeoutMs = 250;

struct Search {
  DWORD processId;
  HWND owner;
  HWND found = nullptr;
};

// The topmost visible window of the running program that takes input: the
// intro while it plays, a message dialog while one is up, else the launcher.
BOOL CALLBACK FindFrontCandidate(HWND window, LPARAM param) {
  auto& search = *reinterpret_cast<Search*>(param);
  DWORD processId = 0;
  GetWindowThreadProcessId(window, &processId);
  if (processId != search.processId || window == search.owner) return TRUE;
  if (!IsWindowVisible(window) || !IsWindowEnabled(window)) return TRUE;
  search.found = window;
  return FALSE;
}

} // namespace

InstanceRegistry::Claim SessionInstances::ClaimName() {
  Release();
  HANDLE mutex = CreateMutexA(nullptr, FALSE, kInstanceName);
  if (!mutex) return Claim::Unavailable;
  const bool existed = GetLastError() == ERROR_ALREADY_EXISTS;
  mutex_ = mutex;
  return existed ? Claim::HeldElsewhere : Claim::Claimed;
}

bool SessionInstances::BringRunningToFront() {
  HWND launcher = FindWindowA(kLauncherClass, nullptr);
  if (!launcher) return false;
  // A window whose thread is stuck would hang every synchronous call below;
  // WM_NULL with a timeout asks whether it still answers.
  DWORD_PTR ignored = 0;
  if (!SendMessageTimeoutA(launcher, WM_NULL, 0, 0, SMTO_ABORTIFHUNG | SMTO_BLOCK, kAnswerTimeoutMs, &ignored)) {
    return false;
  }
  Search search{0, GetWindow(launcher, GW_OWNER)};
  GetWindowThreadProcessId(launcher, &search.processId);

  HWND target = nullptr;
  if (search.owner && IsIconic(search.owner)) {
    // The program was minimised as a whole; its own restore shows its
    // windows again, and asked this way it runs on its own thread.
    PostMessageA(search.owner, WM_SYSCOMMAND, SC_RESTORE, 0);
    target = search.owner;
  } else {
    EnumWindows(&FindFrontCandidate, reinterpret_cast<LPARAM>(&search));
    target = search.found;
    if (target && IsIconic(target)) ShowWindowAsync(target, SW_RESTORE);
  }
  // Still starting: nothing of it shows yet.
  if (!target) return false;
  // The system may refuse the foreground to this process and flash the
  // taskbar button instead; the running launcher has answered either way,
  // and a second launcher would be worse than a flashing button.
  SetForegroundWindow(target);
  return true;
}

bool SessionInstances::HandOverToRunning() {
  SystemClock clock;
  return DecideStart(*this, clock) == StartDecision::LeaveToRunning;
}

void SessionInstances::Release() {
  if (mutex_) CloseHandle(mutex_);
  mutex_ = nullptr;
}

} // namespace fablewick::win32

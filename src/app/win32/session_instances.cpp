#include "app/win32/session_instances.h"

#include "app/win32/come_forward.h"
#include "app/win32/system_clock.h"

namespace fablewick::win32 {

namespace {

// "Local\" keeps the name inside the user's own session: another user on
// the same machine runs a launcher of their own.
constexpr char kInstanceName[] = "Local\\Quillmere.Fablewick.Launcher";
// Long enough for a busy launcher to answer, short enough to try again
// several times within the patience of the decision.
constexpr UINT kAnswerTimeoutMs = 250;

NameOutcome MakeName(UniqueKernelHandle& mutex) {
  mutex.reset(CreateMutexA(nullptr, FALSE, kInstanceName));
  const DWORD error = GetLastError();
  if (mutex) return error == ERROR_ALREADY_EXISTS ? NameOutcome::OpenedExisting : NameOutcome::Created;
  // What a normal start meets when the running launcher is elevated.
  return error == ERROR_ACCESS_DENIED ? NameOutcome::AccessDenied : NameOutcome::Failed;
}

} // namespace

InstanceRegistry::Claim SessionInstances::ClaimName() {
  GiveUpName();
  const Claim claim = ClaimFor(MakeName(mutex_));
  if (claim == Claim::Claimed) published_.Publish();
  return claim;
}

std::uint32_t SessionInstances::RunningProcessId() { return PublishedProcess::Read(); }

std::vector<ProcessWindow> SessionInstances::ApplicationWindows() {
  std::vector<ProcessWindow> windows;
  HWND window = nullptr;
  while ((window = FindWindowExA(nullptr, window, kApplicationWindowClass, nullptr)) != nullptr) {
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    windows.push_back({reinterpret_cast<std::uintptr_t>(window), processId});
  }
  return windows;
}

bool SessionInstances::AskToComeForward(const ProcessWindow& window) {
  if (ComeForwardMessage() == 0) return false;
  // Passes on the foreground this start was given by whoever started it;
  // without it the system refuses the running launcher the foreground in
  // many cases and only flashes its taskbar button.
  AllowSetForegroundWindow(window.processId);
  // A window whose thread is stuck would hang a plain send; this one gives
  // up after the timeout, or at once if the system already knows it hangs.
  DWORD_PTR answer = 0;
  if (!SendMessageTimeoutA(reinterpret_cast<HWND>(window.handle), ComeForwardMessage(), 0, 0,
                           SMTO_ABORTIFHUNG | SMTO_BLOCK, kAnswerTimeoutMs, &answer)) {
    return false;
  }
  return static_cast<LRESULT>(answer) == kCameForward;
}

bool SessionInstances::HandOverToRunning() {
  SystemClock clock;
  return DecideStart(*this, clock) == StartDecision::LeaveToRunning;
}

void SessionInstances::GiveUpName() {
  published_.Withdraw();
  mutex_.reset();
}

} // namespace fablewick::win32

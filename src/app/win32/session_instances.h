#pragma once

#include "app/single_instance.h"
#include "app/win32/published_process.h"
#include "app/win32/scoped_win.h"

namespace fablewick::win32 {

// The launcher's name in the user session (a named mutex in the session's
// own namespace), the process id its holder publishes, and the way a second
// start asks that holder's window to come forward. The name lives as long
// as this object or until GiveUpName.
class SessionInstances : public InstanceRegistry {
public:
  SessionInstances() = default;
  ~SessionInstances() override { GiveUpName(); }
  SessionInstances(const SessionInstances&) = delete;
  SessionInstances& operator=(const SessionInstances&) = delete;

  Claim ClaimName() override;
  std::uint32_t RunningProcessId() override;
  std::vector<ProcessWindow> ApplicationWindows() override;
  bool AskToComeForward(const ProcessWindow& window) override;

  // True when a launcher already runs and has come to the front, so this
  // start must end without doing anything else.
  bool HandOverToRunning();
  void GiveUpName();

private:
  UniqueKernelHandle mutex_;
  PublishedProcess published_;
};

} // namespace fablewick::win32

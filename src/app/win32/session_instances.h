#pragma once

#include "app/single_instance.h"

#include <windows.h>

namespace fablewick::win32 {

// The launcher's name in the user session (a named mutex in the session's
// own namespace) and the running launcher's windows, found by their class.
// The name lives as long as this object or until Release.
class SessionInstances : public InstanceRegistry {
public:
  SessionInstances() = default;
  ~SessionInstances() override { Release(); }
  SessionInstances(const SessionInstances&) = delete;
  SessionInstances& operator=(const SessionInstances&) = delete;

  Claim ClaimName() override;
  bool BringRunningToFront() override;

  // True when a launcher already runs and has been brought to the front,
  // so this start must end without doing anything else.
  bool HandOverToRunning();
  void Release();

private:
  HANDLE mutex_ = nullptr;
};

} // namespace fablewick::win32

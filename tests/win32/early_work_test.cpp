// Start-up work done ahead on a thread of its own is done before its result
// is used, whoever waits for it.
#include "app/win32/early_work.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <vector>

namespace fablewick::win32 {
namespace {

TEST(EarlyWork, RunsBesideItsCallerAndWhatItWroteIsThereAfterTheWait) {
  const DWORD caller = GetCurrentThreadId();
  HANDLE go = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  DWORD ranOn = 0;
  std::vector<int> written;
  EarlyWork work([&] {
    // Run on the caller's thread, this would wait out its whole limit.
    if (WaitForSingleObject(go, 5000) != WAIT_OBJECT_0) return;
    ranOn = GetCurrentThreadId();
    written.assign(1000, 7);
  });
  SetEvent(go);
  work.Wait();
  EXPECT_NE(ranOn, 0u);
  EXPECT_NE(ranOn, caller);
  EXPECT_EQ(written, std::vector<int>(1000, 7));
  CloseHandle(go);
}

TEST(EarlyWork, IsWaitedForWhenItsOwnerGoes) {
  bool done = false;
  {
    EarlyWork work([&] {
      Sleep(100);
      done = true;
    });
  }
  EXPECT_TRUE(done);
}

} // namespace
} // namespace fablewick::win32

#include "app/win32/early_work.h"

#include <utility>

namespace fablewick::win32 {

namespace {

DWORD WINAPI Run(void* work) {
  (*static_cast<std::function<void()>*>(work))();
  return 0;
}

} // namespace

EarlyWork::EarlyWork(std::function<void()> work) : work_(std::move(work)) {
  thread_.reset(CreateThread(nullptr, 0, Run, &work_, 0, nullptr));
  if (!thread_) work_();
}

EarlyWork::~EarlyWork() { Wait(); }

void EarlyWork::Wait() {
  if (!thread_) return;
  WaitForSingleObject(thread_.get(), INFINITE);
  thread_.reset();
}

} // namespace fablewick::win32

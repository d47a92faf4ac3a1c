#include "intro/win32/crash_restore.h"

#include "intro/screen_takeover.h"

#include <cstdlib>
#include <exception>

#include <windows.h>

namespace fablewick::win32 {

namespace {

LPTOP_LEVEL_EXCEPTION_FILTER previousFilter = nullptr;
std::terminate_handler previousTerminate = nullptr;
bool installed = false;

LONG WINAPI RestoreThenCrash(EXCEPTION_POINTERS* exception) {
  RestoreTakenScreen();
  if (previousFilter != nullptr) return previousFilter(exception);
  return EXCEPTION_CONTINUE_SEARCH;
}

[[noreturn]] void RestoreThenTerminate() {
  RestoreTakenScreen();
  if (previousTerminate != nullptr) previousTerminate();
  std::abort();
}

} // namespace

void InstallScreenRestoreOnCrash() {
  if (installed) return;
  installed = true;
  previousFilter = SetUnhandledExceptionFilter(&RestoreThenCrash);
  previousTerminate = std::set_terminate(&RestoreThenTerminate);
}

} // namespace fablewick::win32

#include "intro/win32/mci_library.h"

#include "app/win32/lazy_library.h"

namespace fablewick::win32 {

namespace {

// Kept until the process ends: open devices belong to the library.
LazyLibrary& Multimedia() {
  static LazyLibrary library("winmm.dll");
  return library;
}

} // namespace

MCIERROR MciSendCommand(MCIDEVICEID device, UINT message, DWORD_PTR flags, DWORD_PTR parameters) {
  const auto send = Multimedia().Entry<decltype(&mciSendCommandW)>("mciSendCommandW");
  if (!send) return MCIERR_CANNOT_LOAD_DRIVER;
  return send(device, message, flags, parameters);
}

BOOL MciGetErrorString(MCIERROR error, LPSTR text, UINT size) {
  const auto describe = Multimedia().Entry<decltype(&mciGetErrorStringA)>("mciGetErrorStringA");
  return describe && describe(error, text, size);
}

} // namespace fablewick::win32

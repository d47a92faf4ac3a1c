#include "app/win32/com_library.h"

#include "app/win32/lazy_library.h"

namespace fablewick::win32::com {

namespace {

LazyLibrary& Ole() {
  static LazyLibrary library("ole32.dll");
  return library;
}

HRESULT Initialize(DWORD model) {
  const auto initialize = Ole().Entry<decltype(&::CoInitializeEx)>("CoInitializeEx");
  return initialize ? initialize(nullptr, model) : E_FAIL;
}

} // namespace

// OLE1's DDE is for programs that embed objects the Windows 3 way; the shell
// asks callers of its start functions to switch it off.
HRESULT InitializeApartment() { return Initialize(COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE); }

HRESULT InitializeMultithreaded() { return Initialize(COINIT_MULTITHREADED); }

void Uninitialize() {
  if (const auto uninitialize = Ole().Entry<decltype(&::CoUninitialize)>("CoUninitialize")) uninitialize();
}

HRESULT DisconnectObject(LPUNKNOWN object) {
  const auto disconnect = Ole().Entry<decltype(&::CoDisconnectObject)>("CoDisconnectObject");
  return disconnect ? disconnect(object, 0) : E_FAIL;
}

HRESULT CreateInProcInstance(REFCLSID type, REFIID iid, void** out) {
  const auto create = Ole().Entry<decltype(&::CoCreateInstance)>("CoCreateInstance");
  if (!create) {
    if (out) *out = nullptr;
    return E_FAIL;
  }
  return create(type, nullptr, CLSCTX_INPROC_SERVER, iid, out);
}

} // namespace fablewick::win32::com

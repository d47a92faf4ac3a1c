#pragma once

#include <windows.h>

#include <objbase.h>

namespace fablewick::win32::com {

// COM's entry points, from ole32 loaded at the first use (see LazyLibrary):
// only a screen reader, the intro's word to the taskbar, the start of a game
// and the thread that opens the sound device need it, and imported with the
// program it would bring its own train of libraries into every start before
// the entry point.
// Each fails as its library call does when the library is missing (E_FAIL;
// Uninitialize does nothing).
HRESULT InitializeApartment();
HRESULT InitializeMultithreaded();
void Uninitialize();
HRESULT DisconnectObject(LPUNKNOWN object);
HRESULT CreateInProcInstance(REFCLSID type, REFIID iid, void** out);

} // namespace fablewick::win32::com

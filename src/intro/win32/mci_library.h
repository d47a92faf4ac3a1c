#pragma once

// MCI's two entry points, from the multimedia library loaded when a movie is
// first played (see LazyLibrary): only the intro needs it.
#include <windows.h>
#include <mmsystem.h>

namespace fablewick::win32 {

// As mciSendCommandW (wide, so that a movie's path may be in any script);
// MCIERR_CANNOT_LOAD_DRIVER when the library is missing.
MCIERROR MciSendCommand(MCIDEVICEID device, UINT message, DWORD_PTR flags, DWORD_PTR parameters);

// As mciGetErrorStringA; FALSE when the library is missing.
BOOL MciGetErrorString(MCIERROR error, LPSTR text, UINT size);

} // namespace fablewick::win32

#pragma once

#include "app/form_events.h"

#include <windows.h>

namespace fablewick::win32 {

// The modifier keys and buttons of a mouse message's key state.
ShiftState ShiftFromKeys(WPARAM keys);

// Mouse positions are signed: under capture they may lie left of or above
// the window.
inline int MouseX(LPARAM lParam) { return static_cast<short>(LOWORD(lParam)); }
inline int MouseY(LPARAM lParam) { return static_cast<short>(HIWORD(lParam)); }

// The button of a WM_xBUTTONDOWN or WM_xBUTTONUP message.
MouseButton ButtonOf(UINT message);

bool InsideClient(HWND window, LPARAM lParam);

} // namespace fablewick::win32

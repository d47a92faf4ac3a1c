#pragma once

#include <windows.h>

namespace fablewick::win32 {

// Takes the current directory, which the launcher sets to a folder named in
// the registry, out of the places a DLL loaded later is looked for: only the
// system folder and the program's own folder remain. Call it first thing in
// the entry point. On a system without either call it changes nothing.
void LoadDllsOnlyFromSystemAndProgramFolder();

// Loads a system DLL by its file name from the system folder and nowhere
// else, whatever the search order; null when that fails.
HMODULE LoadSystemLibrary(const char* fileName);

} // namespace fablewick::win32

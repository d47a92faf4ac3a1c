#pragma once

// Marks on the way from the entry point to the launcher's first paint, read
// by the start-up benchmark to say where the time goes. Only the benchmark's
// own build of the program defines FABLEWICK_STARTUP_TRACE and links the
// recorder (bench/startup_trace.cpp); in the program that ships every mark
// compiles to nothing, so it adds neither code nor work there.
#ifdef FABLEWICK_STARTUP_TRACE
namespace fablewick {
// `phase` names the step that has just ended; it must outlive the process.
void StartupMark(const char* phase);
} // namespace fablewick
#define FABLEWICK_STARTUP_MARK(phase) ::fablewick::StartupMark(phase)
#else
#define FABLEWICK_STARTUP_MARK(phase) static_cast<void>(0)
#endif

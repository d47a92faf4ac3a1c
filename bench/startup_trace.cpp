// The recorder behind FABLEWICK_STARTUP_MARK, linked only into the
// benchmark's traced build of the launcher and into the reference. Each mark
// costs a counter read; the marks are written out once, after the first
// paint of the picture, to the file FABLEWICK_STARTUP_TRACE_FILE names (when
// it names one), one "phase microseconds-since-process-creation" line each.
#include "app/startup_trace.h"

#include <windows.h>

#include <cstdio>
#include <cstring>

namespace fablewick {

namespace {

struct Mark {
  const char* phase;
  LONGLONG counter;
};

constexpr int kMostMarks = 64;
Mark marks[kMostMarks];
int markCount = 0;
bool written = false;

ULONGLONG AsNumber(FILETIME time) { return (ULONGLONG(time.dwHighDateTime) << 32) | time.dwLowDateTime; }

void WriteMarks() {
  char path[MAX_PATH];
  DWORD length = GetEnvironmentVariableA("FABLEWICK_STARTUP_TRACE_FILE", path, sizeof path);
  if (length == 0 || length >= sizeof path) return;
  // The counter has no fixed origin: tie it to the process's creation time
  // through one reading of both clocks.
  LARGE_INTEGER frequency, now;
  FILETIME nowTime, created, exited, kernel, user;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&now);
  GetSystemTimePreciseAsFileTime(&nowTime);
  GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
  const double nowSinceCreation = double(AsNumber(nowTime) - AsNumber(created)) / 10.0;
  FILE* file = std::fopen(path, "w");
  if (!file) return;
  for (int i = 0; i < markCount; ++i) {
    const double before = double(now.QuadPart - marks[i].counter) * 1e6 / double(frequency.QuadPart);
    std::fprintf(file, "%s\t%.0f\n", marks[i].phase, nowSinceCreation - before);
  }
  std::fclose(file);
}

} // namespace

void StartupMark(const char* phase) {
  if (written) return;
  LARGE_INTEGER counter;
  QueryPerformanceCounter(&counter);
  if (markCount < kMostMarks) marks[markCount++] = {phase, counter.QuadPart};
  if (std::strcmp(phase, "picture painted") == 0) {
    written = true;
    WriteMarks();
  }
}

} // namespace fablewick

// The launcher window's costs under Wine, as a user would feel them:
//   start-up: from process creation to the first paint of the artwork, for
//     Fablewick.exe and for startup_reference.exe (the least any program must
//     do for the same picture), in alternating runs, medians and their ratio;
//   idle: the CPU time the displayed launcher uses over 10 s.
// The launcher starts as on a later day: its key present and the opening
// tune switched off, so no intro and no tune.
//
//   window_bench [RUNS [FABLEWICK.EXE FABLEWICK_TRACED.EXE]]
//     (under Wine: scripts/wine-run build/.../bench/window_bench.exe)
#include "resources/resource.h"
#include "host_cpu.h"
#include "startup_phases.h"

#include <windows.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

std::string WindowsPath(std::string path) {
  std::replace(path.begin(), path.end(), '/', '\\');
  return "Z:" + path;
}

double Now() {
  static const double frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return double(f.QuadPart);
  }();
  LARGE_INTEGER t;
  QueryPerformanceCounter(&t);
  return double(t.QuadPart) * 1000.0 / frequency;
}

// 24-bit top-down pixels of a screen area or a bitmap.
struct Pixels {
  int width = 0, height = 0;
  std::vector<BYTE> bgr;
  const BYTE* At(int x, int y) const { return &bgr[(size_t(y) * width + x) * 3]; }
};

Pixels Capture(HDC source, int left, int top, int width, int height) {
  Pixels pixels;
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  void* bits = nullptr;
  HDC memory = CreateCompatibleDC(source);
  HBITMAP canvas = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (canvas == nullptr) {
    DeleteDC(memory);
    return pixels;
  }
  HGDIOBJ old = SelectObject(memory, canvas);
  BitBlt(memory, 0, 0, width, height, source, left, top, SRCCOPY);
  GdiFlush();
  pixels.width = width;
  pixels.height = height;
  const size_t stride = (size_t(width) * 3 + 3) & ~size_t{3};
  for (int y = 0; y < height; ++y) {
    const BYTE* row = static_cast<const BYTE*>(bits) + y * stride;
    pixels.bgr.insert(pixels.bgr.end(), row, row + size_t(width) * 3);
  }
  SelectObject(memory, old);
  DeleteObject(canvas);
  DeleteDC(memory);
  return pixels;
}

Pixels Artwork() {
  HBITMAP picture = static_cast<HBITMAP>(
      LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDB_MENU), IMAGE_BITMAP, 0, 0, 0));
  HDC memory = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(memory, picture);
  Pixels pixels = Capture(memory, 0, 0, 560, 420);
  SelectObject(memory, old);
  DeleteDC(memory);
  DeleteObject(picture);
  return pixels;
}

// The visible top-level window of the process with a 560x420 client area.
HWND ArtworkWindow(DWORD processId) {
  struct Search {
    DWORD processId;
    HWND found;
  } search{processId, nullptr};
  EnumWindows(
      [](HWND window, LPARAM context) -> BOOL {
        auto& search = *reinterpret_cast<Search*>(context);
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        RECT client;
        if (owner != search.processId || !IsWindowVisible(window) || !GetClientRect(window, &client) ||
            client.right != 560 || client.bottom != 420) {
          return TRUE;
        }
        search.found = window;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// Whether the window's client area on screen shows the artwork, judged on a
// grid of points across the whole picture.
bool ShowsArtwork(HWND window, const Pixels& artwork) {
  POINT origin = {0, 0};
  ClientToScreen(window, &origin);
  HDC screen = GetDC(nullptr);
  Pixels shown = Capture(screen, origin.x, origin.y, 560, 420);
  ReleaseDC(nullptr, screen);
  if (shown.width == 0) return false;
  int matching = 0, total = 0;
  for (int y = 5; y < 420; y += 20) {
    for (int x = 5; x < 560; x += 20) {
      ++total;
      const BYTE* a = shown.At(x, y);
      const BYTE* b = artwork.At(x, y);
      if (std::abs(a[0] - b[0]) <= 24 && std::abs(a[1] - b[1]) <= 24 && std::abs(a[2] - b[2]) <= 24) ++matching;
    }
  }
  return matching * 100 >= total * 98;
}

struct Started {
  PROCESS_INFORMATION process = {};
  HWND window = nullptr;
  double msToArtwork = -1;
};

Started StartAndWaitForArtwork(const std::string& exe, const Pixels& artwork) {
  Started started;
  std::string commandLine = "\"" + exe + "\"";
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  const double t0 = Now();
  if (!CreateProcessA(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &started.process)) {
    std::fprintf(stderr, "cannot start %s (error %lu)\n", exe.c_str(), GetLastError());
    return started;
  }
  while (Now() - t0 < 30000) {
    HWND window = ArtworkWindow(started.process.dwProcessId);
    if (window != nullptr && ShowsArtwork(window, artwork)) {
      started.msToArtwork = Now() - t0;
      started.window = window;
      break;
    }
    Sleep(2);
  }
  if (started.window == nullptr) std::fprintf(stderr, "%s never showed the artwork\n", exe.c_str());
  return started;
}

// Ends a start-up run at once, as the figures are taken: waiting for the
// launcher's orderly shutdown (which waits for its sound device) would only
// make the runs slower.
void End(Started& started) {
  if (started.process.hProcess == nullptr) return;
  TerminateProcess(started.process.hProcess, 255);
  WaitForSingleObject(started.process.hProcess, 10000);
  CloseHandle(started.process.hThread);
  CloseHandle(started.process.hProcess);
  started.process = {};
}

void Close(Started& started) {
  if (started.process.hProcess == nullptr) return;
  if (started.window != nullptr) PostMessageA(started.window, WM_CLOSE, 0, 0);
  if (WaitForSingleObject(started.process.hProcess, 15000) != WAIT_OBJECT_0) {
    TerminateProcess(started.process.hProcess, 255);
    WaitForSingleObject(started.process.hProcess, 5000);
  }
  CloseHandle(started.process.hThread);
  CloseHandle(started.process.hProcess);
  started.process = {};
}

struct IdleCpu {
  double totalMs = -1, uiThreadMs = -1;
  std::string breakdown;
};

IdleCpu IdleCpuMs(const std::string& exe, const Pixels& artwork, int seconds) {
  Started started = StartAndWaitForArtwork(exe, artwork);
  IdleCpu idle;
  if (started.window != nullptr) {
    Sleep(1000); // let the start-up's last work and the paint settle
    std::vector<std::string> host = bench::HostProcessesRunning(exe);
    if (host.size() == 1) {
      auto before = bench::HostThreadCpuMs(host[0]);
      Sleep(seconds * 1000);
      auto after = bench::HostThreadCpuMs(host[0]);
      idle.totalMs = 0;
      for (const auto& [name, ms] : after) {
        double spent = ms;
        for (const auto& [beforeName, beforeMs] : before) {
          if (beforeName == name) spent = ms - beforeMs;
        }
        idle.totalMs += spent;
        if (name == "user-interface thread") idle.uiThreadMs = spent;
        char line[160];
        std::snprintf(line, sizeof line, " %s %.2f;", name.c_str(), spent);
        idle.breakdown += line;
      }
    } else {
      std::fprintf(stderr, "found %zu host processes for %s\n", host.size(), exe.c_str());
    }
  }
  Close(started);
  return idle;
}

void PrepareRegistry() {
  HKEY key = nullptr;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Quillmere\\Launcher\\1.0", 0, nullptr,
                      REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &key, nullptr) == ERROR_SUCCESS) {
    DWORD off = 0;
    RegSetValueExA(key, "128", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&off), sizeof off);
    RegCloseKey(key);
  }
}

} // namespace

int main(int argc, char** argv) {
  using bench::Median;
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 11;
  // Other builds of the launcher (say, of an earlier commit) may be named
  // after RUNS: the plain one and the traced one, as Windows paths.
  const std::string launcher = argc > 3 ? argv[2] : WindowsPath(FABLEWICK_EXE);
  const std::string traced = argc > 3 ? argv[3] : WindowsPath(FABLEWICK_TRACED_EXE);
  const std::string reference = WindowsPath(STARTUP_REFERENCE_EXE);
  PrepareRegistry();
  SetCursorPos(0, 0); // off the picture, so that no caption lights up
  const Pixels artwork = Artwork();
  char temporary[MAX_PATH];
  GetTempPathA(sizeof temporary, temporary);
  const std::string marksFile = std::string(temporary) + "fablewick_startup_marks.txt";

  // Each round starts the shipped launcher and the reference, untraced, for
  // the ratio, then the traced launcher and the traced reference for the
  // phases; the order turns each round, so drift of the machine falls on all.
  struct Program {
    const std::string& exe;
    bool traced;
  };
  const Program programs[] = {{launcher, false}, {reference, false}, {traced, true}, {reference, true}};
  std::vector<double> launcherMs, referenceMs;
  bench::PhaseTable launcherPhases("Fablewick"), referencePhases("the reference");
  std::vector<double> launcherToScreen, referenceToScreen, launcherCpuMs, referenceCpuMs, launcherAllCpuMs,
      referenceAllCpuMs;
  for (int run = 0; run < runs; ++run) {
    for (int turn = 0; turn < 4; ++turn) {
      const int which = (run + turn) % 4;
      const Program& program = programs[which];
      SetEnvironmentVariableA("FABLEWICK_STARTUP_TRACE_FILE", program.traced ? marksFile.c_str() : nullptr);
      Started started = StartAndWaitForArtwork(program.exe, artwork);
      if (which == 0 && started.msToArtwork >= 0) launcherMs.push_back(started.msToArtwork);
      if (which == 1 && started.msToArtwork >= 0) referenceMs.push_back(started.msToArtwork);
      // The program's own CPU time up to its picture on screen: much less
      // at the mercy of a busy machine than the time the user waits.
      if (which < 2 && started.window != nullptr) {
        const std::vector<std::string> host = bench::HostProcessesRunning(program.exe);
        if (host.size() == 1) {
          double cpuMs = 0;
          // The user-interface thread alone: the sound system's threads run
          // on by themselves, so their share grows with the wait.
          for (const auto& [name, ms] : bench::HostThreadCpuMs(host[0])) {
            if (name == "user-interface thread") cpuMs += ms;
          }
          (which == 0 ? launcherCpuMs : referenceCpuMs).push_back(cpuMs);
          // Everything, the threads that load ahead at start-up included.
          const double allMs = bench::HostProcessCpuMs(host[0]);
          if (allMs >= 0) (which == 0 ? launcherAllCpuMs : referenceAllCpuMs).push_back(allMs);
        }
      }
      End(started);
      if (program.traced) {
        const bench::Marks marks = bench::TakeMarks(marksFile);
        (which == 2 ? launcherPhases : referencePhases).Add(marks);
        // From the end of the first paint to the picture on screen (plus
        // the few moments from CreateProcess to the process's creation).
        if (!marks.empty() && started.msToArtwork >= 0) {
          (which == 2 ? launcherToScreen : referenceToScreen).push_back(started.msToArtwork -
                                                                          marks.back().second / 1000);
        }
      }
      Sleep(200);
    }
  }
  SetEnvironmentVariableA("FABLEWICK_STARTUP_TRACE_FILE", nullptr);
  const double launcherMedian = Median(launcherMs), referenceMedian = Median(referenceMs);
  std::printf("start-up to first artwork paint, median of %zu/%zu runs: Fablewick %.1f ms, reference %.1f ms, "
              "ratio %.3f (target <= 1.10)\n",
              launcherMs.size(), referenceMs.size(), launcherMedian, referenceMedian,
              referenceMedian > 0 ? launcherMedian / referenceMedian : 0.0);
  std::printf("  Fablewick runs:");
  for (double ms : launcherMs) std::printf(" %.0f", ms);
  std::printf("\n  reference runs:");
  for (double ms : referenceMs) std::printf(" %.0f", ms);
  std::printf("\n");
  std::printf("CPU time of the program's user-interface thread up to the picture on screen, median of %zu/%zu runs: "
              "Fablewick %.1f ms, reference %.1f ms, ratio %.3f\n",
              launcherCpuMs.size(), referenceCpuMs.size(), Median(launcherCpuMs), Median(referenceCpuMs),
              Median(referenceCpuMs) > 0 ? Median(launcherCpuMs) / Median(referenceCpuMs) : 0.0);
  std::printf("CPU time of the whole program (every thread, 10 ms ticks) up to the picture on screen, median of "
              "%zu/%zu runs: Fablewick %.1f ms, reference %.1f ms, ratio %.3f\n",
              launcherAllCpuMs.size(), referenceAllCpuMs.size(), Median(launcherAllCpuMs),
              Median(referenceAllCpuMs),
              Median(referenceAllCpuMs) > 0 ? Median(launcherAllCpuMs) / Median(referenceAllCpuMs) : 0.0);
  launcherPhases.Print();
  referencePhases.Print();
  std::printf("from the end of the first paint to the picture on screen, median of the traced runs: "
              "Fablewick %.1f ms, reference %.1f ms\n",
              Median(launcherToScreen), Median(referenceToScreen));
  if (std::getenv("WINDOW_BENCH_NO_IDLE") == nullptr) {
    for (const std::string* program : {&launcher, &reference}) {
      const IdleCpu idle = IdleCpuMs(*program, artwork, 10);
      std::printf("idle CPU over 10 s, %s: %.2f ms in all, %.2f ms on its user-interface thread (target < 10 "
                  "ms)\n  by thread (ms):%s\n",
                  program == &launcher ? "Fablewick" : "reference", idle.totalMs, idle.uiThreadMs,
                  idle.breakdown.c_str());
    }
  }
  return launcherMs.empty() || referenceMs.empty() ? 1 : 0;
}

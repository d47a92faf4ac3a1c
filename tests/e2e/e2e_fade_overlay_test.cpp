// A first start on a display without a gamma ramp (Xvfb, composited as a
// Windows desktop is): the launcher's black overlay darkens the screen in
// steps before the movie and brightens it in steps after, no frame of the
// lit desktop shows between the dark and the movie, and the overlay is gone
// once the launcher is up.
#include "e2e_screen.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <vector>

namespace fablewick::e2e {
namespace {

struct Sample {
  int alpha; // -1: no overlay
  bool intro;
};

std::string Describe(const std::vector<Sample>& samples) {
  std::string text;
  for (const Sample& s : samples) text += std::to_string(s.alpha) + (s.intro ? "i " : " ");
  return text;
}

// The opacities in order with repeats dropped.
std::vector<int> Steps(const std::vector<Sample>& samples, size_t from, size_t to) {
  std::vector<int> steps;
  for (size_t i = from; i < to; ++i) {
    if (steps.empty() || steps.back() != samples[i].alpha) steps.push_back(samples[i].alpha);
  }
  return steps;
}

TEST(FadeOverlayWithoutARamp, DarkensInStepsBeforeTheMovieBrightensAfterAndLeavesNothing) {
  if (!OnScreen("FABLEWICK_X_SERVER", "Xvfb")) {
    GTEST_SKIP() << "needs a display without a gamma ramp: tests/e2e/run_on_screen xvfb";
  }
  registry::Reset();
  input::MoveToScreen(0, 0);
  ScenarioFolder startFolder("overlay_first_run_start");
  ScenarioFolder package("overlay_first_run_package");
  package.AddMovies({"Kelvarn Movie.avi"});
  registry::SetInstallDir(package.Path());

  LauncherProcess launcher = LauncherProcess::Start(startFolder);
  ASSERT_TRUE(launcher.Started());
  std::vector<Sample> samples;
  std::optional<OverlaySeen> blackOverlay;
  bool introSeen = false;
  HWND launcherWindow = nullptr;
  const DWORD start = GetTickCount();
  while (GetTickCount() - start < 40000 && launcher.Running()) {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    const std::optional<OverlaySeen> overlay = FindOverlay(launcher.Windows());
    // Listed after the overlay was read: the intro shows before the overlay
    // goes, so a list taken first could miss an intro that came up meanwhile.
    const std::vector<TopWindow> windows = launcher.Windows();
    samples.push_back({overlay ? overlay->alpha : -1, IntroWindowShows(windows)});
    if (overlay && overlay->alpha == 255 && !blackOverlay) blackOverlay = overlay;
    introSeen = introSeen || samples.back().intro;
    if (introSeen && !samples.back().intro && !overlay) {
      launcherWindow = VisibleLauncher(launcher);
      if (launcherWindow != nullptr) break;
    }
  }
  ASSERT_TRUE(introSeen) << "no intro came up";
  ASSERT_NE(launcherWindow, nullptr) << "the launcher did not come up after the intro: " << Describe(samples);
  ASSERT_TRUE(blackOverlay.has_value()) << "the screen never went black: " << Describe(samples);

  // Over every monitor and above every window, yet never in the way.
  const RECT screen = VirtualScreen();
  EXPECT_TRUE(EqualRect(&blackOverlay->rect, &screen));
  const LONG wanted = WS_EX_LAYERED | WS_EX_TRANSPARENT | WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE;
  EXPECT_EQ(blackOverlay->exStyle & wanted, wanted);

  size_t introUp = 0;
  while (introUp < samples.size() && !samples[introUp].intro) ++introUp;
  const std::vector<int> darkening = Steps(samples, 0, introUp);
  EXPECT_EQ(darkening.back(), 255) << "the intro showed before the screen was black: " << Describe(samples);
  for (size_t i = 1; i < darkening.size(); ++i) EXPECT_GT(darkening[i], darkening[i - 1]) << Describe(samples);
  EXPECT_GE(darkening.size(), 8u) << "too few visible steps: " << Describe(samples);

  // The movie itself plays without the overlay.
  size_t clear = introUp;
  while (clear < samples.size() && samples[clear].alpha != -1) ++clear;
  size_t closing = clear;
  while (closing < samples.size() && samples[closing].alpha == -1) ++closing;
  ASSERT_LT(closing, samples.size()) << Describe(samples);
  for (size_t i = clear; i < closing; ++i) ASSERT_TRUE(samples[i].intro) << Describe(samples);

  const std::vector<int> brightening = Steps(samples, closing, samples.size());
  EXPECT_EQ(brightening.front(), 255) << Describe(samples);
  EXPECT_EQ(brightening.back(), -1);
  for (size_t i = 1; i < brightening.size(); ++i) EXPECT_LT(brightening[i], brightening[i - 1]) << Describe(samples);
  EXPECT_GE(brightening.size(), 8u) << "too few visible steps: " << Describe(samples);

  // Nothing of it is left while the launcher is in use.
  Sleep(1000);
  for (const TopWindow& top : launcher.Windows()) {
    const LONG exStyle = static_cast<LONG>(GetWindowLongPtrA(top.handle, GWL_EXSTYLE));
    EXPECT_FALSE(exStyle & WS_EX_LAYERED) << "an overlay window remains: " << e2e::Describe(launcher.Windows());
  }
  PostMessageA(launcherWindow, WM_CLOSE, 0, 0);
  ASSERT_TRUE(launcher.WaitForExit(15000).has_value());
}

int MeanLevel(const Image& image) {
  if (image.Empty()) return -1;
  long long sum = 0;
  for (std::uint8_t value : image.bgr) sum += value;
  return static_cast<int>(sum / static_cast<long long>(image.bgr.size()));
}

// When the test's own white window last painted. This compositor draws a
// window that repaints above the opaque overlay, which no Windows desktop
// does; a lit sample at such a moment is that, not the launcher's flash.
std::atomic<DWORD> whiteRepaintedAt{0};
WNDPROC whiteProc = nullptr;
LRESULT CALLBACK NoteRepaints(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_PAINT || message == WM_ERASEBKGND || message == WM_NCPAINT) whiteRepaintedAt = GetTickCount();
  return CallWindowProcA(whiteProc, window, message, wParam, lParam);
}

TEST(FadeOverlayWithoutARamp, FiveFirstStartsShowNoLitFrameBetweenTheDarkAndTheMovie) {
  if (!OnScreen("FABLEWICK_X_SERVER", "Xvfb")) {
    GTEST_SKIP() << "needs a display without a gamma ramp: tests/e2e/run_on_screen xvfb";
  }
  // The lit desktop a flash would show.
  const TestWindow desktop("FablewickTestBrightDesktop",
                           RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)}, WHITE_BRUSH);
  whiteProc = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(desktop.get(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&NoteRepaints)));
  // A corner the intro window covers in black, away from the movie.
  const RECT corner{8, 8, 48, 48};
  input::MoveToScreen(1000, 740);
  for (int run = 0; run < 5; ++run) {
    SCOPED_TRACE("start " + std::to_string(run + 1));
    registry::Reset();
    ScenarioFolder startFolder("overlay_flash_start");
    ScenarioFolder package("overlay_flash_package");
    package.AddMovies({"Kelvarn Movie.avi"});
    registry::SetInstallDir(package.Path());
    MSG msg;
    // The compositor shows the white window a moment after it is painted.
    int lit = -1;
    for (const DWORD since = GetTickCount(); GetTickCount() - since < 5000; Sleep(20)) {
      while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
      if ((lit = MeanLevel(CaptureScreen(corner))) > 200) break;
    }
    ASSERT_GT(lit, 200) << "the desktop is not lit to begin with";

    LauncherProcess launcher = LauncherProcess::Start(startFolder);
    ASSERT_TRUE(launcher.Started());
    bool dark = false;
    std::string litAfterDark;
    HWND intro = nullptr;
    DWORD movieSince = 0;
    const DWORD start = GetTickCount();
    // No messages are handled meanwhile: this compositor draws a window that
    // repaints under the opaque overlay (the white one here, answering the
    // launcher's work-area broadcast) above it, which no Windows desktop does.
    while (GetTickCount() - start < 20000 && launcher.Running()) {
      const int level = MeanLevel(CaptureScreen(corner));
      if (level < 40) dark = true;
      const std::vector<TopWindow> windows = launcher.Windows();
      const DWORD now = GetTickCount();
      if (dark && level > 128 && now - whiteRepaintedAt > 100) {
        litAfterDark += std::to_string(now - start) + " ms" + (FindOverlay(windows) ? " (overlay up)" : "") +
                        (IntroWindowShows(windows) ? " (intro shown)" : "") + "; ";
      }
      if (HWND shown = VisibleIntro(windows)) intro = shown;
      if (IntroWindowShows(windows) && !FindOverlay(windows)) {
        if (movieSince == 0) movieSince = GetTickCount();
        if (GetTickCount() - movieSince > 500) break;
      }
    }
    EXPECT_TRUE(dark) << "the screen never went dark";
    ASSERT_NE(movieSince, 0u) << "the movie never came up";
    EXPECT_TRUE(litAfterDark.empty()) << "the lit desktop showed after the dark: " << litAfterDark;

    input::Click(intro, 5, 5);
    HWND launcherWindow = nullptr;
    const DWORD closing = GetTickCount();
    while (launcherWindow == nullptr && GetTickCount() - closing < 20000) {
      while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
      if (!IntroWindowShows(launcher) && !FindOverlay(launcher)) launcherWindow = VisibleLauncher(launcher);
      Sleep(20);
    }
    ASSERT_NE(launcherWindow, nullptr) << "the launcher did not come up after the intro";
    PostMessageA(launcherWindow, WM_CLOSE, 0, 0);
    ASSERT_TRUE(launcher.WaitForExit(15000).has_value());
  }
}

} // namespace
} // namespace fablewick::e2e

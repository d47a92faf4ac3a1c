// The launcher on a screen of another DPI: the picture scaled crisply, the
// captions found in picture pixels, the dialog text at the screen's DPI.
// The normal run sees 96 DPI; tests/e2e/run_at_dpi runs these scenarios
// again in a Wine prefix set to another DPI, named in FABLEWICK_TEST_DPI.
#include "driver.h"

#include "../captions.h"
#include "app/dpi_scale.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>

namespace fablewick::e2e {
namespace {

constexpr int kBasePicture = 128;
constexpr const seen::Caption& kSecondCaption = seen::kCaptions[1];
constexpr int kSecondCaptionHover = kSecondCaption.hoverBitmap;

int TestDpi() {
  const char* value = std::getenv("FABLEWICK_TEST_DPI");
  return value ? std::atoi(value) : kBaseDpi;
}

// Where each check points, in client pixels, so the figures can be read
// against the picture: the middle of the second caption, picture (470, 130),
// and the gap row 89 above it.
// The intro's 320x240 movie is shown at `movie`, centred on the screen.
struct Expectation {
  int dpi;
  SIZE client;
  POINT onCaption, onGapRow;
  SIZE movie;
};
constexpr Expectation kExpectations[] = {
    {96, {560, 420}, {470, 130}, {470, 89}, {320, 240}},
    {144, {840, 630}, {705, 195}, {705, 134}, {480, 360}},
    {192, {1120, 840}, {940, 260}, {940, 179}, {640, 480}},
};

const Expectation* ExpectationFor(int dpi) {
  for (const Expectation& e : kExpectations) {
    if (e.dpi == dpi) return &e;
  }
  return nullptr;
}

// How far the capture is from the bitmap scaled by the rule. At a whole
// scale every s x s block must be one colour, that of its picture pixel. At
// a fractional one the filter mixes neighbours, so the pixel under each
// picture pixel's centre must lie within the colours of that pixel's 3 x 3
// neighbourhood: a lit caption still fails that over its whole area.
struct Comparison {
  double differingShare = 1.0;
  size_t unevenBlocks = 0;
};
bool WithinNeighbourhood(const Image& picture, int x, int y, const std::uint8_t* sample) {
  for (int c = 0; c < 3; ++c) {
    int low = 255, high = 0;
    for (int ny = std::max(0, y - 1); ny <= std::min(picture.height - 1, y + 1); ++ny) {
      for (int nx = std::max(0, x - 1); nx <= std::min(picture.width - 1, x + 1); ++nx) {
        low = std::min(low, int(picture.At(nx, ny)[c]));
        high = std::max(high, int(picture.At(nx, ny)[c]));
      }
    }
    if (sample[c] + 8 < low || sample[c] > high + 8) return false;
  }
  return true;
}
Comparison CompareScaled(const Image& captured, const Image& picture, const DpiScale& scale) {
  Comparison result;
  if (captured.width < scale.ToPhysical(picture.width) || captured.height < scale.ToPhysical(picture.height)) {
    return result;
  }
  const bool whole = scale.Drawing() == PictureDrawing::PixelExact;
  const int s = scale.Dpi() / kBaseDpi;
  size_t differing = 0;
  for (int y = 0; y < picture.height; ++y) {
    for (int x = 0; x < picture.width; ++x) {
      if (whole) {
        const std::uint8_t* corner = captured.At(x * s, y * s);
        for (int dy = 0; dy < s; ++dy) {
          for (int dx = 0; dx < s; ++dx) {
            if (!std::equal(corner, corner + 3, captured.At(x * s + dx, y * s + dy))) ++result.unevenBlocks;
          }
        }
        for (int c = 0; c < 3; ++c) {
          if (std::abs(int(corner[c]) - int(picture.At(x, y)[c])) > 24) {
            ++differing;
            break;
          }
        }
      } else {
        const int cx = (2 * x + 1) * scale.Dpi() / (2 * kBaseDpi);
        const int cy = (2 * y + 1) * scale.Dpi() / (2 * kBaseDpi);
        if (!WithinNeighbourhood(picture, x, y, captured.At(cx, cy))) ++differing;
      }
    }
  }
  result.differingShare = static_cast<double>(differing) / (picture.width * picture.height);
  return result;
}

class Dpi : public ::testing::Test {
protected:
  void SetUp() override {
    // This thread then sees the same physical pixels as the launcher.
    using SetContextFn = HANDLE(WINAPI*)(HANDLE);
    auto setContext = reinterpret_cast<SetContextFn>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleA("user32.dll"), "SetThreadDpiAwarenessContext")));
    if (setContext) setContext(reinterpret_cast<HANDLE>(-4) /* PER_MONITOR_AWARE_V2 */);
    registry::Reset();
    registry::SetDword(kLauncherKey, "128", 0);
    input::MoveToScreen(0, 0);
    expectation_ = ExpectationFor(TestDpi());
    ASSERT_NE(nullptr, expectation_) << "no figures for " << TestDpi() << " DPI";
  }
  void TearDown() override { input::Release(); }

  HWND StartLauncher(const char* name) {
    folder_.emplace(name);
    launcher_ = LauncherProcess::Start(*folder_);
    HWND window = launcher_.WaitForLauncher();
    if (window && !BringToFront(window)) return nullptr;
    return window;
  }

  // Waits until the client shows the bitmap scaled to the DPI.
  bool WaitUntilShowsScaled(HWND window, int bitmapId, Where where = Where::current()) {
    return WaitUntilShowsScaled(window, LoadBitmapResource(bitmapId, where), "bitmap" + std::to_string(bitmapId),
                                where);
  }
  bool WaitUntilShowsScaled(HWND window, const Image& picture, const std::string& what,
                            Where where = Where::current()) {
    const DpiScale scale(expectation_->dpi);
    Image captured;
    Comparison comparison;
    const DWORD start = GetTickCount();
    do {
      captured = CaptureClient(window, where);
      comparison = CompareScaled(captured, picture, scale);
      if (comparison.differingShare < 0.001 && comparison.unevenBlocks == 0) return true;
      Sleep(50);
    } while (GetTickCount() - start < 5000);
    const std::string name = "dpi" + std::to_string(scale.Dpi()) + "_" + what;
    SaveBitmap(captured, name);
    ADD_FAILURE_AT(where.file_name(), static_cast<int>(where.line()))
        << "the client does not show " << what << " scaled to " << scale.Dpi() << " DPI: "
        << comparison.differingShare * 100 << "% of picture pixels differ, "
        << comparison.unevenBlocks << " pixels break their block; see " << name << ".bmp";
    return false;
  }

  const Expectation* expectation_ = nullptr;
  std::optional<ScenarioFolder> folder_;
  LauncherProcess launcher_;
};

TEST_F(Dpi, TheLauncherClientIsThePictureScaledToTheScreen) {
  HWND window = StartLauncher("dpi_client");
  ASSERT_NE(nullptr, window);
  const SIZE client = ClientSize(window);
  EXPECT_EQ(expectation_->client.cx, client.cx);
  EXPECT_EQ(expectation_->client.cy, client.cy);
  EXPECT_TRUE(WaitUntilShowsScaled(window, kBasePicture));
}

TEST_F(Dpi, TheIntroMovieIsScaledByTheDpiCentredAndFillsItsPanel) {
  registry::Reset();
  ScenarioFolder package("dpi_intro_package");
  package.AddMovies({"Kelvarn Movie.avi"});
  registry::SetInstallDir(package.Path());
  folder_.emplace("dpi_intro");
  launcher_ = LauncherProcess::Start(*folder_);
  HWND panel = nullptr;
  RECT placed{}, wanted{};
  for (const DWORD start = GetTickCount(); GetTickCount() - start < 20000 && launcher_.Running(); Sleep(50)) {
    HWND intro = VisibleIntro(launcher_.Windows());
    panel = intro ? FindWindowExA(intro, nullptr, nullptr, nullptr) : nullptr;
    if (!panel || !IsWindowVisible(panel)) continue;
    GetWindowRect(panel, &placed);
    MapWindowPoints(HWND_DESKTOP, intro, reinterpret_cast<POINT*>(&placed), 2);
    RECT client{};
    GetClientRect(intro, &client);
    const SIZE movie = expectation_->movie;
    const LONG left = (client.right - movie.cx) / 2, top = (client.bottom - movie.cy) / 2;
    wanted = RECT{left, top, left + movie.cx, top + movie.cy};
    if (EqualRect(&placed, &wanted)) break;
  }
  ASSERT_NE(panel, nullptr) << "no intro came up";
  EXPECT_TRUE(EqualRect(&placed, &wanted))
      << "the movie is at " << placed.left << "," << placed.top << " " << placed.right - placed.left << "x"
      << placed.bottom - placed.top;
  // Drawn stretched over the whole panel, not at its own size in a corner
  // of it: the panel's bottom right quarter shows the movie, not black.
  Image frame;
  size_t lit = 0;
  for (int attempt = 0; attempt < 20 && lit == 0; ++attempt) {
    Sleep(100);
    frame = CaptureClient(panel);
    lit = 0;
    for (int y = frame.height * 3 / 4; y < frame.height; ++y) {
      for (int x = frame.width * 3 / 4; x < frame.width; ++x) {
        const std::uint8_t* pixel = frame.At(x, y);
        lit += pixel[0] + pixel[1] + pixel[2] > 60;
      }
    }
  }
  EXPECT_GT(lit, 0u) << "the movie does not reach the panel's far corner";
  if (lit == 0 && !frame.Empty()) SaveBitmap(frame, "dpi_intro_panel");
}

TEST_F(Dpi, PointingFindsTheCaptionsAndTheirGapRowsInPicturePixels) {
  HWND window = StartLauncher("dpi_pointer");
  ASSERT_NE(nullptr, window);
  ASSERT_TRUE(WaitUntilShowsScaled(window, kBasePicture));

  ASSERT_TRUE(input::MoveTo(window, expectation_->onCaption.x, expectation_->onCaption.y));
  EXPECT_TRUE(WaitUntilShowsScaled(window, kSecondCaptionHover));
  ASSERT_TRUE(input::MoveTo(window, expectation_->onGapRow.x, expectation_->onGapRow.y));
  EXPECT_TRUE(WaitUntilShowsScaled(window, kBasePicture));
}

TEST_F(Dpi, TheMenuBarIsDrawnAtTheScreenDpi) {
  HWND window = StartLauncher("dpi_menu_bar");
  ASSERT_NE(nullptr, window);
  // This thread is per-monitor aware, so the reference bar is drawn at the
  // screen's DPI, in its font and height.
  Image reference = ReferenceMenuBar({"&File", "&Help"}, window);
  ASSERT_FALSE(reference.Empty());
  Image bar;
  size_t differing = 0;
  for (int attempt = 0; attempt < 50; ++attempt) {
    bar = CaptureMenuBar(window);
    differing = DifferingPixels(bar, 0, 0, reference);
    if (differing <= 3 && bar.height == reference.height) break;
    Sleep(100);
  }
  EXPECT_EQ(bar.height, reference.height);
  if (differing > 3) {
    SaveBitmap(bar, "dpi_menu_bar");
    SaveBitmap(reference, "dpi_menu_bar_expected");
  }
  EXPECT_LE(differing, 3u) << "see dpi_menu_bar*.bmp";
}

TEST_F(Dpi, APressedCaptionShowsItsOverlayScaledInPlace) {
  HWND window = StartLauncher("dpi_pressed");
  ASSERT_NE(nullptr, window);
  ASSERT_TRUE(input::MoveTo(window, expectation_->onCaption.x, expectation_->onCaption.y));
  ASSERT_TRUE(WaitUntilShowsScaled(window, kSecondCaptionHover));

  // The hover picture with the overlay at the caption's top left.
  Image pressed = LoadBitmapResource(kSecondCaptionHover);
  const Image overlay = LoadBitmapResource(kSecondCaption.overlayBitmap);
  ASSERT_FALSE(pressed.Empty() || overlay.Empty());
  const size_t left = kSecondCaption.left, top = kSecondCaption.top;
  for (int y = 0; y < overlay.height; ++y) {
    std::copy(overlay.At(0, y), overlay.At(0, y) + overlay.width * 3, &pressed.bgr[((top + y) * pressed.width + left) * 3]);
  }
  // Wine's button state lags the input by up to about 50 ms.
  Sleep(150);
  input::Press();
  EXPECT_TRUE(WaitUntilShowsScaled(window, pressed, "pressed301"));
  // Released away from the caption: nothing starts.
  ASSERT_TRUE(input::MoveTo(window, expectation_->onGapRow.x / 4, expectation_->onGapRow.y));
  Sleep(150);
  input::Release();
}

} // namespace
} // namespace fablewick::e2e

#include "intro/win32/tfrmsplashmovie.h"

#include "app/win32/application.h"
#include "app/win32/dpi.h"
#include "intro/win32/gdi_gamma_display.h"
#include "intro_fixtures.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <vector>

namespace fablewick::win32 {
namespace {

using fablewick::testing::IntroFixture;
using fablewick::testing::ScratchDirectory;
using fablewick::testing::TestTaskbar;

constexpr char StandInLayout[] = R"(object frmStandIn: TStandIn
  ClientWidth = 200
  ClientHeight = 100
  BorderStyle = bsNone
end
)";

// Stands in for the launcher: the window the intro brings back.
class TStandIn : public Form {
public:
  explicit TStandIn(FormHost& host = App())
      : Form(host, {.name = "TStandIn",
              .layoutResource = {},
              .layoutText = StandInLayout,
              .handlers = {},
              .factories = {}}) {}
};

// What the screen looked like on each timer tick during a modal show. The
// ticks are dispatched by the modal loop itself, between its other messages.
struct Observation {
  std::vector<int> tvWidths; // each new width, in order
  std::vector<POINT> tvPositions;
  bool tookOverTheWorkArea = false;
  bool hidTheTaskbar = false;
  std::function<void()> onTick;
};

Observation* observing = nullptr;
TfrmSplashMovie* observed = nullptr;
HWND observedTaskbar = nullptr;

void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
  if (!observing || !observed->Visible()) return;
  const int width = observed->TV->Width();
  if (observing->tvWidths.empty() || observing->tvWidths.back() != width) {
    observing->tvWidths.push_back(width);
    observing->tvPositions.push_back(POINT{observed->TV->Left(), observed->TV->Top()});
  }
  RECT area{};
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
  if (area.left == 0 && area.top == 0 && area.right == GetSystemMetrics(SM_CXSCREEN) &&
      area.bottom == GetSystemMetrics(SM_CYSCREEN)) {
    observing->tookOverTheWorkArea = true;
  }
  if (observedTaskbar && !IsWindowVisible(observedTaskbar)) observing->hidTheTaskbar = true;
  if (observing->onTick) observing->onTick();
}

void PostClick(HWND window) {
  PostMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(4, 4));
  PostMessageA(window, WM_LBUTTONUP, 0, MAKELPARAM(4, 4));
}

class IntroWindow : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_NE(taskbar.get(), nullptr);
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &userArea, 0);
    // Unlike the whole screen, as a docked taskbar leaves it.
    RECT own{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN) - 28};
    SystemParametersInfoA(SPI_SETWORKAREA, 0, &own, SPIF_SENDCHANGE);
    intro.FormCreate();
    intro.SetMainForm(&launcher);
    observed = &intro;
    observedTaskbar = taskbar.get();
  }
  void TearDown() override {
    observing = nullptr;
    observed = nullptr;
    SystemParametersInfoA(SPI_SETWORKAREA, 0, &userArea, SPIF_SENDCHANGE);
  }

  int ShowWatched(Observation& observation) {
    observing = &observation;
    const UINT_PTR timer = SetTimer(nullptr, 0, 25, &Tick);
    const int result = App().ShowModal(intro);
    KillTimer(nullptr, timer);
    observing = nullptr;
    return result;
  }

  void ExpectTheDesktopGivenBack() {
    RECT area{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    EXPECT_EQ(area.bottom, GetSystemMetrics(SM_CYSCREEN) - 28);
    EXPECT_EQ(area.right, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_TRUE(IsWindowVisible(taskbar.get()));
    EXPECT_NE(GetWindowLongA(taskbar.get(), GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
    EXPECT_FALSE(intro.Visible());
    EXPECT_FALSE(intro.VCR->IsOpen());
  }

  // A movie's length on the screen: its own at 96 DPI, scaled with the
  // screen's DPI beyond (the suite also runs at 192).
  int OnScreen(int length) { return length * WindowDpi(intro.Handle()) / 96; }

  ScratchDirectory scratch;
  TestTaskbar taskbar;
  RECT userArea{};
  TStandIn launcher;
  GdiGammaDisplay display;
  GammaFade gamma{display};
  TfrmSplashMovie intro{App(), gamma};
};

TEST_F(IntroWindow, CoversTheScreenAndPlaysBothMoviesAtTheirSizeForTheDpiCentredThenCloses) {
  ASSERT_TRUE(scratch.CopyIn(IntroFixture("movie_160x120.avi"), "Kelvarn Movie.avi"));
  ASSERT_TRUE(scratch.CopyIn(IntroFixture("movie_96x72.avi"), "Quillmere Movie.avi"));
  ASSERT_TRUE(intro.AnyMovieExists());

  Observation seen;
  EXPECT_EQ(ShowWatched(seen), mrCancel);

  const int cx = GetSystemMetrics(SM_CXSCREEN), cy = GetSystemMetrics(SM_CYSCREEN);
  EXPECT_EQ(intro.ClientWidth(), cx);
  EXPECT_EQ(intro.ClientHeight(), cy);
  ASSERT_EQ(seen.tvWidths, (std::vector<int>{OnScreen(160), OnScreen(96)}));
  EXPECT_EQ(seen.tvPositions[0].x, cx / 2 - OnScreen(80));
  EXPECT_EQ(seen.tvPositions[0].y, cy / 2 - OnScreen(60));
  EXPECT_EQ(seen.tvPositions[1].x, cx / 2 - OnScreen(48));
  EXPECT_EQ(seen.tvPositions[1].y, cy / 2 - OnScreen(36));
  EXPECT_TRUE(seen.tookOverTheWorkArea);
  EXPECT_TRUE(seen.hidTheTaskbar);
  EXPECT_EQ(intro.VCR->LastNotification(), MovieNotification::Successful);
  ExpectTheDesktopGivenBack();
  EXPECT_TRUE(launcher.Visible());
}

TEST_F(IntroWindow, AClickOnThePanelStartsTheNextMovieWhichThenPlaysToItsEnd) {
  ASSERT_TRUE(scratch.CopyIn(IntroFixture("movie_160x120.avi"), "Kelvarn Movie.avi"));
  ASSERT_TRUE(scratch.CopyIn(IntroFixture("movie_96x72.avi"), "Quillmere Movie.avi"));

  Observation seen;
  bool clicked = false, secondPlayed = false;
  seen.onTick = [&] {
    const bool playing = intro.VCR->IsPlaying();
    if (!clicked && intro.TV->Width() == OnScreen(160) && playing) {
      PostClick(intro.TV->Handle());
      clicked = true;
    } else if (clicked && intro.TV->Width() == OnScreen(96) && playing) {
      // Timer ticks come last in the queue: had the first movie's
      // interruption been taken for an end, the second would be gone.
      secondPlayed = true;
    }
  };
  ShowWatched(seen);

  EXPECT_TRUE(clicked);
  EXPECT_TRUE(secondPlayed);
  EXPECT_EQ(seen.tvWidths, (std::vector<int>{OnScreen(160), OnScreen(96)}));
  EXPECT_EQ(intro.VCR->LastNotification(), MovieNotification::Successful);
  ExpectTheDesktopGivenBack();
}

TEST_F(IntroWindow, AClickOnTheBlackAreaDuringTheLastMovieStopsItAndCloses) {
  ASSERT_TRUE(scratch.CopyIn(IntroFixture("movie_160x120.avi"), "Quillmere Movie.avi"));

  Observation seen;
  bool clicked = false;
  seen.onTick = [&] {
    if (!clicked && intro.VCR->IsPlaying()) {
      PostClick(intro.Handle());
      clicked = true;
    }
  };
  ShowWatched(seen);

  EXPECT_TRUE(clicked);
  // The movie never reached its end: it was stopped, and a stopped play's
  // notice is not passed on.
  EXPECT_NE(intro.VCR->LastNotification(), MovieNotification::Successful);
  ExpectTheDesktopGivenBack();
}

TEST_F(IntroWindow, WithNoPlayableMovieItClosesAtOnceAndGivesTheDesktopBack) {
  ASSERT_TRUE(scratch.Write("Kelvarn Movie.avi", "not a movie"));
  ASSERT_TRUE(scratch.Write("Quillmere Movie.avi", "RIFF"));
  ASSERT_TRUE(intro.AnyMovieExists());

  Observation seen;
  EXPECT_EQ(ShowWatched(seen), mrCancel);
  EXPECT_EQ(fablewick::testing::CountDialogsOfThisProcess(), 0);
  ExpectTheDesktopGivenBack();
  EXPECT_TRUE(launcher.Visible());

  // Shown again, it tries the list from the start and closes the same way.
  EXPECT_EQ(ShowWatched(seen), mrCancel);
  EXPECT_EQ(intro.Sequence().MovieIndex, 2);
  ExpectTheDesktopGivenBack();
}

TEST_F(IntroWindow, OnlyPlainFilesCountAsMovies) {
  EXPECT_FALSE(intro.AnyMovieExists());
  ASSERT_TRUE(CreateDirectoryA("Kelvarn Movie.avi", nullptr));
  EXPECT_FALSE(intro.AnyMovieExists());
  ASSERT_TRUE(scratch.Write("Quillmere Movie.avi", ""));
  EXPECT_TRUE(intro.AnyMovieExists());
}

} // namespace
} // namespace fablewick::win32

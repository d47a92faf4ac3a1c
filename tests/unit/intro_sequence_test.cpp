#include "intro/intro_sequence.h"

#include "intro/gamma_fade.h"
#include "intro/screen_takeover.h"

#include "fakes/fake_clock.h"
#include "fakes/fake_desktop.h"
#include "fakes/fake_fade_overlay.h"
#include "fakes/fake_gamma_display.h"
#include "fakes/fake_intro_view.h"
#include "fakes/fake_movie_player.h"
#include "fakes/fade_levels.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

namespace fablewick {
namespace {

using fakes::FakeDesktop;
using fakes::FakeGammaDisplay;
using Log = std::vector<std::string>;

const std::string First = "Kelvarn Movie.avi";
const std::string Second = "Quillmere Movie.avi";

class IntroSequenceTest : public ::testing::Test {
protected:
  void SetUp() override {
    CurrentTakeover() = ScreenTakeover{};
    gamma.log = &log;
    desktop.log = &log;
    vcr.log = &log;
    view.log = &log;
    clock.onSleep = [this](std::uint32_t) { log.push_back("sleep " + std::to_string(clock.sleeps.back())); };
  }

  // The constructor saves the start-up ramp, so the display is set up first.
  IntroSequence& Make(bool withGamma = true) {
    if (withGamma) gamma.Install(FakeGammaDisplay::Desktop, startUpRamp);
    intro.emplace(vcr, view, desktop, overlay, ramps, clock);
    intro->FormCreate();
    return *intro;
  }

  void Present(const std::string& file, fakes::FakeMoviePlayer::Movie movie = {}) {
    view.files.insert(file);
    vcr.movies[file] = movie;
  }
  void PresentButBroken(const std::string& file) { view.files.insert(file); }

  // What the modal show's close step does when the window asks to close.
  void RunCloseStep() {
    ASSERT_EQ(view.closes + view.postedCloses, 1);
    intro->FormClose();
  }

  Log Only(std::initializer_list<const char*> prefixes) const {
    Log picked;
    for (const auto& line : log) {
      for (const char* prefix : prefixes) {
        if (line.rfind(prefix, 0) == 0) {
          picked.push_back(line);
          break;
        }
      }
    }
    return picked;
  }
  Log Since(std::size_t from) const { return Log(log.begin() + static_cast<long>(from), log.end()); }

  static Log FadeSteps(bool out) {
    Log steps;
    for (int level : out ? fakes::FadeOutLevels : fakes::FadeInLevels) {
      steps.push_back("sleep " + std::to_string(fakes::FadeStepMs));
      steps.push_back("gamma " + std::to_string(level));
    }
    return steps;
  }

  Log log;
  fakes::FakeClock clock;
  FakeGammaDisplay gamma;
  GammaFade ramps{gamma};
  FakeDesktop desktop;
  fakes::FakeMoviePlayer vcr;
  fakes::FakeIntroView view;
  fakes::FakeFadeOverlay overlay;
  GammaRamp startUpRamp = FakeGammaDisplay::DistinctRamp(11);
  std::optional<IntroSequence> intro;
};

// --- fades and the order of the show and close steps -----------------------

TEST_F(IntroSequenceTest, ShowFadesOutThenTakesOverTheScreenBeforeTheFirstMovie) {
  Present(First);
  Make().FormShow();

  Log expected = FadeSteps(true);
  for (const char* step : {"get work area", "set work area 0,0,1024,768", "find taskbars",
                           "taskbar bottom", "taskbar hide", "mark full screen"}) {
    expected.push_back(step);
  }
  for (const char* step : {"open Kelvarn Movie.avi", "seek", "hide TV", "show TV",
                           "play Kelvarn Movie.avi"}) {
    expected.push_back(step);
  }
  EXPECT_EQ(log, expected);
  EXPECT_TRUE(view.tvColourIsForm);
  EXPECT_EQ(view.postedCloses, 0);
}

TEST_F(IntroSequenceTest, ActivationGoesStraightToFullBrightnessWithTheStartUpRamp) {
  Present(First);
  Make().FormShow();
  gamma.displays[FakeGammaDisplay::Desktop] = FakeGammaDisplay::DistinctRamp(99);
  const std::size_t mark = log.size();

  intro->FormActivate();
  EXPECT_EQ(Since(mark), (Log{"present intro", "gamma 100"}));
  EXPECT_EQ(gamma.displays[FakeGammaDisplay::Desktop], startUpRamp);
}

TEST_F(IntroSequenceTest, TheScreenStaysBlackUntilTheIntroIsOnScreenAndLightsOnce) {
  Present(First);
  view.visible = false;
  Make().FormShow();
  const std::size_t mark = log.size();
  intro->FormActivate();
  EXPECT_EQ(Since(mark), Log{"present intro"});
  EXPECT_EQ(gamma.LevelOf(FakeGammaDisplay::Desktop, gamma.displays[FakeGammaDisplay::Desktop]), 0);

  view.visible = true;
  intro->FramePainted();
  EXPECT_EQ(Since(mark), (Log{"present intro", "present intro", "gamma 100"}));
  // Later paints (each movie, a window moved away) leave the screen alone.
  intro->FramePainted();
  EXPECT_EQ(log.size(), mark + 3);
  // Nor may a paint after the close light the screen the close blacked out.
  intro->FormClose();
  const std::size_t closed = log.size();
  intro->FramePainted();
  EXPECT_EQ(log.size(), closed);
}

TEST_F(IntroSequenceTest, WithTwoMonitorsTheOverlayCarriesTheWholeFadeAndTheRampIsNeverTouched) {
  overlay.log = &log;
  desktop.monitors = {{{0, 0, 1024, 768}, true}, {{1024, 0, 1824, 600}, false}};
  Present(First);
  Make().FormShow();
  intro->FormActivate();
  intro->FormClick();
  RunCloseStep();
  EXPECT_TRUE(gamma.writes.empty());
  EXPECT_EQ(clock.sleeps.size(), 2 * fakes::FadeOutLevels.size());
  EXPECT_EQ(Only({"overlay 255", "overlay down", "overlay 127"}),
            (Log{"overlay 127", "overlay 255", "overlay down", "overlay 255", "overlay 255", "overlay 127",
                 "overlay down"}));
}

TEST_F(IntroSequenceTest, WithHdrOnItsOnlyMonitorTheOverlayCarriesTheWholeFade) {
  overlay.log = &log;
  desktop.hdr = true;
  Present(First);
  Make().FormShow();
  intro->FormActivate();
  intro->FormClose();
  EXPECT_TRUE(gamma.writes.empty());
  EXPECT_EQ(clock.sleeps.size(), 2 * fakes::FadeOutLevels.size());
  EXPECT_EQ(Only({"overlay 255", "overlay down"}),
            (Log{"overlay 255", "overlay down", "overlay 255", "overlay 255", "overlay down"}));
}

TEST_F(IntroSequenceTest, AMonitorPluggedInDuringTheMovieFadesWithTheOthersAtTheClose) {
  overlay.log = &log;
  Present(First);
  Make().FormShow();
  intro->FormActivate();
  desktop.monitors.push_back({{1024, 0, 1824, 600}, false});
  intro->DisplayChanged();
  const std::size_t writes = gamma.writes.size();
  intro->FormClose();
  EXPECT_EQ(gamma.writes.size(), writes) << "the close went through the ramp";
  EXPECT_EQ(Only({"overlay 255", "overlay down"}).front(), "overlay 255");
  EXPECT_FALSE(overlay.shown);
}

TEST_F(IntroSequenceTest, AMovieWithoutItsDecoderIsSkippedUnopenedAndAnUnreadableHeaderIsLeftToTheDevice) {
  Present(First);
  Present(Second);
  view.decoders[First] = DecoderCheck::Missing;
  view.decoders[Second] = DecoderCheck::Unreadable;
  Make().FormShow();
  EXPECT_EQ(Only({"open", "play"}), (Log{"open Quillmere Movie.avi", "play Quillmere Movie.avi"}));
}

TEST_F(IntroSequenceTest, AtTwiceTheDpiTheMovieIsDrawnTwiceAsLargeAndAt96AsItIs) {
  view.SetClientSize(1024, 768);
  view.dpi = 192;
  Present(First, {.width = 320, .height = 240});
  Present(Second, {.width = 320, .height = 240});
  const auto tv = [this] { return std::tuple(view.tvLeft, view.tvTop, view.tvWidth, view.tvHeight); };
  Make().FormShow();
  EXPECT_EQ(tv(), std::tuple(192, 144, 640, 480));
  view.dpi = 96;
  intro->TVClick();
  EXPECT_EQ(tv(), std::tuple(352, 264, 320, 240));
  EXPECT_EQ(Only({"destination", "play"}),
            (Log{"destination 640x480", "play Kelvarn Movie.avi", "play Quillmere Movie.avi"}));
}

TEST_F(IntroSequenceTest, CloseBlacksOutGivesTheDesktopBackAndFadesIn) {
  Present(First);
  Make().SetMainForm(0x777);
  intro->FormShow();
  intro->FormActivate();
  const std::size_t mark = log.size();

  intro->FormClose();
  Log expected{"gamma 0", "unmark full screen", "set work area 0,0,1024,738", "taskbar topmost", "taskbar show",
               "close Kelvarn Movie.avi", "show main form", "present main form"};
  for (const auto& step : FadeSteps(false)) expected.push_back(step);
  EXPECT_EQ(Since(mark), expected);
  EXPECT_EQ(view.shownMainForm, 0x777u);
  EXPECT_EQ(gamma.displays[FakeGammaDisplay::Desktop], startUpRamp);
}

TEST_F(IntroSequenceTest, WithoutAGammaRampTheOverlayFadesAndEveryOtherStepStillRuns) {
  overlay.log = &log;
  Present(First);
  Make(/*withGamma=*/false).FormShow();
  intro->FormActivate();
  intro->FormClick();
  RunCloseStep();

  EXPECT_TRUE(gamma.writes.empty());
  EXPECT_EQ(clock.sleeps.size(), 2 * fakes::FadeOutLevels.size());
  EXPECT_EQ(Only({"overlay 255", "overlay down", "set work area", "taskbar", "close window", "show main form"}),
            (Log{"overlay 255", "set work area 0,0,1024,768", "taskbar bottom", "taskbar hide", "overlay down",
                 "close window", "overlay 255", "set work area 0,0,1024,738", "taskbar topmost", "taskbar show",
                 "overlay 255", "overlay down"}));
  EXPECT_FALSE(overlay.shown);
}

TEST_F(IntroSequenceTest, WithNeitherARampNorAnOverlayNothingFadesAndTheShowStillRuns) {
  overlay.makeable = false;
  Present(First);
  Make(/*withGamma=*/false).FormShow();
  intro->FormActivate();
  intro->FormClick();
  RunCloseStep();

  EXPECT_TRUE(gamma.writes.empty());
  EXPECT_EQ(clock.sleeps.size(), 2u) << "the fade gives up at the first level it cannot show";
  EXPECT_EQ(Only({"set work area", "taskbar", "close window", "show main form"}),
            (Log{"set work area 0,0,1024,768", "taskbar bottom", "taskbar hide", "close window",
                 "set work area 0,0,1024,738", "taskbar topmost", "taskbar show"}));
}

TEST_F(IntroSequenceTest, ARampRefusedFromTheStartHandsTheWholeFadeToTheOverlay) {
  Present(First);
  Make();
  gamma.refusing.insert(FakeGammaDisplay::Desktop);
  intro->FormShow();
  EXPECT_TRUE(overlay.shown);
  EXPECT_EQ(overlay.opacity, 255);
  intro->FormActivate();
  EXPECT_FALSE(overlay.shown);
  intro->FormClick();
  RunCloseStep();

  EXPECT_EQ(gamma.writes.size(), 1u) << "only the first, refused, step touches the ramp";
  EXPECT_EQ(clock.sleeps.size(), 2 * fakes::FadeOutLevels.size());
  EXPECT_FALSE(overlay.shown);
  EXPECT_EQ(Only({"play", "taskbar", "close window"}),
            (Log{"taskbar bottom", "taskbar hide", "play Kelvarn Movie.avi", "close window",
                 "taskbar topmost", "taskbar show"}));
}

TEST_F(IntroSequenceTest, WithoutATaskbarTheTaskbarStepsAreSkippedAtShowAndClose) {
  desktop.hasTaskbar = false;
  Present(First);
  Make().FormShow();
  intro->FormClick();
  RunCloseStep();
  EXPECT_TRUE(Only({"taskbar"}).empty());
  EXPECT_EQ(desktop.workArea, (Rect{0, 0, 1024, 738}));
}

TEST_F(IntroSequenceTest, TheWorkAreaIsTheWholeScreenWhileShownAndExactlyTheOldOneAfter) {
  desktop.screen = {1280, 1024};
  desktop.workArea = Rect{-3, 40, 1277, 1001};
  Present(First);
  Make().FormShow();
  EXPECT_EQ(desktop.workArea, (Rect{0, 0, 1280, 1024}));
  EXPECT_FALSE(desktop.taskbarVisible);
  EXPECT_EQ(view.clientWidth, 1280);
  EXPECT_EQ(view.clientHeight, 1024);

  intro->FormClick();
  RunCloseStep();
  EXPECT_EQ(desktop.workArea, (Rect{-3, 40, 1277, 1001}));
  EXPECT_TRUE(desktop.taskbarVisible);
  EXPECT_EQ(desktop.taskbarPlace, TaskbarPlace::Topmost);
}

TEST_F(IntroSequenceTest, AWorkAreaThatCannotBeReadIsGivenBackAsTheWholeScreen) {
  desktop.workAreaReadable = false;
  Present(First);
  Make().FormShow();
  intro->FormClick();
  RunCloseStep();
  EXPECT_EQ(desktop.workAreaWrites, (std::vector<Rect>{{0, 0, 1024, 768}, {0, 0, 1024, 768}}));
}

// --- which movie plays ----------------------------------------------------

TEST_F(IntroSequenceTest, WithOnlyTheSecondFileTheFirstIsSkippedWithoutOpeningAndTheEndCloses) {
  Present(Second);
  Make();
  EXPECT_TRUE(intro->AnyMovieExists());
  intro->FormShow();
  EXPECT_EQ(Only({"open", "play"}), (Log{"open Quillmere Movie.avi", "play Quillmere Movie.avi"}));

  vcr.FinishPlaying();
  intro->VCRNotify();
  EXPECT_EQ(view.closes, 1);
  EXPECT_TRUE(Only({"stop", "eject"}).empty());
}

TEST_F(IntroSequenceTest, WithOnlyTheFirstFileItPlaysAndItsEndClosesTheWindow) {
  Present(First);
  Make().FormShow();
  vcr.FinishPlaying();
  intro->VCRNotify();
  EXPECT_EQ(Only({"open", "play", "close window"}),
            (Log{"open Kelvarn Movie.avi", "play Kelvarn Movie.avi", "close window"}));
  EXPECT_EQ(intro->MovieIndex, 2);
}

TEST_F(IntroSequenceTest, AClickDuringTheFirstStartsTheSecondAndTheAbortedNoticeChangesNothing) {
  Present(First);
  Present(Second);
  Make().FormShow();
  intro->TVClick();
  EXPECT_EQ(Only({"open", "close", "play"}),
            (Log{"open Kelvarn Movie.avi", "play Kelvarn Movie.avi", "close Kelvarn Movie.avi",
                 "open Quillmere Movie.avi", "play Quillmere Movie.avi"}));
  ASSERT_EQ(vcr.notification, MovieNotification::Aborted);

  const std::size_t mark = log.size();
  intro->VCRNotify();
  for (auto kind : {MovieNotification::Superseded, MovieNotification::Failure, MovieNotification::None,
                    static_cast<MovieNotification>(16)}) {
    vcr.notification = kind;
    intro->VCRNotify();
  }
  EXPECT_EQ(Since(mark), Log{});
  EXPECT_EQ(view.closes, 0);

  vcr.FinishPlaying();
  intro->VCRNotify();
  EXPECT_EQ(view.closes, 1);
}

TEST_F(IntroSequenceTest, AClickOnTheBlackAreaBehavesLikeAClickOnThePanel) {
  Present(First);
  Present(Second);
  Make().FormShow();
  intro->FormClick();
  EXPECT_EQ(vcr.current, Second);
  intro->FormClick();
  EXPECT_EQ(view.closes, 1);
}

TEST_F(IntroSequenceTest, AClickDuringTheFirstWhenTheSecondFailsToOpenClosesWithoutStopping) {
  Present(First);
  PresentButBroken(Second);
  Make().FormShow();
  intro->TVClick();
  EXPECT_EQ(Only({"open", "close", "stop", "seek", "eject"}),
            (Log{"open Kelvarn Movie.avi", "seek", "close Kelvarn Movie.avi",
                 "open Quillmere Movie.avi", "close window"}));
  EXPECT_FALSE(vcr.IsOpen());
}

TEST_F(IntroSequenceTest, AClickDuringTheLastStopsRewindsEjectsOnlyIfAbleAndCloses) {
  for (bool canEject : {false, true}) {
    SCOPED_TRACE(canEject ? "device can eject" : "device cannot eject");
    log.clear();
    view.closes = 0;
    Present(Second, {.width = 160, .height = 120, .hasVideo = true, .canEject = canEject});
    if (!intro) Make();
    intro->FormShow();
    const std::size_t mark = log.size();
    intro->TVClick();
    Log expected{"stop", "seek"};
    if (canEject) expected.push_back("eject");
    expected.push_back("close window");
    EXPECT_EQ(Since(mark), expected);
    intro->FormClose();
  }
}

TEST_F(IntroSequenceTest, ASecondShowPlaysFromTheFirstMovieAgain) {
  Present(First);
  Present(Second);
  Make().FormShow();
  intro->TVClick();
  intro->TVClick();
  RunCloseStep();
  view.closes = 0;

  log.clear();
  intro->FormShow();
  EXPECT_EQ(Only({"open", "play"}), (Log{"open Kelvarn Movie.avi", "play Kelvarn Movie.avi"}));
}

TEST_F(IntroSequenceTest, BothPresentButNeitherPlayableFadesOutClosesAtOnceAndFadesBackIn) {
  PresentButBroken(First);
  PresentButBroken(Second);
  Make().FormShow();
  EXPECT_EQ(view.postedCloses, 1);
  EXPECT_EQ(Only({"post close", "taskbar"}),
            (Log{"taskbar bottom", "taskbar hide", "post close"}));

  RunCloseStep();
  Log fades = FadeSteps(true);
  fades.push_back("gamma 0");
  for (const auto& step : FadeSteps(false)) fades.push_back(step);
  EXPECT_EQ(Only({"gamma", "sleep"}), fades);
  EXPECT_EQ(gamma.displays[FakeGammaDisplay::Desktop], startUpRamp);
  EXPECT_EQ(desktop.workArea, (Rect{0, 0, 1024, 738}));
  EXPECT_TRUE(desktop.taskbarVisible);
}

// Otherwise the black window would wait for an end notice that never comes.
TEST_F(IntroSequenceTest, AMovieThatOpensButRefusesToPlayIsSkippedLikeOneThatCannotOpen) {
  Present(First, {.refusesToPlay = true});
  Present(Second);
  Make().FormShow();
  EXPECT_EQ(Only({"open", "close", "play"}),
            (Log{"open Kelvarn Movie.avi", "play Kelvarn Movie.avi", "close Kelvarn Movie.avi",
                 "open Quillmere Movie.avi", "play Quillmere Movie.avi"}));
  EXPECT_EQ(view.postedCloses, 0);

  // As the last entry, it leaves the window to close at once with no
  // device left open.
  vcr.movies[Second].refusesToPlay = true;
  intro->TVClick();
  RunCloseStep();
  intro->FormShow();
  EXPECT_EQ(view.postedCloses, 1);
  intro->FormClose();
  EXPECT_FALSE(vcr.IsOpen());
}

TEST_F(IntroSequenceTest, AnEntryIsTriedOnlyOncePerShow) {
  PresentButBroken(First);
  Present(Second);
  Make().FormShow();
  intro->TVClick();
  EXPECT_EQ(std::count(log.begin(), log.end(), "open Kelvarn Movie.avi"), 1);
  EXPECT_EQ(view.closes, 1);
}

TEST_F(IntroSequenceTest, AnyMovieExistsStopsAtTheFirstPresentFileAndOpensNothing) {
  Make();
  EXPECT_FALSE(intro->AnyMovieExists());
  EXPECT_EQ(view.probed, (Log{First, Second}));

  view.probed.clear();
  Present(First);
  EXPECT_TRUE(intro->AnyMovieExists());
  EXPECT_EQ(view.probed, Log{First});
  EXPECT_TRUE(Only({"open"}).empty());
}

// --- sizing and centring the panel ------------------------------------------

TEST_F(IntroSequenceTest, ThePanelTakesTheMovieSizeAndIsCentredWithTruncatingDivision) {
  struct Case {
    ScreenSize screen;
    std::int32_t width, height;
    std::int32_t left, top;
  };
  for (const Case& c : {Case{{1024, 768}, 160, 120, 432, 324},
                        Case{{1023, 767}, 161, 121, 431, 323},
                        Case{{1024, 768}, 1100, 900, -38, -66},
                        Case{{1023, 767}, 1101, 901, -39, -67}}) {
    SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height));
    desktop.screen = c.screen;
    intro.reset();
    Present(First, {.width = c.width, .height = c.height});
    Make().FormShow();
    EXPECT_EQ(view.tvWidth, c.width);
    EXPECT_EQ(view.tvHeight, c.height);
    EXPECT_EQ(view.tvLeft, c.left);
    EXPECT_EQ(view.tvTop, c.top);
    EXPECT_TRUE(view.tvVisible);
    intro->FormClose();
  }
}

TEST_F(IntroSequenceTest, ThePanelIsSizedAfreshForEachMovieWhileHidden) {
  Present(First, {.width = 320, .height = 240});
  Present(Second, {.width = 200, .height = 100});
  Make().FormShow();
  intro->TVClick();
  EXPECT_EQ(view.tvWidth, 200);
  EXPECT_EQ(view.tvHeight, 100);
  EXPECT_EQ(view.tvLeft, 412);
  EXPECT_EQ(view.tvTop, 334);
  EXPECT_EQ(vcr.destinationReads, 4);
  EXPECT_EQ(Only({"hide TV", "show TV", "play"}),
            (Log{"hide TV", "show TV", "play Kelvarn Movie.avi", "hide TV", "show TV",
                 "play Quillmere Movie.avi"}));
}

TEST_F(IntroSequenceTest, AMovieWithoutVideoPlaysWithoutReadingADestination) {
  Present(First, {.width = 0, .height = 0, .hasVideo = false});
  Make().FormShow();
  EXPECT_EQ(vcr.destinationReads, 0);
  EXPECT_EQ(Only({"play"}), Log{"play Kelvarn Movie.avi"});
}

// --- closing ----------------------------------------------------------------

TEST_F(IntroSequenceTest, CloseBringsNoWindowBackWhenNoMainFormWasSet) {
  PresentButBroken(First);
  Make().FormShow();
  RunCloseStep();
  EXPECT_TRUE(Only({"show main form"}).empty());
  EXPECT_FALSE(vcr.IsOpen());
}

TEST_F(IntroSequenceTest, TheDesktopIsGivenBackWhenTheWindowGoesAwayWithoutItsCloseStep) {
  Present(First);
  Make().FormShow();
  intro->FormActivate();
  intro.reset();
  EXPECT_EQ(desktop.workArea, (Rect{0, 0, 1024, 738}));
  EXPECT_TRUE(desktop.taskbarVisible);
}

} // namespace
} // namespace fablewick

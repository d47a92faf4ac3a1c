#include "launcher/launch.h"

#include "fakes/fake_launcher_rig.h"

#include "../captions.h"

#include <gtest/gtest.h>


namespace fablewick {
namespace {

using Events = std::vector<std::string>;

constexpr int kCaptionX = seen::kCaptions[0].CentreX();

class LaunchTest : public ::testing::Test {
protected:
  LaunchTest() {
    for (int i = 0; i < seen::kGameCount; ++i) rig.shell.files.insert(seen::kCaptions[i].game);
  }

  void Press(int region) {
    PointerStep(hover, rig.host, kCaptionX, seen::kCaptions[region].CentreY(), false);
    PointerStep(hover, rig.host, kCaptionX, seen::kCaptions[region].CentreY(), true);
    rig.events.clear();
  }
  Events Release(int x, int y) {
    rig.events.clear();
    ReleaseStep(hover, rig.ports, x, y);
    return rig.events;
  }
  Events ReleaseOn(int region) { return Release(kCaptionX, seen::kCaptions[region].CentreY()); }

  // Milliseconds from now until the launcher asked to terminate.
  std::uint32_t TimeToTerminate(const std::function<void()>& action) {
    const std::uint32_t start = rig.clock.Ticks();
    action();
    EXPECT_EQ(rig.host.terminatedAt.size(), 1u);
    return rig.host.terminatedAt.empty() ? 0 : rig.host.terminatedAt.front() - start;
  }

  fakes::FakeLauncherRig rig;
  HoverState hover;
};

// --- completing a click -----------------------------------------------------

TEST_F(LaunchTest, ReleasingOverTheArmedCaptionStartsThatCaptionsGame) {
  for (int region = 0; region < 4; ++region) {
    fakes::FakeLauncherRig fresh;
    fresh.shell.files.insert(seen::kCaptions[region].game);
    HoverState state;
    PointerStep(state, fresh.host, kCaptionX, seen::kCaptions[region].CentreY(), true);
    fresh.events.clear();
    ReleaseStep(state, fresh.ports, kCaptionX + 30, seen::kCaptions[region].CentreY() + 2);
    const std::string game = seen::kCaptions[region].game;
    EXPECT_EQ(fresh.events, (Events{"play 128", "open " + game, "terminate"})) << region;
    // The click completes without touching the picture or the arming.
    EXPECT_EQ(state.armedRegion, region);
  }
}

TEST_F(LaunchTest, ReleasingOverQuitPlaysTheClickThenQuits) {
  Press(4);
  EXPECT_EQ(ReleaseOn(4), (Events{"play 128", "stop", "play 130", "terminate"}));
}

TEST_F(LaunchTest, ReleasingElsewhereDisarmsAndChangesNothingElse) {
  Press(2);
  EXPECT_EQ(ReleaseOn(3), Events{});
  EXPECT_EQ(hover.armedRegion, kNoRegion);

  Press(2);
  EXPECT_EQ(Release(100, 200), Events{});
  EXPECT_EQ(Release(-20, 500), Events{});
  EXPECT_EQ(hover.armedRegion, kNoRegion);
  EXPECT_TRUE(rig.shell.opened.empty());
}

TEST_F(LaunchTest, APressThatBeganOutsideEveryCaptionLaunchesNothingWhereverItEnds) {
  PointerStep(hover, rig.host, 100, 200, true);
  PointerStep(hover, rig.host, kCaptionX, seen::kCaptions[1].CentreY(), true);
  for (int region = 0; region < kHotRegionCount; ++region) {
    EXPECT_EQ(ReleaseOn(region), Events{}) << region;
  }
  EXPECT_TRUE(rig.host.terminatedAt.empty());
}

TEST_F(LaunchTest, AfterACancelledDragTheNextMoveLightsTheCaptionUnderThePointer) {
  Press(2);
  PointerStep(hover, rig.host, kCaptionX, seen::kCaptions[3].CentreY(), true);
  ReleaseOn(3);
  rig.events.clear();
  PointerStep(hover, rig.host, kCaptionX, seen::kCaptions[3].CentreY(), false);
  EXPECT_EQ(rig.events, (Events{"play 128", "hover 3"}));
}

// --- launching --------------------------------------------------------------

TEST_F(LaunchTest, OpensTheGameByItsBareNameAndEndsAfterTheGracePeriod) {
  EXPECT_EQ(TimeToTerminate([&] { LaunchGame(rig.ports, "Caddle.exe"); }), 1500u);
  EXPECT_EQ(rig.shell.opened, (Events{"Caddle.exe"}));
  EXPECT_EQ(rig.events, (Events{"play 128", "open Caddle.exe", "terminate"}));
  for (std::uint32_t sleep : rig.clock.sleeps) EXPECT_EQ(sleep, 100u);
}

TEST_F(LaunchTest, TheGracePeriodIsMeasuredFromAfterTheShellCall) {
  rig.shell.onOpen = [&] { rig.clock.Advance(700); };
  EXPECT_EQ(TimeToTerminate([&] { LaunchGame(rig.ports, "Pimmet.exe"); }), 700u + 1500u);
}

TEST_F(LaunchTest, WithSoundOffTerminatesExactlyWhenTheGracePeriodEnds) {
  rig.host.soundEnabled = false;
  EXPECT_EQ(TimeToTerminate([&] { LaunchGame(rig.ports, "Trillick.exe"); }), 1500u);
  EXPECT_EQ(rig.clock.sleeps.size(), 15u);
}

TEST_F(LaunchTest, WaitsForASoundThatOutlastsTheGracePeriodAndEndsAtTheFirstPollAfterIt) {
  // The opening tune started 200 ms ago and plays for 6 s more.
  rig.host.PlaySoundResource(132);
  rig.clock.Advance(200);
  const std::uint32_t tuneLeft = 6000;
  const std::uint32_t waited = TimeToTerminate([&] { LaunchGame(rig.ports, "Barrowby.exe"); });
  EXPECT_GE(waited, tuneLeft);
  EXPECT_LT(waited, tuneLeft + 100);
}

TEST_F(LaunchTest, EndsAtTheFirstPollAfterASoundThatStopsJustPastTheGracePeriod) {
  rig.host.soundLengths[128] = 1550;
  EXPECT_EQ(TimeToTerminate([&] { LaunchGame(rig.ports, "Barrowby.exe"); }), 1600u);
}

TEST_F(LaunchTest, TheGraceWaitNeitherSkipsNorHangsWhenTheTickCountWraps) {
  for (std::uint32_t start : {0xFFFFFFFFu - 1000u, 0xFFFFFFFFu - 1499u, 0xFFFFFFFFu}) {
    fakes::FakeLauncherRig wrapped(start);
    wrapped.host.soundEnabled = false;
    wrapped.shell.files.insert("Caddle.exe");
    LaunchGame(wrapped.ports, "Caddle.exe");
    ASSERT_EQ(wrapped.host.terminatedAt.size(), 1u);
    EXPECT_EQ(wrapped.host.terminatedAt.front() - start, 1500u) << start;
  }
}

TEST_F(LaunchTest, ASoundThatEndsAfterTheTickCountWrappedStillEndsTheWait) {
  // The grace period is over well before the wrap; the tune plays past it.
  fakes::FakeLauncherRig wrapped(0xFFFFF000u);
  wrapped.shell.files.insert("Caddle.exe");
  wrapped.host.PlaySoundResource(132);
  LaunchGame(wrapped.ports, "Caddle.exe");
  ASSERT_EQ(wrapped.host.terminatedAt.size(), 1u);
  const std::uint32_t waited = wrapped.host.terminatedAt.front() - 0xFFFFF000u;
  EXPECT_GE(waited, 6200u);
  EXPECT_LT(waited, 6300u);
}

TEST_F(LaunchTest, AMissingGameOrADirectoryOfThatNameIsReportedAndTheLauncherStays) {
  rig.shell.files.clear();
  rig.shell.directories.insert("Caddle.exe");
  for (int region = 0; region < seen::kGameCount; ++region) {
    const char* game = seen::kCaptions[region].game;
    rig.events.clear();
    rig.messages.shown.clear();
    LaunchGame(rig.ports, game);
    const std::string text = std::string("We're sorry, but we could not find the ") + game +
                             " application.\nPlease try reinstalling the card table package, "
                             "or visit\nhttp://support.quillmere.example for more assistance.";
    EXPECT_EQ(rig.events, (Events{"play 128", "message: " + text})) << game;
    ASSERT_EQ(rig.messages.shown.size(), 1u);
    EXPECT_EQ(rig.messages.shown[0].type, MessageType::Error);
  }
  EXPECT_TRUE(rig.shell.opened.empty());
  EXPECT_TRUE(rig.host.terminatedAt.empty());
  EXPECT_TRUE(rig.clock.sleeps.empty());
}

TEST_F(LaunchTest, AGameTheShellRefusesToStartIsReportedOneTheUserCancelsIsNotAndTheLauncherStays) {
  rig.shell.unstartable.insert("Pimmet.exe");
  LaunchGame(rig.ports, "Pimmet.exe");
  const std::string text = "We're sorry, but we could not start the Pimmet.exe application.\n"
                           "Please try reinstalling the card table package, or visit\n"
                           "http://support.quillmere.example for more assistance.";
  EXPECT_EQ(rig.events, (Events{"play 128", "open Pimmet.exe", "message: " + text}));
  ASSERT_EQ(rig.messages.shown.size(), 1u);
  EXPECT_EQ(rig.messages.shown[0].type, MessageType::Error);

  rig.events.clear();
  rig.shell.cancelled.insert("Caddle.exe");
  LaunchGame(rig.ports, "Caddle.exe");
  EXPECT_EQ(rig.events, (Events{"play 128", "open Caddle.exe"}));
  EXPECT_TRUE(rig.host.terminatedAt.empty());
  EXPECT_TRUE(rig.clock.sleeps.empty());
}

// --- the package's folder ---------------------------------------------------

const std::u16string kDeep = u"C:\\Games\\" + std::u16string(300, u'd');

TEST_F(LaunchTest, AFolderRefusedUnderItsLongNameIsMadeCurrentUnderItsShortNameWhateverItsLength) {
  for (const std::u16string& folder : {kDeep, std::u16string(u"D:\\Spiele")}) {
    fakes::FakeLauncherRig fresh;
    fresh.shell.refusedFolders.insert(folder);
    fresh.shell.shortNames[folder] = u"C:\\GAMES\\DDDDDD~1";
    EnterGameFolder(fresh.ports, folder);
    EXPECT_TRUE(fresh.shell.current == u"C:\\GAMES\\DDDDDD~1");
  }
  rig.shell.shortNames[u"D:\\Spiele"] = u"D:\\SPIELE~1";
  EnterGameFolder(rig.ports, u"D:\\Spiele");
  EXPECT_TRUE(rig.shell.current == u"D:\\Spiele") << "a folder the system takes keeps its own name";
}

TEST_F(LaunchTest, WithNeitherNameAMissingGameIsNamedWithTheFolderAndOneInTheStartFolderStarts) {
  const struct {
    std::u16string folder, shortName; // no short name: the volume keeps none
    std::string shown;
  } cases[] = {
      {kDeep, u"C:\\GAMES\\DDDDDD~1", "C:\\Games\\" + std::string(300, 'd') + "\\Caddle.exe"},
      // Beyond the Basic Multilingual Plane, and a lone surrogate from a
      // damaged setting.
      {u"F:\\\u30ab\u30fc\u30c9 \U0001F0A1 \xD800\\", u"", "F:\\\u30ab\u30fc\u30c9 \U0001F0A1 \uFFFD\\Caddle.exe"},
  };
  for (const auto& c : cases) {
    fakes::FakeLauncherRig fresh;
    fresh.shell.files.insert("Trillick.exe");
    fresh.shell.refusedFolders = {c.folder, c.shortName};
    fresh.shell.shortNames[c.folder] = c.shortName;
    EnterGameFolder(fresh.ports, c.folder);
    EXPECT_TRUE(fresh.shell.current.empty()) << "the start folder was left";
    LaunchGame(fresh.ports, "Caddle.exe");
    EXPECT_EQ(fresh.events.back(), "message: " + MissingGameText(c.shown));
    LaunchGame(fresh.ports, "Trillick.exe");
    EXPECT_EQ(fresh.shell.opened, Events{"Trillick.exe"});
  }
}

// --- quitting ---------------------------------------------------------------

TEST_F(LaunchTest, QuitStopsEverythingPlaysTheQuitSoundAndEndsWhenItHasPlayed) {
  rig.host.PlaySoundResource(132);
  rig.events.clear();
  EXPECT_EQ(TimeToTerminate([&] { Quit1Click(rig.ports); }), 1200u);
  EXPECT_EQ(rig.events, (Events{"stop", "play 130", "terminate"}));
}

TEST_F(LaunchTest, QuitWaitsAtMost500MsForSoundsToStopAnd2000MsForTheQuitSound) {
  rig.host.stopSilences = false;
  rig.host.soundLengths[130] = 5000;
  rig.host.PlaySoundResource(132);
  const std::uint32_t start = rig.clock.Ticks();
  EXPECT_EQ(TimeToTerminate([&] { Quit1Click(rig.ports); }), 2500u);
  ASSERT_EQ(rig.host.playedAt.size(), 2u);
  EXPECT_EQ(rig.host.playedAt[1], std::make_pair(130, start + 500));
}

TEST_F(LaunchTest, QuitWithSoundOffEndsAtOnce) {
  rig.host.soundEnabled = false;
  EXPECT_EQ(TimeToTerminate([&] { Quit1Click(rig.ports); }), 0u);
  EXPECT_TRUE(rig.clock.sleeps.empty());
}

TEST_F(LaunchTest, TheQuitCaptionDiffersFromTheShortcutOnlyByTheClickFirst) {
  Quit1Click(rig.ports);
  const Events shortcut = rig.events;
  const auto shortcutSleeps = rig.clock.sleeps;

  fakes::FakeLauncherRig caption;
  LaunchGame(caption.ports, std::nullopt);
  Events expected{"play 128"};
  expected.insert(expected.end(), shortcut.begin(), shortcut.end());
  EXPECT_EQ(caption.events, expected);
  EXPECT_EQ(caption.clock.sleeps, shortcutSleeps);
}

TEST_F(LaunchTest, QuitWaitsNeitherSkipNorHangAcrossATickWrap) {
  for (std::uint32_t start : {0xFFFFFFFFu - 1000u, 0xFFFFFFFFu - 50u}) {
    fakes::FakeLauncherRig wrapped(start);
    wrapped.host.soundLengths[130] = 5000;
    Quit1Click(wrapped.ports);
    ASSERT_EQ(wrapped.host.terminatedAt.size(), 1u);
    EXPECT_EQ(wrapped.host.terminatedAt.front() - start, 2000u) << start;
  }
}

// --- the Help menu ----------------------------------------------------------

TEST_F(LaunchTest, HelpShowsTheOneLineHintAsInformation) {
  FablewickHelp1Click(rig.ports);
  ASSERT_EQ(rig.messages.shown.size(), 1u);
  EXPECT_EQ(rig.messages.shown[0].text,
            "Click the game you want to launch.  For more help, select Help from within a "
            "specific game.");
  EXPECT_EQ(rig.messages.shown[0].type, MessageType::Information);
}

TEST_F(LaunchTest, AboutShowsTheIntroOnlyWhenAMovieFileIsThere) {
  AboutFablewick1Click(rig.ports);
  EXPECT_EQ(rig.events, (Events{"movies?"}));

  rig.events.clear();
  rig.host.moviesPresent = true;
  AboutFablewick1Click(rig.ports);
  EXPECT_EQ(rig.events, (Events{"movies?", "intro"}));
  EXPECT_TRUE(rig.host.terminatedAt.empty());
}

} // namespace
} // namespace fablewick

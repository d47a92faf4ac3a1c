// The launcher's menu picture and menu bar used as a person would: lighting,
// pressing and releasing the captions, starting games, quitting, the help
// commands, a bitmap that cannot be loaded, and no audio device at all.
#include "driver.h"
#include "e2e_error_box.h"
#include "e2e_launcher_fixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <optional>

namespace fablewick::e2e::launcher_scenarios {
namespace {

// The click lasts 140 ms, the quit chime 380 ms.
constexpr DWORD kQuitSoundAtLeastMs = 250;

class Launcher : public LauncherScenario {
protected:
  // Dismisses a dialog with the key a person would use and waits until it
  // has gone.
  bool Dismiss(HWND dialog, WORD key = VK_RETURN) {
    if (!BringToFront(dialog)) return false;
    input::Keys({key});
    for (int i = 0; i < 100 && IsWindowVisible(dialog); ++i) Sleep(50);
    return !IsWindowVisible(dialog);
  }
};

// ---------------------------------------------------------------------------
TEST_F(Launcher, PointingAtEachCaptionLightsItWithAClickAndLeavingItDarkensItSilently) {
  ScenarioFolder folder("launcher_hover");
  HWND window = StartLauncher(folder);
  ASSERT_NE(nullptr, window);

  for (const Caption& caption : kCaptions) {
    SCOPED_TRACE(caption.name);
    SoundcardRecording onto = SoundcardRecording::Mark();
    ASSERT_TRUE(input::MoveTo(window, caption.CentreX(), caption.CentreY()));
    EXPECT_TRUE(WaitUntilShows(window, caption.hoverBitmap));
    ASSERT_TRUE(onto.WaitFor(500));
    EXPECT_FALSE(onto.Read().Silent()) << "no click on moving onto " << caption.name;

    SoundcardRecording off = SoundcardRecording::Mark();
    ASSERT_TRUE(input::MoveTo(window, kOffCaptions.x, kOffCaptions.y));
    EXPECT_TRUE(WaitUntilShows(window, kBasePicture));
    ASSERT_TRUE(off.WaitFor(400));
    EXPECT_TRUE(off.Read().Silent()) << off.Read().soundMs << " ms of sound on moving off a caption";
  }
  EXPECT_TRUE(launcher_.Running());
}

TEST_F(Launcher, ReleasingAwayFromThePressedCaptionStartsNothingAndKeepsTheLauncher) {
  ScenarioFolder folder("launcher_release_elsewhere");
  folder.AddGames(kGames);
  HWND window = StartLauncher(folder);
  ASSERT_NE(nullptr, window);

  // Dragged onto another caption: the pressed one stays lit, not pressed.
  ASSERT_TRUE(PressOn(window, kCaptions[2]));
  ASSERT_TRUE(input::MoveTo(window, kCaptions[3].CentreX(), kCaptions[3].CentreY()));
  EXPECT_TRUE(WaitUntilShows(window, kCaptions[2].hoverBitmap));
  ReleaseBeforeMovingOn();

  // Dragged onto the background before the release.
  ASSERT_TRUE(PressOn(window, kCaptions[0]));
  ASSERT_TRUE(input::MoveTo(window, kOffCaptions.x, kOffCaptions.y));
  EXPECT_TRUE(WaitUntilShows(window, kCaptions[0].hoverBitmap));
  ReleaseBeforeMovingOn();

  // The next move with the button up lights what lies under the pointer.
  ASSERT_TRUE(input::MoveTo(window, kCaptions[1].CentreX(), kCaptions[1].CentreY()));
  EXPECT_TRUE(WaitUntilShows(window, kCaptions[1].hoverBitmap));
  Sleep(2000); // longer than a launch's grace period
  EXPECT_TRUE(launcher_.Running());
  EXPECT_TRUE(folder.GameStarts().empty());
}

TEST_F(Launcher, ReleasingOnThePressedCaptionStartsExactlyThatGameThenEndsAfterTheGracePeriod) {
  ScenarioFolder folder("launcher_start_game");
  folder.AddGames(kGames);
  for (const Caption& caption : kCaptions) {
    if (caption.game == nullptr) continue;
    SCOPED_TRACE(caption.game);
    HWND window = StartLauncher(folder);
    ASSERT_NE(nullptr, window);
    ASSERT_TRUE(PressOn(window, caption));
    launcher_.MarkAction();
    input::Release();

    std::vector<ScenarioFolder::GameStart> starts = ExpectLaunchedAndClosed(folder);
    ASSERT_EQ(static_cast<size_t>(&caption - kCaptions + 1), starts.size());
    EXPECT_EQ(caption.game, starts.back().fileName);
    EXPECT_EQ(folder.Path(), starts.back().workingDirectory);
    EXPECT_EQ("", starts.back().arguments);
  }
}

// ---------------------------------------------------------------------------
TEST_F(Launcher, TheQuitCaptionEndsTheProgramWithCodeZeroAfterTheQuitSound) {
  ScenarioFolder folder("launcher_quit_caption");
  folder.AddGames(kGames);
  HWND window = StartLauncher(folder);
  ASSERT_NE(nullptr, window);
  ASSERT_TRUE(PressOn(window, kQuit));

  SoundcardRecording recording = SoundcardRecording::Mark();
  launcher_.MarkAction();
  input::Release();
  std::optional<LauncherProcess::Exit> exit = launcher_.WaitForExit(15000);
  ASSERT_TRUE(exit.has_value());
  EXPECT_EQ(0u, exit->code);
  ASSERT_TRUE(recording.WaitFor(exit->msSinceAction));
  EXPECT_GE(recording.Read().soundMs, kQuitSoundAtLeastMs);
  EXPECT_TRUE(folder.GameStarts().empty());
}

TEST_F(Launcher, CtrlQEndsTheProgramWithCodeZeroAfterTheQuitSound) {
  ScenarioFolder folder("launcher_quit_key");
  HWND window = StartLauncher(folder);
  ASSERT_NE(nullptr, window);

  SoundcardRecording recording = SoundcardRecording::Mark();
  launcher_.MarkAction();
  input::Keys({VK_CONTROL, 'Q'});
  std::optional<LauncherProcess::Exit> exit = launcher_.WaitForExit(15000);
  ASSERT_TRUE(exit.has_value());
  EXPECT_EQ(0u, exit->code);
  ASSERT_TRUE(recording.WaitFor(exit->msSinceAction));
  EXPECT_GE(recording.Read().soundMs, kQuitSoundAtLeastMs);
}

// ---------------------------------------------------------------------------
bool AnyTextContains(const std::vector<std::string>& texts, const std::string& part) {
  return std::any_of(texts.begin(), texts.end(),
                     [&](const std::string& text) { return text.find(part) != std::string::npos; });
}

TEST_F(Launcher, AMissingGameOrADirectoryNamedLikeOneIsReportedAndTheLauncherStaysUsable) {
  ScenarioFolder folder("launcher_missing_game");
  folder.AddDirectory("Pimmet.exe");
  HWND window = StartLauncher(folder);
  ASSERT_NE(nullptr, window);

  for (const Caption* caption : {&kCaptions[2], &kCaptions[3]}) {
    SCOPED_TRACE(caption->game);
    ASSERT_TRUE(PressOn(window, *caption));
    input::Release();
    HWND dialog = launcher_.WaitForDialog("Error");
    ASSERT_NE(nullptr, dialog);
    std::vector<std::string> texts = ChildTexts(dialog);
    EXPECT_TRUE(AnyTextContains(texts, std::string("could not find the ") + caption->game + " application."))
        << "dialog texts: " << ::testing::PrintToString(texts);
    ASSERT_TRUE(Dismiss(dialog));
    ASSERT_TRUE(launcher_.Running());
    ASSERT_TRUE(BringToFront(window));
  }

  // Still answering the pointer.
  ASSERT_TRUE(input::MoveTo(window, kOffCaptions.x, kOffCaptions.y));
  EXPECT_TRUE(WaitUntilShows(window, kBasePicture));
  ASSERT_TRUE(input::MoveTo(window, kCaptions[0].CentreX(), kCaptions[0].CentreY()));
  EXPECT_TRUE(WaitUntilShows(window, kCaptions[0].hoverBitmap));
  EXPECT_TRUE(folder.GameStarts().empty());
}

// An empty driver list leaves Wine without an audio device; put back
// whatever happens, as the scenarios after this one need the sound card.
class NoAudioDriver {
public:
  NoAudioDriver() {
    DWORD size = sizeof previous_;
    had_ = RegGetValueA(HKEY_CURRENT_USER, kDrivers, "Audio", RRF_RT_REG_SZ, nullptr, previous_, &size) ==
           ERROR_SUCCESS;
    RegSetKeyValueA(HKEY_CURRENT_USER, kDrivers, "Audio", REG_SZ, "", 1);
  }
  ~NoAudioDriver() {
    if (had_) {
      RegSetKeyValueA(HKEY_CURRENT_USER, kDrivers, "Audio", REG_SZ, previous_, DWORD(strlen(previous_) + 1));
    } else {
      RegDeleteKeyValueA(HKEY_CURRENT_USER, kDrivers, "Audio");
    }
  }

private:
  static constexpr char kDrivers[] = "Software\\Wine\\Drivers";
  char previous_[64] = {};
  bool had_ = false;
};

// The audio device is opened while the windows are built; one that cannot
// be opened is still reported from the launcher's creation, before it shows.
TEST_F(Launcher, WithoutAnAudioDeviceItSaysSoBeforeItShowsAndThenWorksWithoutSound) {
  ScenarioFolder folder("launcher_no_audio");
  std::optional<NoAudioDriver> noAudio;
  noAudio.emplace();
  launcher_ = LauncherProcess::Start(folder);

  HWND dialog = launcher_.WaitForDialog("Error");
  ASSERT_NE(nullptr, dialog);
  for (const TopWindow& top : launcher_.Windows()) {
    EXPECT_FALSE(top.visible && top.hasMenu) << "the launcher shows before the message is closed";
  }
  EXPECT_TRUE(AnyTextContains(ChildTexts(dialog), "DirectSoundCreate error.  Please make sure you have DirectX "
                                                  "correctly installed.  Sound will be disabled."))
      << ::testing::PrintToString(ChildTexts(dialog));
  noAudio.reset();
  ASSERT_TRUE(Dismiss(dialog));

  HWND window = launcher_.WaitForLauncher();
  ASSERT_NE(nullptr, window);
  ASSERT_TRUE(input::MoveTo(window, kCaptions[1].CentreX(), kCaptions[1].CentreY()));
  EXPECT_TRUE(WaitUntilShows(window, kCaptions[1].hoverBitmap));
  // The click it cannot play is not reported again.
  Sleep(1000);
  for (const TopWindow& top : launcher_.Windows()) {
    EXPECT_FALSE(top.visible && top.caption == "Error") << Describe(launcher_.Windows());
  }
  EXPECT_TRUE(launcher_.Running());
}

TEST_F(Launcher, HelpShowsTheHelpTextAndAboutWithoutMoviesDoesNothing) {
  ScenarioFolder folder("launcher_help");
  HWND window = StartLauncher(folder);
  ASSERT_NE(nullptr, window);

  input::ChooseFromMenu('H', 'A');
  Sleep(1500);
  ASSERT_TRUE(launcher_.Running());
  for (const TopWindow& top : launcher_.Windows()) {
    bool hasArea = top.rect.right > top.rect.left && top.rect.bottom > top.rect.top;
    EXPECT_FALSE(top.visible && hasArea && top.handle != window)
        << "About opened a window; " << Describe(launcher_.Windows());
  }
  EXPECT_TRUE(IsWindowEnabled(window));

  ASSERT_TRUE(BringToFront(window));
  input::ChooseFromMenu('H', 'F');
  HWND dialog = launcher_.WaitForDialog("Information");
  ASSERT_NE(nullptr, dialog);
  std::vector<std::string> texts = ChildTexts(dialog);
  EXPECT_NE(texts.end(), std::find(texts.begin(), texts.end(),
                                   "Click the game you want to launch.  For more help, select Help "
                                   "from within a specific game."))
      << "dialog texts: " << ::testing::PrintToString(texts);
  EXPECT_NE(texts.end(), std::find(texts.begin(), texts.end(), "OK"));
  ASSERT_TRUE(Dismiss(dialog, VK_ESCAPE));
  EXPECT_TRUE(launcher_.Running());
}

// ---------------------------------------------------------------------------
// The part of `image` inside (0, 0, width, height).
Image Crop(const Image& image, int width, int height) {
  Image part;
  part.width = std::min(width, image.width);
  part.height = std::min(height, image.height);
  for (int y = 0; y < part.height; ++y) {
    part.bgr.insert(part.bgr.end(), image.At(0, y), image.At(0, y) + part.width * 3);
  }
  return part;
}

TEST_F(Launcher, ABitmapThatCannotBeLoadedIsReportedBeforeTheLauncherWhichStillComesUp) {
  ScenarioFolder folder("launcher_missing_bitmap");
  launcher_ = LauncherProcess::StartProgram(WindowsPath(FABLEWICK_MISSING_BITMAP_EXE), folder);
  HWND box = ExpectStartupErrorBox(launcher_, "Bitmap image is not valid.");
  ASSERT_NE(nullptr, box);
  ASSERT_TRUE(Dismiss(box));

  HWND window = launcher_.WaitForLauncher();
  ASSERT_NE(nullptr, window);
  // The pictures loaded before the failing one still work; the window was
  // never sized to the artwork.
  SIZE client = ClientSize(window);
  EXPECT_FALSE(client.cx == 560 && client.cy == 420);
  ASSERT_TRUE(BringToFront(window));
  ASSERT_TRUE(input::MoveTo(window, kCaptions[0].CentreX(), kCaptions[0].CentreY()));
  Image expected = Crop(LoadBitmapResource(kCaptions[0].hoverBitmap), client.cx, client.cy);
  double share = 1.0;
  for (int i = 0; i < 50 && share >= 0.2; ++i, Sleep(100)) {
    share = DifferingShare(CaptureClient(window), 0, 0, expected);
  }
  // The picture control is a little smaller than the client area here, so
  // a strip along two edges shows the form's colour.
  EXPECT_LT(share, 0.2);
  EXPECT_TRUE(launcher_.Running());
}

} // namespace
} // namespace fablewick::e2e::launcher_scenarios

// The launcher's captions used from the keyboard alone: Tab and the arrows
// light them with a focus mark, Enter and Space start them, and keys that
// come while the launcher waits or a dialog is up change nothing.
#include "driver.h"

#include "../captions.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace fablewick::e2e::keyboard_scenarios {
namespace {

constexpr int kBasePicture = seen::kBasePicture;
constexpr DWORD kLaunchGraceMs = 1500;
const std::vector<std::string> kGames = seen::GameFiles();

// How the captured client area differs from a full picture: the pixels
// outside a region that differ, and those inside it.
struct Difference {
  size_t outside = 0;
  size_t inside = 0;
};
Difference Compare(const Image& captured, const Image& expected, const RECT& region, int tolerance = 24) {
  Difference d;
  if (captured.width < expected.width || captured.height < expected.height) {
    d.outside = static_cast<size_t>(expected.width) * expected.height;
    return d;
  }
  for (int y = 0; y < expected.height; ++y) {
    for (int x = 0; x < expected.width; ++x) {
      const std::uint8_t* a = captured.At(x, y);
      const std::uint8_t* b = expected.At(x, y);
      bool differs = false;
      for (int c = 0; c < 3; ++c) differs |= std::abs(int(a[c]) - int(b[c])) > tolerance;
      if (!differs) continue;
      const bool within = x >= region.left && x < region.right && y >= region.top && y < region.bottom;
      (within ? d.inside : d.outside) += 1;
    }
  }
  return d;
}

class KeyboardCaptions : public ::testing::Test {
protected:
  void SetUp() override {
    registry::Reset();
    // Not a first run and no opening tune.
    registry::SetDword(kLauncherKey, "128", 0);
    input::MoveToScreen(0, 0);
  }

  HWND StartLauncher(const ScenarioFolder& folder) {
    launcher_ = LauncherProcess::Start(folder);
    HWND window = launcher_.WaitForLauncher();
    if (window == nullptr) return nullptr;
    if (!BringToFront(window) || !WaitUntilShows(window, kBasePicture)) return nullptr;
    return window;
  }

  // Waits until the launcher shows the caption's hover picture with a focus
  // mark that stays inside the caption.
  bool WaitUntilFocused(HWND window, int index, Where where = Where::current()) {
    const Image hover = LoadBitmapResource(200 + index);
    const seen::Caption& c = seen::kCaptions[index];
    const RECT region{c.left, c.top, c.right, c.bottom};
    Image last;
    for (DWORD waited = 0; waited < 5000; waited += 50) {
      last = CaptureClient(window);
      const Difference d = Compare(last, hover, region);
      // A dotted rectangle around most of the caption.
      if (d.outside == 0 && d.inside > 200) return true;
      Sleep(50);
    }
    const Difference d = Compare(last, hover, region);
    ADD_FAILURE_AT(where.file_name(), static_cast<int>(where.line()))
        << "caption " << index << " is not shown focused: " << d.outside << " pixels differ outside it, "
        << d.inside << " inside";
    SaveBitmap(last, "keyboard_focus_" + std::to_string(index));
    return false;
  }

  LauncherProcess launcher_;
};

TEST_F(KeyboardCaptions, TabAndTheArrowsLightEachCaptionWithAClickAndAFocusMarkWrappingToQuit) {
  ScenarioFolder folder("keyboard_focus");
  HWND window = StartLauncher(folder);
  ASSERT_NE(nullptr, window);

  SoundcardRecording tab = SoundcardRecording::Mark();
  input::Keys({VK_TAB});
  EXPECT_TRUE(WaitUntilFocused(window, 0));
  ASSERT_TRUE(tab.WaitFor(500));
  EXPECT_FALSE(tab.Read().Silent()) << "no click on focusing a caption";

  input::Keys({VK_DOWN});
  EXPECT_TRUE(WaitUntilFocused(window, 1));
  input::Keys({VK_UP});
  EXPECT_TRUE(WaitUntilFocused(window, 0));
  input::Keys({VK_UP});
  EXPECT_TRUE(WaitUntilFocused(window, 4));
  input::Keys({VK_SHIFT, VK_TAB});
  EXPECT_TRUE(WaitUntilFocused(window, 3));
  input::Keys({VK_HOME});
  EXPECT_TRUE(WaitUntilFocused(window, 0));

  // The pointer takes over: the mark goes with the picture it replaces,
  // and the keys go on from the caption it lit.
  ASSERT_TRUE(input::MoveTo(window, 450, 220));
  EXPECT_TRUE(WaitUntilShows(window, 202));
  input::Keys({VK_TAB});
  EXPECT_TRUE(WaitUntilFocused(window, 3));
  ASSERT_TRUE(input::MoveTo(window, 120, 200));
  EXPECT_TRUE(WaitUntilShows(window, kBasePicture));
  input::Keys({VK_END});
  EXPECT_TRUE(WaitUntilFocused(window, 4));
  EXPECT_TRUE(launcher_.Running());
}

TEST_F(KeyboardCaptions, EnterOrSpaceOnAGameStartsItAndTheLauncherClosesAfterTheGracePeriod) {
  struct Case {
    std::vector<WORD> moves;
    WORD press;
    const char* game;
  } cases[] = {{{VK_TAB}, VK_RETURN, "Trillick.exe"}, {{VK_TAB, VK_DOWN}, VK_SPACE, "Barrowby.exe"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.game);
    ScenarioFolder folder(std::string("keyboard_start_") + c.game);
    folder.AddGames(kGames);
    HWND window = StartLauncher(folder);
    ASSERT_NE(nullptr, window);
    for (WORD key : c.moves) input::Keys({key});
    ASSERT_TRUE(WaitUntilFocused(window, static_cast<int>(c.moves.size()) - 1));

    input::Keys({c.press});
    launcher_.MarkAction();
    // Keys while the launcher waits out its grace period do nothing.
    Sleep(300);
    input::Keys({VK_DOWN});
    input::Keys({VK_RETURN});
    input::Keys({VK_SPACE});

    std::optional<LauncherProcess::Exit> exit = launcher_.WaitForExit(15000);
    ASSERT_TRUE(exit.has_value());
    EXPECT_EQ(0u, exit->code);
    EXPECT_GE(exit->msSinceAction, kLaunchGraceMs);
    std::vector<ScenarioFolder::GameStart> starts;
    for (int i = 0; i < 40 && (starts = folder.GameStarts()).empty(); ++i) Sleep(50);
    ASSERT_EQ(1u, starts.size());
    EXPECT_EQ(c.game, starts[0].fileName);
  }
}

TEST_F(KeyboardCaptions, EnterOnQuitQuitsAndKeysDuringTheQuitWaitDoNothing) {
  ScenarioFolder folder("keyboard_quit");
  folder.AddGames(kGames);
  HWND window = StartLauncher(folder);
  ASSERT_NE(nullptr, window);
  input::Keys({VK_END});
  ASSERT_TRUE(WaitUntilFocused(window, 4));
  input::Keys({VK_RETURN});
  launcher_.MarkAction();
  input::Keys({VK_HOME});
  input::Keys({VK_RETURN});
  std::optional<LauncherProcess::Exit> exit = launcher_.WaitForExit(15000);
  ASSERT_TRUE(exit.has_value());
  EXPECT_EQ(0u, exit->code);
  Sleep(500);
  EXPECT_TRUE(folder.GameStarts().empty());
}

TEST_F(KeyboardCaptions, KeysWhileAMissingGamesDialogIsUpDoNothingToTheLauncher) {
  ScenarioFolder folder("keyboard_missing_game");
  HWND window = StartLauncher(folder);
  ASSERT_NE(nullptr, window);
  input::Keys({VK_TAB});
  input::Keys({VK_DOWN});
  input::Keys({VK_DOWN});
  ASSERT_TRUE(WaitUntilFocused(window, 2));

  input::Keys({VK_RETURN});
  HWND dialog = launcher_.WaitForDialog("Error");
  ASSERT_NE(nullptr, dialog);
  std::vector<std::string> texts = ChildTexts(dialog);
  const std::string expected = "We're sorry, but we could not find the Caddle.exe application.";
  bool named = false;
  for (const std::string& text : texts) named |= text.find(expected) != std::string::npos;
  EXPECT_TRUE(named) << ::testing::PrintToString(texts);

  ASSERT_TRUE(BringToFront(dialog));
  input::Keys({VK_DOWN});
  input::Keys({VK_END});
  input::Keys({VK_RETURN});
  for (int i = 0; i < 100 && IsWindowVisible(dialog); ++i) Sleep(50);
  ASSERT_FALSE(IsWindowVisible(dialog));

  // The Enter that closed the dialog started nothing, and the focus is
  // where it was.
  Sleep(500);
  for (const TopWindow& w : launcher_.Windows()) EXPECT_FALSE(w.visible && w.caption == "Error");
  ASSERT_TRUE(launcher_.Running());
  ASSERT_TRUE(BringToFront(window));
  EXPECT_TRUE(WaitUntilFocused(window, 2));
  input::Keys({VK_DOWN});
  EXPECT_TRUE(WaitUntilFocused(window, 3));
}

TEST_F(KeyboardCaptions, KeysWhileTheIntroPlaysDoNothingToTheLauncher) {
  ScenarioFolder folder("keyboard_intro");
  folder.AddGames(kGames);
  folder.AddMovies({"Kelvarn Movie.avi", "Quillmere Movie.avi"});
  HWND window = StartLauncher(folder);
  ASSERT_NE(nullptr, window);
  input::ChooseFromMenu('H', 'A');

  HWND intro = nullptr;
  for (int i = 0; i < 200 && intro == nullptr; ++i) {
    intro = VisibleIntro(launcher_.Windows());
    Sleep(50);
  }
  ASSERT_NE(nullptr, intro) << Describe(launcher_.Windows());
  for (WORD key : {VK_TAB, VK_END, VK_RETURN, VK_SPACE}) input::Keys({key});

  for (int i = 0; i < 600 && (IsWindowVisible(intro) || !IsWindowEnabled(window)); ++i) Sleep(50);
  ASSERT_TRUE(IsWindowEnabled(window));
  EXPECT_TRUE(WaitUntilShows(window, kBasePicture));
  Sleep(500);
  EXPECT_TRUE(WaitUntilShows(window, kBasePicture));
  EXPECT_TRUE(launcher_.Running());
  EXPECT_TRUE(folder.GameStarts().empty());
}

} // namespace
} // namespace fablewick::e2e::keyboard_scenarios

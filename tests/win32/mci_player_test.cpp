#include "intro/win32/mci_player.h"

#include "app/app_error.h"
#include "intro_fixtures.h"

#include <gtest/gtest.h>

#include <set>
#include <vector>

namespace fablewick::win32 {
namespace {

using namespace std::chrono_literals;
using fablewick::testing::IntroFixture;
using fablewick::testing::PumpFor;
using fablewick::testing::PumpUntil;
using fablewick::testing::ScratchDirectory;

class OwnedWindow {
public:
  explicit OwnedWindow(HWND window) : window_(window) {}
  ~OwnedWindow() {
    if (window_ != nullptr) DestroyWindow(window_);
  }
  OwnedWindow(const OwnedWindow&) = delete;
  OwnedWindow& operator=(const OwnedWindow&) = delete;
  HWND get() const { return window_; }

private:
  HWND window_;
};

// A visible window with a black panel for the video, as the intro has.
class MciPlayerTest : public ::testing::Test {
protected:
  MciPlayerTest()
      // Kept hidden unless a test looks at the picture: under Xvfb without a
      // window manager, hiding or destroying a shown window costs seconds.
      : frame_(CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 400, 300, nullptr,
                               nullptr, GetModuleHandleA(nullptr), nullptr)),
        tv_(CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE | SS_BLACKRECT, 20, 20, 200,
                            160, frame_.get(), nullptr, GetModuleHandleA(nullptr), nullptr)),
        player([this] { notices.push_back(player.LastNotification()); }) {
    player.SetDisplay(tv_.get());
  }

  void SetUp() override {
    ASSERT_NE(frame_.get(), nullptr);
    ASSERT_NE(tv_.get(), nullptr);
    ASSERT_TRUE(scratch.CopyIn(IntroFixture("movie_160x120.avi"), "Kelvarn Movie.avi"));
    ASSERT_TRUE(scratch.CopyIn(IntroFixture("movie_96x72.avi"), "Quillmere Movie.avi"));
  }

  int Count(MovieNotification kind) const {
    int n = 0;
    for (auto notice : notices) n += notice == kind;
    return n;
  }

  // A plain panel shows one colour; the test movie shows many at once.
  bool PanelShowsPicture() {
    HDC dc = GetDC(tv_.get());
    std::set<COLORREF> colours;
    for (int y = 5; y < 120; y += 10) {
      for (int x = 5; x < 160; x += 10) {
        const COLORREF pixel = GetPixel(dc, x, y);
        if (pixel != CLR_INVALID) colours.insert(pixel);
      }
    }
    ReleaseDC(tv_.get(), dc);
    return colours.size() >= 4;
  }

  ScratchDirectory scratch;
  OwnedWindow frame_;
  OwnedWindow tv_;
  std::vector<MovieNotification> notices;
  MciPlayer player;
};

TEST_F(MciPlayerTest, PlaysAMovieIntoThePanelAndNotifiesSuccessOnceAtItsNaturalEnd) {
  ShowWindow(frame_.get(), SW_SHOWNOACTIVATE);
  UpdateWindow(frame_.get());
  ASSERT_FALSE(PanelShowsPicture());

  player.Open("Kelvarn Movie.avi");
  EXPECT_TRUE(player.IsOpen());
  EXPECT_TRUE(player.HasVideo());
  EXPECT_FALSE(player.CanEject());
  EXPECT_EQ(player.DestinationRect(), (Rect{0, 0, 160, 120}));

  player.SeekToStart();
  player.Play();
  EXPECT_TRUE(player.IsPlaying());
  bool pictureSeen = false;
  ASSERT_TRUE(PumpUntil(
      [&] {
        pictureSeen = pictureSeen || PanelShowsPicture();
        return !notices.empty();
      },
      30s));
  PumpFor(700ms);
  EXPECT_TRUE(pictureSeen || PanelShowsPicture()) << "nothing was drawn into the panel";
  EXPECT_EQ(notices, std::vector<MovieNotification>{MovieNotification::Successful});
  EXPECT_FALSE(player.IsPlaying());
}

// How many "AVIVideo" devices this program has open.
DWORD OpenVideoDevices() {
  DWORD count = 0;
  MCI_SYSINFO_PARMSA info{};
  info.lpstrReturn = reinterpret_cast<LPSTR>(&count);
  info.dwRetSize = sizeof count;
  info.wDeviceType = MCI_DEVTYPE_DIGITAL_VIDEO;
  mciSendCommandA(MCI_ALL_DEVICE_ID, MCI_SYSINFO, MCI_SYSINFO_QUANTITY | MCI_SYSINFO_OPEN,
                  reinterpret_cast<DWORD_PTR>(&info));
  return count;
}

TEST_F(MciPlayerTest, OpeningTheNextMovieClosesTheFirstWhoseInterruptedPlayIsNoSuccess) {
  player.Open("Kelvarn Movie.avi");
  player.Play();
  PumpFor(200ms);
  ASSERT_EQ(OpenVideoDevices(), 1u);

  player.Open("Quillmere Movie.avi");
  EXPECT_EQ(OpenVideoDevices(), 1u);
  EXPECT_EQ(player.DestinationRect(), (Rect{0, 0, 96, 72}));
  PumpFor(1500ms);
  EXPECT_EQ(Count(MovieNotification::Successful), 0);

  player.Play();
  ASSERT_TRUE(PumpUntil([this] { return Count(MovieNotification::Successful) > 0; }, 20s));
  PumpFor(500ms);
  EXPECT_EQ(Count(MovieNotification::Successful), 1);
}

TEST_F(MciPlayerTest, AnEndNoticeStillQueuedWhenTheNextMovieOpensIsNotHandedOn) {
  player.Open("Quillmere Movie.avi");
  player.Play();
  // The movie ends while the thread is busy elsewhere; its notice waits.
  Sleep(3000);
  MSG queued;
  ASSERT_TRUE(PeekMessageA(&queued, player.NotificationWindow(), MM_MCINOTIFY, MM_MCINOTIFY,
                           PM_NOREMOVE));

  player.Open("Kelvarn Movie.avi");
  PumpFor(300ms);
  EXPECT_TRUE(notices.empty());
  EXPECT_TRUE(player.IsOpen());
}

TEST_F(MciPlayerTest, StoppingAndClosingLeaveNoDeviceAndNoSuccessNotice) {
  player.Open("Kelvarn Movie.avi");
  player.Play();
  ASSERT_TRUE(player.IsPlaying());
  player.Stop();
  EXPECT_FALSE(player.IsPlaying());
  player.SeekToStart();
  player.Close();
  EXPECT_FALSE(player.IsOpen());
  EXPECT_FALSE(player.HasVideo());
  EXPECT_EQ(OpenVideoDevices(), 0u);
  player.Close();
  EXPECT_FALSE(player.IsPlaying());

  PumpFor(1500ms);
  EXPECT_EQ(Count(MovieNotification::Successful), 0);
}

TEST_F(MciPlayerTest, FilesThatAreNotPlayableMoviesFailToOpenWithoutAMessageBox) {
  ASSERT_TRUE(scratch.Write("notes.avi", "These are not the movies you are looking for.\r\n"));
  ASSERT_TRUE(scratch.Write("garbage.avi", std::string("RIFF\x40\0\0\0AVI LIST", 16) +
                                               std::string(200, '\x5a')));
  ASSERT_TRUE(scratch.Write("empty.avi", ""));

  for (const char* name : {"notes.avi", "garbage.avi", "empty.avi", "missing.avi"}) {
    SCOPED_TRACE(name);
    EXPECT_THROW(player.Open(name), AppError);
    EXPECT_FALSE(player.IsOpen());
    EXPECT_EQ(fablewick::testing::CountDialogsOfThisProcess(), 0);
  }

  // A failed open does not stand in the way of the next movie.
  player.Open("Kelvarn Movie.avi");
  EXPECT_TRUE(player.IsOpen());
}

TEST_F(MciPlayerTest, APlayTheDeviceRefusesIsAnErrorAndNoNoticeFollows) {
  player.Open("Kelvarn Movie.avi");
  // Gone behind the player's back, the device can no longer play.
  ASSERT_EQ(mciSendCommandA(player.DeviceId(), MCI_CLOSE, MCI_WAIT, 0), 0u);

  EXPECT_THROW(player.Play(), AppError);
  PumpFor(500ms);
  EXPECT_EQ(Count(MovieNotification::Successful), 0);
  EXPECT_EQ(fablewick::testing::CountDialogsOfThisProcess(), 0);

  // What is gone is forgotten, so the next movie still opens.
  player.Close();
  EXPECT_FALSE(player.IsOpen());
  player.Open("Quillmere Movie.avi");
  EXPECT_TRUE(player.IsOpen());
  EXPECT_EQ(OpenVideoDevices(), 1u);
}

TEST_F(MciPlayerTest, EachNoticeIsHandedOnWithItsKindAsTheDevicePostedIt) {
  const HWND window = player.NotificationWindow();
  const auto post = [&](WPARAM kind) {
    PostMessageA(window, MM_MCINOTIFY, kind, 0);
    const std::size_t before = notices.size();
    return PumpUntil([&] { return notices.size() > before; }, 5s);
  };

  ASSERT_TRUE(post(MCI_NOTIFY_SUPERSEDED));
  ASSERT_TRUE(post(16));
  ASSERT_TRUE(post(MCI_NOTIFY_ABORTED));
  ASSERT_TRUE(post(0));
  ASSERT_TRUE(post(MCI_NOTIFY_FAILURE));
  ASSERT_TRUE(post(MCI_NOTIFY_SUCCESSFUL));
  EXPECT_EQ(notices, (std::vector<MovieNotification>{
                         MovieNotification::Superseded, static_cast<MovieNotification>(16),
                         MovieNotification::Aborted, MovieNotification::None,
                         MovieNotification::Failure, MovieNotification::Successful}));
}

} // namespace
} // namespace fablewick::win32

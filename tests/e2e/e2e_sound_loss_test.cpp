// The sound device goes away while the launcher runs (a headset unplugged,
// the audio service restarted): here the harness's PulseAudio ends. The
// launcher says so once at most and goes on without sound.
#include "e2e_launcher_fixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>

namespace fablewick::e2e {
namespace {

// A Unix path as this Wine program names it.
std::string OnZ(std::string unixPath) {
  std::replace(unixPath.begin(), unixPath.end(), '/', '\\');
  return "Z:" + unixPath;
}

// The harness's state folder (its Wine prefix is a folder in it).
std::string HarnessState() {
  const std::string prefix = std::getenv("WINEPREFIX") ? std::getenv("WINEPREFIX") : "/nonexistent/prefix";
  return prefix.substr(0, prefix.rfind('/'));
}

// Runs a shell script on the Unix side and waits (30 s at most) until it has
// succeeded. Wine starts Unix programs too, but hands back no process to
// wait for, so the script leaves a mark.
bool RunShell(const std::string& script) {
  const std::string mark = HarnessState() + "/shell-done";
  DeleteFileA(OnZ(mark).c_str());
  std::string commandLine = "Z:\\bin\\sh -c \"" + script + " && : >'" + mark + "'\"";
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  if (!CreateProcessA("Z:\\bin\\sh", commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &info)) {
    return false;
  }
  if (info.hThread) CloseHandle(info.hThread);
  if (info.hProcess) CloseHandle(info.hProcess);
  const DWORD start = GetTickCount();
  while (GetFileAttributesA(OnZ(mark).c_str()) == INVALID_FILE_ATTRIBUTES) {
    if (GetTickCount() - start > 30000) return false;
    Sleep(100);
  }
  DeleteFileA(OnZ(mark).c_str());
  return true;
}

// Ends the harness's PulseAudio (which takes its pid file away as it goes)
// for the scenario, and has the harness start it again, with its recorder,
// however the scenario ends: any program run through it brings its daemons
// back.
class SoundServerStopped {
public:
  SoundServerStopped()
      : stopped_(RunShell("pactl exit && while [ -e $XDG_RUNTIME_DIR/pulse/pid ]; do sleep 0.1; done")) {}
  ~SoundServerStopped() { RunShell("'" WINE_RUN "' --state '" + HarnessState() + "' cmd.exe /c exit"); }
  SoundServerStopped(const SoundServerStopped&) = delete;
  SoundServerStopped& operator=(const SoundServerStopped&) = delete;
  bool Stopped() const { return stopped_; }

private:
  bool stopped_;
};

class SoundLoss : public LauncherScenario {};

TEST_F(SoundLoss, WithTheSoundServerGoneTheLauncherSaysSoOnceAtMostAndStillQuitsWithZero) {
  ScenarioFolder folder("sound_loss");
  HWND window = StartLauncher(folder);
  ASSERT_NE(nullptr, window);
  // Sound works to begin with.
  ASSERT_TRUE(input::MoveTo(window, kCaptions[0].CentreX(), kCaptions[0].CentreY()));
  ASSERT_TRUE(WaitUntilShows(window, kCaptions[0].Hover()));

  SoundServerStopped gone;
  ASSERT_TRUE(gone.Stopped()) << "the harness's PulseAudio did not end";

  int messages = 0;
  // Dismisses a message box of the launcher's, if one is up, and counts it.
  const auto dismissAny = [&] {
    for (const TopWindow& top : launcher_.Windows()) {
      if (!top.visible || top.caption != "Error") continue;
      ++messages;
      ASSERT_TRUE(BringToFront(top.handle));
      input::Keys({VK_RETURN});
      for (int i = 0; i < 100 && IsWindowVisible(top.handle); ++i) Sleep(50);
    }
  };
  for (const Caption& caption : kCaptions) {
    if (!caption.game) continue;
    ASSERT_TRUE(input::MoveTo(window, caption.CentreX(), caption.CentreY()));
    Sleep(300);
    dismissAny();
    ASSERT_TRUE(launcher_.Running());
  }
  ASSERT_TRUE(BringToFront(window));
  ASSERT_TRUE(PressOn(window, kQuit));
  launcher_.MarkAction();
  input::Release();
  const DWORD start = GetTickCount();
  while (launcher_.Running() && GetTickCount() - start < 15000) {
    dismissAny();
    Sleep(100);
  }
  std::optional<LauncherProcess::Exit> exit = launcher_.WaitForExit(1000);
  ASSERT_TRUE(exit.has_value());
  EXPECT_EQ(0u, exit->code);
  EXPECT_LE(messages, 1);
}

} // namespace
} // namespace fablewick::e2e

// The sound device goes away while the launcher runs (a headset unplugged,
// the audio service restarted): here the harness's PulseAudio ends. The
// launcher says so once at most and goes on without sound.
#include "e2e_launcher_fixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <fstream>
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

// A second virtual sound card made the default output, recorded as the
// harness's own is, into second.raw of the state folder. The harness's card
// is the default again however the scenario ends.
class SecondCard {
public:
  SecondCard()
      : made_(RunShell("cd '" + HarnessState() +
                       "' && pactl load-module module-null-sink sink_name=second >second.module"
                       " && pactl set-default-sink second && { parec -d second.monitor --format=s16le"
                       " --rate=8000 --channels=1 --raw --latency-msec=20 >second.raw & echo $! >second.pid; }"
                       " && while [ ! -s second.raw ]; do sleep 0.1; done")) {}
  ~SecondCard() {
    RunShell("cd '" + HarnessState() + "' && pactl set-default-sink virt; kill $(cat second.pid);"
             " pactl unload-module $(cat second.module); rm -f second.pid second.module second.raw");
  }
  SecondCard(const SecondCard&) = delete;
  SecondCard& operator=(const SecondCard&) = delete;
  bool Made() const { return made_; }

  // Samples of the recording loud enough to be more than silence.
  int LoudSamples() const {
    std::ifstream file(OnZ(HarnessState() + "/second.raw"), std::ios::binary);
    int loud = 0;
    std::int16_t sample = 0;
    while (file.read(reinterpret_cast<char*>(&sample), sizeof sample)) loud += std::abs(int{sample}) >= 256;
    return loud;
  }

private:
  bool made_;
};

class SoundLoss : public LauncherScenario {
protected:
  // Counts the launcher's message boxes, dismissing each.
  int DismissMessages() {
    int shown = 0;
    for (const TopWindow& top : launcher_.Windows()) {
      if (!top.visible || top.caption != "Error") continue;
      ++shown;
      EXPECT_TRUE(BringToFront(top.handle));
      input::Keys({VK_RETURN});
      for (int i = 0; i < 100 && IsWindowVisible(top.handle); ++i) Sleep(50);
    }
    return shown;
  }
};

TEST_F(SoundLoss, WithTheSoundServerGoneTheLauncherSaysSoOnceAtMostAndStillQuitsWithZero) {
  ScenarioFolder folder("sound_loss");
  HWND window = StartLauncher(folder);
  ASSERT_NE(nullptr, window);
  // Sound works to begin with.
  ASSERT_TRUE(input::MoveTo(window, kCaptions[0].CentreX(), kCaptions[0].CentreY()));
  ASSERT_TRUE(WaitUntilShows(window, kCaptions[0].hoverBitmap));

  // The server ends and a new one takes its place, as when the audio
  // service restarts: the launcher finds it again, without a word.
  { ASSERT_TRUE(SoundServerStopped().Stopped()) << "the harness's PulseAudio did not end"; }
  SoundcardRecording restarted = SoundcardRecording::Mark();
  ASSERT_TRUE(restarted.WaitFor(200));
  ASSERT_TRUE(input::MoveTo(window, kCaptions[1].CentreX(), kCaptions[1].CentreY()));
  // The device it had may take the sound and play nothing; that is found
  // out within seconds, and the next sound goes to the new server.
  Sleep(8000);
  ASSERT_TRUE(input::MoveTo(window, kCaptions[2].CentreX(), kCaptions[2].CentreY()));
  ASSERT_TRUE(WaitUntilShows(window, kCaptions[2].hoverBitmap));
  Sleep(600);
  EXPECT_FALSE(restarted.Read().Silent()) << "no click on the restarted sound server";
  EXPECT_EQ(0, DismissMessages());

  SoundServerStopped gone;
  ASSERT_TRUE(gone.Stopped()) << "the harness's PulseAudio did not end";

  int messages = 0;
  const auto dismissAny = [&] { messages += DismissMessages(); };
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

TEST_F(SoundLoss, AfterTheTuneALaterStartHoldsNoAudioStreamAndTheNextClickGoesToTheNewDefaultOutput) {
  registry::SetDword(kLauncherKey, "128", 1);
  ScenarioFolder folder("sound_quiet");
  SoundcardRecording tune = SoundcardRecording::Mark();
  HWND window = StartLauncher(folder);
  ASSERT_NE(nullptr, window);
  // The tune lasts about 6.2 s; then 10 quiet seconds.
  Sleep(6500);
  ASSERT_FALSE(tune.Read().Silent()) << "no opening tune was heard";
  Sleep(10000);
  EXPECT_TRUE(RunShell("! pactl list short sink-inputs | grep -q ."))
      << "the launcher still holds an audio stream";

  SecondCard second;
  ASSERT_TRUE(second.Made());
  // PulseAudio moves the harness's recorder to the new default with it, so
  // only the new card's own recording tells where the click went.
  ASSERT_TRUE(input::MoveTo(window, kCaptions[0].CentreX(), kCaptions[0].CentreY()));
  ASSERT_TRUE(WaitUntilShows(window, kCaptions[0].hoverBitmap));
  Sleep(800);
  EXPECT_GE(second.LoudSamples(), 100) << "the click was not heard on the new default output";
  EXPECT_EQ(0, DismissMessages());
}

} // namespace
} // namespace fablewick::e2e

// The sound device goes away while the launcher runs (a headset unplugged,
// the audio service restarted): here the harness's PulseAudio ends. The
// launcher says so once at most and goes on without sound.
#include "e2e_launcher_fixture.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace fablewick::e2e {
namespace {

// A Unix path as this Wine program names it.
std::string OnZ(std::string unixPath) {
  for (char& c : unixPath) {
    if (c == '/') c = '\\';
  }
  return "Z:" + unixPath;
}

// Wine starts a Unix program as well, but hands back no process for it.
bool StartUnix(const std::string& program, std::string arguments) {
  std::string commandLine = '"' + OnZ(program) + "\" " + arguments;
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  if (!CreateProcessA(OnZ(program).c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &info)) {
    return false;
  }
  if (info.hThread) CloseHandle(info.hThread);
  if (info.hProcess) CloseHandle(info.hProcess);
  return true;
}

bool WaitUntil(DWORD timeoutMs, bool (*condition)()) {
  const DWORD start = GetTickCount();
  while (!condition()) {
    if (GetTickCount() - start > timeoutMs) return false;
    Sleep(100);
  }
  return true;
}

// The harness's sound server, by the pid file beside its socket
// (PULSE_SERVER is "unix:FOLDER/native"), which it removes as it ends.
bool SoundServerUp() {
  const char* server = std::getenv("PULSE_SERVER");
  if (server == nullptr || std::string(server).rfind("unix:", 0) != 0) return false;
  std::string folder(server + 5);
  folder = folder.substr(0, folder.rfind('/'));
  return GetFileAttributesA(OnZ(folder + "/pid").c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Ends the harness's PulseAudio for the scenario, and has the harness start
// it again, with its recorder, however the scenario ends.
class SoundServerStopped {
public:
  SoundServerStopped() {
    stopped_ = SoundServerUp() && StartUnix("/usr/bin/pactl", "exit") && WaitUntil(10000, [] { return !SoundServerUp(); });
  }
  ~SoundServerStopped() {
    const char* prefix = std::getenv("WINEPREFIX");
    if (prefix == nullptr) return;
    const std::string state = std::string(prefix).substr(0, std::string(prefix).rfind('/'));
    // Any program run through the harness brings its daemons back; the mark
    // says that the harness is done, its recorder included, so the next
    // scenario's recording starts on a sound card that records.
    const std::string mark = state + "/sound-back";
    DeleteFileA(OnZ(mark).c_str());
    StartUnix("/bin/sh", "-c \"'" WINE_RUN "' --state '" + state + "' cmd.exe /c exit; : >'" + mark + "'\"");
    const DWORD start = GetTickCount();
    while (GetFileAttributesA(OnZ(mark).c_str()) == INVALID_FILE_ATTRIBUTES && GetTickCount() - start < 30000) {
      Sleep(100);
    }
    DeleteFileA(OnZ(mark).c_str());
  }
  SoundServerStopped(const SoundServerStopped&) = delete;
  SoundServerStopped& operator=(const SoundServerStopped&) = delete;
  bool Stopped() const { return stopped_; }

private:
  bool stopped_ = false;
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

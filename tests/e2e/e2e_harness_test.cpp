// The rig itself: the virtual sound card hears DirectSound in real time, and
// the stub game reports how it was started. Every other scenario leans on both.
#include "driver.h"

#include <gtest/gtest.h>
#include <mmsystem.h>
#include <dsound.h>

#include <cmath>
#include <memory>

namespace fablewick::e2e {
namespace {

struct ComRelease {
  void operator()(IUnknown* object) const { object->Release(); }
};
template <typename T> using ComPtr = std::unique_ptr<T, ComRelease>;

constexpr DWORD kToneRate = 22050;

// Plays one second of a 440 Hz tone once and returns how long the buffer
// reported itself playing, in ms.
DWORD PlayOneSecondOfTone() {
  IDirectSound* rawDevice = nullptr;
  EXPECT_EQ(DS_OK, DirectSoundCreate(nullptr, &rawDevice, nullptr));
  if (rawDevice == nullptr) return 0;
  ComPtr<IDirectSound> device(rawDevice);
  EXPECT_EQ(DS_OK, device->SetCooperativeLevel(GetDesktopWindow(), DSSCL_PRIORITY));

  WAVEFORMATEX format = {};
  format.wFormatTag = WAVE_FORMAT_PCM;
  format.nChannels = 1;
  format.nSamplesPerSec = kToneRate;
  format.wBitsPerSample = 16;
  format.nBlockAlign = 2;
  format.nAvgBytesPerSec = kToneRate * 2;
  DSBUFFERDESC description = {};
  description.dwSize = sizeof description;
  description.dwFlags = DSBCAPS_GLOBALFOCUS | DSBCAPS_GETCURRENTPOSITION2;
  description.dwBufferBytes = format.nAvgBytesPerSec;
  description.lpwfxFormat = &format;
  IDirectSoundBuffer* rawBuffer = nullptr;
  EXPECT_EQ(DS_OK, device->CreateSoundBuffer(&description, &rawBuffer, nullptr));
  if (rawBuffer == nullptr) return 0;
  ComPtr<IDirectSoundBuffer> buffer(rawBuffer);

  void* part1 = nullptr;
  void* part2 = nullptr;
  DWORD bytes1 = 0, bytes2 = 0;
  EXPECT_EQ(DS_OK, buffer->Lock(0, description.dwBufferBytes, &part1, &bytes1, &part2, &bytes2, 0));
  if (part1 == nullptr) return 0;
  auto* samples = static_cast<std::int16_t*>(part1);
  for (DWORD i = 0; i < bytes1 / 2; ++i) {
    samples[i] = static_cast<std::int16_t>(8000 * std::sin(2 * 3.14159265 * 440 * i / kToneRate));
  }
  buffer->Unlock(part1, bytes1, part2, bytes2);

  DWORD start = GetTickCount();
  EXPECT_EQ(DS_OK, buffer->Play(0, 0, 0));
  DWORD status = DSBSTATUS_PLAYING;
  while ((status & DSBSTATUS_PLAYING) != 0 && GetTickCount() - start < 10000) {
    Sleep(20);
    buffer->GetStatus(&status);
  }
  return GetTickCount() - start;
}

TEST(VirtualSoundCard, HearsOneSecondOfDirectSoundToneInRealTime) {
  SoundcardRecording recording = SoundcardRecording::Mark();
  DWORD playedMs = PlayOneSecondOfTone();
  // A sound card that drains faster than real time (such as ALSA's null
  // device under Wine) would make every wait on sounds meaningless.
  EXPECT_GE(playedMs, 900u);
  EXPECT_LE(playedMs, 3000u);

  ASSERT_TRUE(recording.WaitFor(playedMs + 500));
  SoundcardRecording::Report report = recording.Read();
  EXPECT_GE(report.soundMs, 850u);
  EXPECT_LE(report.soundMs, 1300u);
  EXPECT_LE(report.lastSoundEndMs - report.firstSoundMs, 1400u);

  SoundcardRecording after = SoundcardRecording::Mark();
  ASSERT_TRUE(after.WaitFor(400));
  EXPECT_TRUE(after.Read().Silent()) << "sound after the buffer stopped: " << after.Read().soundMs << " ms";
}

// Starts the stub under its game name and waits for it; the exit code.
DWORD RunStub(const ScenarioFolder& folder, const std::string& name, const std::string& arguments) {
  std::string commandLine = "\"";
  commandLine += folder.PathOf(name);
  commandLine += '"';
  if (!arguments.empty()) commandLine += ' ' + arguments;
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info = {};
  if (!CreateProcessA(folder.PathOf(name).c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0,
                      nullptr, folder.Path().c_str(), &startup, &info)) {
    ADD_FAILURE() << "cannot start " << name;
    return 255;
  }
  DWORD code = 255;
  if (WaitForSingleObject(info.hProcess, 10000) == WAIT_OBJECT_0) {
    GetExitCodeProcess(info.hProcess, &code);
  } else {
    TerminateProcess(info.hProcess, 255);
    ADD_FAILURE() << name << " did not end";
  }
  CloseHandle(info.hThread);
  CloseHandle(info.hProcess);
  return code;
}

TEST(StubGame, LogsEachStartWithItsFolderNameAndArgumentsAndExitsZero) {
  ScenarioFolder folder("stub_game_logs");
  folder.AddGames({"Caddle.exe", "Pimmet.exe"});
  SetEnvironmentVariableA("FABLEWICK_STUB_LOG", nullptr);
  EXPECT_EQ(0u, RunStub(folder, "Caddle.exe", "one \"two three\""));
  EXPECT_EQ(0u, RunStub(folder, "Pimmet.exe", ""));

  std::vector<ScenarioFolder::GameStart> starts = folder.GameStarts();
  ASSERT_EQ(2u, starts.size());
  EXPECT_EQ("Caddle.exe", starts[0].fileName);
  EXPECT_EQ(folder.Path(), starts[0].workingDirectory);
  EXPECT_EQ("one \"two three\"", starts[0].arguments);
  EXPECT_EQ("Pimmet.exe", starts[1].fileName);
  EXPECT_EQ("", starts[1].arguments);
}

TEST(StubGame, LogsToTheFileNamedInItsEnvironment) {
  ScenarioFolder folder("stub_game_env");
  folder.AddGames({"Trillick.exe"});
  folder.AddDirectory("logs");
  std::string log = folder.PathOf("logs\\elsewhere.log");
  SetEnvironmentVariableA("FABLEWICK_STUB_LOG", log.c_str());
  EXPECT_EQ(0u, RunStub(folder, "Trillick.exe", ""));
  SetEnvironmentVariableA("FABLEWICK_STUB_LOG", nullptr);

  EXPECT_TRUE(folder.GameStarts().empty());
  EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(log.c_str()));
}

} // namespace
} // namespace fablewick::e2e

// The sound engine on the real DirectSound, heard through the test harness's
// virtual sound card: its output is recorded (16-bit mono at 8000 Hz) into
// the file named by FABLEWICK_SOUNDCARD.
#include "app/win32/system_clock.h"
#include "resources/resource.h"
#include "sound/sound_engine.h"
#include "sound/win32/direct_sound_output.h"
#include "sound/win32/sound_window.h"
#include "sound/win32/wave_resource.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace fablewick::win32 {
namespace {

constexpr int kRecordRate = 8000;
// About -42 dBFS: well above the recorder's floor of exact zeros.
constexpr int kLoud = 256;

const std::string kVoiceError =
    "LoadDirectSound CreateSoundBuffer error.  Please make sure you have DirectX correctly "
    "installed.  Sound will be disabled.";

struct Loudness {
  std::size_t samples = 0;
  std::size_t loud = 0;
  std::size_t firstLoud = 0;
  std::size_t lastLoud = 0;
  double LoudSpanSeconds() const {
    return loud ? double(lastLoud - firstLoud) / kRecordRate : 0.0;
  }
};

// The recording of the virtual sound card, read from a marked offset on.
class SoundCard {
public:
  SoundCard() {
    char path[MAX_PATH];
    const DWORD n = GetEnvironmentVariableA("FABLEWICK_SOUNDCARD", path, sizeof path);
    if (n > 0 && n < sizeof path) path_ = path;
  }
  bool Present() const { return path_.has_value(); }

  std::uint64_t Mark() const {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExA(path_->c_str(), GetFileExInfoStandard, &data)) return 0;
    return (std::uint64_t{data.nFileSizeHigh} << 32 | data.nFileSizeLow) & ~std::uint64_t{1};
  }

  Loudness Since(std::uint64_t mark) const {
    Loudness result;
    HANDLE file = CreateFileA(path_->c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return result;
    LARGE_INTEGER at;
    at.QuadPart = static_cast<LONGLONG>(mark);
    SetFilePointerEx(file, at, nullptr, FILE_BEGIN);
    std::vector<std::int16_t> chunk(4096);
    DWORD got = 0;
    while (ReadFile(file, chunk.data(), DWORD(chunk.size() * 2), &got, nullptr) && got >= 2) {
      for (DWORD i = 0; i < got / 2; ++i) {
        if (std::abs(int{chunk[i]}) >= kLoud) {
          if (result.loud++ == 0) result.firstLoud = result.samples;
          result.lastLoud = result.samples;
        }
        ++result.samples;
      }
    }
    CloseHandle(file);
    return result;
  }

private:
  std::optional<std::string> path_;
};

class RecordingMessages : public Messages {
public:
  void ShowMessage(const std::string& text, MessageType) override { shown.push_back(text); }
  std::vector<std::string> shown;
};

// Passes everything through to DirectSound and keeps an eye on the voices,
// so a test can count them and ask each whether it plays.
class WatchedOutput : public AudioOutput {
public:
  AudioResult OpenDevice(std::unique_ptr<OutputDevice>& device) override {
    std::unique_ptr<OutputDevice> real;
    const AudioResult result = real_.OpenDevice(real);
    if (real) device = std::make_unique<WatchedDevice>(*this, std::move(real));
    return result;
  }
  int created = 0;
  std::vector<Voice*> live;

private:
  class WatchedVoice : public Voice {
  public:
    WatchedVoice(WatchedOutput& owner, std::unique_ptr<Voice> real)
        : owner_(owner), real_(std::move(real)) {
      owner_.live.push_back(real_.get());
    }
    ~WatchedVoice() override { std::erase(owner_.live, real_.get()); }
    LockedRegions Lock(std::uint32_t bytes) override { return real_->Lock(bytes); }
    void Unlock(const LockedRegions& regions) override { real_->Unlock(regions); }
    void Rewind() override { real_->Rewind(); }
    AudioResult Restore() override { return real_->Restore(); }
    AudioResult Play() override { return real_->Play(); }
    void Stop() override { real_->Stop(); }
    bool Playing() override { return real_->Playing(); }

  private:
    WatchedOutput& owner_;
    std::unique_ptr<Voice> real_;
  };

  class WatchedDevice : public OutputDevice {
  public:
    WatchedDevice(WatchedOutput& owner, std::unique_ptr<OutputDevice> real)
        : owner_(owner), real_(std::move(real)) {}
    AudioResult SetPriorityLevel(std::uintptr_t window) override {
      return real_->SetPriorityLevel(window);
    }
    AudioResult CreatePrimaryBuffer(std::unique_ptr<PrimarySoundBuffer>& buffer) override {
      return real_->CreatePrimaryBuffer(buffer);
    }
    AudioResult CreateVoice(const VoiceRequest& request, std::unique_ptr<Voice>& voice) override {
      std::unique_ptr<Voice> real;
      const AudioResult result = real_->CreateVoice(request, real);
      if (real) {
        ++owner_.created;
        voice = std::make_unique<WatchedVoice>(owner_, std::move(real));
      }
      return result;
    }

  private:
    WatchedOutput& owner_;
    std::unique_ptr<OutputDevice> real_;
  };

  DirectSoundOutput real_;
};

std::span<const std::uint8_t> Resource(int id) {
  return FindWaveResource(GetModuleHandleA(nullptr), id);
}

// Polls until no voice plays; returns the milliseconds that took.
DWORD WaitForSilence(DWORD limit = 15000) {
  const DWORD start = GetTickCount();
  while (AnySoundPlaying() && GetTickCount() - start < limit) Sleep(20);
  return GetTickCount() - start;
}

// A RIFF WAVE image of PCM silence in the given layout.
std::vector<std::uint8_t> SilentImage(std::uint16_t channels, std::uint32_t rate,
                                      std::uint16_t bits, std::uint16_t align,
                                      std::uint32_t bytes) {
  std::vector<std::uint8_t> image;
  auto put = [&](std::uint64_t value, int width) {
    for (int i = 0; i < width; ++i) image.push_back(std::uint8_t(value >> (8 * i)));
  };
  auto text = [&](const char* s) { image.insert(image.end(), s, s + 4); };
  text("RIFF");
  put(4 + 24 + 8 + bytes, 4);
  text("WAVE");
  text("fmt ");
  put(16, 4);
  put(1, 2);
  put(channels, 2);
  put(rate, 4);
  put(rate * align, 4);
  put(align, 2);
  put(bits, 2);
  text("data");
  put(bytes, 4);
  image.insert(image.end(), bytes, 0);
  return image;
}

class SoundOnDirectSound : public ::testing::Test {
protected:
  void SetUp() override {
    window = CreateWindowExA(0, "STATIC", "sound test", WS_OVERLAPPED, 0, 0, 100, 100, nullptr,
                             nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(window, nullptr);
  }
  void TearDown() override {
    StopAllSounds();
    ShutdownSound();
    if (window) DestroyWindow(window);
  }
  void RequireSoundCard() {
    if (!card.Present()) GTEST_SKIP() << "FABLEWICK_SOUNDCARD is not set: run through scripts/wine-run";
  }

  HWND window = nullptr;
  RecordingMessages messages;
  SoundCard card;
};

TEST_F(SoundOnDirectSound, StartsOnTheWindowAndShutsDownAfterItsSettlingTime) {
  InitSoundForWindow(window, messages);
  ASSERT_TRUE(SoundEnabled());
  EXPECT_TRUE(messages.shown.empty());

  const DWORD start = GetTickCount();
  ShutdownSound();
  const DWORD took = GetTickCount() - start;

  EXPECT_FALSE(SoundEnabled());
  EXPECT_GE(took, 1000u);
  EXPECT_LT(took, 3000u);
}

TEST_F(SoundOnDirectSound, ADeviceOpenedAheadIsTakenOverOnceAndTheNextStartOpensAfresh) {
  RequireSoundCard();
  DirectSoundOutput output;
  SystemClock clock;
  output.OpenEarly();
  for (int start = 1; start <= 2; ++start) {
    InitSound(output, clock, messages, reinterpret_cast<std::uintptr_t>(window));
    ASSERT_TRUE(SoundEnabled()) << "start " << start;
    const auto mark = card.Mark();
    PlaySoundResource(IDW_CLICK);
    WaitForSilence();
    Sleep(400);  // the recorder lags the device a little
    EXPECT_GE(card.Since(mark).loud, 100u) << "start " << start;
    ShutdownSound();
  }
  EXPECT_TRUE(messages.shown.empty());
}

TEST_F(SoundOnDirectSound, EveryPackageSoundReachesTheSoundCard) {
  RequireSoundCard();
  InitSoundForWindow(window, messages);
  ASSERT_TRUE(SoundEnabled());

  for (int id : {IDW_CLICK, IDW_TICK, IDW_QUIT, IDW_OPENING_MUSIC, IDW_SHUFFLE, IDW_DEAL,
                 IDW_CHIPS, IDW_TOCK}) {
    const auto mark = card.Mark();
    PlaySoundResource(id);
    EXPECT_TRUE(AnySoundPlaying()) << id;
    if (id == IDW_OPENING_MUSIC) {
      Sleep(1000);
      StopAllSounds();
    }
    WaitForSilence();
    Sleep(400);  // the recorder lags the device a little
    const Loudness heard = card.Since(mark);
    EXPECT_GE(heard.loud, 100u) << "sound " << id << " of " << heard.samples << " samples";
  }
  EXPECT_TRUE(messages.shown.empty());
}

TEST_F(SoundOnDirectSound, TheOpeningTunePlaysForAboutSixSeconds) {
  RequireSoundCard();
  InitSoundForWindow(window, messages);
  const auto mark = card.Mark();

  PlaySoundResource(IDW_OPENING_MUSIC);
  ASSERT_TRUE(AnySoundPlaying());
  const DWORD took = WaitForSilence();
  Sleep(400);

  EXPECT_GE(took, 5500u);
  EXPECT_LE(took, 9000u);
  const Loudness heard = card.Since(mark);
  EXPECT_GE(heard.LoudSpanSeconds(), 5.0) << heard.loud << " loud of " << heard.samples;
}

TEST_F(SoundOnDirectSound, StopAllSoundsSilencesTheCardAtOnce) {
  RequireSoundCard();
  InitSoundForWindow(window, messages);
  const auto before = card.Mark();
  PlaySoundResource(IDW_OPENING_MUSIC);
  Sleep(800);
  ASSERT_GE(card.Since(before).loud, 1000u);

  StopAllSounds();
  EXPECT_FALSE(AnySoundPlaying());
  Sleep(300);  // what the device had already mixed
  const auto after = card.Mark();
  Sleep(1000);
  const Loudness heard = card.Since(after);
  EXPECT_GE(heard.samples, 4000u);
  EXPECT_LE(heard.loud, heard.samples / 100);
}

TEST_F(SoundOnDirectSound, FiveVoicesPlayAtOnceAndASixthRequestIsDropped) {
  WatchedOutput output;
  SystemClock clock;
  InitSound(output, clock, messages, reinterpret_cast<std::uintptr_t>(window));
  ASSERT_TRUE(SoundEnabled());

  for (int i = 0; i < 5; ++i) PlaySoundResource(IDW_OPENING_MUSIC);
  ASSERT_EQ(output.created, 5);
  ASSERT_EQ(output.live.size(), 5u);
  for (Voice* voice : output.live) EXPECT_TRUE(voice->Playing());

  PlaySoundResource(IDW_CLICK);

  EXPECT_EQ(output.created, 5);
  for (Voice* voice : output.live) EXPECT_TRUE(voice->Playing());
  EXPECT_TRUE(messages.shown.empty());

  StopAllSounds();
  ShutdownSound();
}

TEST_F(SoundOnDirectSound, AFormatTheDeviceRefusesIsReportedAndSwitchesSoundOff) {
  InitSoundForWindow(window, messages);
  ASSERT_TRUE(SoundEnabled());

  // DirectSound takes 8, 16, 24 and 32 bits per sample, not 12.
  const auto refused = SilentImage(1, 22050, 12, 2, 4410);
  PlayWave(refused);

  EXPECT_EQ(messages.shown, std::vector<std::string>{kVoiceError});
  EXPECT_FALSE(SoundEnabled());
  PlaySoundResource(IDW_CLICK);
  EXPECT_FALSE(AnySoundPlaying());
  EXPECT_EQ(messages.shown.size(), 1u);
}

TEST_F(SoundOnDirectSound, AMissingResourcePlaysNothingAndSaysNothing) {
  InitSoundForWindow(window, messages);
  EXPECT_TRUE(Resource(131).empty());
  PlaySoundResource(131);
  EXPECT_FALSE(AnySoundPlaying());
  EXPECT_TRUE(messages.shown.empty());
  EXPECT_TRUE(SoundEnabled());
}

TEST_F(SoundOnDirectSound, AResourceSpansItsRealSize) {
  // The opening tune's image: 44 bytes of headers and its samples.
  EXPECT_EQ(Resource(IDW_OPENING_MUSIC).size(), 44u + 550656u);
  EXPECT_EQ(Resource(IDW_CLICK).size(), 44u + 3104u);
}

} // namespace
} // namespace fablewick::win32

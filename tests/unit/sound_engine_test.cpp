#include "sound/sound_engine.h"

#include "fakes/fake_audio_output.h"
#include "fakes/fake_clock.h"
#include "fakes/fake_messages.h"
#include "fakes/wave_image.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <span>
#include <string>
#include <vector>

namespace fablewick {
namespace {

using fakes::FakeAudioOutput;
using fakes::PcmImage;
using fakes::Samples;
using fakes::WaveImageBuilder;
using Bytes = std::vector<std::uint8_t>;
using Events = std::vector<std::string>;

constexpr std::uintptr_t kWindow = 0x5170;

const std::string kCreateDeviceError =
    "DirectSoundCreate error.  Please make sure you have DirectX correctly installed.  Sound "
    "will be disabled.";
const std::string kPrimaryError =
    "DirectSound CreateSoundBuffer (primary) error.  Please make sure you have DirectX correctly "
    "installed.  Sound will be disabled.";
const std::string kVoiceError =
    "LoadDirectSound CreateSoundBuffer error.  Please make sure you have DirectX correctly "
    "installed.  Sound will be disabled.";

// The package's sounds, by their formats and sizes.
const Bytes kClick = PcmImage(1, 22050, 8, 3104, 1);     // 141 ms
const Bytes kQuit = PcmImage(1, 22050, 16, 16704, 2);    // 379 ms
const Bytes kTune = PcmImage(2, 44100, 8, 550656, 3);    // 6244 ms

class SoundEngineTest : public ::testing::Test {
protected:
  void SetUp() override {
    messages.onShow = [this](const std::string& text) { output.events.push_back("message " + text); };
  }
  // Whatever a test leaves playing goes before the fakes do.
  void TearDown() override { ShutdownSound(); }

  void Start() { InitSound(output, clock, messages, kWindow); }
  void StartQuietly() {
    Start();
    output.events.clear();
  }
  // The events from index `from` on.
  Events Since(std::size_t from) const {
    return Events(output.events.begin() + static_cast<std::ptrdiff_t>(from), output.events.end());
  }
  // What one play request did, event by event.
  Events Play(std::span<const std::uint8_t> image) {
    const auto from = output.events.size();
    PlayWave(image);
    return Since(from);
  }
  void Wait(std::uint32_t ms) {
    clock.Advance(ms);
    output.EndFinishedVoices(clock.Ticks());
  }
  std::vector<std::string> Texts() const {
    std::vector<std::string> texts;
    for (const auto& m : messages.shown) texts.push_back(m.text);
    return texts;
  }
  int Count(const std::string& event) const {
    return static_cast<int>(std::count(output.events.begin(), output.events.end(), event));
  }

  fakes::FakeClock clock{50000};
  fakes::FakeMessages messages;
  FakeAudioOutput output{clock};
  fakes::FakeSoundTimer timer;
};

// ---------------------------------------------------------------------------

TEST_F(SoundEngineTest, StartOpensTheDeviceAtPriorityOnTheWindowAndPlaysThePrimaryBuffer) {
  Start();
  EXPECT_EQ(output.events, (Events{"open", "priority", "primary", "primary play"}));
  EXPECT_EQ(output.priorityWindow, kWindow);
  EXPECT_TRUE(SoundEnabled());
  EXPECT_TRUE(messages.shown.empty());
  EXPECT_TRUE(clock.sleeps.empty());
}

struct StartFailure {
  const char* step;
  Events expected;
};

TEST_F(SoundEngineTest, EachStartFailureShutsDownFirstThenTellsTheUserAndLeavesSoundOff) {
  const std::vector<StartFailure> cases = {
      {"open", {"open", "message " + kCreateDeviceError}},
      {"priority",
       {"open", "priority", "sleep 100", "sleep 1000", "device release",
        "message DirectSound SetCooperativeLevel error"}},
      {"primary",
       {"open", "priority", "primary", "sleep 100", "sleep 1000", "device release",
        "message " + kPrimaryError}},
  };
  for (const auto& c : cases) {
    output.events.clear();
    messages.shown.clear();
    output.openResult = std::string(c.step) == "open" ? -2147467259 : 0;
    output.priorityResult = std::string(c.step) == "priority" ? -2147024809 : 0;
    output.primaryResult = std::string(c.step) == "primary" ? -2005401590 : 0;

    Start();

    EXPECT_EQ(output.events, c.expected) << c.step;
    ASSERT_EQ(messages.shown.size(), 1u) << c.step;
    EXPECT_EQ(messages.shown[0].type, MessageType::Error) << c.step;
    EXPECT_FALSE(SoundEnabled()) << c.step;
  }
}

TEST_F(SoundEngineTest, WithSoundOffEveryOperationReturnsAtOnceAndQuietly) {
  output.openResult = -1;
  Start();
  const auto before = output.events.size();
  const auto shown = messages.shown.size();

  PlayWave(kClick);
  StopAllSounds();
  EXPECT_FALSE(AnySoundPlaying());
  ShutdownSound();

  EXPECT_EQ(output.events.size(), before);
  EXPECT_EQ(messages.shown.size(), shown);
  EXPECT_TRUE(clock.sleeps.empty());
  EXPECT_FALSE(SoundEnabled());
}

// ---------------------------------------------------------------------------

TEST_F(SoundEngineTest, ShutdownWithNothingPlayingWaits1100msBeforeReleasingSlotsInOrderThenTheDevice) {
  StartQuietly();
  for (int i = 0; i < 5; ++i) PlayWave(kClick);
  Wait(1000);
  ASSERT_FALSE(AnySoundPlaying());
  const auto from = output.events.size();

  ShutdownSound();

  EXPECT_EQ(Since(from), (Events{"sleep 100", "sleep 1000", "voice 0 release", "voice 1 release",
                                 "voice 2 release", "voice 3 release", "voice 4 release",
                                 "primary release", "device release"}));
  EXPECT_FALSE(SoundEnabled());
  EXPECT_FALSE(output.DeviceOpen());
}

TEST_F(SoundEngineTest, ShutdownDuringTheTuneGivesUpAfterThePassThatBeginsAt3sAndCutsItOff) {
  StartQuietly();
  PlayWave(kTune);

  ShutdownSound();

  // Passes begin at 0, 100, ..., 3000 ms: 31 polls, then the settle sleep.
  EXPECT_EQ(std::count(clock.sleeps.begin(), clock.sleeps.end(), 100u), 31);
  EXPECT_EQ(clock.sleeps.back(), 1000u);
  EXPECT_EQ(clock.SleptInAll(), 4100u);
  EXPECT_TRUE(output.VoiceAt(0).released);
  EXPECT_TRUE(output.VoiceAt(0).playingWhenReleased);
}

TEST_F(SoundEngineTest, ShutdownStopsWaitingAfterThePassThatFindsEveryVoiceSilent) {
  StartQuietly();
  PlayWave(kQuit);  // 379 ms

  ShutdownSound();

  // Playing at 0..300; the pass at 400 sees silence and still sleeps.
  EXPECT_EQ(clock.sleeps, (std::vector<std::uint32_t>{100, 100, 100, 100, 100, 1000}));
  EXPECT_FALSE(output.VoiceAt(0).playingWhenReleased);
}

TEST_F(SoundEngineTest, ShutdownDrainEndsOnTimeAcrossTheTickCountWrap) {
  for (std::uint32_t start : {0xFFFFFFFFu - 1500u, 0xFFFFFFFFu - 3000u, 0xFFFFFFFFu}) {
    fakes::FakeClock wrapClock(start);
    FakeAudioOutput wrapOutput(wrapClock);
    InitSound(wrapOutput, wrapClock, messages, kWindow);
    PlayWave(kTune);

    ShutdownSound();

    EXPECT_EQ(wrapClock.SleptInAll(), 4100u) << start;
    EXPECT_TRUE(wrapOutput.VoiceAt(0).playingWhenReleased) << start;
  }
}

// ---------------------------------------------------------------------------

TEST_F(SoundEngineTest, PlayBuildsAVoiceWithTheImagesFormatAndSizeThenRewindsAndPlaysIt) {
  StartQuietly();
  PlayWave(kClick);

  EXPECT_EQ(output.events, (Events{"voice 0 create", "voice 0 lock", "voice 0 unlock",
                                   "voice 0 rewind", "voice 0 play"}));
  const auto& voice = output.VoiceAt(0);
  EXPECT_EQ(voice.request.flags, 0xC0E0u);
  EXPECT_EQ(voice.request.bufferBytes, 3104u);
  WaveFormatBlock expected{1, 1, 22050, 22050, 1, 8, 'd' | 'a' << 8};
  EXPECT_EQ(voice.request.format, expected);
  EXPECT_EQ(voice.lockedBytes, 3104u);
  EXPECT_EQ(voice.contents, Samples(3104, 1));
  EXPECT_TRUE(voice.unlockedAsLocked);
  EXPECT_TRUE(AnySoundPlaying());
}

TEST_F(SoundEngineTest, SamplesFillBothLockedRegionsInOrder) {
  StartQuietly();
  output.lockSplit = 1000;
  PlayWave(kClick);
  EXPECT_EQ(output.VoiceAt(0).contents, Samples(3104, 1));
  EXPECT_TRUE(output.VoiceAt(0).unlockedAsLocked);
}

TEST_F(SoundEngineTest, AnySoundPlayingFollowsTheLastVoiceToItsEnd) {
  StartQuietly();
  PlayWave(kQuit);
  PlayWave(kClick);
  Wait(200);
  EXPECT_TRUE(AnySoundPlaying());
  Wait(200);
  EXPECT_FALSE(AnySoundPlaying());
}

TEST_F(SoundEngineTest, TheSixthRequestWhileFiveVoicesPlayIsDroppedWithoutAMessage) {
  StartQuietly();
  for (int i = 0; i < 5; ++i) PlayWave(kTune);

  EXPECT_TRUE(Play(kClick).empty());

  EXPECT_EQ(output.voices.size(), 5u);
  EXPECT_EQ(output.PlayingCount(), 5);
  EXPECT_TRUE(messages.shown.empty());
}

TEST_F(SoundEngineTest, TheLowestSilentSlotWinsAndItsFinishedVoiceIsReleasedFirst) {
  StartQuietly();
  PlayWave(kTune);   // slot 0, voice 0
  PlayWave(kClick);  // slot 1, voice 1
  PlayWave(kTune);   // slot 2, voice 2
  Wait(200);

  const Events since = Play(kQuit);

  ASSERT_GE(since.size(), 2u);
  EXPECT_EQ(since[0], "voice 1 release");
  EXPECT_EQ(since[1], "voice 3 create");
  // The stop sweep walks the slots in order: voice 3 now sits in slot 1.
  const auto stopFrom = output.events.size();
  StopAllSounds();
  EXPECT_EQ(Since(stopFrom), (Events{"voice 0 stop", "voice 3 stop", "voice 2 stop"}));
}

TEST_F(SoundEngineTest, TheSameImageTwiceSoundsOnTwoVoicesAtOnce) {
  StartQuietly();
  PlayWave(kQuit);
  PlayWave(kQuit);
  EXPECT_EQ(output.PlayingCount(), 2);
  EXPECT_EQ(output.VoiceAt(0).contents, output.VoiceAt(1).contents);
}

TEST_F(SoundEngineTest, StopAllSoundsSilencesAtOnceKeepsTheVoicesAndFreesSlotZero) {
  StartQuietly();
  PlayWave(kTune);
  PlayWave(kTune);
  StopAllSounds();

  EXPECT_FALSE(AnySoundPlaying());
  EXPECT_EQ(Count("voice 0 release") + Count("voice 1 release"), 0);
  EXPECT_EQ(Count("voice 0 rewind"), 1);

  const Events since = Play(kQuit);
  ASSERT_GE(since.size(), 2u);
  EXPECT_EQ(since[0], "voice 0 release");
  EXPECT_EQ(since[1], "voice 2 create");
}

// ---------------------------------------------------------------------------

TEST_F(SoundEngineTest, ANonPcmImageIsReportedEmptiesItsSlotAndLeavesSoundOn) {
  StartQuietly();
  PlayWave(kClick);
  StopAllSounds();

  PlayWave(WaveImageBuilder().Format(1, 22050, 8, /*tag=*/2).Data(Samples(100)).Build());

  EXPECT_EQ(Texts(), (std::vector<std::string>{"LoadDirectSound mmioRead error"}));
  EXPECT_TRUE(output.VoiceAt(0).released);
  EXPECT_EQ(output.voices.size(), 1u);
  EXPECT_TRUE(SoundEnabled());

  PlayWave(kQuit);
  EXPECT_EQ(output.voices.size(), 2u);
  EXPECT_TRUE(AnySoundPlaying());
}

TEST_F(SoundEngineTest, AnImageThatCannotBeWalkedIsReportedAndLeavesSoundOn) {
  StartQuietly();
  for (const Bytes& image : {Bytes{}, Bytes{'R', 'I', 'F', 'F'},
                             WaveImageBuilder().Format(1, 22050, 8).Build(),
                             WaveImageBuilder().Data(Samples(10)).Build()}) {
    messages.shown.clear();
    PlayWave(image);
    EXPECT_EQ(Texts(), (std::vector<std::string>{"LoadDirectSound mmioOpen error"}));
  }
  EXPECT_TRUE(output.voices.empty());
  EXPECT_TRUE(SoundEnabled());
}

TEST_F(SoundEngineTest, ChunksAroundFormatAndDataDoNotChangeWhatPlays) {
  StartQuietly();
  const Bytes samples = Samples(8531, 4);
  const Bytes image = WaveImageBuilder()
                          .Chunk("LIST", Samples(9))
                          .Format(1, 22050, 8)
                          .Chunk("fact", Samples(4))
                          .Data(samples, /*pad=*/false)
                          .Chunk("smpl", Samples(60))
                          .Build();
  PlayWave(image);
  ASSERT_EQ(output.voices.size(), 1u);
  EXPECT_EQ(output.VoiceAt(0).request.bufferBytes, 8531u);
  EXPECT_EQ(output.VoiceAt(0).contents, samples);
  EXPECT_TRUE(messages.shown.empty());
}

TEST_F(SoundEngineTest, ATruncatedImageGetsAVoiceOfTheSamplesItReallyHas) {
  StartQuietly();
  Bytes image = PcmImage(1, 22050, 8, 3104, 1);
  image.resize(image.size() - 1104);
  PlayWave(image);
  ASSERT_EQ(output.voices.size(), 1u);
  EXPECT_EQ(output.VoiceAt(0).request.bufferBytes, 2000u);
  EXPECT_EQ(output.VoiceAt(0).contents, Bytes(kClick.begin() + 44, kClick.begin() + 44 + 2000));
}

// ---------------------------------------------------------------------------

TEST_F(SoundEngineTest, ARefusedVoiceIsReportedThenSoundShutsDownAfterTheOthersDrain) {
  StartQuietly();
  PlayWave(kQuit);  // still playing when the next one fails
  output.voiceResult = [](const VoiceRequest& r) { return r.format.channels == 3 ? -2147024809 : 0; };

  const Events since = Play(PcmImage(3, 22050, 8, 300));

  ASSERT_GE(since.size(), 3u);
  EXPECT_EQ(since[0], "voice refused");
  EXPECT_EQ(since[1], "message " + kVoiceError);
  EXPECT_EQ(since[2], "sleep 100");
  EXPECT_EQ(since.back(), "device release");
  EXPECT_EQ(clock.sleeps, (std::vector<std::uint32_t>{100, 100, 100, 100, 100, 1000}));
  EXPECT_FALSE(SoundEnabled());

  EXPECT_TRUE(Play(kClick).empty());
  EXPECT_TRUE(Play(kQuit).empty());
  EXPECT_EQ(messages.shown.size(), 1u);
}

TEST_F(SoundEngineTest, AVoiceThatDoesNotPlayOnAFreshDeviceIsReportedOnceInSignedDecimalAndSoundGoesOff) {
  StartQuietly();
  output.playResult = static_cast<AudioResult>(0x88780078u);
  const Events since = Play(kClick);

  EXPECT_EQ(Texts(), (std::vector<std::string>{"DirectSound Play error #-2005401480"}));
  // Released before the message, and without a drain wait.
  ASSERT_FALSE(since.empty());
  EXPECT_EQ(since.back(), "message DirectSound Play error #-2005401480");
  EXPECT_EQ(Count("device release"), 1);
  EXPECT_TRUE(clock.sleeps.empty());
  EXPECT_FALSE(SoundEnabled());

  output.playResult = 0;
  EXPECT_TRUE(Play(kClick).empty());
  ShutdownSound();
  EXPECT_EQ(messages.shown.size(), 1u);
}

// ---------------------------------------------------------------------------
// The device's lifetime: held while sound is in use, followed when it goes.

constexpr AudioResult kNoDriver = static_cast<AudioResult>(0x88780078u);
const Events kOpening = {"open", "priority", "primary", "primary play"};

TEST_F(SoundEngineTest, AfterAQuietSpellEverythingIsReleasedAndTheNextSoundOpensAgainUnheralded) {
  InitSound(output, clock, messages, kWindow, &timer);
  ASSERT_EQ(timer.period, kQuietCheckMs);
  PlayWave(kTune);
  // Ticks each second: the last to hear the 6.2 s tune is at 6 s.
  for (int second = 1; second <= 11; ++second) {
    Wait(1000);
    SoundTimerTick();
  }
  Wait(900);
  SoundTimerTick();
  ASSERT_TRUE(output.DeviceOpen());
  const auto from = output.events.size();
  Wait(100);
  SoundTimerTick();
  EXPECT_EQ(Since(from), (Events{"voice 0 release", "primary release", "device release"}));
  EXPECT_EQ(timer.period, 0u);
  EXPECT_TRUE(SoundEnabled());

  const auto reopen = output.events.size();
  PrepareSound();
  PlayWave(kClick);
  Events opening = Since(reopen);
  opening.resize(std::min(opening.size(), kOpening.size()));
  EXPECT_EQ(opening, kOpening) << "reopened as at the start";
  EXPECT_TRUE(output.voices.back()->playing);
  EXPECT_EQ(output.priorityWindow, kWindow);
  EXPECT_EQ(timer.period, kQuietCheckMs);
  EXPECT_TRUE(messages.shown.empty());
}

TEST_F(SoundEngineTest, ShutdownKeepsItsWaitsWithTheDeviceLetGo) {
  InitSound(output, clock, messages, kWindow, &timer);
  Wait(kQuietReleaseMs);
  SoundTimerTick();
  ASSERT_FALSE(output.DeviceOpen());
  ShutdownSound();
  EXPECT_EQ(clock.sleeps, (std::vector<std::uint32_t>{100, 1000}));
  PrepareSound();
  PlayWave(kClick);
  EXPECT_EQ(output.opens, 1);
}

TEST_F(SoundEngineTest, AVoiceLostWithItsDevicePlaysOnTheReopenedDefaultALostBufferOnItsOwnWithoutAWord) {
  enum Loss { CreationFails, PlayFails, BufferLost };
  for (const Loss loss : {CreationFails, PlayFails, BufferLost}) {
    output.events.clear();
    InitSound(output, clock, messages, kWindow, &timer);
    PlayWave(kTune);  // the device has worked
    const int opening = output.opens;
    const std::size_t tune = output.voices.size() - 1;
    if (loss == CreationFails) {
      output.voiceResult = [&](const VoiceRequest&) { return output.opens == opening ? kNoDriver : 0; };
    } else {
      output.nextPlayResults = {loss == PlayFails ? kNoDriver : kResultBufferLost};
    }

    PlayWave(kClick);

    const bool deviceLost = loss != BufferLost;
    EXPECT_EQ(output.opens, opening + deviceLost) << loss;
    EXPECT_EQ(output.VoiceAt(tune).released, deviceLost) << loss;
    const auto& click = *output.voices.back();
    EXPECT_TRUE(click.playing && !click.released) << loss;
    EXPECT_EQ(click.contents, Samples(3104, 1)) << loss;  // refilled, not the lost memory
    EXPECT_TRUE(messages.shown.empty()) << loss;
    EXPECT_TRUE(clock.sleeps.empty()) << loss;
    output.voiceResult = nullptr;
    StopAllSounds();
    clock.sleeps.clear();
  }
}

TEST_F(SoundEngineTest, ADeviceThatStopsTakingSamplesIsLetGoOnceAVoicePlaysWellPastItsEnd) {
  InitSound(output, clock, messages, kWindow, &timer);
  PlayWave(kQuit);  // 379 ms; the clock moves on but the fake device stays stuck
  clock.Advance(2000);
  SoundTimerTick();
  ASSERT_TRUE(output.DeviceOpen());
  ASSERT_TRUE(AnySoundPlaying());
  clock.Advance(1500);
  EXPECT_FALSE(AnySoundPlaying());  // also with no timer ticking, as in a launch's wait
  EXPECT_FALSE(output.DeviceOpen());
  PlayWave(kClick);
  EXPECT_EQ(output.opens, 2);
  EXPECT_TRUE(messages.shown.empty());
}

TEST_F(SoundEngineTest, AReopeningThatFailsTellsItsOwnStepOnceAndTurnsSoundOffWithoutWaiting) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"open", kCreateDeviceError},
      {"priority", "DirectSound SetCooperativeLevel error"},
      {"primary", kPrimaryError},
      {"voice", kVoiceError},
  };
  for (const auto& [step, text] : cases) {
    messages.shown.clear();
    fakes::FakeClock stepClock{50000};
    FakeAudioOutput stepOutput{stepClock};
    InitSound(stepOutput, stepClock, messages, kWindow, &timer);
    PlayWave(kQuit);
    stepOutput.openResult = step == "open" ? kNoDriver : 0;
    stepOutput.priorityResult = step == "priority" ? kNoDriver : 0;
    stepOutput.primaryResult = step == "primary" ? kNoDriver : 0;
    stepOutput.voiceResult = [](const VoiceRequest&) { return kNoDriver; };

    PlayWave(kClick);
    PlayWave(kClick);

    EXPECT_EQ(Texts(), std::vector<std::string>{text}) << step;
    EXPECT_FALSE(SoundEnabled()) << step;
    EXPECT_FALSE(stepOutput.DeviceOpen()) << step;
    EXPECT_TRUE(stepClock.sleeps.empty()) << step;
  }
}

} // namespace
} // namespace fablewick

#include "sound/sound_engine.h"

#include "sound/wave_walk.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <memory>
#include <string>

namespace fablewick {

namespace {

constexpr char kCreateDeviceError[] =
    "DirectSoundCreate error.  Please make sure you have DirectX correctly installed.  "
    "Sound will be disabled.";
constexpr char kCooperativeLevelError[] = "DirectSound SetCooperativeLevel error";
constexpr char kPrimaryBufferError[] =
    "DirectSound CreateSoundBuffer (primary) error.  Please make sure you have DirectX "
    "correctly installed.  Sound will be disabled.";
constexpr char kOpenImageError[] = "LoadDirectSound mmioOpen error";
constexpr char kFormatError[] = "LoadDirectSound mmioRead error";
constexpr char kCreateVoiceError[] =
    "LoadDirectSound CreateSoundBuffer error.  Please make sure you have DirectX correctly "
    "installed.  Sound will be disabled.";

constexpr std::uint32_t kVoiceFlags =
    kBufferCtrlFrequency | kBufferCtrlPan | kBufferCtrlVolume | kBufferStickyFocus |
    kBufferGlobalFocus;

constexpr std::uint32_t kPollMilliseconds = 100;
constexpr std::uint32_t kDrainLimitMilliseconds = 3000;
// Lets the device play out what it has already mixed before it goes.
constexpr std::uint32_t kSettleMilliseconds = 1000;

AudioOutput* Output = nullptr;
Clock* TheClock = nullptr;
Messages* TheMessages = nullptr;
SoundTimer* Timer = nullptr;
std::uintptr_t Window = 0;

bool SoundOn = false;
std::unique_ptr<OutputDevice> SoundDevice;
std::unique_ptr<PrimarySoundBuffer> PrimaryBuffer;
std::array<std::unique_ptr<Voice>, kVoiceCount> VoiceTable;
// When each slot's voice started and how long its samples last, 0 if not
// known: a voice still playing well past its end means the device stopped
// taking samples without a word (the audio service gone under Wine).
std::array<std::uint32_t, kVoiceCount> StartedAt{};
std::array<std::uint32_t, kVoiceCount> LengthMs{};
constexpr std::uint32_t kStallGraceMs = 3000;

// How the current opening has fared. A voice failing on a device that has
// played is the device going away (a headset pulled, the audio service
// restarted), not a request it refuses.
bool DeviceHasPlayed = false;
bool DeviceOpenedAtStart = false;
std::uint32_t LastHeard = 0;
// A message box runs a message loop, and the timer may tick in it: the
// device must not go from under the operation that put the box up.
int Busy = 0;

struct BusyScope {
  BusyScope() { ++Busy; }
  ~BusyScope() { --Busy; }
  BusyScope(const BusyScope&) = delete;
  BusyScope& operator=(const BusyScope&) = delete;
};

void ShowError(const std::string& text) { TheMessages->ShowMessage(text, MessageType::Error); }

// Releases every voice and the device at once, without waiting for them.
void DropDevice() {
  for (auto& voice : VoiceTable) voice.reset();
  // The primary buffer is never let go on its own; its reference goes just
  // before the device's, since a buffer must not outlive what made it.
  PrimaryBuffer.reset();
  SoundDevice.reset();
  if (Timer) Timer->Stop();
}

void TurnSoundOff() {
  DropDevice();
  SoundOn = false;
}

bool VoicePlaying(int slot) {
  const auto& voice = VoiceTable[static_cast<std::size_t>(slot)];
  return voice && voice->Playing();
}

bool AnyVoicePlaying() {
  for (int slot = 0; slot < kVoiceCount; ++slot) {
    if (VoicePlaying(slot)) return true;
  }
  return false;
}

// The message for the step of an opening that failed; empty when none did.
std::string OpenDevice() {
  if (Output->OpenDevice(SoundDevice) != 0 || !SoundDevice) {
    SoundDevice.reset();
    return kCreateDeviceError;
  }
  if (SoundDevice->SetPriorityLevel(Window) != 0) return kCooperativeLevelError;
  if (SoundDevice->CreatePrimaryBuffer(PrimaryBuffer) != 0 || !PrimaryBuffer) {
    PrimaryBuffer.reset();
    return kPrimaryBufferError;
  }
  PrimaryBuffer->Play();
  DeviceHasPlayed = false;
  DeviceOpenedAtStart = false;
  LastHeard = TheClock->Ticks();
  if (Timer) Timer->Start(kQuietCheckMs);
  return {};
}

// An opening after start-up, for a sound about to be played. One that fails
// is told once and leaves sound off, with nothing to wait for.
bool OpenAgain() {
  const std::string failure = OpenDevice();
  if (failure.empty()) return true;
  TurnSoundOff();
  ShowError(failure);
  return false;
}

// Copies as much of the samples as the region holds and moves past them.
void CopyInto(std::span<std::uint8_t> region, std::span<const std::uint8_t>& samples) {
  const std::size_t count = std::min(region.size(), samples.size());
  std::copy_n(samples.begin(), count, region.begin());
  samples = samples.subspan(count);
}

void Fill(Voice& voice, std::span<const std::uint8_t> samples) {
  const LockedRegions regions = voice.Lock(static_cast<std::uint32_t>(samples.size()));
  CopyInto(regions.first, samples);
  CopyInto(regions.second, samples);
  voice.Unlock(regions);
}

bool RefusedRequest(AudioResult result) {
  return result == kResultBadFormat || result == kResultInvalidParam ||
         result == kResultUnsupported || result == kResultOutOfMemory ||
         result == kResultControlUnavailable;
}

struct VoiceOutcome {
  enum Step { Played, NotCreated, NotStarted } step = Played;
  AudioResult result = 0;
};

// Builds the slot's voice from the samples, rewinds it and plays it once.
VoiceOutcome BuildAndStart(int slot, const WaveWalk& walk) {
  auto& voice = VoiceTable[static_cast<std::size_t>(slot)];
  // The voice holds the samples the image really has: equal to the chunk's
  // size field for every sound image, smaller only for a truncated one, so a
  // damaged size field can never ask the device for bytes nobody has.
  const VoiceRequest request{kVoiceFlags, static_cast<std::uint32_t>(walk.samples.size()),
                             walk.format};
  AudioResult result = SoundDevice->CreateVoice(request, voice);
  if (result != 0 || !voice) {
    voice.reset();
    return {VoiceOutcome::NotCreated, result};
  }
  Fill(*voice, walk.samples);
  voice->Rewind();
  result = voice->Play();
  if (result == kResultBufferLost && voice->Restore() == 0) {
    // Another program had the device for a moment; the buffer's memory
    // went with it.
    Fill(*voice, walk.samples);
    voice->Rewind();
    result = voice->Play();
  }
  if (result != 0) return {VoiceOutcome::NotStarted, result};
  DeviceHasPlayed = true;
  LastHeard = TheClock->Ticks();
  const std::uint64_t bytesPerSecond =
      std::uint64_t{walk.format.blockAlign} * walk.format.samplesPerSec;
  StartedAt[static_cast<std::size_t>(slot)] = LastHeard;
  LengthMs[static_cast<std::size_t>(slot)] =
      bytesPerSecond ? static_cast<std::uint32_t>(walk.samples.size() * 1000 / bytesPerSecond + 1) : 0;
  return {};
}

void ReportVoiceFailure(const VoiceOutcome& outcome) {
  if (outcome.step == VoiceOutcome::NotStarted) {
    char text[64];
    std::snprintf(text, sizeof text, "DirectSound Play error #%d", static_cast<int>(outcome.result));
    // Off before the one message, so nothing played while it is up can
    // bring a second; a device that cannot start a voice is not waited for.
    TurnSoundOff();
    ShowError(text);
    return;
  }
  if (RefusedRequest(outcome.result) || DeviceOpenedAtStart) {
    // The dialog is modal: the drain wait only starts once it is closed.
    ShowError(kCreateVoiceError);
    ShutdownSound();
    return;
  }
  // A device opened just now that cannot make a voice: nothing plays on it
  // that a wait could save.
  TurnSoundOff();
  ShowError(kCreateVoiceError);
}

void LoadAndStart(int slot, std::span<const std::uint8_t> image) {
  VoiceTable[static_cast<std::size_t>(slot)].reset();

  const WaveWalk walk = WalkWave(image);
  if (walk.status == WaveWalkStatus::Unopenable) {
    ShowError(kOpenImageError);
    return;
  }
  if (walk.status == WaveWalkStatus::NotPcm) {
    ShowError(kFormatError);
    return;
  }

  if (!SoundDevice && !OpenAgain()) return;
  VoiceOutcome outcome = BuildAndStart(slot, walk);
  if (outcome.step == VoiceOutcome::Played) return;
  const bool deviceGone = DeviceHasPlayed && !(outcome.step == VoiceOutcome::NotCreated &&
                                               RefusedRequest(outcome.result));
  if (deviceGone) {
    // Silently onto whatever output is the default now; every slot is
    // empty after the drop, so the lowest, slot 0, takes the sound.
    DropDevice();
    if (!OpenAgain()) return;
    outcome = BuildAndStart(0, walk);
    if (outcome.step == VoiceOutcome::Played) return;
  }
  ReportVoiceFailure(outcome);
}

bool DeviceStalled(std::uint32_t now) {
  for (std::size_t slot = 0; slot < kVoiceCount; ++slot) {
    if (LengthMs[slot] && VoicePlaying(static_cast<int>(slot)) &&
        TickReached(now, StartedAt[slot] + LengthMs[slot] + kStallGraceMs)) {
      return true;
    }
  }
  return false;
}

} // namespace

bool SoundEnabled() { return SoundOn; }

void InitSound(AudioOutput& output, Clock& clock, Messages& messages, std::uintptr_t window,
               SoundTimer* timer) {
  // Empty at every start of a run; a second start would only find what a
  // first one left, which is released rather than leaked.
  Timer = nullptr;
  DropDevice();
  Output = &output;
  TheClock = &clock;
  TheMessages = &messages;
  Timer = timer;
  Window = window;
  SoundOn = true;
  BusyScope busy;

  const std::string failure = OpenDevice();
  if (failure.empty()) {
    DeviceOpenedAtStart = true;
    return;
  }
  // With no device made there is nothing for the shutdown to wait for.
  if (!SoundDevice) SoundOn = false;
  ShutdownSound();
  ShowError(failure);
}

void ShutdownSound() {
  if (!SoundOn) return;
  BusyScope busy;

  // The same waits whether or not a quiet spell had let the device go.
  const std::uint32_t start = TheClock->Ticks();
  for (;;) {
    const bool playing = AnySoundPlaying();
    const std::uint32_t now = TheClock->Ticks();
    TheClock->Sleep(kPollMilliseconds);
    if (TickReached(now, start + kDrainLimitMilliseconds)) break;
    if (!playing) break;
  }
  TheClock->Sleep(kSettleMilliseconds);

  TurnSoundOff();
}

void PlayWave(std::span<const std::uint8_t> image) {
  if (!SoundOn) return;
  BusyScope busy;
  for (int slot = 0; slot < kVoiceCount; ++slot) {
    if (!VoicePlaying(slot)) {
      LoadAndStart(slot, image);
      return;
    }
  }
}

void PrepareSound() {
  if (!SoundOn || SoundDevice || Busy) return;
  BusyScope busy;
  OpenAgain();
}

void SoundTimerTick() {
  if (!SoundDevice || Busy) return;
  const std::uint32_t now = TheClock->Ticks();
  if (DeviceStalled(now)) {
    // Let go silently, as a lost device is: the next sound opens the default.
    DropDevice();
  } else if (AnyVoicePlaying()) {
    LastHeard = now;
  } else if (TickReached(now, LastHeard + kQuietReleaseMs)) {
    DropDevice();
  }
}

void StopAllSounds() {
  if (!SoundOn) return;
  for (auto& voice : VoiceTable) {
    if (voice) voice->Stop();
  }
}

bool AnySoundPlaying() {
  if (!SoundOn) return false;
  // A caller waiting for the end of a sound, without a message loop to tick
  // the timer (a launch), would wait forever on a stalled device.
  if (SoundDevice && !Busy && DeviceStalled(TheClock->Ticks())) DropDevice();
  return AnyVoicePlaying();
}

} // namespace fablewick

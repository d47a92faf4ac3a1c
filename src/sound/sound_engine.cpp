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

std::unique_ptr<OutputDevice> SoundDevice;
std::unique_ptr<PrimarySoundBuffer> PrimaryBuffer;
std::array<std::unique_ptr<Voice>, kVoiceCount> VoiceTable;

void ShowError(const std::string& text) { TheMessages->ShowMessage(text, MessageType::Error); }

void ReleaseDevice() {
  // Nothing uses the primary buffer after start-up, so it is never let go
  // on its own; its reference goes just before the device's, since a buffer
  // must not outlive the object that made it.
  PrimaryBuffer.reset();
  SoundDevice.reset();
}

// Releases every voice and the device at once, without waiting for them.
void DropDevice() {
  for (auto& voice : VoiceTable) voice.reset();
  ReleaseDevice();
}

bool VoicePlaying(int slot) {
  const auto& voice = VoiceTable[static_cast<std::size_t>(slot)];
  return voice && voice->Playing();
}

// Copies as much of the samples as the region holds and moves past them.
void CopyInto(std::span<std::uint8_t> region, std::span<const std::uint8_t>& samples) {
  const std::size_t count = std::min(region.size(), samples.size());
  std::copy_n(samples.begin(), count, region.begin());
  samples = samples.subspan(count);
}

void LoadDirectSound(int slot, std::span<const std::uint8_t> image) {
  auto& voice = VoiceTable[static_cast<std::size_t>(slot)];
  voice.reset();
  if (!SoundEnabled()) return;

  const WaveWalk walk = WalkWave(image);
  if (walk.status == WaveWalkStatus::Unopenable) {
    ShowError(kOpenImageError);
    return;
  }
  if (walk.status == WaveWalkStatus::NotPcm) {
    ShowError(kFormatError);
    return;
  }

  // The voice holds the samples the image really has: equal to the chunk's
  // size field for every sound image, smaller only for a truncated one, so a
  // damaged size field can never ask the device for bytes nobody has.
  const VoiceRequest request{kVoiceFlags, static_cast<std::uint32_t>(walk.samples.size()),
                             walk.format};
  if (SoundDevice->CreateVoice(request, voice) != 0 || !voice) {
    voice.reset();
    // The dialog is modal: the drain wait only starts once it is closed.
    ShowError(kCreateVoiceError);
    ShutdownSound();
    return;
  }

  const LockedRegions regions = voice->Lock(request.bufferBytes);
  std::span<const std::uint8_t> samples = walk.samples;
  CopyInto(regions.first, samples);
  CopyInto(regions.second, samples);
  voice->Unlock(regions);
}

void StartVoice(int slot) {
  if (!SoundEnabled()) return;
  auto& voice = VoiceTable[static_cast<std::size_t>(slot)];
  if (!voice) return;
  voice->Rewind();
  const AudioResult result = voice->Play();
  if (result != 0) {
    char text[64];
    std::snprintf(text, sizeof text, "DirectSound Play error #%d", static_cast<int>(result));
    // A voice that was made but does not play means the device has gone (a
    // headset unplugged, the audio service restarted), and every later play
    // would fail alike: sound goes off for the rest of the run, before the
    // one message, so nothing played while it is up can bring a second.
    // Nothing of a lost device is worth waiting for.
    DropDevice();
    ShowError(text);
  }
}

} // namespace

bool SoundEnabled() { return SoundDevice != nullptr; }

void InitSound(AudioOutput& output, Clock& clock, Messages& messages, std::uintptr_t window) {
  // Empty at every start of a run; a second start would only find what a
  // first one left, which is released rather than leaked.
  for (auto& voice : VoiceTable) voice.reset();
  ReleaseDevice();
  Output = &output;
  TheClock = &clock;
  TheMessages = &messages;

  if (Output->OpenDevice(SoundDevice) != 0 || !SoundDevice) {
    SoundDevice.reset();
    ShutdownSound();
    ShowError(kCreateDeviceError);
    return;
  }
  if (SoundDevice->SetPriorityLevel(window) != 0) {
    ShutdownSound();
    ShowError(kCooperativeLevelError);
    return;
  }
  if (SoundDevice->CreatePrimaryBuffer(PrimaryBuffer) != 0 || !PrimaryBuffer) {
    PrimaryBuffer.reset();
    ShutdownSound();
    ShowError(kPrimaryBufferError);
    return;
  }
  PrimaryBuffer->Play();
}

void ShutdownSound() {
  if (!SoundEnabled()) return;

  const std::uint32_t start = TheClock->Ticks();
  for (;;) {
    const bool playing = AnySoundPlaying();
    const std::uint32_t now = TheClock->Ticks();
    TheClock->Sleep(kPollMilliseconds);
    if (TickReached(now, start + kDrainLimitMilliseconds)) break;
    if (!playing) break;
  }
  TheClock->Sleep(kSettleMilliseconds);

  DropDevice();
}

void PlayWave(std::span<const std::uint8_t> image) {
  if (!SoundEnabled()) return;
  for (int slot = 0; slot < kVoiceCount; ++slot) {
    if (!VoicePlaying(slot)) {
      LoadDirectSound(slot, image);
      StartVoice(slot);
      return;
    }
  }
}

void StopAllSounds() {
  if (!SoundEnabled()) return;
  for (auto& voice : VoiceTable) {
    if (voice) voice->Stop();
  }
}

bool AnySoundPlaying() {
  if (!SoundEnabled()) return false;
  for (int slot = 0; slot < kVoiceCount; ++slot) {
    if (VoicePlaying(slot)) return true;
  }
  return false;
}

} // namespace fablewick

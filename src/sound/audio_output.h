#pragma once

#include <cstdint>
#include <memory>
#include <span>

namespace fablewick {

// A device result: 0 for success, otherwise the device's own failure code
// (an HRESULT on Windows, so failures are negative).
using AudioResult = std::int32_t;

// The failures the engine tells apart, with DirectSound's codes. A lost
// buffer asks to be restored; a refused request leaves the device working.
inline constexpr AudioResult kResultBufferLost = static_cast<AudioResult>(0x88780096u);
inline constexpr AudioResult kResultBadFormat = static_cast<AudioResult>(0x88780064u);
inline constexpr AudioResult kResultInvalidParam = static_cast<AudioResult>(0x80070057u);
inline constexpr AudioResult kResultUnsupported = static_cast<AudioResult>(0x80004001u);
inline constexpr AudioResult kResultOutOfMemory = static_cast<AudioResult>(0x8007000Eu);
inline constexpr AudioResult kResultControlUnavailable = static_cast<AudioResult>(0x8878001Eu);

// The 18-byte WAVEFORMATEX layout, field by field, exactly as read from an
// image. The engine checks the tag alone; the rest is the device's to accept.
struct WaveFormatBlock {
  std::uint16_t formatTag = 0;
  std::uint16_t channels = 0;
  std::uint32_t samplesPerSec = 0;
  std::uint32_t avgBytesPerSec = 0;
  std::uint16_t blockAlign = 0;
  std::uint16_t bitsPerSample = 0;
  std::uint16_t extraSize = 0;

  friend bool operator==(const WaveFormatBlock&, const WaveFormatBlock&) = default;
};

inline constexpr std::uint16_t kWaveFormatPcm = 1;

// Buffer capability bits, with the values DirectSound gives them.
inline constexpr std::uint32_t kBufferCtrlFrequency = 0x20;
inline constexpr std::uint32_t kBufferCtrlPan = 0x40;
inline constexpr std::uint32_t kBufferCtrlVolume = 0x80;
inline constexpr std::uint32_t kBufferStickyFocus = 0x4000;
inline constexpr std::uint32_t kBufferGlobalFocus = 0x8000;

struct VoiceRequest {
  std::uint32_t flags = 0;
  std::uint32_t bufferBytes = 0;
  WaveFormatBlock format;
};

// What a lock hands out: one or two writable regions (the second exists only
// when the buffer wraps), to be given back unchanged to Unlock.
struct LockedRegions {
  std::span<std::uint8_t> first;
  std::span<std::uint8_t> second;
};

// One secondary buffer holding one image's samples. Destroying it releases
// the buffer, also while it plays.
class Voice {
public:
  virtual ~Voice() = default;
  virtual LockedRegions Lock(std::uint32_t bytes) = 0;
  virtual void Unlock(const LockedRegions& regions) = 0;
  virtual void Rewind() = 0;
  // Takes the memory of a lost buffer back; its samples must be written anew.
  virtual AudioResult Restore() = 0;
  // Plays once, no looping.
  virtual AudioResult Play() = 0;
  virtual void Stop() = 0;
  // The playing bit of the buffer's status; a failed query counts as silent.
  virtual bool Playing() = 0;
};

// The device's primary buffer. Destroying it drops the engine's reference.
class PrimarySoundBuffer {
public:
  virtual ~PrimarySoundBuffer() = default;
  virtual void Play() = 0;
};

// An open output device. Destroying it releases the device.
class OutputDevice {
public:
  virtual ~OutputDevice() = default;
  virtual AudioResult SetPriorityLevel(std::uintptr_t window) = 0;
  // The primary buffer, with no format of its own.
  virtual AudioResult CreatePrimaryBuffer(std::unique_ptr<PrimarySoundBuffer>& buffer) = 0;
  virtual AudioResult CreateVoice(const VoiceRequest& request, std::unique_ptr<Voice>& voice) = 0;
};

// The audio system: opens whatever output device is the default at the
// moment of the call.
class AudioOutput {
public:
  virtual ~AudioOutput() = default;
  virtual AudioResult OpenDevice(std::unique_ptr<OutputDevice>& device) = 0;
};

} // namespace fablewick

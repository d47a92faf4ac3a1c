// libFuzzer target: arbitrary bytes as a sound image, walked directly and
// played through the engine into buffers of exactly the size it asks for, so
// the sanitizers see any read past the image or write past a voice.
#include "sound/sound_engine.h"
#include "sound/wave_walk.h"

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <span>
#include <vector>

namespace {

using namespace fablewick;

class TightVoice : public Voice {
public:
  explicit TightVoice(std::uint32_t bytes) : buffer_(bytes) {}
  LockedRegions Lock(std::uint32_t bytes) override {
    if (bytes != buffer_.size()) std::abort();
    // Two regions, as a wrapped lock would give them.
    const std::size_t split = buffer_.size() / 3;
    return {std::span(buffer_).first(split), std::span(buffer_).subspan(split)};
  }
  void Unlock(const LockedRegions&) override {}
  void Rewind() override {}
  AudioResult Play() override { return 0; }
  AudioResult Restore() override { return 0; }
  void Stop() override {}
  // Always finished, so every request rebuilds slot 0.
  bool Playing() override { return false; }

private:
  std::vector<std::uint8_t> buffer_;
};

class TightPrimary : public PrimarySoundBuffer {
public:
  void Play() override {}
};

class TightDevice : public OutputDevice {
public:
  AudioResult SetPriorityLevel(std::uintptr_t) override { return 0; }
  AudioResult CreatePrimaryBuffer(std::unique_ptr<PrimarySoundBuffer>& buffer) override {
    buffer = std::make_unique<TightPrimary>();
    return 0;
  }
  AudioResult CreateVoice(const VoiceRequest& request, std::unique_ptr<Voice>& voice) override {
    voice = std::make_unique<TightVoice>(request.bufferBytes);
    return 0;
  }
};

class TightOutput : public AudioOutput {
public:
  AudioResult OpenDevice(std::unique_ptr<OutputDevice>& device) override {
    device = std::make_unique<TightDevice>();
    return 0;
  }
};

class StillClock : public Clock {
public:
  std::uint32_t Ticks() override { return 0; }
  void Sleep(std::uint32_t) override {}
};

class QuietMessages : public Messages {
public:
  void ShowMessage(const std::string&, MessageType) override {}
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static TightOutput output;
  static StillClock clock;
  static QuietMessages messages;
  static const bool started = (InitSound(output, clock, messages, 0), true);
  (void)started;

  const std::span<const std::uint8_t> image(data, size);
  const WaveWalk walk = WalkWave(image);
  if (!walk.samples.empty()) {
    if (walk.samples.data() < data || walk.samples.data() + walk.samples.size() > data + size)
      std::abort();
    if (walk.samples.size() > walk.declaredDataBytes) std::abort();
  }
  if (walk.status != WaveWalkStatus::Ok && !walk.samples.empty()) std::abort();

  PlayWave(image);
  return 0;
}

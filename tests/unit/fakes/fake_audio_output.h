#pragma once

#include "fakes/fake_clock.h"
#include "sound/audio_output.h"
#include "sound/sound_timer.h"

#include <algorithm>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace fablewick::fakes {

// What a test can read back about one voice, also after its release.
struct FakeVoiceRecord {
  int id = 0;
  VoiceRequest request;
  // The buffer's bytes, marked with 0xAA so bytes never written show.
  std::vector<std::uint8_t> contents;
  bool playing = false;
  bool released = false;
  bool playingWhenReleased = false;
  std::uint32_t startedAt = 0;
  std::optional<std::uint32_t> lockedBytes;
  bool unlockedAsLocked = false;

  // How long the samples last at the format's block rate, in whole ms.
  std::uint32_t LengthMs() const {
    const std::uint64_t bytesPerSecond =
        std::uint64_t{request.format.blockAlign} * request.format.samplesPerSec;
    if (bytesPerSecond == 0) return 0;
    return static_cast<std::uint32_t>(
        (std::uint64_t{request.bufferBytes} * 1000 + bytesPerSecond - 1) / bytesPerSecond);
  }
};

// An audio system that plays in fake time: a voice plays from its Play until
// the clock has moved past its length. Each step is scripted to succeed or
// fail with a code, and every call lands in one event log, in order.
class FakeAudioOutput : public AudioOutput {
public:
  explicit FakeAudioOutput(FakeClock& clock) : clock_(clock) {
    clock_.onSleep = [this](std::uint32_t now) {
      events.push_back("sleep " + std::to_string(clock_.sleeps.back()));
      EndFinishedVoices(now);
    };
  }

  AudioResult openResult = 0;
  AudioResult priorityResult = 0;
  AudioResult primaryResult = 0;
  AudioResult playResult = 0;
  // Taken one by one by the next plays, before playResult.
  std::deque<AudioResult> nextPlayResults;
  int opens = 0;
  // Decides each voice creation; succeeds when unset.
  std::function<AudioResult(const VoiceRequest&)> voiceResult;
  // When set, Lock hands out two regions with the first this long.
  std::optional<std::uint32_t> lockSplit;

  std::vector<std::string> events;
  std::optional<std::uintptr_t> priorityWindow;
  std::vector<std::shared_ptr<FakeVoiceRecord>> voices;

  bool DeviceOpen() const { return deviceOpen_; }
  FakeVoiceRecord& VoiceAt(std::size_t id) { return *voices.at(id); }
  int PlayingCount() const {
    int n = 0;
    for (const auto& v : voices) n += v->playing ? 1 : 0;
    return n;
  }

  void EndFinishedVoices(std::uint32_t now) {
    for (auto& v : voices) {
      if (v->playing && now - v->startedAt >= v->LengthMs()) v->playing = false;
    }
  }

  AudioResult OpenDevice(std::unique_ptr<OutputDevice>& device) override {
    events.push_back("open");
    ++opens;
    if (openResult != 0) return openResult;
    device = std::make_unique<Device>(*this);
    deviceOpen_ = true;
    return 0;
  }

private:
  class Primary : public PrimarySoundBuffer {
  public:
    explicit Primary(FakeAudioOutput& owner) : owner_(owner) {}
    ~Primary() override { owner_.events.push_back("primary release"); }
    void Play() override { owner_.events.push_back("primary play"); }

  private:
    FakeAudioOutput& owner_;
  };

  class FakeVoice : public Voice {
  public:
    FakeVoice(FakeAudioOutput& owner, std::shared_ptr<FakeVoiceRecord> record)
        : owner_(owner), record_(std::move(record)) {}
    ~FakeVoice() override {
      record_->released = true;
      record_->playingWhenReleased = record_->playing;
      record_->playing = false;
      Log("release");
    }
    LockedRegions Lock(std::uint32_t bytes) override {
      Log("lock");
      record_->lockedBytes = bytes;
      auto& c = record_->contents;
      const std::size_t size = std::min<std::size_t>(bytes, c.size());
      std::size_t split = size;
      if (owner_.lockSplit) split = std::min<std::size_t>(*owner_.lockSplit, size);
      locked_ = {std::span<std::uint8_t>(c.data(), split),
                 std::span<std::uint8_t>(c.data() + split, size - split)};
      if (locked_.second.empty()) locked_.second = {};
      return locked_;
    }
    void Unlock(const LockedRegions& regions) override {
      Log("unlock");
      record_->unlockedAsLocked = regions.first.data() == locked_.first.data() &&
                                  regions.first.size() == locked_.first.size() &&
                                  regions.second.data() == locked_.second.data() &&
                                  regions.second.size() == locked_.second.size();
    }
    void Rewind() override { Log("rewind"); }
    // A lost buffer's memory is gone: what was written before shows as marks.
    AudioResult Restore() override {
      std::fill(record_->contents.begin(), record_->contents.end(), 0xAA);
      lost_ = false;
      return 0;
    }
    AudioResult Play() override {
      Log("play");
      AudioResult result = owner_.playResult;
      if (!owner_.nextPlayResults.empty()) {
        result = owner_.nextPlayResults.front();
        owner_.nextPlayResults.pop_front();
      }
      lost_ = lost_ || result == kResultBufferLost;
      if (lost_) return kResultBufferLost;
      if (result != 0) return result;
      record_->playing = true;
      record_->startedAt = owner_.clock_.Ticks();
      return 0;
    }
    void Stop() override {
      Log("stop");
      record_->playing = false;
    }
    bool Playing() override { return record_->playing; }

  private:
    void Log(const std::string& what) {
      owner_.events.push_back("voice " + std::to_string(record_->id) + " " + what);
    }
    FakeAudioOutput& owner_;
    std::shared_ptr<FakeVoiceRecord> record_;
    LockedRegions locked_;
    bool lost_ = false;  // until restored
  };

  class Device : public OutputDevice {
  public:
    explicit Device(FakeAudioOutput& owner) : owner_(owner) {}
    ~Device() override {
      owner_.events.push_back("device release");
      owner_.deviceOpen_ = false;
    }
    AudioResult SetPriorityLevel(std::uintptr_t window) override {
      owner_.events.push_back("priority");
      owner_.priorityWindow = window;
      return owner_.priorityResult;
    }
    AudioResult CreatePrimaryBuffer(std::unique_ptr<PrimarySoundBuffer>& buffer) override {
      owner_.events.push_back("primary");
      if (owner_.primaryResult != 0) return owner_.primaryResult;
      buffer = std::make_unique<Primary>(owner_);
      return 0;
    }
    AudioResult CreateVoice(const VoiceRequest& request, std::unique_ptr<Voice>& voice) override {
      const AudioResult result = owner_.voiceResult ? owner_.voiceResult(request) : 0;
      if (result != 0) {
        owner_.events.push_back("voice refused");
        return result;
      }
      auto record = std::make_shared<FakeVoiceRecord>();
      record->id = static_cast<int>(owner_.voices.size());
      record->request = request;
      record->contents.assign(request.bufferBytes, 0xAA);
      owner_.voices.push_back(record);
      voice = std::make_unique<FakeVoice>(owner_, record);
      owner_.events.push_back("voice " + std::to_string(record->id) + " create");
      return 0;
    }

  private:
    FakeAudioOutput& owner_;
  };

  FakeClock& clock_;
  bool deviceOpen_ = false;
};

class FakeSoundTimer : public SoundTimer {
public:
  void Start(std::uint32_t periodMs) override { period = periodMs; }
  void Stop() override { period = 0; }
  // 0 while stopped.
  std::uint32_t period = 0;
};

} // namespace fablewick::fakes

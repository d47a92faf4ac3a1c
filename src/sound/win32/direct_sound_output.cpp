#include "sound/win32/direct_sound_output.h"

#include "app/win32/com_library.h"
#include "app/win32/early_work.h"
#include "app/win32/lazy_library.h"
#include "app/win32/scoped_win.h"

#include <windows.h>
#include <mmsystem.h>
#include <dsound.h>

namespace fablewick::win32 {

namespace {

// Wine, like DirectSound itself, accepts only the sizes of the two published
// layouts, and the short one is what DirectX 3 and later all take. Its
// pointer member makes it 24 bytes in a 64-bit build, not 20.
HRESULT CreateBuffer(IDirectSound& device, DWORD flags, DWORD bytes, WAVEFORMATEX* format,
                     ComPtr<IDirectSoundBuffer>& buffer) {
  DSBUFFERDESC1 desc{};
  desc.dwSize = sizeof(DSBUFFERDESC1);
  desc.dwFlags = flags;
  desc.dwBufferBytes = bytes;
  desc.dwReserved = 0;
  desc.lpwfxFormat = format;
  return device.CreateSoundBuffer(reinterpret_cast<const DSBUFFERDESC*>(&desc), buffer.Receive(),
                                  nullptr);
}

// DirectSound is not one of the libraries Windows always takes from the
// system folder, so imported with the program it would be looked for first
// beside the program, before the entry point could narrow the search.
HRESULT CreateDirectSound(ComPtr<IDirectSound>& device) {
  static LazyLibrary library("dsound.dll");
  auto create = library.Entry<decltype(&DirectSoundCreate)>("DirectSoundCreate");
  if (!create) return DSERR_NODRIVER;
  return create(nullptr, device.Receive(), nullptr);
}

std::span<std::uint8_t> Region(void* data, DWORD size) {
  if (!data) return {};
  return {static_cast<std::uint8_t*>(data), size};
}

class DirectSoundVoice : public Voice {
public:
  explicit DirectSoundVoice(ComPtr<IDirectSoundBuffer> buffer) : buffer_(std::move(buffer)) {}

  LockedRegions Lock(std::uint32_t bytes) override {
    void* first = nullptr;
    DWORD firstSize = 0;
    void* second = nullptr;
    DWORD secondSize = 0;
    // A refused lock leaves both regions empty, so nothing is written.
    if (FAILED(buffer_->Lock(0, bytes, &first, &firstSize, &second, &secondSize, 0))) return {};
    return {Region(first, firstSize), Region(second, secondSize)};
  }

  void Unlock(const LockedRegions& regions) override {
    buffer_->Unlock(regions.first.data(), static_cast<DWORD>(regions.first.size()),
                    regions.second.data(), static_cast<DWORD>(regions.second.size()));
  }

  void Rewind() override { buffer_->SetCurrentPosition(0); }
  AudioResult Restore() override { return buffer_->Restore(); }
  AudioResult Play() override { return buffer_->Play(0, 0, 0); }
  void Stop() override { buffer_->Stop(); }

  bool Playing() override {
    DWORD status = 0;
    if (FAILED(buffer_->GetStatus(&status))) return false;
    return (status & DSBSTATUS_PLAYING) != 0;
  }

private:
  ComPtr<IDirectSoundBuffer> buffer_;
};

class DirectSoundPrimary : public PrimarySoundBuffer {
public:
  explicit DirectSoundPrimary(ComPtr<IDirectSoundBuffer> buffer) : buffer_(std::move(buffer)) {}
  // Asked once, with no flags, and the answer is never looked at: the
  // voices play whether or not the device takes this request.
  void Play() override { buffer_->Play(0, 0, 0); }

private:
  ComPtr<IDirectSoundBuffer> buffer_;
};

class DirectSoundDevice : public OutputDevice {
public:
  explicit DirectSoundDevice(ComPtr<IDirectSound> device) : device_(std::move(device)) {}

  AudioResult SetPriorityLevel(std::uintptr_t window) override {
    return device_->SetCooperativeLevel(reinterpret_cast<HWND>(window), DSSCL_PRIORITY);
  }

  AudioResult CreatePrimaryBuffer(std::unique_ptr<PrimarySoundBuffer>& buffer) override {
    ComPtr<IDirectSoundBuffer> primary;
    const HRESULT result = CreateBuffer(*device_.Get(), DSBCAPS_PRIMARYBUFFER, 0, nullptr, primary);
    if (result != DS_OK) return result;
    buffer = std::make_unique<DirectSoundPrimary>(std::move(primary));
    return DS_OK;
  }

  AudioResult CreateVoice(const VoiceRequest& request, std::unique_ptr<Voice>& voice) override {
    WAVEFORMATEX format{};
    format.wFormatTag = request.format.formatTag;
    format.nChannels = request.format.channels;
    format.nSamplesPerSec = request.format.samplesPerSec;
    format.nAvgBytesPerSec = request.format.avgBytesPerSec;
    format.nBlockAlign = request.format.blockAlign;
    format.wBitsPerSample = request.format.bitsPerSample;
    format.cbSize = request.format.extraSize;
    ComPtr<IDirectSoundBuffer> buffer;
    const HRESULT result =
        CreateBuffer(*device_.Get(), request.flags, request.bufferBytes, &format, buffer);
    if (result != DS_OK) return result;
    voice = std::make_unique<DirectSoundVoice>(std::move(buffer));
    return DS_OK;
  }

private:
  ComPtr<IDirectSound> device_;
};

} // namespace

struct DirectSoundOutput::Early {
  Early()
      : work([this] {
          // Opening the device enters COM on this thread, and a single-threaded
          // apartment makes and destroys a hidden window of its own each time.
          // Under Wine a window destroyed on one thread while another makes a
          // window or a menu can take the new one's handle with it, which broke
          // the launcher's menu now and then at start. A multithreaded
          // apartment makes no window, so this thread enters one first, and
          // leaves it in place for the life of the device made in it.
          com::InitializeMultithreaded();
          result = CreateDirectSound(device);
        }) {}
  ComPtr<IDirectSound> device;
  HRESULT result = DS_OK;
  EarlyWork work; // last, so it starts once what it writes exists
};

DirectSoundOutput::DirectSoundOutput() = default;
// An opened device no one took is let go once the work is over.
DirectSoundOutput::~DirectSoundOutput() = default;

void DirectSoundOutput::OpenEarly() {
  if (!early_) early_ = std::make_unique<Early>();
}

AudioResult DirectSoundOutput::OpenDevice(std::unique_ptr<OutputDevice>& device) {
  ComPtr<IDirectSound> directSound;
  HRESULT result;
  if (early_) {
    early_->work.Wait();
    directSound = std::move(early_->device);
    result = early_->result;
    early_.reset();
  } else {
    result = CreateDirectSound(directSound);
  }
  if (result != DS_OK) return result;
  device = std::make_unique<DirectSoundDevice>(std::move(directSound));
  return DS_OK;
}

} // namespace fablewick::win32

// What one PlayWave costs the calling thread on the real DirectSound, next to
// the bare DirectSound calls any player must make for the same bytes:
// create a buffer, lock, copy, unlock, play (and release the one before).
//
//   sound_bench [RUNS]   (under Wine: scripts/wine-run build/windows/bench/sound_bench.exe)
#include "app/messages.h"
#include "resources/resource.h"
#include "sound/sound_engine.h"
#include "sound/win32/sound_window.h"
#include "sound/win32/wave_resource.h"

#include <windows.h>
#include <mmsystem.h>
#include <dsound.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

using namespace fablewick;

class PrintedMessages : public Messages {
public:
  void ShowMessage(const std::string& text, MessageType) override {
    std::printf("message: %s\n", text.c_str());
  }
};

double Microseconds(LARGE_INTEGER from, LARGE_INTEGER to) {
  static const double frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return double(f.QuadPart);
  }();
  return double(to.QuadPart - from.QuadPart) * 1e6 / frequency;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

// The samples and format of a package sound, found the simple way: these
// images are well formed, with a 16-byte "fmt " chunk at offset 12.
struct Sound {
  WAVEFORMATEX format{};
  const std::uint8_t* samples = nullptr;
  DWORD bytes = 0;
};

Sound Parse(std::span<const std::uint8_t> image) {
  Sound sound;
  std::memcpy(&sound.format, image.data() + 20, 16);
  std::memcpy(&sound.bytes, image.data() + 40, 4);
  sound.samples = image.data() + 44;
  return sound;
}

class BareDirectSound {
public:
  explicit BareDirectSound(HWND window) {
    if (FAILED(DirectSoundCreate(nullptr, &device_, nullptr))) std::exit(2);
    device_->SetCooperativeLevel(window, DSSCL_PRIORITY);
  }
  ~BareDirectSound() {
    if (last_) last_->Release();
    device_->Release();
  }

  void Play(const Sound& sound) {
    if (last_) {
      last_->Release();
      last_ = nullptr;
    }
    WAVEFORMATEX format = sound.format;
    DSBUFFERDESC1 desc{};
    desc.dwSize = sizeof desc;
    desc.dwFlags = 0xC0E0;
    desc.dwBufferBytes = sound.bytes;
    desc.lpwfxFormat = &format;
    if (FAILED(device_->CreateSoundBuffer(reinterpret_cast<const DSBUFFERDESC*>(&desc), &last_,
                                          nullptr)))
      std::exit(3);
    void* p1 = nullptr;
    void* p2 = nullptr;
    DWORD n1 = 0, n2 = 0;
    last_->Lock(0, sound.bytes, &p1, &n1, &p2, &n2, 0);
    if (p1) std::memcpy(p1, sound.samples, n1);
    if (p2) std::memcpy(p2, sound.samples + n1, n2);
    last_->Unlock(p1, n1, p2, n2);
    last_->Play(0, 0, 0);
  }
  void Stop() {
    if (last_) last_->Stop();
  }

private:
  IDirectSound* device_ = nullptr;
  IDirectSoundBuffer* last_ = nullptr;
};

void Measure(HWND window, const char* name, int id, int runs) {
  const auto image = win32::FindWaveResource(GetModuleHandleA(nullptr), id);
  const Sound sound = Parse(image);

  std::vector<double> engine, bare;
  LARGE_INTEGER a, b;
  {
    BareDirectSound direct(window);
    for (int i = 0; i < runs; ++i) {
      QueryPerformanceCounter(&a);
      direct.Play(sound);
      QueryPerformanceCounter(&b);
      direct.Stop();
      bare.push_back(Microseconds(a, b));
    }
  }
  for (int i = 0; i < runs; ++i) {
    QueryPerformanceCounter(&a);
    PlayWave(image);
    QueryPerformanceCounter(&b);
    if (!AnySoundPlaying()) {
      std::printf("%s: PlayWave did not start a voice\n", name);
      std::exit(4);
    }
    StopAllSounds();  // so every run builds slot 0 again
    engine.push_back(Microseconds(a, b));
  }

  const double e = Median(engine), d = Median(bare);
  std::printf("%-14s %7lu bytes  PlayWave %9.1f us  bare DirectSound %9.1f us  ratio %.2f %s\n",
              name, sound.bytes, e, d, e / d, e / d <= 2.0 ? "(within 2x)" : "(OVER 2x)");
}

} // namespace

int main(int argc, char** argv) {
  const int runs = argc > 1 ? std::max(3, std::atoi(argv[1])) : 101;
  HWND window = CreateWindowExA(0, "STATIC", "sound bench", WS_OVERLAPPED, 0, 0, 100, 100,
                                nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
  PrintedMessages messages;
  win32::InitSoundForWindow(window, messages);
  if (!SoundEnabled()) return 1;

  std::printf("median of %d runs each\n", runs);
  Measure(window, "click", IDW_CLICK, runs);
  Measure(window, "opening tune", IDW_OPENING_MUSIC, runs);

  ShutdownSound();
  DestroyWindow(window);
  return 0;
}

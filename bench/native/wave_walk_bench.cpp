// The WAVE walk over the package's own sounds, and over an image whose
// "fmt " chunk hides behind thousands of empty chunks, the walk's worst case
// per byte.
#include "sound/wave_walk.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

std::vector<std::uint8_t> ReadSound(const std::string& name) {
  std::ifstream in(std::string(FABLEWICK_SOUNDS_DIR) + "/" + name, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void Put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

void Put(std::vector<std::uint8_t>& out, const char* id) { out.insert(out.end(), id, id + 4); }

std::vector<std::uint8_t> ManyChunksFirst(int chunks) {
  std::vector<std::uint8_t> image;
  Put(image, "RIFF");
  Put32(image, 0);
  Put(image, "WAVE");
  for (int i = 0; i < chunks; ++i) {
    Put(image, "JUNK");
    Put32(image, 0);
  }
  Put(image, "fmt ");
  Put32(image, 16);
  for (std::uint32_t v : {0x00010001u, 22050u, 22050u, 0x00080001u}) Put32(image, v);
  Put(image, "data");
  Put32(image, 4);
  Put32(image, 0x80808080u);
  const auto riffSize = static_cast<std::uint32_t>(image.size() - 8);
  for (int i = 0; i < 4; ++i) image[4 + i] = static_cast<std::uint8_t>(riffSize >> (8 * i));
  return image;
}

void Walk(benchmark::State& state, const std::vector<std::uint8_t>& image) {
  if (image.empty()) {
    state.SkipWithError("sound file not found");
    return;
  }
  for (auto _ : state) {
    auto walk = fablewick::WalkWave(image);
    benchmark::DoNotOptimize(walk);
  }
}

void RegisterAll() {
  static const char* const kSounds[] = {"click.wav", "tick.wav",    "quit.wav",  "opening.wav",
                                        "shuffle.wav", "deal.wav", "chips.wav", "tock.wav"};
  // Kept whole for the run; the benchmarks refer to their elements.
  static std::vector<std::vector<std::uint8_t>> images;
  images.reserve(std::size(kSounds));
  for (const char* name : kSounds) {
    images.push_back(ReadSound(name));
    const auto* image = &images.back();
    benchmark::RegisterBenchmark((std::string("WalkWave/") + name).c_str(),
                                 [image](benchmark::State& s) { Walk(s, *image); });
  }
  static const auto many = ManyChunksFirst(10000);
  benchmark::RegisterBenchmark("WalkWave/10000 empty chunks before fmt",
                               [](benchmark::State& s) { Walk(s, many); });
}

} // namespace

int main(int argc, char** argv) {
  RegisterAll();
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}

#include "sound/wave_walk.h"

#include "fakes/wave_image.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace fablewick {
namespace {

using fakes::PcmImage;
using fakes::Samples;
using fakes::WaveImageBuilder;
using Bytes = std::vector<std::uint8_t>;

// What a walk found, with the samples copied out of the image.
struct Walked {
  WaveWalkStatus status;
  WaveFormatBlock format;
  std::uint32_t declaredDataBytes;
  Bytes samples;
};

// Each image is walked from a heap block of exactly its size, so that a
// read past the end is caught by the address sanitizer.
Walked Walk(const Bytes& image) {
  auto exact = std::make_unique<std::uint8_t[]>(image.size());
  std::copy(image.begin(), image.end(), exact.get());
  const WaveWalk walk = WalkWave({exact.get(), image.size()});
  return {walk.status, walk.format, walk.declaredDataBytes,
          Bytes(walk.samples.begin(), walk.samples.end())};
}

Bytes Cut(Bytes image, std::size_t size) {
  image.resize(size);
  return image;
}

TEST(WaveWalkOfSoundImages, ReadsTheFormatAndFindsTheSamples) {
  const Bytes samples = Samples(3104);
  const Bytes image = WaveImageBuilder().Format(1, 22050, 8).Data(samples).Build();
  const Walked walk = Walk(image);

  ASSERT_EQ(walk.status, WaveWalkStatus::Ok);
  EXPECT_EQ(walk.format.formatTag, 1);
  EXPECT_EQ(walk.format.channels, 1);
  EXPECT_EQ(walk.format.samplesPerSec, 22050u);
  EXPECT_EQ(walk.format.avgBytesPerSec, 22050u);
  EXPECT_EQ(walk.format.blockAlign, 1);
  EXPECT_EQ(walk.format.bitsPerSample, 8);
  EXPECT_EQ(walk.declaredDataBytes, 3104u);
  EXPECT_EQ(walk.samples, samples);
}

TEST(WaveWalkOfSoundImages, TakesTheExtraSizeFromTheNextChunkIdentifierAfterA16ByteFormat) {
  const Walked walk = Walk(PcmImage(2, 44100, 8, 64));
  ASSERT_EQ(walk.status, WaveWalkStatus::Ok);
  EXPECT_EQ(walk.format.extraSize, 'd' | 'a' << 8);
}

TEST(WaveWalkOfSoundImages, PassesOverChunksBeforeAndBetweenFormatAndData) {
  const Bytes samples = Samples(301, 9);
  const Bytes image = WaveImageBuilder()
                          .Chunk("LIST", Samples(13))  // odd, padded
                          .Chunk("data", Samples(6))   // a decoy before "fmt " is not looked at
                          .Format(1, 22050, 16)
                          .Chunk("fact", Samples(4))
                          .Chunk("JUNK", Samples(7))
                          .Data(samples)
                          .Build();
  const Walked walk = Walk(image);
  ASSERT_EQ(walk.status, WaveWalkStatus::Ok);
  EXPECT_EQ(walk.format.bitsPerSample, 16);
  EXPECT_EQ(walk.samples, samples);
}

TEST(WaveWalkOfSoundImages, StepsPastThePadByteOfAnOddFormatChunk) {
  Bytes format = WaveImageBuilder::FormatBytes(1, 22050, 8);
  format.push_back(0x55);  // 17 bytes: a pad byte follows
  const Bytes samples = Samples(40);
  const Walked walk = Walk(WaveImageBuilder().Chunk("fmt ", format).Data(samples).Build());
  ASSERT_EQ(walk.status, WaveWalkStatus::Ok);
  EXPECT_EQ(walk.format.extraSize, 0x55);  // 17th byte, then the pad byte
  EXPECT_EQ(walk.samples, samples);
}

TEST(WaveWalkOfSoundImages, NeverReadsPastOddDataThatATrailingChunkFollowsWithoutPad) {
  const Bytes samples = Samples(8531);
  const Bytes image = WaveImageBuilder()
                          .Format(1, 22050, 8)
                          .Data(samples, /*pad=*/false)
                          .Chunk("smpl", Samples(36))
                          .Build();
  const Walked whole = Walk(image);
  ASSERT_EQ(whole.status, WaveWalkStatus::Ok);
  EXPECT_EQ(whole.samples, samples);

  // The same header, but the image really ends with the samples: nothing
  // after them is needed.
  const std::size_t dataEnd = image.size() - 8 - 36;
  const Walked cut = Walk(Cut(image, dataEnd));
  ASSERT_EQ(cut.status, WaveWalkStatus::Ok);
  EXPECT_EQ(cut.samples, samples);
}

TEST(WaveWalkOfSoundImages, ReadsEighteenBytesOfAShortFormatChunkIntoWhatFollows) {
  Bytes format = WaveImageBuilder::FormatBytes(1, 22050, 8);
  format.resize(14);  // no bits-per-sample field
  const Walked walk =
      Walk(WaveImageBuilder().Chunk("fmt ", format).Data(Samples(20)).Build());
  ASSERT_EQ(walk.status, WaveWalkStatus::Ok);
  EXPECT_EQ(walk.format.bitsPerSample, 'd' | 'a' << 8);
  EXPECT_EQ(walk.format.extraSize, 't' | 'a' << 8);
  EXPECT_EQ(walk.samples.size(), 20u);
}

TEST(WaveWalkFormatTag, RefusesEveryTagButPcmBeforeLookingForData) {
  for (std::uint16_t tag : {0, 2, 3, 0xFFFE}) {
    const Walked withData =
        Walk(WaveImageBuilder().Format(1, 22050, 8, tag).Data(Samples(10)).Build());
    EXPECT_EQ(withData.status, WaveWalkStatus::NotPcm) << tag;
    EXPECT_EQ(withData.format.formatTag, tag);

    const Walked withoutData = Walk(WaveImageBuilder().Format(1, 22050, 8, tag).Build());
    EXPECT_EQ(withoutData.status, WaveWalkStatus::NotPcm) << tag;
  }
}

struct MalformedCase {
  const char* name;
  Bytes image;
  WaveWalkStatus status;
};

std::vector<MalformedCase> MalformedImages() {
  const Bytes good = PcmImage(1, 22050, 8, 100);
  Bytes notRiff = good;
  notRiff[3] = 'X';
  return {
      {"empty", {}, WaveWalkStatus::Unopenable},
      {"shorter than the length field", Cut(good, 7), WaveWalkStatus::Unopenable},
      {"header only", Cut(good, 12), WaveWalkStatus::Unopenable},
      {"ends inside the format chunk header", Cut(good, 17), WaveWalkStatus::Unopenable},
      {"not RIFF", notRiff, WaveWalkStatus::Unopenable},
      {"another form type", WaveImageBuilder().FormType("AVI ").Format(1, 22050, 8).Data(Samples(4)).Build(),
       WaveWalkStatus::Unopenable},
      {"no format chunk", WaveImageBuilder().Data(Samples(10)).Build(), WaveWalkStatus::Unopenable},
      {"no data chunk", WaveImageBuilder().Format(1, 22050, 8).Chunk("smpl", Samples(8)).Build(),
       WaveWalkStatus::Unopenable},
      {"header length shorter than the format chunk",
       WaveImageBuilder().Format(1, 22050, 8).Data(Samples(10)).RiffSize(20).Build(),
       WaveWalkStatus::Unopenable},
      {"header length ends before the data chunk",
       WaveImageBuilder().Format(1, 22050, 8).Data(Samples(10)).RiffSize(4 + 24).Build(),
       WaveWalkStatus::Unopenable},
      {"chunk before the format claiming nearly 4 GiB",
       WaveImageBuilder().Chunk("JUNK", Samples(4), true, 0xFFFFFFFF).Format(1, 22050, 8).Data(Samples(4)).Build(),
       WaveWalkStatus::Unopenable},
      {"chunk between format and data claiming nearly 4 GiB",
       WaveImageBuilder().Format(1, 22050, 8).Chunk("JUNK", Samples(4), true, 0xFFFFFFFE).Data(Samples(4)).Build(),
       WaveWalkStatus::Unopenable},
      {"format chunk claiming nearly 4 GiB",
       WaveImageBuilder().Chunk("fmt ", WaveImageBuilder::FormatBytes(1, 22050, 8), true, 0xFFFFFFFF).Data(Samples(4)).Build(),
       WaveWalkStatus::Unopenable},
      {"format data cut after the tag", Cut(WaveImageBuilder().Format(1, 22050, 8).Build(), 22),
       WaveWalkStatus::Unopenable},
      {"empty format chunk at the end", WaveImageBuilder().Chunk("fmt ", {}).Build(),
       WaveWalkStatus::NotPcm},
  };
}

TEST(WaveWalkOfMalformedImages, ReportsEachWithoutReadingBeyondTheImage) {
  for (const auto& c : MalformedImages()) {
    const Walked walk = Walk(c.image);
    EXPECT_EQ(walk.status, c.status) << c.name;
    EXPECT_TRUE(walk.samples.empty()) << c.name;
  }
}

TEST(WaveWalkOfMalformedImages, LeavesFormatBytesTheImageDoesNotHaveAtZero) {
  const Walked walk = Walk(Cut(WaveImageBuilder().Format(2, 44100, 16).Build(), 24));
  EXPECT_EQ(walk.format.formatTag, 1);
  EXPECT_EQ(walk.format.channels, 2);
  EXPECT_EQ(walk.format.samplesPerSec, 0u);
  EXPECT_EQ(walk.format.extraSize, 0);
}

TEST(WaveWalkOfMalformedImages, TakesOnlyTheSamplesThatLieInsideTheImage) {
  const Bytes samples = Samples(1000);
  const Bytes full = WaveImageBuilder().Format(1, 22050, 8).Data(samples).Build();

  // The image stops early while its header still claims everything.
  const Walked truncated = Walk(Cut(full, full.size() - 400));
  ASSERT_EQ(truncated.status, WaveWalkStatus::Ok);
  EXPECT_EQ(truncated.declaredDataBytes, 1000u);
  EXPECT_EQ(truncated.samples,
            Bytes(samples.begin(), samples.begin() + 600));

  // The header's length stops early while the real bytes go on.
  const Walked shortHeader =
      Walk(WaveImageBuilder().Format(1, 22050, 8).Data(samples).RiffSize(4 + 24 + 8 + 250).Build());
  ASSERT_EQ(shortHeader.status, WaveWalkStatus::Ok);
  EXPECT_EQ(shortHeader.samples.size(), 250u);

  // A data chunk claiming nearly 4 GiB.
  const Walked huge =
      Walk(WaveImageBuilder().Format(1, 22050, 8).Chunk("data", samples, true, 0xFFFFFFFF).Build());
  ASSERT_EQ(huge.status, WaveWalkStatus::Ok);
  EXPECT_EQ(huge.declaredDataBytes, 0xFFFFFFFFu);
  EXPECT_EQ(huge.samples.size(), 1000u);
}

TEST(WaveWalkOfMalformedImages, DoesNotLetAHeaderLengthNear4GiBWrapAround) {
  const Bytes samples = Samples(50);
  for (std::uint32_t riffSize : {0xFFFFFFF8u, 0xFFFFFFFFu}) {
    const Walked walk =
        Walk(WaveImageBuilder().Format(1, 22050, 8).Data(samples).RiffSize(riffSize).Build());
    ASSERT_EQ(walk.status, WaveWalkStatus::Ok) << riffSize;
    EXPECT_EQ(walk.samples, samples);
  }
}

} // namespace
} // namespace fablewick

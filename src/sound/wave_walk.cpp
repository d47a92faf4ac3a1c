#include "sound/wave_walk.h"

#include <algorithm>
#include <array>
#include <optional>

namespace fablewick {

namespace {

constexpr std::uint32_t FourCc(char a, char b, char c, char d) {
  return static_cast<std::uint32_t>(static_cast<std::uint8_t>(a)) |
         static_cast<std::uint32_t>(static_cast<std::uint8_t>(b)) << 8 |
         static_cast<std::uint32_t>(static_cast<std::uint8_t>(c)) << 16 |
         static_cast<std::uint32_t>(static_cast<std::uint8_t>(d)) << 24;
}

constexpr std::uint32_t kRiff = FourCc('R', 'I', 'F', 'F');
constexpr std::uint32_t kWave = FourCc('W', 'A', 'V', 'E');
constexpr std::uint32_t kFmt = FourCc('f', 'm', 't', ' ');
constexpr std::uint32_t kData = FourCc('d', 'a', 't', 'a');

constexpr std::uint64_t kChunkHeaderBytes = 8;
constexpr std::size_t kFormatBlockBytes = 18;

std::uint16_t Le16(const std::uint8_t* p) {
  return static_cast<std::uint16_t>(p[0] | p[1] << 8);
}

std::uint32_t Le32(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
         static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

struct Chunk {
  std::uint32_t size = 0;
  std::uint64_t dataOffset = 0;

  // Chunk sizes are 32-bit but positions are kept in 64 bits, so a size near
  // 2^32 moves past the end instead of wrapping back into the image.
  std::uint64_t DataEnd() const { return dataOffset + size; }
  // RIFF chunks have a 2-byte alignment: odd data is followed by a pad byte.
  std::uint64_t PaddedEnd() const { return DataEnd() + (size & 1u); }
};

// A read-only memory file over the image, with a position that may lie past
// the end (as a seek may put it) but never reads there.
class MemoryFile {
public:
  explicit MemoryFile(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

  std::uint64_t Size() const { return bytes_.size(); }
  std::uint64_t Position() const { return position_; }
  void Seek(std::uint64_t position) { position_ = position; }

  // Copies what lies between the position and the end, at most count bytes,
  // and moves on by as much.
  std::size_t Read(std::uint8_t* destination, std::size_t count) {
    if (position_ >= Size()) return 0;
    const auto available = static_cast<std::size_t>(Size() - position_);
    const std::size_t delivered = std::min(count, available);
    std::copy_n(bytes_.begin() + static_cast<std::ptrdiff_t>(position_), delivered, destination);
    position_ += delivered;
    return delivered;
  }

  std::span<const std::uint8_t> Bytes(std::uint64_t offset, std::uint64_t count) const {
    if (offset >= Size()) return {};
    count = std::min(count, Size() - offset);
    return bytes_.subspan(static_cast<std::size_t>(offset), static_cast<std::size_t>(count));
  }

private:
  std::span<const std::uint8_t> bytes_;
  std::uint64_t position_ = 0;
};

// Searches from the current position up to end for a chunk with the given
// identifier (and, for a RIFF chunk, form type), passing over every other
// chunk, and leaves the position at the found chunk's data.
std::optional<Chunk> Descend(MemoryFile& file, std::uint64_t end, std::uint32_t id,
                             std::optional<std::uint32_t> formType = std::nullopt) {
  end = std::min(end, file.Size());
  for (;;) {
    const std::uint64_t at = file.Position();
    // The whole header must fit before the parent ends; otherwise there is
    // no further chunk, only trailing bytes.
    if (at > end || end - at < kChunkHeaderBytes) return std::nullopt;
    std::array<std::uint8_t, kChunkHeaderBytes> header{};
    file.Read(header.data(), header.size());
    Chunk chunk{Le32(header.data() + 4), at + kChunkHeaderBytes};
    const std::uint32_t chunkId = Le32(header.data());

    if (chunkId == id && !formType) return chunk;
    if (chunkId == id && formType && end - chunk.dataOffset >= 4) {
      std::array<std::uint8_t, 4> form{};
      file.Read(form.data(), form.size());
      if (Le32(form.data()) == *formType) return chunk;
    }
    file.Seek(chunk.PaddedEnd());
  }
}

WaveFormatBlock ParseFormatBlock(const std::array<std::uint8_t, kFormatBlockBytes>& b) {
  WaveFormatBlock format;
  format.formatTag = Le16(&b[0]);
  format.channels = Le16(&b[2]);
  format.samplesPerSec = Le32(&b[4]);
  format.avgBytesPerSec = Le32(&b[8]);
  format.blockAlign = Le16(&b[12]);
  format.bitsPerSample = Le16(&b[14]);
  format.extraSize = Le16(&b[16]);
  return format;
}

} // namespace

WaveWalk WalkWave(std::span<const std::uint8_t> image) {
  WaveWalk walk;
  // Without the length field there is no memory file to open.
  if (image.size() < 8) return walk;
  const std::uint64_t headerLength = std::uint64_t{Le32(image.data() + 4)} + 8;
  MemoryFile file(image.first(static_cast<std::size_t>(std::min<std::uint64_t>(headerLength, image.size()))));

  const auto wave = Descend(file, file.Size(), kRiff, kWave);
  if (!wave) return walk;
  const std::uint64_t waveEnd = wave->DataEnd();

  const auto fmt = Descend(file, waveEnd, kFmt);
  if (!fmt) return walk;

  // Eighteen bytes whatever the chunk's size: after a 16-byte chunk the last
  // two come from the next chunk's identifier. Only the tag is checked.
  std::array<std::uint8_t, kFormatBlockBytes> block{};
  file.Read(block.data(), block.size());
  walk.format = ParseFormatBlock(block);
  if (walk.format.formatTag != kWaveFormatPcm) {
    walk.status = WaveWalkStatus::NotPcm;
    return walk;
  }

  file.Seek(fmt->PaddedEnd());
  const auto data = Descend(file, waveEnd, kData);
  if (!data) return walk;

  walk.status = WaveWalkStatus::Ok;
  walk.declaredDataBytes = data->size;
  walk.samples = file.Bytes(data->dataOffset, data->size);
  return walk;
}

} // namespace fablewick

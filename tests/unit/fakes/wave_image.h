#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace fablewick::fakes {

// Builds RIFF WAVE images byte by byte, so tests can lay chunks out exactly
// (or wrongly) as they need.
class WaveImageBuilder {
public:
  // A chunk with its identifier, size field and data; a pad byte follows odd
  // data unless pad is false. sizeField overrides the size written.
  WaveImageBuilder& Chunk(std::string_view id, const std::vector<std::uint8_t>& data,
                          bool pad = true, std::optional<std::uint32_t> sizeField = {}) {
    Append(id);
    Append32(sizeField.value_or(static_cast<std::uint32_t>(data.size())));
    body_.insert(body_.end(), data.begin(), data.end());
    if (pad && data.size() % 2 == 1) body_.push_back(0);
    return *this;
  }

  // The common 16-byte PCM format chunk (or another tag).
  WaveImageBuilder& Format(std::uint16_t channels, std::uint32_t rate, std::uint16_t bits,
                           std::uint16_t tag = 1) {
    return Chunk("fmt ", FormatBytes(channels, rate, bits, tag));
  }

  WaveImageBuilder& Data(const std::vector<std::uint8_t>& samples, bool pad = true) {
    return Chunk("data", samples, pad);
  }

  WaveImageBuilder& Raw(const std::vector<std::uint8_t>& bytes) {
    body_.insert(body_.end(), bytes.begin(), bytes.end());
    return *this;
  }

  // The RIFF size field; by default the bytes that follow it.
  WaveImageBuilder& RiffSize(std::uint32_t size) {
    riffSize_ = size;
    return *this;
  }

  WaveImageBuilder& FormType(std::string_view form) {
    form_ = form;
    return *this;
  }

  std::vector<std::uint8_t> Build() const {
    std::vector<std::uint8_t> image;
    WaveImageBuilder header;
    header.Append("RIFF");
    header.Append32(riffSize_.value_or(static_cast<std::uint32_t>(4 + body_.size())));
    header.Append(form_);
    image = header.body_;
    image.insert(image.end(), body_.begin(), body_.end());
    return image;
  }

  static std::vector<std::uint8_t> FormatBytes(std::uint16_t channels, std::uint32_t rate,
                                               std::uint16_t bits, std::uint16_t tag = 1) {
    const std::uint16_t align = static_cast<std::uint16_t>(channels * bits / 8);
    WaveImageBuilder b;
    b.Append16(tag);
    b.Append16(channels);
    b.Append32(rate);
    b.Append32(rate * align);
    b.Append16(align);
    b.Append16(bits);
    return b.body_;
  }

private:
  void Append(std::string_view text) { body_.insert(body_.end(), text.begin(), text.end()); }
  void Append16(std::uint16_t v) {
    body_.push_back(static_cast<std::uint8_t>(v));
    body_.push_back(static_cast<std::uint8_t>(v >> 8));
  }
  void Append32(std::uint32_t v) {
    for (int i = 0; i < 4; ++i) body_.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
  }

  std::vector<std::uint8_t> body_;
  std::optional<std::uint32_t> riffSize_;
  std::string_view form_ = "WAVE";
};

// Sample bytes with a pattern that shows any shift, gap or overlap.
inline std::vector<std::uint8_t> Samples(std::size_t count, std::uint8_t seed = 1) {
  std::vector<std::uint8_t> samples(count);
  for (std::size_t i = 0; i < count; ++i)
    samples[i] = static_cast<std::uint8_t>(seed + i * 7 + i / 251);
  return samples;
}

// A plain PCM image: "fmt " then "data".
inline std::vector<std::uint8_t> PcmImage(std::uint16_t channels, std::uint32_t rate,
                                          std::uint16_t bits, std::size_t dataBytes,
                                          std::uint8_t seed = 1) {
  return WaveImageBuilder().Format(channels, rate, bits).Data(Samples(dataBytes, seed)).Build();
}

} // namespace fablewick::fakes

#include "intro/win32/video_decoder.h"

#include "intro_fixtures.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

namespace fablewick::win32 {
namespace {

using fablewick::testing::IntroFixture;
using fablewick::testing::ScratchDirectory;

std::string Bytes(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

TEST(VideoDecoder, AKnownFormatHasOneAnUnknownOneHasNoneRawFramesNeedNoneAndAnUnreadableHeaderIsLeftOpen) {
  EXPECT_EQ(CheckVideoDecoder(IntroFixture("movie_96x72.avi")), DecoderCheck::Found);
  EXPECT_EQ(CheckVideoDecoder(IntroFixture("movie_unknown_codec.avi")), DecoderCheck::Missing);

  ScratchDirectory scratch;
  std::string movie = Bytes(IntroFixture("movie_96x72.avi"));
  const std::size_t format = movie.find("strf");
  // Cut inside the video stream's format.
  ASSERT_TRUE(scratch.Write("cut.avi", movie.substr(0, format + 16)));
  EXPECT_EQ(CheckVideoDecoder("cut.avi"), DecoderCheck::Unreadable);
  ASSERT_TRUE(scratch.Write("text.avi", "not a movie"));
  EXPECT_EQ(CheckVideoDecoder("text.avi"), DecoderCheck::Unreadable);
  EXPECT_EQ(CheckVideoDecoder("absent.avi"), DecoderCheck::Unreadable);

  // The compression code of the video stream's format, set to BI_RGB.
  const std::size_t code = movie.find("MSVC", format);
  ASSERT_NE(code, std::string::npos);
  movie.replace(code, 4, std::string(4, '\0'));
  ASSERT_TRUE(scratch.Write("raw.avi", movie));
  EXPECT_EQ(CheckVideoDecoder("raw.avi"), DecoderCheck::NoneNeeded);
}

} // namespace
} // namespace fablewick::win32

#include "intro/intro_choices.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>

namespace fablewick {
namespace {

TEST(PlaceMovie, TheMovieGrowsWithTheDpiUntilItMeetsAnEdgeOfTheScreenAndStaysCentred) {
  struct Case {
    std::int32_t width, height, dpi, client, clientHeight;
    MoviePlace expected;
  };
  for (const Case& c : {
           // 96 and 192 DPI on this screen: IntroSequenceTest.AtTwiceTheDpi...
           Case{320, 240, 144, 1024, 768, {272, 204, 480, 360}},
           Case{321, 241, 120, 1023, 767, {311, 233, 401, 301}},
           // Too wide at twice the size: the width meets the screen's edge.
           Case{600, 200, 192, 1024, 768, {0, 214, 1024, 341}},
           // Too tall: the height does.
           Case{300, 400, 192, 1024, 768, {224, 0, 576, 768}},
           Case{640, 480, 192, 1024, 768, {0, 0, 1024, 768}},
           // Larger than the screen to begin with: never shrunk below its
           // own size, centred and clipped as at 96 DPI.
           Case{1100, 900, 192, 1024, 768, {-38, -66, 1100, 900}},
           Case{1100, 900, 96, 1024, 768, {-38, -66, 1100, 900}},
       }) {
    SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height) + " at " + std::to_string(c.dpi));
    const MoviePlace place = PlaceMovie(c.width, c.height, c.dpi, c.client, c.clientHeight);
    const auto fields = [](const MoviePlace& p) { return std::tuple(p.left, p.top, p.width, p.height); };
    EXPECT_EQ(fields(place), fields(c.expected));
  }
}

// Missing, Unreadable, two monitors and a monitor in HDR are taken through
// the intro in IntroSequenceTest; one monitor and NoneNeeded by every intro
// test there.
TEST(IntroChoices, AFoundDecoderPlaysAndMonitorsThatCannotBeCountedFadeOnTheRamp) {
  EXPECT_TRUE(WorthOpening(DecoderCheck::Found));
  EXPECT_TRUE(RampCarriesFade(0, false));
}

} // namespace
} // namespace fablewick

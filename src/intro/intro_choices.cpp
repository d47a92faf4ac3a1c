#include "intro/intro_choices.h"

namespace fablewick {

namespace {

constexpr std::int64_t BaseDpi = 96;

std::int32_t Scaled(std::int32_t length, std::int64_t by, std::int64_t over) {
  return static_cast<std::int32_t>((length * by + over / 2) / over);
}

} // namespace

MoviePlace PlaceMovie(std::int32_t movieWidth, std::int32_t movieHeight, std::int32_t dpi,
                      std::int32_t clientWidth, std::int32_t clientHeight) {
  std::int32_t width = movieWidth, height = movieHeight;
  if (dpi > BaseDpi && movieWidth > 0 && movieHeight > 0) {
    width = Scaled(movieWidth, dpi, BaseDpi);
    height = Scaled(movieHeight, dpi, BaseDpi);
    if (width > clientWidth || height > clientHeight) {
      // The side that meets the edge first sets the scale for both.
      if (std::int64_t{clientWidth} * movieHeight <= std::int64_t{clientHeight} * movieWidth) {
        width = clientWidth;
        height = Scaled(movieHeight, clientWidth, movieWidth);
      } else {
        height = clientHeight;
        width = Scaled(movieWidth, clientHeight, movieHeight);
      }
    }
    if (width < movieWidth || height < movieHeight) {
      width = movieWidth;
      height = movieHeight;
    }
  }
  return MoviePlace{clientWidth / 2 - width / 2, clientHeight / 2 - height / 2, width, height};
}

bool WorthOpening(DecoderCheck check) { return check != DecoderCheck::Missing; }

bool RampCarriesFade(std::size_t monitors, bool anyMonitorInHdr) {
  return monitors <= 1 && !anyMonitorInHdr;
}

} // namespace fablewick

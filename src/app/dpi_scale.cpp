#include "app/dpi_scale.h"

#include <algorithm>
#include <cstdint>

namespace fablewick {

DpiScale::DpiScale(int dpi) : dpi_(std::clamp(dpi, kMinDpi, kMaxDpi)) {}

int DpiScale::ToPhysical(int length) const {
  const std::int64_t twice = 2LL * length * dpi_;
  const std::int64_t half = kBaseDpi, whole = 2 * kBaseDpi;
  return static_cast<int>(twice >= 0 ? (twice + half) / whole : -((half - twice) / whole));
}

int DpiScale::ToPicture(int physical) const {
  const std::int64_t scaled = static_cast<std::int64_t>(physical) * kBaseDpi;
  // Division truncates towards zero; floor needs one less below zero when
  // there is a remainder.
  std::int64_t quotient = scaled / dpi_;
  if (scaled % dpi_ != 0 && scaled < 0) --quotient;
  return static_cast<int>(quotient);
}

PictureDrawing DpiScale::Drawing() const {
  return dpi_ % kBaseDpi == 0 ? PictureDrawing::PixelExact : PictureDrawing::Smooth;
}

} // namespace fablewick

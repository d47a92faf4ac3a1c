#pragma once

namespace fablewick {

// Dots per inch of the 100 % setting, in which the pictures and their hot
// regions are laid out.
inline constexpr int kBaseDpi = 96;
// The settings Windows offers run from 100 % to 500 %; anything outside is
// a broken report and must never yield an empty or inverted window.
inline constexpr int kMinDpi = 96;
inline constexpr int kMaxDpi = 480;

// How a picture reaches the screen: each picture pixel an s x s block when
// the scale is whole, so the artwork stays sharp; filtered otherwise, since
// uneven blocks would make lines jump in width.
enum class PictureDrawing { PixelExact, Smooth };

// The scale s = DPI / 96 of one window, between picture pixels and the
// physical pixels of its client area. Kept as the DPI itself so that every
// conversion is exact integer arithmetic.
class DpiScale {
public:
  explicit DpiScale(int dpi);

  int Dpi() const { return dpi_; }
  // A picture length in physical pixels: round(length * s), halves away
  // from zero.
  int ToPhysical(int length) const;
  // A physical coordinate to the picture pixel under it: floor(x / s), also
  // for the negative coordinates a captured pointer reports.
  int ToPicture(int physical) const;
  PictureDrawing Drawing() const;

private:
  int dpi_;
};

} // namespace fablewick

#pragma once

// The captions as a user meets them, once for every test program and apart
// from the program's own table. Picture pixels, right and bottom exclusive.

#include <string>
#include <vector>

namespace fablewick::seen {

struct Caption {
  int left, top, right, bottom;
  int hoverBitmap;
  // 180 wide, drawn at the caption's top left.
  int overlayBitmap, overlayHeight;
  const char* name; // as drawn and as a screen reader speaks it
  const char* game; // null for Quit
  constexpr int CentreX() const { return (left + right) / 2; }
  constexpr int CentreY() const { return (top + bottom) / 2; }
};

inline constexpr Caption kCaptions[] = {
    {380, 0, 559, 89, 200, 300, 91, "Trillick", "Trillick.exe"},
    {380, 90, 559, 179, 201, 301, 90, "Barrowby", "Barrowby.exe"},
    {380, 180, 559, 260, 202, 302, 81, "Caddle", "Caddle.exe"},
    {380, 261, 559, 347, 203, 303, 87, "Pimmet", "Pimmet.exe"},
    {380, 348, 559, 419, 204, 304, 72, "Quit", nullptr},
};
inline constexpr int kCaptionCount = 5;
inline constexpr int kGameCount = 4;
inline constexpr int kBasePicture = 128;

// The games' file names, in caption order.
inline std::vector<std::string> GameFiles() {
  std::vector<std::string> games;
  for (int i = 0; i < kGameCount; ++i) games.emplace_back(kCaptions[i].game);
  return games;
}

} // namespace fablewick::seen

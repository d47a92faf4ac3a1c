#pragma once

#include "launcher/caption_focus.h"

#include <string_view>

namespace fablewick {

// How the picture and its captions present themselves to a screen reader:
// the picture as one named client area, each caption inside it as a push
// button in the keyboard's order.
inline constexpr std::string_view kPictureAccessibleName = "Fablewick";
inline constexpr std::string_view kCaptionDefaultAction = "Press";

std::string_view CaptionName(int region);

struct CaptionStates {
  bool focusable = true;
  bool focused = false;
  bool hotTracked = false;
  bool pressed = false;
};
CaptionStates CaptionState(const CaptionFocus& focus, int region);

// The caption's whole hot region.
PictureRect CaptionBounds(int region);

enum class CaptionDirection { Next, Previous, Up, Down, Left, Right, FirstChild, LastChild };

// The caption reached from `from` (kNoRegion: the picture itself), or
// kNoRegion when nothing lies that way. Unlike the keys it does not wrap: a
// screen reader walks siblings until there are none.
int NavigateCaptions(int from, CaptionDirection direction);

} // namespace fablewick

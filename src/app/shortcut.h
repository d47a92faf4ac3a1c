#pragma once

#include <cstdint>
#include <string>

namespace fablewick {

// A menu shortcut as layouts store it: the virtual-key code in the low byte,
// plus 0x2000 for Shift, 0x4000 for Ctrl and 0x8000 for Alt (16465 is Ctrl+Q).
struct Shortcut {
  std::uint8_t key = 0;
  bool shift = false;
  bool ctrl = false;
  bool alt = false;
};

inline constexpr int ShortcutShift = 0x2000;
inline constexpr int ShortcutCtrl = 0x4000;
inline constexpr int ShortcutAlt = 0x8000;

Shortcut DecodeShortcut(int value);

// The text shown after the tab on a menu line, e.g. "Ctrl+Q"; empty for 0.
std::string ShortcutText(int value);

} // namespace fablewick

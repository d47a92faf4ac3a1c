#include "app/shortcut.h"

#include <cstdio>

namespace fablewick {

Shortcut DecodeShortcut(int value) {
  Shortcut s;
  s.key = static_cast<std::uint8_t>(value & 0xFF);
  s.shift = (value & ShortcutShift) != 0;
  s.ctrl = (value & ShortcutCtrl) != 0;
  s.alt = (value & ShortcutAlt) != 0;
  return s;
}

namespace {

// Virtual-key codes have the same values on every Windows version; the core
// spells the few it names here without <windows.h>.
std::string KeyName(std::uint8_t key) {
  if ((key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z')) return std::string(1, static_cast<char>(key));
  if (key >= 0x70 && key <= 0x87) { // F1..F24
    char text[8];
    std::snprintf(text, sizeof text, "F%d", key - 0x70 + 1);
    return text;
  }
  switch (key) {
  case 0x08: return "BkSp";
  case 0x09: return "Tab";
  case 0x0D: return "Enter";
  case 0x1B: return "Esc";
  case 0x20: return "Space";
  case 0x21: return "PgUp";
  case 0x22: return "PgDn";
  case 0x23: return "End";
  case 0x24: return "Home";
  case 0x25: return "Left";
  case 0x26: return "Up";
  case 0x27: return "Right";
  case 0x28: return "Down";
  case 0x2D: return "Ins";
  case 0x2E: return "Del";
  default: return "";
  }
}

} // namespace

std::string ShortcutText(int value) {
  Shortcut s = DecodeShortcut(value);
  std::string key = KeyName(s.key);
  if (key.empty()) return "";
  std::string text;
  if (s.shift) text += "Shift+";
  if (s.ctrl) text += "Ctrl+";
  if (s.alt) text += "Alt+";
  return text + key;
}

} // namespace fablewick

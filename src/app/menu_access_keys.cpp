#include "app/menu_access_keys.h"

#include <bitset>

namespace fablewick {

namespace {

// 0-9 then A-Z, or -1 for a character that cannot be an access key.
int KeySlot(char c) {
  unsigned char u = static_cast<unsigned char>(c);
  if (u >= '0' && u <= '9') return u - '0';
  if (u >= 'a' && u <= 'z') u = static_cast<unsigned char>(u - 'a' + 'A');
  if (u >= 'A' && u <= 'Z') return 10 + (u - 'A');
  return -1;
}

} // namespace

std::vector<std::string> AssignAccessKeys(const std::vector<std::string>& captions) {
  std::bitset<36> taken;
  std::vector<std::string> marked;
  marked.reserve(captions.size());
  for (const std::string& caption : captions) {
    if (caption.empty() || caption == "-") {
      marked.push_back(caption);
      continue;
    }
    bool keyed = false;
    std::string text;
    for (char c : caption) {
      int slot = KeySlot(c);
      if (!keyed && slot >= 0 && !taken[slot]) {
        taken[slot] = true;
        keyed = true;
        text += '&';
      }
      text += c;
      if (c == '&') text += '&';
    }
    marked.push_back(std::move(text));
  }
  return marked;
}

} // namespace fablewick

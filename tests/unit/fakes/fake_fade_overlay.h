#pragma once

#include "intro/fade_overlay.h"

#include <string>
#include <vector>

namespace fablewick::fakes {

// The black overlay: whether it is up and at which opacity, each change
// noted in `log` (when given) beside the other fakes' steps.
class FakeFadeOverlay : public FadeOverlay {
public:
  bool Show(std::uint8_t alpha) override {
    Note("overlay " + std::to_string(alpha));
    if (!makeable) return false;
    shown = true;
    opacity = alpha;
    return true;
  }
  void Hide() override {
    Note("overlay down");
    shown = false;
    opacity = 0;
  }

  bool makeable = true;
  bool shown = false;
  int opacity = 0;
  std::vector<std::string>* log = nullptr;

private:
  void Note(const std::string& what) {
    if (log) log->push_back(what);
  }
};

} // namespace fablewick::fakes

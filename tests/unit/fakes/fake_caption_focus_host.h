#pragma once

#include "launcher/caption_focus.h"

#include <string>
#include <vector>

namespace fablewick::fakes {

// Writes the focus mark ("mark 383,3-556,86") and the screen reader's focus
// notice ("announce 2") into the shared event log.
class FakeCaptionFocusHost : public CaptionFocusHost {
public:
  explicit FakeCaptionFocusHost(std::vector<std::string>& events) : events_(events) {}

  void DrawFocusMark(const PictureRect& r) override {
    events_.push_back("mark " + std::to_string(r.left) + "," + std::to_string(r.top) + "-" +
                      std::to_string(r.right) + "," + std::to_string(r.bottom));
  }
  void AnnounceFocus(int region) override { events_.push_back("announce " + std::to_string(region)); }

private:
  std::vector<std::string>& events_;
};

} // namespace fablewick::fakes

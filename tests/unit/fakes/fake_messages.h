#pragma once

#include "app/messages.h"

#include <functional>
#include <string>
#include <vector>

namespace fablewick::fakes {

struct ShownMessage {
  std::string text;
  MessageType type;
};

// Records every message dialog; onShow lets a test note the order of events
// (a dialog is modal, so whatever it runs happens "while it is up").
class FakeMessages : public Messages {
public:
  void ShowMessage(const std::string& text, MessageType type) override {
    shown.push_back({text, type});
    if (onShow) onShow(text);
  }
  std::vector<ShownMessage> shown;
  std::function<void(const std::string&)> onShow;
};

} // namespace fablewick::fakes

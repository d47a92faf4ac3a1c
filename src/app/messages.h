#pragma once

#include <string>

namespace fablewick {

enum class MessageType { Error, Information };

// The modal message dialog with its single OK button. The caller waits until
// the user has closed it; what the user pressed is never looked at.
class Messages {
public:
  virtual ~Messages() = default;
  virtual void ShowMessage(const std::string& text, MessageType type) = 0;
};

enum class DialogIcon { Stop, Information };

// What a dialog type shows: its caption and its system icon.
struct DialogLook {
  const char* caption;
  DialogIcon icon;
};

constexpr DialogLook LookOf(MessageType type) {
  return type == MessageType::Error ? DialogLook{"Error", DialogIcon::Stop}
                                    : DialogLook{"Information", DialogIcon::Information};
}

} // namespace fablewick

#pragma once

#include "app/messages.h"
#include "app/win32/form.h"

#include <string>

namespace fablewick::win32 {

// The program's own message dialog: the type's system icon at the top left,
// the text to its right wrapped at half the screen width, one "OK" button
// (default and cancel: Enter and Escape press it), captioned "Error" or
// "Information", centred on the screen and shown modally. Returns mrOk for
// the button and mrCancel for the close box; the dialog is destroyed before
// it returns.
int MessageDlg(FormHost& host, const std::string& text, MessageType type);

// The Messages port over MessageDlg.
class DialogMessages : public Messages {
public:
  explicit DialogMessages(FormHost& host) : host_(host) {}
  void ShowMessage(const std::string& text, MessageType type) override;

private:
  FormHost& host_;
};

} // namespace fablewick::win32

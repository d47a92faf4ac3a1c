#pragma once

#include "app/win32/scoped_win.h"
#include "launcher/caption_focus.h"

#include <windows.h>

#include <oleacc.h>

namespace fablewick::win32 {

// What the screen reader's view of the picture reads from the launcher
// window.
class CaptionAccessView {
public:
  virtual ~CaptionAccessView() = default;
  virtual const CaptionFocus& Captions() const = 0;
  // Between picture pixels and the picture window's client pixels.
  virtual POINT PictureToClient(POINT picture) const = 0;
  virtual POINT ClientToPicture(POINT client) const = 0;
  // Starts the caption's click after the caller has returned.
  virtual void RequestPress(int region) = 0;
  virtual void RequestFocus(int region) = 0;
};

class CaptionAccessible;

// The picture window's client object for screen readers: an IAccessible
// whose five children are the captions as push buttons. Created on the first
// request and cut off from the window when it closes, so a reader that
// still holds it gets errors instead of reaching a window that is gone.
class AccessiblePicture {
public:
  // Out of line, where the object's class is complete.
  explicit AccessiblePicture(CaptionAccessView& view);
  ~AccessiblePicture();
  AccessiblePicture(const AccessiblePicture&) = delete;
  AccessiblePicture& operator=(const AccessiblePicture&) = delete;

  // The answer to WM_GETOBJECT; false when the request is for another
  // object (or comes after Close) and the default answer applies.
  bool Answer(HWND window, WPARAM wParam, LPARAM lParam, LRESULT& result);
  void AnnounceFocus(HWND window, int region);
  void Close();

private:
  CaptionAccessView& view_;
  ComPtr<CaptionAccessible> object_;
  // Whether this thread's COM apartment was entered here and must be left.
  bool comEntered_ = false;
  bool closed_ = false;
};

} // namespace fablewick::win32

#pragma once

#include "intro/fade_overlay.h"

#include <windows.h>

namespace fablewick::win32 {

// The overlay as a black popup over the virtual screen (every monitor),
// layered for its opacity, transparent to the mouse, topmost and kept off
// the taskbar and the task switcher. Made at its first Show, destroyed by
// Hide, so between fades there is no window at all.
class LayeredOverlay final : public FadeOverlay {
public:
  LayeredOverlay() = default;
  ~LayeredOverlay() override;
  LayeredOverlay(const LayeredOverlay&) = delete;
  LayeredOverlay& operator=(const LayeredOverlay&) = delete;

  bool Show(std::uint8_t opacity) override;
  void Hide() override;

  HWND Window() const { return window_; }

private:
  HWND window_ = nullptr;
};

} // namespace fablewick::win32

#pragma once

#include "app/form_events.h"
#include "app/win32/click_tracker.h"
#include "app/win32/control.h"

#include <cstdint>

namespace fablewick::win32 {

// A plain coloured panel (layout class TPanel) without bevel or caption; a
// press and release of the primary button on it is a click (OnClick). The
// movie player draws into its window.
class Panel : public WindowedControl {
public:
  Panel(ControlOwner& owner, std::string name);

  std::uint32_t Color() const { return color_; }
  void SetColor(std::uint32_t color);

  NotifyEvent OnClick;

  bool ApplyProperty(const LayoutProperty& property, LayoutBinder& binder) override;

protected:
  bool ControlMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
  std::uint32_t color_ = SystemColorFlag | COLOR_BTNFACE;
  ClickTracker click_;
};

} // namespace fablewick::win32

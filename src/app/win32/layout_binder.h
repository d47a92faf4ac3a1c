#pragma once

#include "app/layout.h"
#include "app/form_events.h"

namespace fablewick::win32 {

class Component;

// What a component may ask of the form while its layout properties are
// applied: the form class's handlers and the form's other components, by the
// name a property gives. Each raises AppError (layout and line) when the
// name is not offered or the handler is of another kind.
class LayoutBinder {
public:
  virtual ~LayoutBinder() = default;
  virtual NotifyEvent NotifyHandler(const LayoutProperty& property) = 0;
  virtual MouseEvent MouseHandler(const LayoutProperty& property) = 0;
  virtual MouseMoveEvent MouseMoveHandler(const LayoutProperty& property) = 0;
  virtual CloseEvent CloseHandler(const LayoutProperty& property) = 0;
  virtual Component& ComponentNamed(const LayoutProperty& property) = 0;
};

} // namespace fablewick::win32

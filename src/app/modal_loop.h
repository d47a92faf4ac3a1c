#pragma once

#include "app/form_core.h"
#include "app/window_types.h"

namespace fablewick {

// The message loop of the thread, as a modal show drives it.
class MessagePump {
public:
  virtual ~MessagePump() = default;
  // Takes and handles one message, waiting for one if the queue is empty;
  // taking the quit message sets terminated.
  virtual void HandleMessage() = 0;
  virtual bool Terminated() const = 0;
};

// The loop of a modal show on a form already displayed: handles messages
// until the form's modal result is set. Once terminated, it waits for no
// further message and ends with mrCancel without the close step. A result
// set by a handler runs the close step; a refusal, or an error in it (which
// is reported), puts the result back to mrNone and the loop goes on.
int RunModalLoop(FormCore& form, MessagePump& pump);

// After a modal show, the window active before it is activated again only
// when the modal window was still the active one at the end; otherwise the
// user has moved on and keeps the window they chose. Zero: activate nothing.
WindowHandle WindowToReactivate(WindowHandle activeBefore, WindowHandle activeAtEnd, WindowHandle modalWindow);

} // namespace fablewick

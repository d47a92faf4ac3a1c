#include "app/modal_loop.h"

namespace fablewick {

int RunModalLoop(FormCore& form, MessagePump& pump) {
  form.SetModalResult(mrNone);
  do {
    // Terminated never resets: once the quit message is taken, no modal
    // loop waits for another message.
    if (!pump.Terminated()) pump.HandleMessage();
    if (pump.Terminated()) {
      form.SetModalResult(mrCancel);
    } else if (form.ModalResult() != mrNone) {
      try {
        if (form.CloseStep() == CloseAction::caNone) form.SetModalResult(mrNone);
      } catch (...) {
        form.SetModalResult(mrNone);
        form.Host().ReportCurrentError();
      }
    }
  } while (form.ModalResult() == mrNone);
  return form.ModalResult();
}

WindowHandle WindowToReactivate(WindowHandle activeBefore, WindowHandle activeAtEnd, WindowHandle modalWindow) {
  return activeAtEnd == modalWindow ? activeBefore : 0;
}

} // namespace fablewick

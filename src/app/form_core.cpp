#include "app/form_core.h"

#include "app/app_error.h"
#include "app/startup_trace.h"

namespace fablewick {

void FormCore::SetVisible(bool visible) {
  if (visible_ == visible) return;
  visible_ = visible;
  if (visible) {
    if (OnShow) host_.Guarded(OnShow);
    FABLEWICK_STARTUP_MARK("show handler");
    if (visible_) DisplayWindow();
  } else {
    if (OnHide) host_.Guarded(OnHide);
    if (!visible_) HideWindow();
  }
}

void FormCore::Show() {
  SetVisible(true);
  if (visible_) BringWindowToFront();
}

void FormCore::Close() {
  if (modal_) {
    modalResult_ = mrCancel;
    return;
  }
  if (host_.IsMainForm(*this)) {
    host_.Terminate();
    return;
  }
  switch (CloseStep()) {
  case CloseAction::caNone: break;
  case CloseAction::caMinimize: MinimizeWindow(); break;
  case CloseAction::caHide:
  case CloseAction::caFree: Hide(); break;
  }
}

CloseAction FormCore::CloseStep() {
  if (!CloseQuery()) return CloseAction::caNone;
  CloseAction action = CloseAction::caHide;
  if (OnClose) OnClose(action);
  return action;
}

FormCore::ModalScope::ModalScope(FormCore& form) : form_(form) {
  if (form.visible_ || form.modal_) throw AppError("Cannot make a visible window modal");
  form.modal_ = true;
}

bool FormCore::MinimizeProgramFor() {
  if (!host_.IsMainForm(*this)) return false;
  host_.MinimizeProgram();
  return true;
}

void FormCore::Activated() {
  host_.FormActivated(WindowId());
  if (OnActivate) OnActivate();
}

void FormCore::RunCreateHandler() {
  if (OnCreate) host_.Guarded(OnCreate);
}

void FormCore::RunDestroyHandler() {
  if (visible_) {
    visible_ = false;
    HideWindow();
  }
  if (OnDestroy) host_.Guarded(OnDestroy);
}

} // namespace fablewick

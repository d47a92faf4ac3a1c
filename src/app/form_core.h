#pragma once

#include "app/form_events.h"
#include "app/form_host.h"
#include "app/window_types.h"

namespace fablewick {

enum class WindowState { wsNormal, wsMinimized, wsMaximized };

inline constexpr int mrNone = 0;
inline constexpr int mrOk = 1;
inline constexpr int mrCancel = 2;

// A form's life as the program sees it: its handlers, when they run, what a
// close request does and how a modal show ends. The Win32 form derives from
// it and supplies the window itself.
class FormCore {
public:
  explicit FormCore(FormHost& host) : host_(host) {}
  virtual ~FormCore() = default;
  FormCore(const FormCore&) = delete;
  FormCore& operator=(const FormCore&) = delete;

  FormHost& Host() const { return host_; }
  virtual WindowHandle WindowId() const = 0;

  // Bound from the layout's OnCreate, OnDestroy, OnShow, OnHide,
  // OnActivate, OnClick and OnClose.
  NotifyEvent OnCreate;
  NotifyEvent OnDestroy;
  NotifyEvent OnShow;
  NotifyEvent OnHide;
  NotifyEvent OnActivate;
  NotifyEvent OnClick;
  CloseEvent OnClose;

  // Going from hidden to visible runs OnShow first; an error in it is
  // reported and the form is displayed all the same, unless the handler
  // itself hid it again.
  void SetVisible(bool visible);
  bool Visible() const { return visible_; }
  void Show();
  void Hide() { SetVisible(false); }

  WindowState State() const { return windowState_; }
  void SetWindowState(WindowState state) { windowState_ = state; }

  // A close request: a modal form's ends its modal show with mrCancel; the
  // main form's ends the program; any other form runs the close step and
  // does what it decided.
  void Close();
  // Asked before the close handler; false refuses the close.
  virtual bool CloseQuery() { return true; }
  // CloseQuery, then OnClose; returns the action decided.
  CloseAction CloseStep();

  int ShowModal() { return host_.ShowModal(*this); }
  int ModalResult() const { return modalResult_; }
  void SetModalResult(int result) { modalResult_ = result; }
  bool Modal() const { return modal_; }
  // Marks the form modal for the life of the scope; raises AppError when it
  // is already visible or modal.
  class ModalScope {
  public:
    explicit ModalScope(FormCore& form);
    ~ModalScope() { form_.modal_ = false; }
    ModalScope(const ModalScope&) = delete;
    ModalScope& operator=(const ModalScope&) = delete;

  private:
    FormCore& form_;
  };

  // The minimise box: the main form's minimises the whole program, whose
  // taskbar button it is. True when the request was taken here.
  bool MinimizeProgramFor();
  // Activation: the host hears of it, then OnActivate runs.
  void Activated();

  // Runs OnCreate inside the guard: an error is reported and the form stays.
  void RunCreateHandler();
  // Hides the form without OnHide, then runs OnDestroy inside the guard.
  void RunDestroyHandler();

protected:
  // Places the window (centred when its layout asks) and shows it in its
  // window state.
  virtual void DisplayWindow() = 0;
  virtual void HideWindow() = 0;
  virtual void MinimizeWindow() = 0;
  virtual void BringWindowToFront() = 0;

private:
  FormHost& host_;
  bool visible_ = false;
  bool modal_ = false;
  int modalResult_ = mrNone;
  WindowState windowState_ = WindowState::wsNormal;
};

} // namespace fablewick

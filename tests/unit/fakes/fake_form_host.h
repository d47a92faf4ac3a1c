#pragma once

#include "app/form_core.h"
#include "app/form_host.h"
#include "app/modal_loop.h"

#include <functional>
#include <string>
#include <vector>

namespace fablewick::fakes {

// One log for the host, the forms and the pump, so a test can read the
// order in which things happened.
using EventLog = std::vector<std::string>;

class FakeFormHost : public FormHost {
public:
  explicit FakeFormHost(EventLog& log) : log_(log) {}

  void ReportError(std::string_view message) override {
    errors.emplace_back(message);
    log_.push_back("error box: " + std::string(message));
  }
  int ShowModal(FormCore& form) override {
    log_.push_back("show modal");
    return onShowModal ? onShowModal(form) : mrNone;
  }
  bool IsMainForm(const FormCore& form) const override { return &form == mainForm; }
  void Terminate() override { log_.push_back("terminate"); }
  void MinimizeProgram() override { log_.push_back("minimise program"); }
  WindowHandle OwnerWindow() const override { return 1; }
  WindowHandle MainWindow() const override { return mainForm ? mainForm->WindowId() : 0; }
  void FormActivated(WindowHandle form) override { log_.push_back("activated " + std::to_string(form)); }

  const FormCore* mainForm = nullptr;
  std::vector<std::string> errors;
  std::function<int(FormCore&)> onShowModal;

private:
  EventLog& log_;
};

// A form whose window only writes what happens to it into the log.
class FakeForm : public FormCore {
public:
  FakeForm(FormHost& host, EventLog& log, WindowHandle id = 10) : FormCore(host), log_(log), id_(id) {}

  WindowHandle WindowId() const override { return id_; }
  bool CloseQuery() override {
    log_.push_back("close query");
    return allowClose;
  }

  bool allowClose = true;

protected:
  void DisplayWindow() override {
    log_.push_back(State() == WindowState::wsMaximized ? "display maximised" : "display");
  }
  void HideWindow() override { log_.push_back("hide window"); }
  void MinimizeWindow() override { log_.push_back("minimise window"); }
  void BringWindowToFront() override { log_.push_back("front"); }

private:
  EventLog& log_;
  WindowHandle id_;
};

// A message queue given as a script: each message is a step that runs when
// the loop takes it; the quit message is a step that sets terminated.
class FakePump : public MessagePump {
public:
  explicit FakePump(EventLog& log) : log_(log) {}

  void HandleMessage() override {
    ++taken;
    if (queue.empty()) {
      // A loop that waits on an empty queue would hang the real program.
      log_.push_back("waited on an empty queue");
      terminated = true;
      return;
    }
    auto step = std::move(queue.front());
    queue.erase(queue.begin());
    step();
  }
  bool Terminated() const override { return terminated; }

  void PostQuit() {
    queue.push_back([this] {
      log_.push_back("quit");
      terminated = true;
    });
  }

  std::vector<std::function<void()>> queue;
  bool terminated = false;
  int taken = 0;

private:
  EventLog& log_;
};

} // namespace fablewick::fakes

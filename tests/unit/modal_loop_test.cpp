#include "app/app_error.h"
#include "app/modal_loop.h"

#include "fakes/fake_form_host.h"

#include <gtest/gtest.h>

namespace fablewick {
namespace {

using fakes::EventLog;
using fakes::FakeForm;
using fakes::FakeFormHost;
using fakes::FakePump;

struct ModalRig {
  ModalRig() {
    form.OnClose = [this](CloseAction& action) {
      log.push_back("FormClose");
      if (refusals > 0) {
        --refusals;
        action = CloseAction::caNone;
      }
    };
  }
  int Run() {
    FormCore::ModalScope modal(form);
    return RunModalLoop(form, pump);
  }
  void PostClose() {
    pump.queue.push_back([this] { form.Close(); });
  }

  EventLog log;
  FakeFormHost host{log};
  FakeForm form{host, log};
  FakePump pump{log};
  int refusals = 0;
};

TEST(ModalEnd, AClosedModalFormEndsWithCancelAfterItsCloseStep) {
  ModalRig rig;
  rig.pump.queue.push_back([&] { rig.log.push_back("paint"); });
  rig.PostClose();
  EXPECT_EQ(rig.Run(), mrCancel);
  EXPECT_EQ(rig.log, (EventLog{"paint", "close query", "FormClose"}));
}

TEST(ModalEnd, AResultSetByAHandlerRunsTheCloseStepAndIsReturned) {
  ModalRig rig;
  rig.form.SetModalResult(mrOk);  // left over from an earlier show: ignored
  rig.pump.queue.push_back([&] { rig.log.push_back("paint"); });
  rig.pump.queue.push_back([&] { rig.form.SetModalResult(mrOk); });
  EXPECT_EQ(rig.Run(), mrOk);
  EXPECT_EQ(rig.log, (EventLog{"paint", "close query", "FormClose"}));
}

TEST(ModalEnd, ARefusalPutsTheResultBackToNoneAndTheLoopGoesOn) {
  ModalRig rig;
  rig.refusals = 1;
  rig.PostClose();
  rig.pump.queue.push_back([&] {
    EXPECT_EQ(rig.form.ModalResult(), mrNone);
    rig.log.push_back("still up");
  });
  rig.PostClose();
  EXPECT_EQ(rig.Run(), mrCancel);
  EXPECT_EQ(rig.log, (EventLog{"close query", "FormClose", "still up", "close query", "FormClose"}));
}

TEST(ModalEnd, AFormWhoseQueryRefusesStaysUpWithoutItsCloseHandler) {
  ModalRig rig;
  rig.form.allowClose = false;
  rig.PostClose();
  rig.pump.queue.push_back([&] { rig.form.allowClose = true; });
  rig.PostClose();
  EXPECT_EQ(rig.Run(), mrCancel);
  EXPECT_EQ(rig.log, (EventLog{"close query", "close query", "FormClose"}));
}

TEST(ModalEnd, AnErrorInTheCloseStepIsReportedAndTheFormStaysUp) {
  ModalRig rig;
  int closes = 0;
  rig.form.OnClose = [&](CloseAction&) {
    if (++closes == 1) throw AppError("Failed to set data for '128'");
  };
  rig.PostClose();
  rig.PostClose();
  EXPECT_EQ(rig.Run(), mrCancel);
  EXPECT_EQ(closes, 2);
  EXPECT_EQ(rig.host.errors, (std::vector<std::string>{"Failed to set data for '128'"}));
}

TEST(ModalEnd, TheQuitMessageEndsItWithCancelAndNoCloseStep) {
  ModalRig rig;
  rig.pump.queue.push_back([&] { rig.form.SetModalResult(mrOk); rig.pump.terminated = true; });
  EXPECT_EQ(rig.Run(), mrCancel);
  EXPECT_EQ(rig.log, EventLog{});
}

TEST(ModalEnd, OnceTerminatedNoModalLoopWaitsForAnotherMessage) {
  ModalRig rig;
  rig.pump.terminated = true;
  EXPECT_EQ(rig.Run(), mrCancel);
  EXPECT_EQ(rig.pump.taken, 0);
  EXPECT_EQ(rig.log, EventLog{});
}

TEST(ModalEnd, TheEarlierWindowIsReactivatedOnlyWhenTheModalWindowWasStillActive) {
  const WindowHandle before = 5, modal = 9, elsewhere = 7;
  EXPECT_EQ(WindowToReactivate(before, modal, modal), before);
  EXPECT_EQ(WindowToReactivate(before, elsewhere, modal), 0u);
  EXPECT_EQ(WindowToReactivate(before, 0, modal), 0u);
  EXPECT_EQ(WindowToReactivate(0, modal, modal), 0u);
}

} // namespace
} // namespace fablewick

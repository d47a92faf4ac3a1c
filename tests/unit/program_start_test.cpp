#include "app/program_start.h"

#include "fakes/fake_form_host.h"

#include <gtest/gtest.h>

namespace fablewick {
namespace {

using fakes::EventLog;
using fakes::FakeForm;
using fakes::FakeFormHost;

struct StartRig {
  StartRig() { form.OnShow = [this] { log.push_back("FormShow"); }; }
  EventLog log;
  FakeFormHost host{log};
  FakeForm form{host, log};
  ProgramStart start;
};

TEST(ShowCommand, ShowMaximisedStartsTheMainFormMaximisedAfterItsShowHandler) {
  StartRig rig;
  rig.start.Start(rig.form, ShowMaximized);
  EXPECT_EQ(rig.log, (EventLog{"FormShow", "display maximised", "front"}));
}

TEST(ShowCommand, EveryOtherCommandButMinimisedWithoutActivationStartsItNormal) {
  for (int command : {0, 1, 2, 4, 5, 6, 8, 9, 10, 11}) {
    StartRig rig;
    rig.start.Start(rig.form, command);
    EXPECT_EQ(rig.log, (EventLog{"FormShow", "display", "front"})) << command;
  }
}

TEST(ShowCommand, MinimisedTheProgramWaitsForARestoreBeforeTheShowHandlerRuns) {
  StartRig rig;
  rig.start.Start(rig.form, ShowMinNoActive);
  EXPECT_EQ(rig.log, (EventLog{"minimise program"}));
  EXPECT_FALSE(rig.form.Visible());
  rig.log.clear();
  rig.start.Restored(rig.form);
  EXPECT_EQ(rig.log, (EventLog{"FormShow", "display", "front"}));
  rig.log.clear();
  rig.form.Hide();
  rig.start.Restored(rig.form);
  EXPECT_EQ(rig.log, (EventLog{"hide window"})) << "the deferred show happens once";
}

TEST(ShowCommand, ARestoreWithNoShowPendingShowsNothing) {
  StartRig rig;
  rig.start.Restored(rig.form);
  EXPECT_TRUE(rig.log.empty());
}

} // namespace
} // namespace fablewick

#include "app/app_error.h"
#include "app/form_core.h"

#include "fakes/fake_form_host.h"

#include <gtest/gtest.h>

namespace fablewick {
namespace {

using fakes::EventLog;
using fakes::FakeForm;
using fakes::FakeFormHost;

struct FormRig {
  EventLog log;
  FakeFormHost host{log};
  FakeForm form{host, log};
};

TEST(FormShow, RunsTheShowHandlerBeforeTheWindowIsDisplayedAndBroughtToTheFront) {
  FormRig rig;
  rig.form.OnShow = [&] { rig.log.push_back("FormShow"); };
  rig.form.Show();
  EXPECT_EQ(rig.log, (EventLog{"FormShow", "display", "front"}));
  EXPECT_TRUE(rig.form.Visible());
}

TEST(FormShow, AnErrorInTheShowHandlerIsReportedAndTheFormIsDisplayedAfterwards) {
  FormRig rig;
  rig.form.OnShow = [&] {
    rig.log.push_back("FormShow");
    throw AppError("Bitmap image is not valid");
  };
  rig.form.Show();
  EXPECT_EQ(rig.log, (EventLog{"FormShow", "error box: Bitmap image is not valid", "display", "front"}));
  EXPECT_TRUE(rig.form.Visible());
}

TEST(FormShow, AShowHandlerThatHidesTheFormAgainKeepsItFromBeingDisplayed) {
  FormRig rig;
  rig.form.OnShow = [&] { rig.form.Hide(); };
  rig.form.Show();
  EXPECT_EQ(rig.log, (EventLog{"hide window"}));
  EXPECT_FALSE(rig.form.Visible());
}

TEST(FormShow, ShowingAVisibleFormRunsNoHandlerAgainAndHidingRunsTheHideHandlerFirst) {
  FormRig rig;
  int shows = 0;
  rig.form.OnShow = [&] { ++shows; };
  rig.form.OnHide = [&] { rig.log.push_back("FormHide"); };
  rig.form.Show();
  rig.form.SetVisible(true);
  EXPECT_EQ(shows, 1);
  rig.log.clear();
  rig.form.Hide();
  EXPECT_EQ(rig.log, (EventLog{"FormHide", "hide window"}));
}

TEST(FormClose, AModalFormOnlyEndsItsModalShowWithCancel) {
  FormRig rig;
  rig.host.mainForm = &rig.form;
  rig.form.OnClose = [&](CloseAction&) { rig.log.push_back("FormClose"); };
  FormCore::ModalScope modal(rig.form);
  rig.form.Close();
  EXPECT_EQ(rig.form.ModalResult(), mrCancel);
  EXPECT_TRUE(rig.log.empty()) << rig.log.front();
}

TEST(FormClose, TheMainFormEndsTheProgramWithoutAskingItsCloseHandler) {
  FormRig rig;
  rig.host.mainForm = &rig.form;
  rig.form.OnClose = [&](CloseAction&) { rig.log.push_back("FormClose"); };
  rig.form.Show();
  rig.log.clear();
  rig.form.Close();
  EXPECT_EQ(rig.log, (EventLog{"terminate"}));
  EXPECT_TRUE(rig.form.Visible());
}

TEST(FormClose, AnyOtherFormAsksThenDoesWhatItsCloseHandlerDecides) {
  struct Case {
    CloseAction action;
    EventLog after;
    bool visible;
  };
  for (const Case& c : {Case{CloseAction::caHide, {"hide window"}, false},
                        Case{CloseAction::caFree, {"hide window"}, false},
                        Case{CloseAction::caNone, {}, true},
                        Case{CloseAction::caMinimize, {"minimise window"}, true}}) {
    FormRig rig;
    rig.form.OnClose = [&](CloseAction& action) {
      EXPECT_EQ(action, CloseAction::caHide) << "hiding is what a close does unless the handler says otherwise";
      rig.log.push_back("FormClose");
      action = c.action;
    };
    rig.form.Show();
    rig.log.clear();
    rig.form.Close();
    EventLog expected{"close query", "FormClose"};
    expected.insert(expected.end(), c.after.begin(), c.after.end());
    EXPECT_EQ(rig.log, expected) << static_cast<int>(c.action);
    EXPECT_EQ(rig.form.Visible(), c.visible);
  }
}

TEST(FormClose, AFormThatRefusesInItsQueryNeverReachesItsCloseHandler) {
  FormRig rig;
  rig.form.allowClose = false;
  rig.form.OnClose = [&](CloseAction&) { rig.log.push_back("FormClose"); };
  rig.form.Show();
  rig.log.clear();
  rig.form.Close();
  EXPECT_EQ(rig.log, (EventLog{"close query"}));
  EXPECT_TRUE(rig.form.Visible());
}

TEST(FormHandlerErrors, AnErrorInTheCreateHandlerIsReportedAndTheFormLivesOn) {
  FormRig rig;
  rig.form.OnCreate = [] { throw AppError("Resource 128 not found"); };
  rig.form.RunCreateHandler();
  EXPECT_EQ(rig.host.errors, (std::vector<std::string>{"Resource 128 not found"}));
  rig.form.Show();
  EXPECT_TRUE(rig.form.Visible());
}

TEST(FormHandlerErrors, DestroyHidesWithoutTheHideHandlerAndAnErrorInTheDestroyHandlerIsReported) {
  FormRig rig;
  rig.form.OnHide = [&] { rig.log.push_back("FormHide"); };
  rig.form.OnDestroy = [&] {
    rig.log.push_back("FormDestroy");
    throw 42;
  };
  rig.form.Show();
  rig.log.clear();
  rig.form.RunDestroyHandler();
  EXPECT_EQ(rig.log, (EventLog{"hide window", "FormDestroy", "error box: Unknown error"}));
  EXPECT_FALSE(rig.form.Visible());
}

TEST(FormHandlerErrors, TheGuardSaysWhetherTheHandlerRanToItsEnd) {
  EventLog log;
  FakeFormHost host{log};
  EXPECT_TRUE(host.Guarded([] {}));
  EXPECT_FALSE(host.Guarded([] { throw std::runtime_error("Out of system resources"); }));
  EXPECT_EQ(host.errors, (std::vector<std::string>{"Out of system resources"}));
}

TEST(FormMinimise, TheMainFormsMinimiseBoxMinimisesTheProgramAndOtherFormsKeepTheirOwn) {
  FormRig rig;
  FakeForm other{rig.host, rig.log, 20};
  rig.host.mainForm = &rig.form;
  EXPECT_TRUE(rig.form.MinimizeProgramFor());
  EXPECT_FALSE(other.MinimizeProgramFor());
  EXPECT_EQ(rig.log, (EventLog{"minimise program"}));
}

TEST(FormActivation, TheHostHearsOfItBeforeTheActivateHandlerRuns) {
  FormRig rig;
  rig.form.OnActivate = [&] { rig.log.push_back("FormActivate"); };
  rig.form.Activated();
  EXPECT_EQ(rig.log, (EventLog{"activated 10", "FormActivate"}));
}

TEST(FormModal, AVisibleOrAlreadyModalFormCannotBeShownModally) {
  FormRig rig;
  {
    FormCore::ModalScope modal(rig.form);
    EXPECT_TRUE(rig.form.Modal());
    EXPECT_THROW(FormCore::ModalScope again(rig.form), AppError);
  }
  EXPECT_FALSE(rig.form.Modal());
  rig.form.Show();
  EXPECT_THROW(FormCore::ModalScope visible(rig.form), AppError);
  EXPECT_FALSE(rig.form.Modal());
}

} // namespace
} // namespace fablewick

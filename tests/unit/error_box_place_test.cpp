#include "app/dialog_place.h"
#include "app/error_box_place.h"
#include "app/messages.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace fablewick {
namespace {

class FakeMonitors : public Monitors {
public:
  // As MonitorFromWindow does, even for no window: the primary (100) by default.
  MonitorId MonitorOf(WindowHandle window) override { return monitorOf.contains(window) ? monitorOf[window] : 100; }
  std::optional<Rect> WorkArea(MonitorId monitor) override {
    auto found = workAreas.find(monitor);
    if (found == workAreas.end()) return std::nullopt;
    return found->second;
  }
  std::map<WindowHandle, MonitorId> monitorOf;
  std::map<MonitorId, Rect> workAreas;
};

constexpr WindowHandle Owner = 1, Launcher = 2;

TEST(ErrorBoxMonitor, TheOwnerMovesToTheCentreOfTheWorkAreaOfTheActiveWindowsMonitor) {
  FakeMonitors monitors;
  monitors.monitorOf = {{Owner, 100}, {Launcher, 200}};
  monitors.workAreas = {{100, Rect{0, 0, 1024, 738}}, {200, Rect{1024, 0, 2304, 1000}}};
  EXPECT_EQ(ErrorBoxOwnerPlace(monitors, Launcher, Owner), (Point{1664, 500}));
}

TEST(ErrorBoxMonitor, TheOwnerStaysOnItsOwnMonitorWithoutAnActiveWindowOrAReadableWorkArea) {
  FakeMonitors monitors;
  monitors.monitorOf = {{Owner, 100}, {Launcher, 100}};
  monitors.workAreas = {{100, Rect{0, 0, 1024, 738}}};
  EXPECT_EQ(ErrorBoxOwnerPlace(monitors, Launcher, Owner), std::nullopt) << "same monitor";
  EXPECT_EQ(ErrorBoxOwnerPlace(monitors, 0, Owner), std::nullopt) << "no active window";
  monitors.monitorOf[Launcher] = 300;
  EXPECT_EQ(ErrorBoxOwnerPlace(monitors, Launcher, Owner), std::nullopt) << "unreadable work area";
}

TEST(DialogMonitor, TheDialogIsCentredOnTheWorkAreaOfTheMonitorOfTheWindowItBelongsTo) {
  FakeMonitors monitors;
  monitors.monitorOf = {{Launcher, 200}};
  // The second monitor's taskbar is along its top.
  monitors.workAreas = {{100, Rect{0, 0, 1024, 738}}, {200, Rect{1024, 40, 1824, 600}}};
  const std::optional<Rect> area = DialogArea(monitors, Launcher);
  ASSERT_EQ(area, (Rect{1024, 40, 1824, 600}));
  EXPECT_EQ(CentredIn(*area, 300, 101), (Point{1274, 269}));
  EXPECT_EQ(CentredIn(*area, 1000, 700), (Point{924, -30})) << "a box larger than the monitor overhangs evenly";

  EXPECT_EQ(DialogArea(monitors, 0), std::nullopt) << "before the launcher exists: the primary screen";
  monitors.monitorOf[Launcher] = 300;
  EXPECT_EQ(DialogArea(monitors, Launcher), std::nullopt) << "unreadable monitor";
}

TEST(DialogType, AnErrorShowsTheStopIconUnderErrorAndInformationItsOwnIconAndCaption) {
  EXPECT_EQ(std::string(LookOf(MessageType::Error).caption), "Error");
  EXPECT_EQ(LookOf(MessageType::Error).icon, DialogIcon::Stop);
  EXPECT_EQ(std::string(LookOf(MessageType::Information).caption), "Information");
  EXPECT_EQ(LookOf(MessageType::Information).icon, DialogIcon::Information);
}

} // namespace
} // namespace fablewick

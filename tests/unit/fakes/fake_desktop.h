#pragma once

#include "intro/desktop.h"

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace fablewick::fakes {

// A desktop with a main taskbar (optional), taskbars on other monitors and
// the monitors themselves. Every call is noted in `log` (when given) so tests
// can check the order of the steps across fakes.
class FakeDesktop : public Desktop {
public:
  static constexpr WindowHandle Taskbar = 0x20020;
  static constexpr WindowHandle SecondTaskbar = 0x20030;

  std::vector<WindowHandle> FindTaskbars() override {
    Note("find taskbars");
    std::vector<WindowHandle> found;
    if (hasTaskbar) found.push_back(Taskbar);
    for (WindowHandle other : otherTaskbars) found.push_back(other);
    return found;
  }
  std::optional<Rect> GetWorkArea() override {
    Note("get work area");
    if (!workAreaReadable) return std::nullopt;
    return workArea;
  }
  void SetWorkArea(const Rect& area) override {
    Note("set work area " + Describe(area));
    workArea = area;
    workAreaWrites.push_back(area);
    if (afterChange) afterChange();
  }
  void PlaceTaskbar(WindowHandle taskbar, TaskbarPlace place) override {
    Note(Name(taskbar) + (place == TaskbarPlace::Bottom ? " bottom" : " topmost"));
    if (taskbar == Taskbar) taskbarPlace = place;
  }
  void ShowTaskbar(WindowHandle taskbar, bool visible) override {
    Note(Name(taskbar) + (visible ? " show" : " hide"));
    if (taskbar == Taskbar) taskbarVisible = visible;
    else hiddenOthers[taskbar] = !visible;
    if (afterChange) afterChange();
  }
  ScreenSize GetScreenSize() override { return screen; }

  std::vector<MonitorArea> GetMonitors() override { return monitors; }
  bool AnyMonitorInHdr() override { return hdr; }
  WindowHandle CoverMonitor(const Rect& area) override {
    Note("cover " + Describe(area));
    if (!coverable) return 0;
    covers[++lastCover] = area;
    return lastCover;
  }
  void Uncover(WindowHandle cover) override {
    Note("uncover " + (covers.count(cover) ? Describe(covers[cover]) : std::string("(wrong window)")));
    covers.erase(cover);
  }
  void MarkFullScreen(WindowHandle window, bool fullScreen) override {
    Note(std::string(fullScreen ? "mark" : "unmark") + " full screen");
    fullScreenWindow = fullScreen ? window : 0;
  }

  static std::string Describe(const Rect& r) {
    return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) +
           "," + std::to_string(r.bottom);
  }
  bool OtherTaskbarHidden(WindowHandle taskbar) { return hiddenOthers[taskbar]; }

  bool hasTaskbar = true;
  std::vector<WindowHandle> otherTaskbars;
  bool workAreaReadable = true;
  bool taskbarVisible = true;
  TaskbarPlace taskbarPlace = TaskbarPlace::Bottom;
  Rect workArea{0, 0, 1024, 738};
  ScreenSize screen{1024, 768};
  std::vector<Rect> workAreaWrites;
  std::vector<MonitorArea> monitors{{Rect{0, 0, 1024, 768}, true}};
  bool hdr = false;
  bool coverable = true;
  std::map<WindowHandle, Rect> covers;
  WindowHandle fullScreenWindow = 0;
  std::vector<std::string>* log = nullptr;
  // Runs once the work area or a taskbar's visibility has changed.
  std::function<void()> afterChange;

private:
  std::string Name(WindowHandle taskbar) const {
    if (taskbar == Taskbar) return "taskbar";
    for (WindowHandle other : otherTaskbars) {
      if (other == taskbar) return "other taskbar";
    }
    return "taskbar (wrong window)";
  }
  void Note(const std::string& what) {
    if (log) log->push_back(what);
  }

  std::map<WindowHandle, bool> hiddenOthers;
  WindowHandle lastCover = 0x40000;
};

} // namespace fablewick::fakes

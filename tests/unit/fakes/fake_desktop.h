#pragma once

#include "intro/desktop.h"

#include <string>
#include <vector>

namespace fablewick::fakes {

// A desktop with an optional taskbar. Every call is noted in `log` (when
// given) so tests can check the order of the steps across fakes.
class FakeDesktop : public Desktop {
public:
  static constexpr WindowHandle Taskbar = 0x20020;

  WindowHandle FindTaskbar() override {
    Note("find taskbar");
    return hasTaskbar ? Taskbar : 0;
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
  }
  void PlaceTaskbar(WindowHandle taskbar, TaskbarPlace place) override {
    Note(std::string("taskbar ") + (place == TaskbarPlace::Bottom ? "bottom" : "topmost") +
         (taskbar == Taskbar ? "" : " (wrong window)"));
    taskbarPlace = place;
  }
  void ShowTaskbar(WindowHandle taskbar, bool visible) override {
    Note(std::string("taskbar ") + (visible ? "show" : "hide") +
         (taskbar == Taskbar ? "" : " (wrong window)"));
    taskbarVisible = visible;
  }
  ScreenSize GetScreenSize() override { return screen; }

  static std::string Describe(const Rect& r) {
    return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) +
           "," + std::to_string(r.bottom);
  }

  bool hasTaskbar = true;
  bool workAreaReadable = true;
  bool taskbarVisible = true;
  TaskbarPlace taskbarPlace = TaskbarPlace::Bottom;
  Rect workArea{0, 0, 1024, 738};
  ScreenSize screen{1024, 768};
  std::vector<Rect> workAreaWrites;
  std::vector<std::string>* log = nullptr;

private:
  void Note(const std::string& what) {
    if (log) log->push_back(what);
  }
};

} // namespace fablewick::fakes

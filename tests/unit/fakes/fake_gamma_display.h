#pragma once

#include "intro/gamma_display.h"

#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace fablewick::fakes {

// Displays keyed by window, each with the ramp currently in force. A window
// with no display entry has no readable ramp, like an X server without one.
class FakeGammaDisplay : public GammaDisplay {
public:
  static constexpr WindowHandle Desktop = 0x10010;

  WindowHandle DesktopWindow() override { return Desktop; }

  bool ReadRamp(WindowHandle window, GammaRamp& ramp) override {
    ++reads;
    auto found = displays.find(window);
    if (found == displays.end()) return false;
    ramp = found->second;
    return true;
  }

  bool WriteRamp(WindowHandle window, const GammaRamp& ramp) override {
    writes.push_back({window, ramp});
    if (log) log->push_back("gamma " + std::to_string(LevelOf(window, ramp)));
    if (refusing.count(window) != 0 || (accepts && !accepts(ramp))) return false;
    // A display that reports success but keeps what it had.
    if (ignoring.count(window) == 0) displays[window] = ramp;
    return true;
  }

  // A ramp whose entries are all different, so a wrong index shows.
  static GammaRamp DistinctRamp(std::uint16_t seed = 0) {
    GammaRamp ramp{};
    for (std::size_t i = 0; i < ramp.size(); ++i) {
      ramp[i] = static_cast<std::uint16_t>((i * 85 + 17 + seed) % 65536);
    }
    ramp[255] = 65535;
    return ramp;
  }

  // The percentage a written ramp corresponds to, read from its largest
  // entry against the ramp the test installed as the reference.
  int LevelOf(WindowHandle window, const GammaRamp& ramp) const {
    auto reference = references.find(window);
    if (reference == references.end()) return -1;
    std::size_t peak = 0;
    for (std::size_t i = 0; i < ramp.size(); ++i) {
      if (reference->second[i] > reference->second[peak]) peak = i;
    }
    if (reference->second[peak] == 0) return -1;
    return static_cast<int>((static_cast<long>(ramp[peak]) * 100 + reference->second[peak] - 1) /
                            reference->second[peak]);
  }

  void Install(WindowHandle window, const GammaRamp& ramp) {
    displays[window] = ramp;
    references[window] = ramp;
  }

  struct Write {
    WindowHandle window;
    GammaRamp ramp;
  };

  std::map<WindowHandle, GammaRamp> displays;
  std::map<WindowHandle, GammaRamp> references;
  std::set<WindowHandle> refusing;
  std::set<WindowHandle> ignoring;
  // When set, the ramps every display refuses (as Wine refuses all-zero).
  std::function<bool(const GammaRamp&)> accepts;
  std::vector<Write> writes;
  int reads = 0;
  std::vector<std::string>* log = nullptr;
};

} // namespace fablewick::fakes

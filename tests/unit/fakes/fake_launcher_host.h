#pragma once

#include "launcher/launcher_ports.h"
#include "launcher/settings.h"
#include "fakes/fake_clock.h"

#include <cstdint>
#include <functional>
#include <map>
#include <utility>
#include <string>
#include <vector>

namespace fablewick::fakes {

// The launcher window's surroundings: pictures, sounds, the frame and the
// intro window. Everything it is asked to do goes into the shared event log
// as a short line ("hover 2", "play 128", "terminate"). Sounds last for the
// length given per resource and end as the fake clock passes that length.
// The one setting's check mark is `checked`.
class FakeLauncherHost : public LauncherHost, public SettingMarks {
public:
  FakeLauncherHost(FakeClock& clock, std::vector<std::string>& events)
      : clock_(clock), events_(events) {}

  void ShowBasePicture() override { Log("base"); }
  void ShowHoverPicture(int region) override { Log("hover " + std::to_string(region)); }
  void DrawPressedOverlay(int region, int left, int top) override {
    Log("overlay " + std::to_string(region) + " at " + std::to_string(left) + "," +
        std::to_string(top));
  }

  void PlaySoundResource(int id) override {
    Log("play " + std::to_string(id));
    playedAt.push_back({id, clock_.Ticks()});
    if (soundEnabled) endsAt.push_back(clock_.Ticks() + soundLengths[id]);
  }
  void StopAllSounds() override {
    Log("stop");
    if (stopSilences) endsAt.clear();
  }
  bool AnySoundPlaying() override {
    const std::uint32_t now = clock_.Ticks();
    for (std::uint32_t end : endsAt) {
      if (static_cast<std::int32_t>(end - now) > 0) return true;
    }
    return false;
  }

  void Terminate() override {
    Log("terminate");
    terminatedAt.push_back(clock_.Ticks());
    if (onTerminate) onTerminate();
  }

  void SetMainForm() override { Log("set main form"); }
  bool AnyMovieExists() override {
    Log("movies?");
    return moviesPresent;
  }
  void ShowIntroModal() override {
    Log("intro");
    if (onIntro) onIntro();
  }

  bool Checked(Setting) override { return checked; }
  void SetChecked(Setting, bool value) override {
    checked = value;
    Log(value ? "check on" : "check off");
  }

  void Log(const std::string& line) { events_.push_back(line); }

  // Lengths roughly those of the package's click, quit sound and tune.
  std::map<int, std::uint32_t> soundLengths{{128, 140}, {130, 1200}, {132, 6200}};
  bool soundEnabled = true;
  // False models voices that go on reporting themselves as playing for a
  // while after being stopped.
  bool stopSilences = true;
  std::vector<std::uint32_t> endsAt;
  std::vector<std::pair<int, std::uint32_t>> playedAt;
  std::vector<std::uint32_t> terminatedAt;
  bool moviesPresent = false;
  std::function<void()> onIntro;
  std::function<void()> onTerminate;
  bool checked = false;

private:
  FakeClock& clock_;
  std::vector<std::string>& events_;
};

} // namespace fablewick::fakes

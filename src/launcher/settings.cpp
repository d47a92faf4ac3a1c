#include "launcher/settings.h"

#include "app/startup_trace.h"
#include "launcher/launch.h"
#include "launcher/registry_accessor.h"

#include <cstdio>

namespace fablewick {

std::string MusicValueName() {
  char name[16];
  std::snprintf(name, sizeof name, "%i", kMusicValueNumber);
  return name;
}

bool IsFirstStart(Registry& registry) { return !RegistryAccessor(registry).KeyExists(std::string(kLauncherKey)); }

void FormShow(LauncherPorts& ports, bool& musicEnabled) {
  ports.host.SetMainForm();
  {
    RegistryAccessor registry(ports.registry);
    registry.OpenKey(std::string(kInstallKey));
    if (registry.ValueExists(std::string(kInstallDirValue))) {
      EnterGameFolder(ports, registry.ReadText(std::string(kInstallDirValue)));
    }
    registry.CloseKey();

    // Looked up after the directory change: the movies lie in the package's
    // directory, not where the program was started.
    if (IsFirstStart(ports.registry) && ports.host.AnyMovieExists()) {
      ports.host.ShowIntroModal();
    }

    registry.OpenKey(std::string(kLauncherKey));
    const std::string musicValue = MusicValueName();
    if (registry.ValueExists(musicValue)) musicEnabled = registry.ReadBool(musicValue);
    registry.CloseKey();
  }
  FABLEWICK_STARTUP_MARK("registry");

  if (musicEnabled) ports.host.PlaySoundResource(kOpeningTune);
  ports.host.SetPlayOpeningMusicChecked(musicEnabled);
}

void PlayOpeningMusic1Click(LauncherPorts& ports, bool& musicEnabled) {
  // Taken from the mark rather than the field, so a start whose read failed
  // (mark off, field still true) stores a clean 1 on the first click.
  musicEnabled = !ports.host.PlayOpeningMusicChecked();
  ports.host.SetPlayOpeningMusicChecked(musicEnabled);

  RegistryAccessor registry(ports.registry);
  registry.OpenKey(std::string(kLauncherKey));
  registry.WriteBool(MusicValueName(), musicEnabled);
}

} // namespace fablewick

#include "launcher/settings.h"

#include "app/startup_trace.h"
#include "launcher/launch.h"
#include "launcher/registry_accessor.h"

#include <string>

namespace fablewick {

SettingValues DefaultSettings() {
  SettingValues values{};
  for (int s = 0; s < kSettingCount; ++s) values[s] = kSettings[s].byDefault;
  return values;
}

bool IsFirstStart(Registry& registry) { return !RegistryAccessor(registry).KeyExists(std::string(kLauncherKey)); }

void FormShow(LauncherPorts& ports, SettingMarks& marks, SettingValues& values) {
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
    for (int s = 0; s < kSettingCount; ++s) {
      const std::string name(kSettings[s].valueName);
      if (registry.ValueExists(name)) values[s] = registry.ReadBool(name);
    }
    registry.CloseKey();
  }
  FABLEWICK_STARTUP_MARK("registry");

  if (values[kMusicEnabled]) ports.host.PlaySoundResource(kOpeningTune);
  for (int s = 0; s < kSettingCount; ++s) marks.SetChecked(Setting(s), values[s]);
}

void SettingClick(LauncherPorts& ports, SettingMarks& marks, SettingValues& values, Setting setting) {
  // Taken from the mark rather than the value, so a start whose read failed
  // (mark off, value still true) stores a clean 1 on the first click.
  values[setting] = !marks.Checked(setting);
  marks.SetChecked(setting, values[setting]);

  RegistryAccessor registry(ports.registry);
  registry.OpenKey(std::string(kLauncherKey));
  registry.WriteBool(std::string(kSettings[setting].valueName), values[setting]);
}

} // namespace fablewick

#pragma once

#include "launcher/launcher_ports.h"
#include "resources/resource.h"

#include <array>
#include <string_view>

namespace fablewick {

inline constexpr std::string_view kInstallKey = "Software\\Quillmere\\Marrowkins\\1.0";
inline constexpr std::string_view kInstallDirValue = "InstallDir";
// Its mere existence marks that the launcher has started before.
inline constexpr std::string_view kLauncherKey = "Software\\Quillmere\\Launcher\\1.0";
inline constexpr int kOpeningTune = IDW_OPENING_MUSIC;

// The launcher's stored choices. Each is a 32-bit 1 or 0 under the
// launcher's key, stored only once its menu item has been used; until then
// its default holds.
enum Setting : int { kMusicEnabled, kSettingCount };
struct SettingRow {
  std::string_view valueName;
  bool byDefault;
  // The File menu's check item that shows the choice and flips it.
  std::string_view menuItem;
};
inline constexpr std::array<SettingRow, kSettingCount> kSettings{{
    // The opening tune: named by the decimal text of the number 128.
    {"128", true, "PlayOpeningMusic1"},
}};

// One window's values of every setting, in the table's order.
using SettingValues = std::array<bool, kSettingCount>;
SettingValues DefaultSettings();

// The check marks of the settings' menu items.
class SettingMarks {
public:
  virtual ~SettingMarks() = default;
  virtual bool Checked(Setting setting) = 0;
  virtual void SetChecked(Setting setting, bool checked) = 0;
};

// A first start is one without the launcher's key; only then may the intro
// show before the launcher, so a later start can build the intro window
// after the launcher is on screen.
bool IsFirstStart(Registry& registry);

// The launcher window's show handler, run once per process before the window
// is displayed. values are the window's own: a registry error that ends the
// handler early leaves those not yet read as they were.
void FormShow(LauncherPorts& ports, SettingMarks& marks, SettingValues& values);

// A setting's menu item: flips the choice and stores it for the next start;
// the tune playing now is left alone.
void SettingClick(LauncherPorts& ports, SettingMarks& marks, SettingValues& values, Setting setting);

} // namespace fablewick

#pragma once

#include "launcher/launcher_ports.h"
#include "resources/resource.h"

#include <string>
#include <string_view>

namespace fablewick {

inline constexpr std::string_view kInstallKey = "Software\\Quillmere\\Marrowkins\\1.0";
inline constexpr std::string_view kInstallDirValue = "InstallDir";
// Its mere existence marks that the launcher has started before.
inline constexpr std::string_view kLauncherKey = "Software\\Quillmere\\Launcher\\1.0";
inline constexpr int kOpeningTune = IDW_OPENING_MUSIC;

// The opening-tune choice is stored under the decimal text of this number.
inline constexpr int kMusicValueNumber = 128;
std::string MusicValueName();

// A first start is one without the launcher's key; only then may the intro
// show before the launcher, so a later start can build the intro window
// after the launcher is on screen.
bool IsFirstStart(Registry& registry);

// The launcher window's show handler, run once per process before the window
// is displayed. musicEnabled is the window's own field: it keeps its value
// when a registry error ends the handler early.
void FormShow(LauncherPorts& ports, bool& musicEnabled);

// The "Play Opening Music" item: flips the choice and stores it for the next
// start; the tune playing now is left alone.
void PlayOpeningMusic1Click(LauncherPorts& ports, bool& musicEnabled);

} // namespace fablewick

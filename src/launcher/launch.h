#pragma once

#include "launcher/launcher_ports.h"
#include "launcher/pointer_step.h"
#include "resources/resource.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace fablewick {

inline constexpr int kQuitSound = IDW_QUIT;

inline constexpr std::uint32_t kLaunchGraceMs = 1500;
inline constexpr std::uint32_t kQuitStopWaitMs = 500;
inline constexpr std::uint32_t kQuitSoundWaitMs = 2000;
inline constexpr std::uint32_t kSoundPollMs = 100;

inline constexpr std::string_view kSupportAddress = "http://support.quillmere.example";
inline constexpr std::string_view kHelpText =
    "Click the game you want to launch.  For more help, select Help from within a specific game.";

std::string MissingGameText(std::string_view fileName);

// The text shown when the game's file is there but the shell refuses to start
// it (a damaged or foreign executable): the launcher stays open rather than
// closing as though the game had started.
std::string UnstartableGameText(std::string_view fileName);

// Makes the package's folder current, where the games and movies are looked
// for: under its own name, or where the system refuses that (a path longer
// than it takes without its long-path setting), under its short name. With
// neither, the current directory stays as it was, nothing is reported, and
// the folder is kept in ports.unreachableFolder. An empty text changes
// nothing.
void EnterGameFolder(LauncherPorts& ports, const std::u16string& folder);

// A release of any button over Background. Completes the click when it lands
// on the armed caption; otherwise disarms and leaves the picture alone.
void ReleaseStep(HoverState& state, LauncherPorts& ports, int x, int y);

// Starts the named game from the current directory and ends the launcher once
// the click has sounded; no name means Quit.
void LaunchGame(LauncherPorts& ports, std::optional<std::string_view> fileName);

void Quit1Click(LauncherPorts& ports);
void AboutFablewick1Click(LauncherPorts& ports);
void FablewickHelp1Click(LauncherPorts& ports);

} // namespace fablewick

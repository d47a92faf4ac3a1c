#include "launcher/launch.h"

namespace fablewick {
namespace {

// Tick readings wrap every 49.7 days; only the signed difference says which
// of two readings is later, so a deadline past the wrap is neither reached at
// once nor never.
bool DeadlineReached(Clock& clock, std::uint32_t deadline) {
  return TickReached(clock.Ticks(), deadline);
}

void WaitWhileSoundPlays(LauncherPorts& ports, std::uint32_t limitMs) {
  const std::uint32_t deadline = ports.clock.Ticks() + limitMs;
  while (ports.host.AnySoundPlaying() && !DeadlineReached(ports.clock, deadline)) {
    ports.clock.Sleep(kSoundPollMs);
  }
}

} // namespace

namespace {

std::string GameTroubleText(std::string_view trouble, std::string_view fileName) {
  std::string text = "We're sorry, but we could not ";
  text += trouble;
  text += " the ";
  text += fileName;
  text += " application.\nPlease try reinstalling the card table package, or visit\n";
  text += kSupportAddress;
  text += " for more assistance.";
  return text;
}

} // namespace

std::string MissingGameText(std::string_view fileName) { return GameTroubleText("find", fileName); }

std::string UnstartableGameText(std::string_view fileName) {
  return GameTroubleText("start", fileName);
}

void ReleaseStep(HoverState& state, LauncherPorts& ports, int x, int y) {
  const int hit = HitTest(x, y);
  if (hit != kNoRegion && hit == state.armedRegion) {
    LaunchGame(ports, kHotRegions[hit].target);
  } else {
    state.armedRegion = kNoRegion;
  }
}

void LaunchGame(LauncherPorts& ports, std::optional<std::string_view> fileName) {
  ports.host.PlaySoundResource(kClickSound);
  if (!fileName) {
    Quit1Click(ports);
    return;
  }

  const std::string name(*fileName);
  if (!ports.shell.IsPlainFile(name)) {
    ports.messages.ShowMessage(MissingGameText(name), MessageType::Error);
    return;
  }

  if (!ports.shell.OpenDetached(name)) {
    ports.messages.ShowMessage(UnstartableGameText(name), MessageType::Error);
    return;
  }
  const std::uint32_t deadline = ports.clock.Ticks() + kLaunchGraceMs;
  while (ports.host.AnySoundPlaying() || !DeadlineReached(ports.clock, deadline)) {
    ports.clock.Sleep(kSoundPollMs);
  }
  ports.host.Terminate();
}

void Quit1Click(LauncherPorts& ports) {
  ports.host.StopAllSounds();
  WaitWhileSoundPlays(ports, kQuitStopWaitMs);
  ports.host.PlaySoundResource(kQuitSound);
  WaitWhileSoundPlays(ports, kQuitSoundWaitMs);
  ports.host.Terminate();
}

void AboutFablewick1Click(LauncherPorts& ports) {
  if (ports.host.AnyMovieExists()) ports.host.ShowIntroModal();
}

void FablewickHelp1Click(LauncherPorts& ports) {
  ports.messages.ShowMessage(std::string(kHelpText), MessageType::Information);
}

} // namespace fablewick

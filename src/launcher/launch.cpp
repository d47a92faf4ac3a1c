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

// The folder as the message shows it; a unit that is no character (a lone
// surrogate) becomes U+FFFD.
std::string Utf8FromUtf16(const std::u16string& text) {
  std::string out;
  auto put = [&](char32_t c) {
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else if (c < 0x800) {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
      out += static_cast<char>(0xE0 | (c >> 12));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | (c >> 18));
      out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  };
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char32_t unit = text[i];
    if (unit >= 0xD800 && unit < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] < 0xE000) {
      put(0x10000 + ((unit - 0xD800) << 10) + (text[i + 1] - 0xDC00));
      ++i;
    } else {
      put(unit >= 0xD800 && unit < 0xE000 ? 0xFFFD : unit);
    }
  }
  return out;
}

// The game as the missing-game message names it: the bare name, which is
// where the launcher looked, or, when the package's folder could not be made
// current, the game's place in that folder, which tells the user which
// folder the launcher could not use.
std::string MissingGameName(const LauncherPorts& ports, const std::string& fileName) {
  if (ports.unreachableFolder.empty()) return fileName;
  std::string folder = Utf8FromUtf16(ports.unreachableFolder);
  if (folder.back() != '\\' && folder.back() != '/') folder += '\\';
  return folder + fileName;
}

} // namespace

std::string MissingGameText(std::string_view fileName) { return GameTroubleText("find", fileName); }

std::string UnstartableGameText(std::string_view fileName) {
  return GameTroubleText("start", fileName);
}

void EnterGameFolder(LauncherPorts& ports, const std::u16string& folder) {
  ports.unreachableFolder.clear();
  if (ports.shell.MakeCurrent(folder)) return;
  // Asked for whatever the length: a folder can be refused for reasons other
  // than its length, and the short name is the only other way in.
  const std::u16string alias = ports.shell.ShortName(folder);
  if (!alias.empty() && alias != folder && ports.shell.MakeCurrent(alias)) return;
  ports.unreachableFolder = folder;
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
    ports.messages.ShowMessage(MissingGameText(MissingGameName(ports, name)), MessageType::Error);
    return;
  }

  switch (ports.shell.OpenDetached(name)) {
  case StartResult::Started:
    break;
  case StartResult::Refused:
    ports.messages.ShowMessage(UnstartableGameText(name), MessageType::Error);
    return;
  case StartResult::Cancelled:
    // The user's own answer at the system's prompt: nothing went wrong, so
    // nothing is shown, and the launcher stays for another choice.
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

#include "intro/win32/vcr_player.h"


namespace fablewick::win32 {

VcrPlayer::VcrPlayer(ControlOwner& owner, std::string name)
    : MediaPlayerControl(owner, std::move(name)),
      // Notices arrive on the player's own window, outside any form's
      // message guard, so the handler is guarded here.
      mci_([this] { Owner().ErrorHost().Guarded([this] { DoNotify(); }); }) {}

void VcrPlayer::Open(const std::string& fileName) {
  Control* display = Display();
  mci_.SetDisplay(display != nullptr ? display->Handle() : nullptr);
  mci_.Open(fileName);
}

} // namespace fablewick::win32

#pragma once

#include "app/win32/controls.h"
#include "intro/movie_player.h"
#include "intro/win32/mci_player.h"

namespace fablewick::win32 {

// The intro window's media player control: the layout's TMediaPlayer (its
// device type, display control and notify event) backed by an MCI device.
// Each movie is drawn into the layout's display control, and every
// completion notice runs the bound notify handler inside the frame's error
// guard.
class VcrPlayer : public MediaPlayerControl, public MoviePlayer {
public:
  VcrPlayer(ControlOwner& owner, std::string name);

  void Open(const std::string& fileName) override;
  bool IsOpen() const override { return mci_.IsOpen(); }
  bool HasVideo() const override { return mci_.HasVideo(); }
  bool CanEject() const override { return mci_.CanEject(); }
  void SeekToStart() override { mci_.SeekToStart(); }
  Rect DestinationRect() override { return mci_.DestinationRect(); }
  void SetDestination(const Rect& area) override { mci_.SetDestination(area); }
  void Play() override { mci_.Play(); }
  bool IsPlaying() override { return mci_.IsPlaying(); }
  void Stop() override { mci_.Stop(); }
  void Eject() override { mci_.Eject(); }
  void Close() override { mci_.Close(); }
  MovieNotification LastNotification() const override { return mci_.LastNotification(); }

private:
  MciPlayer mci_;
};

} // namespace fablewick::win32

#pragma once

#include "app/win32/base_window.h"
#include "intro/movie_player.h"

#include <functional>
#include <string>

#include <windows.h>
#include <mmsystem.h>

namespace fablewick::win32 {

// An "AVIVideo" MCI device per movie, drawn into a display window. Completion
// notices arrive on a hidden window of the player's own, on the thread that
// created the player; each one's kind is recorded as it came and then
// handed to `onNotify`.
// A notice still queued for a play that the player itself stopped or closed
// is dropped: only a play that ran to its end is ever reported.
class MciPlayer final : public MoviePlayer, private BaseWindow {
public:
  explicit MciPlayer(std::function<void()> onNotify = {});
  ~MciPlayer() override;
  MciPlayer(const MciPlayer&) = delete;
  MciPlayer& operator=(const MciPlayer&) = delete;

  // The window the video is drawn into; used by the next Open.
  void SetDisplay(HWND display) { display_ = display; }
  HWND NotificationWindow() const { return Window(); }
  MCIDEVICEID DeviceId() const { return device_; }

  void Open(const std::string& fileName) override;
  bool IsOpen() const override { return device_ != 0; }
  bool HasVideo() const override { return hasVideo_; }
  bool CanEject() const override { return canEject_; }

  void SeekToStart() override;
  Rect DestinationRect() override;
  void SetDestination(const Rect& area) override;
  void Play() override;
  bool IsPlaying() override;
  void Stop() override;
  void Eject() override;
  void Close() override;

  MovieNotification LastNotification() const override { return notification_; }

private:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  void Notified(WPARAM kind);
  void DropPendingNotices();
  bool Capability(DWORD item);

  std::function<void()> onNotify_;
  HWND display_ = nullptr;
  MCIDEVICEID device_ = 0;
  bool hasVideo_ = false;
  bool canEject_ = false;
  MovieNotification notification_ = MovieNotification::None;
};

} // namespace fablewick::win32

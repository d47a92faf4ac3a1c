#include "intro/win32/mci_player.h"

#include "app/app_error.h"
#include "app/win32/long_path.h"
#include "app/win32/wide_text.h"
#include "intro/win32/mci_library.h"

#include <digitalv.h>

namespace fablewick::win32 {

namespace {

constexpr char NotifyClassName[] = "FablewickMciNotify";

std::string MciErrorText(MCIERROR error) {
  char text[256] = {};
  if (!MciGetErrorString(error, text, sizeof text) || text[0] == '\0') {
    return "MCI error " + std::to_string(error);
  }
  return text;
}

DWORD_PTR Callback(HWND window) { return reinterpret_cast<DWORD_PTR>(window); }

} // namespace

MciPlayer::MciPlayer(std::function<void()> onNotify) : onNotify_(std::move(onNotify)) {
  // Message-only: it never shows, yet MCI can post to it like to any window.
  CreateWindowFor({.className = NotifyClassName, .parent = HWND_MESSAGE}, "the movie player's window");
}

MciPlayer::~MciPlayer() { Close(); }

LRESULT MciPlayer::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message != MM_MCINOTIFY) return Default(message, wParam, lParam);
  Notified(wParam);
  return 0;
}

void MciPlayer::Notified(WPARAM kind) {
  notification_ = static_cast<MovieNotification>(kind);
  if (onNotify_) onNotify_();
}

void MciPlayer::DropPendingNotices() {
  // Wine's AVI device reports a play it was told to stop or close as
  // successful, and the notice is already queued when the command returns.
  // Left there, it would look like the natural end of whatever plays next.
  MSG stale;
  while (PeekMessageA(&stale, Window(), MM_MCINOTIFY, MM_MCINOTIFY, PM_REMOVE)) {
  }
}

bool MciPlayer::Capability(DWORD item) {
  MCI_GETDEVCAPS_PARMS caps{};
  caps.dwItem = item;
  if (MciSendCommand(device_, MCI_GETDEVCAPS, MCI_GETDEVCAPS_ITEM | MCI_WAIT,
                      reinterpret_cast<DWORD_PTR>(&caps)) != 0) {
    return false;
  }
  return caps.dwReturn != 0;
}

void MciPlayer::Open(const std::string& fileName) {
  Close();
  // Opening over a device that would not close would lose it, still playing.
  if (device_ != 0) throw AppError("Cannot close the previous movie");
  hasVideo_ = false;
  canEject_ = false;

  MCI_OPEN_PARMSW open{};
  const auto openElement = [&](const std::wstring& element) {
    open = MCI_OPEN_PARMSW{};
    open.dwCallback = Callback(Window());
    open.lpstrDeviceType = L"AVIVideo";
    open.lpstrElementName = element.c_str();
    return MciSendCommand(0, MCI_OPEN, MCI_OPEN_TYPE | MCI_OPEN_ELEMENT | MCI_WAIT,
                          reinterpret_cast<DWORD_PTR>(&open));
  };
  const std::wstring element = WideFromUtf8(fileName);
  MCIERROR error = openElement(element);
  // The AVI device's file layer may spell paths in the ANSI code page only,
  // within a fixed buffer (Wine's does), and then misses a file in a folder
  // the code page cannot spell or deeper than that buffer. The short form of
  // the same path is ASCII and short.
  if (error == MCIERR_FILE_NOT_FOUND) {
    const std::wstring alias = ShortFullPath(element);
    if (!alias.empty() && alias != element) error = openElement(alias);
  }
  if (error != 0) throw AppError(MciErrorText(error));
  device_ = open.wDeviceID;

  hasVideo_ = Capability(MCI_GETDEVCAPS_HAS_VIDEO);
  canEject_ = Capability(MCI_GETDEVCAPS_CAN_EJECT);

  // Asked as a media player control does on open; nothing uses the answers.
  for (DWORD item : {static_cast<DWORD>(MCI_STATUS_LENGTH), static_cast<DWORD>(MCI_STATUS_MODE)}) {
    MCI_STATUS_PARMS status{};
    status.dwItem = item;
    MciSendCommand(device_, MCI_STATUS, MCI_STATUS_ITEM | MCI_WAIT,
                    reinterpret_cast<DWORD_PTR>(&status));
  }

  if (hasVideo_) {
    MCI_DGV_WINDOW_PARMSW window{};
    window.hWnd = display_;
    // Without a display window the device draws into a window of its own.
    MciSendCommand(device_, MCI_WINDOW, MCI_DGV_WINDOW_HWND | MCI_WAIT,
                    reinterpret_cast<DWORD_PTR>(&window));
  }
}

void MciPlayer::SeekToStart() {
  MCI_SEEK_PARMS seek{};
  MciSendCommand(device_, MCI_SEEK, MCI_SEEK_TO_START | MCI_WAIT,
                  reinterpret_cast<DWORD_PTR>(&seek));
}

Rect MciPlayer::DestinationRect() {
  MCI_DGV_RECT_PARMS where{};
  MciSendCommand(device_, MCI_WHERE, MCI_DGV_WHERE_DESTINATION,
                  reinterpret_cast<DWORD_PTR>(&where));
  return Rect{where.rc.left, where.rc.top, where.rc.right, where.rc.bottom};
}

void MciPlayer::SetDestination(const Rect& area) {
  MCI_DGV_PUT_PARMS put{};
  // MCI's rectangles hold a width and a height in place of right and bottom;
  // from the origin the two readings agree.
  put.rc = RECT{area.left, area.top, area.right - area.left, area.bottom - area.top};
  MciSendCommand(device_, MCI_PUT, MCI_DGV_PUT_DESTINATION | MCI_DGV_RECT | MCI_WAIT,
                 reinterpret_cast<DWORD_PTR>(&put));
}

void MciPlayer::Play() {
  MCI_PLAY_PARMS play{};
  play.dwCallback = Callback(Window());
  const MCIERROR error =
      MciSendCommand(device_, MCI_PLAY, MCI_NOTIFY, reinterpret_cast<DWORD_PTR>(&play));
  if (error != 0) throw AppError(MciErrorText(error));
}

bool MciPlayer::IsPlaying() {
  MCI_STATUS_PARMS status{};
  status.dwItem = MCI_STATUS_MODE;
  if (MciSendCommand(device_, MCI_STATUS, MCI_STATUS_ITEM | MCI_WAIT,
                      reinterpret_cast<DWORD_PTR>(&status)) != 0) {
    return false;
  }
  return status.dwReturn == MCI_MODE_PLAY;
}

void MciPlayer::Stop() {
  MCI_GENERIC_PARMS stop{};
  stop.dwCallback = Callback(Window());
  MciSendCommand(device_, MCI_STOP, MCI_WAIT, reinterpret_cast<DWORD_PTR>(&stop));
  DropPendingNotices();
}

void MciPlayer::Eject() {
  MCI_SET_PARMS set{};
  MciSendCommand(device_, MCI_SET, MCI_SET_DOOR_OPEN | MCI_WAIT,
                  reinterpret_cast<DWORD_PTR>(&set));
}

void MciPlayer::Close() {
  if (device_ == 0) return;
  MCI_GENERIC_PARMS close{};
  close.dwCallback = Callback(Window());
  const MCIERROR result =
      MciSendCommand(device_, MCI_CLOSE, MCI_WAIT, reinterpret_cast<DWORD_PTR>(&close));
  DropPendingNotices();
  // An identifier MCI no longer knows holds nothing that could be closed.
  if (result == 0 || result == MCIERR_INVALID_DEVICE_ID) {
    device_ = 0;
    hasVideo_ = false;
    canEject_ = false;
  }
}

} // namespace fablewick::win32

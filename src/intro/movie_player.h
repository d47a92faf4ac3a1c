#pragma once

#include "intro/screen_types.h"

#include <cstdint>
#include <string>

namespace fablewick {

// The kinds of completion notice MCI posts for a command sent with notify.
enum class MovieNotification : std::uint32_t {
  None = 0,
  Successful = 1,
  Superseded = 2,
  Aborted = 4,
  Failure = 8,
};

// One MCI video device at a time, drawing into the intro window's panel.
class MoviePlayer {
public:
  virtual ~MoviePlayer() = default;

  // Closes any device still open, then opens `fileName` and attaches the
  // display panel when the device has video. Throws AppError on failure.
  virtual void Open(const std::string& fileName) = 0;
  virtual bool IsOpen() const = 0;
  // Capabilities as the device reported them when it was opened.
  virtual bool HasVideo() const = 0;
  virtual bool CanEject() const = 0;

  virtual void SeekToStart() = 0;
  virtual Rect DestinationRect() = 0;
  // Draws the frames into this rectangle of the display window, stretched.
  virtual void SetDestination(const Rect& area) = 0;
  // Asks for a completion notice. Throws AppError when the device refuses
  // to play, since no notice will then ever come.
  virtual void Play() = 0;
  virtual bool IsPlaying() = 0;
  virtual void Stop() = 0;
  virtual void Eject() = 0;
  // Does nothing when no device is open.
  virtual void Close() = 0;

  // The kind of the most recent notice, as the device posted it.
  virtual MovieNotification LastNotification() const = 0;
};

} // namespace fablewick

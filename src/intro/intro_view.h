#pragma once

#include "intro/intro_choices.h"
#include "intro/screen_types.h"

#include <cstdint>
#include <string>

namespace fablewick {

// What the intro sequence needs from its window: the video panel `TV`, the
// window's own client area and close requests, the window to bring back, and
// the file test used to decide whether a movie is worth opening.
class IntroView {
public:
  virtual ~IntroView() = default;

  // The window itself, as the shell knows it.
  virtual WindowHandle Window() = 0;

  // The DPI of the monitor the window is on.
  virtual std::int32_t Dpi() = 0;
  // Paints the window now and returns once that paint is on the screen;
  // false when the window is not visible, so nothing of it could show.
  virtual bool PresentOnScreen(WindowHandle window) = 0;

  virtual void SetClientSize(std::int32_t width, std::int32_t height) = 0;
  virtual std::int32_t ClientWidth() = 0;
  virtual std::int32_t ClientHeight() = 0;

  virtual void SetTVColourToForm() = 0;
  virtual void ShowTV(bool visible) = 0;
  virtual void SetTVWidth(std::int32_t width) = 0;
  virtual void SetTVHeight(std::int32_t height) = 0;
  virtual void SetTVPosition(std::int32_t left, std::int32_t top) = 0;
  virtual std::int32_t TVWidth() = 0;
  virtual std::int32_t TVHeight() = 0;

  // Closes the window now: the modal show then runs its close step.
  virtual void Close() = 0;
  // Queues a close request that the modal show's loop handles later.
  virtual void PostClose() = 0;

  virtual void ShowMainForm(WindowHandle mainForm) = 0;

  // Present and not a directory, looked up in the current directory.
  virtual bool IsPlainFile(const std::string& fileName) = 0;
  // Whether the system can decode the movie's video, read from its header.
  virtual DecoderCheck CheckDecoder(const std::string& fileName) = 0;
};

} // namespace fablewick

#pragma once

#include <windows.h>

#include <memory>
#include <type_traits>

namespace fablewick::win32 {

// Owners for GDI objects, so no early return or exception leaks one.
struct GdiObjectDeleter {
  void operator()(HGDIOBJ object) const {
    if (object) DeleteObject(object);
  }
};
using UniqueBitmap = std::unique_ptr<std::remove_pointer_t<HBITMAP>, GdiObjectDeleter>;
using UniqueBrush = std::unique_ptr<std::remove_pointer_t<HBRUSH>, GdiObjectDeleter>;
using UniqueFont = std::unique_ptr<std::remove_pointer_t<HFONT>, GdiObjectDeleter>;

// A memory device context compatible with the screen, with one object
// selected into it for its lifetime.
class MemoryDC {
public:
  explicit MemoryDC(HGDIOBJ selected = nullptr) : dc_(CreateCompatibleDC(nullptr)) {
    if (dc_ && selected) old_ = SelectObject(dc_, selected);
  }
  ~MemoryDC() {
    if (!dc_) return;
    if (old_) SelectObject(dc_, old_);
    DeleteDC(dc_);
  }
  MemoryDC(const MemoryDC&) = delete;
  MemoryDC& operator=(const MemoryDC&) = delete;
  HDC Get() const { return dc_; }

private:
  HDC dc_;
  HGDIOBJ old_ = nullptr;
};

// GetDC/ReleaseDC of one window (the screen when the window is null).
class WindowDC {
public:
  explicit WindowDC(HWND window) : window_(window), dc_(GetDC(window)) {}
  ~WindowDC() {
    if (dc_) ReleaseDC(window_, dc_);
  }
  WindowDC(const WindowDC&) = delete;
  WindowDC& operator=(const WindowDC&) = delete;
  HDC Get() const { return dc_; }

private:
  HWND window_;
  HDC dc_;
};

// The layouts' colour values to a COLORREF (system colours looked up now).
COLORREF ColorToRGB(unsigned color);

} // namespace fablewick::win32

#pragma once

// Owners for everything the program gets from Windows and must give back:
// kernel handles, registry keys, mapped views, local allocations, GDI and USER
// objects, COM references and device contexts, so that no early return or
// exception leaks one. Nothing outside this header closes, frees or releases
// by hand.

#include <windows.h>

#include <memory>
#include <type_traits>
#include <utility>

namespace fablewick::win32 {

// An owner for a handle that `Free` releases.
template <class Handle, auto Free>
struct HandleFree {
  void operator()(Handle handle) const {
    if (handle) Free(handle);
  }
};
template <class Handle, auto Free>
using UniqueHandle = std::unique_ptr<std::remove_pointer_t<Handle>, HandleFree<Handle, Free>>;

using UniqueBitmap = UniqueHandle<HBITMAP, &DeleteObject>;
using UniqueBrush = UniqueHandle<HBRUSH, &DeleteObject>;
using UniqueFont = UniqueHandle<HFONT, &DeleteObject>;
using UniqueIcon = UniqueHandle<HICON, &DestroyIcon>;
using UniqueMenu = UniqueHandle<HMENU, &DestroyMenu>;
using UniqueAccelerators = UniqueHandle<HACCEL, &DestroyAcceleratorTable>;
using UniqueKey = UniqueHandle<HKEY, &RegCloseKey>;
using UniqueLibrary = UniqueHandle<HMODULE, &FreeLibrary>;

// Some calls report failure as INVALID_HANDLE_VALUE rather than null, so an
// owner may be handed either; neither is closed.
struct CloseKernelHandle {
  void operator()(HANDLE handle) const {
    if (handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
  }
};
using UniqueKernelHandle = std::unique_ptr<std::remove_pointer_t<HANDLE>, CloseKernelHandle>;

struct UnmapView {
  void operator()(const void* view) const { UnmapViewOfFile(view); }
};
using UniqueView = std::unique_ptr<void, UnmapView>;

// Memory the system allocated for the caller (security descriptors, SID
// strings, formatted messages).
struct FreeLocal {
  void operator()(void* memory) const { LocalFree(memory); }
};
template <class T = void>
using UniqueLocal = std::unique_ptr<T, FreeLocal>;

// Owns one COM reference and releases it exactly once.
template <typename T>
class ComPtr {
public:
  ComPtr() = default;
  // Takes over a reference the caller holds (a new object's first one).
  explicit ComPtr(T* adopted) : p_(adopted) {}
  ~ComPtr() { Reset(); }
  ComPtr(const ComPtr&) = delete;
  ComPtr& operator=(const ComPtr&) = delete;
  ComPtr(ComPtr&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
  ComPtr& operator=(ComPtr&& other) noexcept {
    if (this != &other) {
      Reset();
      p_ = std::exchange(other.p_, nullptr);
    }
    return *this;
  }

  T* Get() const { return p_; }
  T* operator->() const { return p_; }
  explicit operator bool() const { return p_ != nullptr; }

  // For a creation call's out-parameter; whatever was held goes first.
  T** Receive() {
    Reset();
    return &p_;
  }

  void Reset() {
    if (p_) std::exchange(p_, nullptr)->Release();
  }

private:
  T* p_ = nullptr;
};

// One object selected into a device context for the owner's lifetime.
class SelectedObject {
public:
  SelectedObject(HDC dc, HGDIOBJ object) : dc_(dc), old_(dc && object ? SelectObject(dc, object) : nullptr) {}
  ~SelectedObject() {
    if (old_) SelectObject(dc_, old_);
  }
  SelectedObject(const SelectedObject&) = delete;
  SelectedObject& operator=(const SelectedObject&) = delete;

private:
  HDC dc_;
  HGDIOBJ old_;
};

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

// BeginPaint/EndPaint of one window's WM_PAINT, with its client rectangle.
class PaintScope {
public:
  explicit PaintScope(HWND window) : window_(window), dc_(BeginPaint(window, &paint_)) {
    GetClientRect(window, &client_);
  }
  ~PaintScope() { EndPaint(window_, &paint_); }
  PaintScope(const PaintScope&) = delete;
  PaintScope& operator=(const PaintScope&) = delete;
  HDC Dc() const { return dc_; }
  const RECT& Client() const { return client_; }

private:
  HWND window_;
  PAINTSTRUCT paint_{};
  HDC dc_;
  RECT client_{};
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

} // namespace fablewick::win32

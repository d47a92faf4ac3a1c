#pragma once

#include <utility>

namespace fablewick::win32 {

// Owns one COM reference and releases it exactly once.
template <typename T>
class ComPtr {
public:
  ComPtr() = default;
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

} // namespace fablewick::win32

#pragma once

#include <windows.h>

#include <memory>
#include <type_traits>

namespace fablewick::win32 {

// Owners for kernel handles and mapped views, so no early return leaks one.
struct KernelHandleDeleter {
  void operator()(HANDLE handle) const {
    if (handle != nullptr && handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
  }
};
using UniqueKernelHandle = std::unique_ptr<std::remove_pointer_t<HANDLE>, KernelHandleDeleter>;

struct MappedViewDeleter {
  void operator()(void* view) const {
    if (view != nullptr) UnmapViewOfFile(view);
  }
};
using UniqueView = std::unique_ptr<void, MappedViewDeleter>;

} // namespace fablewick::win32

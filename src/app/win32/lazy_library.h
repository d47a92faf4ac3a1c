#pragma once

// A system library loaded at the first call into it rather than with the
// program. Under Wine every library the executable imports is loaded, with
// the libraries it brings along, before the entry point runs, so one that
// only a game launch, the intro or a screen reader needs would delay every
// start until the launcher's first paint. Kept loaded until the owner goes.
#include "app/win32/dll_search_path.h"
#include "app/win32/scoped_win.h"

#include <windows.h>

namespace fablewick::win32 {

class LazyLibrary {
public:
  explicit LazyLibrary(const char* name) : name_(name) {}

  // The entry point as a pointer of the declared function's type (pass
  // decltype(&Function)), or nullptr when the library or the entry is missing.
  template <class FunctionPointer>
  FunctionPointer Entry(const char* name) {
    if (!tried_) {
      tried_ = true;
      module_.reset(LoadSystemLibrary(name_));
    }
    if (!module_) return nullptr;
    return reinterpret_cast<FunctionPointer>(reinterpret_cast<void*>(GetProcAddress(module_.get(), name)));
  }

private:
  const char* name_;
  UniqueLibrary module_;
  bool tried_ = false;
};

} // namespace fablewick::win32

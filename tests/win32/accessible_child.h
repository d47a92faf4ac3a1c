#pragma once

// The VARIANT that names one child of an accessible object, as a screen
// reader passes it.

#include <windows.h>

#include <oleauto.h>

namespace fablewick::testing {

inline VARIANT AccessibleChild(LONG id) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_I4;
  v.lVal = id;
  return v;
}

} // namespace fablewick::testing

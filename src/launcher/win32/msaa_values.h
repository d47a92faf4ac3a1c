#pragma once

#include "launcher/caption_access.h"

#include <windows.h>

#include <oleacc.h>

#include <string_view>

namespace fablewick::win32 {

// Not IID_IAccessible: MinGW's oleacc import library resolves that name to
// an import thunk rather than to the GUID.
inline const IID& AccessibleIid() { return __uuidof(IAccessible); }

// A new string for a reader; E_OUTOFMEMORY when none could be made.
HRESULT ReturnText(std::string_view text, BSTR* out);
// The caption as a child id; S_FALSE and an empty answer for none.
HRESULT ReturnChild(int region, VARIANT* out);
// Child 0 is the picture itself (kNoRegion), children 1 to 5 the captions.
// Anything else is the caller's mistake, never a reason to read past the
// table: E_INVALIDARG.
HRESULT RegionOf(const VARIANT& child, int& region);
bool DirectionOf(LONG navDir, CaptionDirection& direction);

// The accessibility and automation libraries' entry points the reader object
// uses, from libraries loaded at the first use (see LazyLibrary): only a
// screen reader asks for the object. Each fails as its library call does
// when the library is missing (E_FAIL, 0, a null string; VariantInit cannot).
namespace msaa {
HRESULT CreateStdAccessibleObject(HWND window, LONG objectId, REFIID iid, void** out);
LRESULT LresultFromObject(REFIID iid, WPARAM wParam, LPUNKNOWN object);
BSTR SysAllocStringLen(const OLECHAR* text, UINT length);
void VariantInit(VARIANTARG* variant);
} // namespace msaa

} // namespace fablewick::win32

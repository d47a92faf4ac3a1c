#include "launcher/win32/msaa_values.h"

#include "app/win32/lazy_library.h"
#include "launcher/hot_region.h"

#include <string>

namespace fablewick::win32 {

namespace {

LazyLibrary& Accessibility() {
  static LazyLibrary library("oleacc.dll");
  return library;
}

LazyLibrary& Automation() {
  static LazyLibrary library("oleaut32.dll");
  return library;
}

BSTR MakeBstr(std::string_view text) {
  std::wstring wide(text.begin(), text.end());
  return msaa::SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
}

} // namespace

HRESULT ReturnText(std::string_view text, BSTR* out) {
  *out = MakeBstr(text);
  return *out ? S_OK : E_OUTOFMEMORY;
}

HRESULT ReturnChild(int region, VARIANT* out) {
  if (region == kNoRegion) return S_FALSE;
  out->vt = VT_I4;
  out->lVal = region + 1;
  return S_OK;
}

HRESULT RegionOf(const VARIANT& child, int& region) {
  if (child.vt != VT_I4 && child.vt != VT_INT) return E_INVALIDARG;
  const LONG id = child.vt == VT_I4 ? child.lVal : child.intVal;
  if (id == CHILDID_SELF) {
    region = kNoRegion;
    return S_OK;
  }
  if (id < 1 || id > kHotRegionCount) return E_INVALIDARG;
  region = static_cast<int>(id - 1);
  return S_OK;
}

bool DirectionOf(LONG navDir, CaptionDirection& direction) {
  switch (navDir) {
  case NAVDIR_NEXT: direction = CaptionDirection::Next; return true;
  case NAVDIR_PREVIOUS: direction = CaptionDirection::Previous; return true;
  case NAVDIR_UP: direction = CaptionDirection::Up; return true;
  case NAVDIR_DOWN: direction = CaptionDirection::Down; return true;
  case NAVDIR_LEFT: direction = CaptionDirection::Left; return true;
  case NAVDIR_RIGHT: direction = CaptionDirection::Right; return true;
  case NAVDIR_FIRSTCHILD: direction = CaptionDirection::FirstChild; return true;
  case NAVDIR_LASTCHILD: direction = CaptionDirection::LastChild; return true;
  default: return false;
  }
}

namespace msaa {

HRESULT CreateStdAccessibleObject(HWND window, LONG objectId, REFIID iid, void** out) {
  const auto create =
      Accessibility().Entry<decltype(&::CreateStdAccessibleObject)>("CreateStdAccessibleObject");
  if (!create) {
    if (out) *out = nullptr;
    return E_FAIL;
  }
  return create(window, objectId, iid, out);
}

LRESULT LresultFromObject(REFIID iid, WPARAM wParam, LPUNKNOWN object) {
  const auto result = Accessibility().Entry<decltype(&::LresultFromObject)>("LresultFromObject");
  return result ? result(iid, wParam, object) : 0;
}

BSTR SysAllocStringLen(const OLECHAR* text, UINT length) {
  const auto allocate = Automation().Entry<decltype(&::SysAllocStringLen)>("SysAllocStringLen");
  return allocate ? allocate(text, length) : nullptr;
}

void VariantInit(VARIANTARG* variant) {
  if (const auto init = Automation().Entry<decltype(&::VariantInit)>("VariantInit")) {
    init(variant);
  } else {
    variant->vt = VT_EMPTY;
  }
}

} // namespace msaa

} // namespace fablewick::win32

#include "launcher/win32/caption_accessible.h"

#include "app/win32/com_library.h"
#include "launcher/caption_access.h"
#include "launcher/win32/msaa_values.h"

namespace fablewick::win32 {

// The caption children are simple elements: they have child ids, not
// objects of their own. Questions about the picture itself that a plain
// client area answers (parent, position, window state) go to the system's
// standard object for the window.
class CaptionAccessible final : public IAccessible {
public:
  CaptionAccessible(HWND window, CaptionAccessView& view) : window_(window), view_(&view) {
    msaa::CreateStdAccessibleObject(window, OBJID_CLIENT, AccessibleIid(),
                              reinterpret_cast<void**>(standard_.Receive()));
  }

  // After this every call fails as a call on a vanished object does.
  void Disconnect() {
    view_ = nullptr;
    window_ = nullptr;
    standard_.Reset();
  }

  // IUnknown
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IDispatch || iid == AccessibleIid()) {
      *out = static_cast<IAccessible*>(this);
      AddRef();
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&refs_)); }
  ULONG STDMETHODCALLTYPE Release() override {
    const LONG left = InterlockedDecrement(&refs_);
    if (left == 0) delete this;
    return static_cast<ULONG>(left);
  }

  // IDispatch: readers use the vtable; late binding is not offered.
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    if (!count) return E_POINTER;
    *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
    return E_NOTIMPL;
  }

  // IAccessible
  HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override {
    if (!parent) return E_POINTER;
    *parent = nullptr;
    if (!view_) return RPC_E_DISCONNECTED;
    return standard_ ? standard_->get_accParent(parent) : S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE get_accChildCount(LONG* count) override {
    if (!count) return E_POINTER;
    if (!view_) return RPC_E_DISCONNECTED;
    *count = kHotRegionCount;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** object) override {
    if (!object) return E_POINTER;
    *object = nullptr;
    int region = kNoRegion;
    if (HRESULT hr = Check(child, region); FAILED(hr)) return hr;
    return region == kNoRegion ? E_INVALIDARG : S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
    if (!name) return E_POINTER;
    *name = nullptr;
    int region = kNoRegion;
    if (HRESULT hr = Check(child, region); FAILED(hr)) return hr;
    return ReturnText(region == kNoRegion ? kPictureAccessibleName : CaptionName(region), name);
  }
  HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override {
    return TextOfPictureOnly(child, value, &IAccessible::get_accValue);
  }
  HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* text) override {
    return TextOfPictureOnly(child, text, &IAccessible::get_accDescription);
  }
  HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* text) override {
    return TextOfPictureOnly(child, text, &IAccessible::get_accHelp);
  }
  HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* text) override {
    return TextOfPictureOnly(child, text, &IAccessible::get_accKeyboardShortcut);
  }
  HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, LONG* topic) override {
    if (!file || !topic) return E_POINTER;
    *file = nullptr;
    int region = kNoRegion;
    if (HRESULT hr = Check(child, region); FAILED(hr)) return hr;
    if (region == kNoRegion && standard_) return standard_->get_accHelpTopic(file, child, topic);
    return DISP_E_MEMBERNOTFOUND;
  }
  HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
    if (!role) return E_POINTER;
    msaa::VariantInit(role);
    int region = kNoRegion;
    if (HRESULT hr = Check(child, region); FAILED(hr)) return hr;
    if (region == kNoRegion) return standard_ ? standard_->get_accRole(child, role) : E_FAIL;
    role->vt = VT_I4;
    role->lVal = ROLE_SYSTEM_PUSHBUTTON;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
    if (!state) return E_POINTER;
    msaa::VariantInit(state);
    int region = kNoRegion;
    if (HRESULT hr = Check(child, region); FAILED(hr)) return hr;
    if (region == kNoRegion) return standard_ ? standard_->get_accState(child, state) : E_FAIL;
    const CaptionStates s = CaptionState(view_->Captions(), region);
    LONG bits = 0;
    if (s.focusable) bits |= STATE_SYSTEM_FOCUSABLE;
    if (s.focused && GetFocus() == window_) bits |= STATE_SYSTEM_FOCUSED;
    if (s.hotTracked) bits |= STATE_SYSTEM_HOTTRACKED;
    if (s.pressed) bits |= STATE_SYSTEM_PRESSED;
    // While a dialog or the intro is up the launcher takes no input.
    if (!IsWindowEnabled(GetAncestor(window_, GA_ROOT))) bits |= STATE_SYSTEM_UNAVAILABLE;
    state->vt = VT_I4;
    state->lVal = bits;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* focus) override {
    if (!focus) return E_POINTER;
    msaa::VariantInit(focus);
    if (!view_) return RPC_E_DISCONNECTED;
    if (GetFocus() != window_) return S_FALSE;
    const int region = view_->Captions().Focused();
    focus->vt = VT_I4;
    focus->lVal = region == kNoRegion ? CHILDID_SELF : region + 1;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* selection) override {
    if (!selection) return E_POINTER;
    msaa::VariantInit(selection);
    return view_ ? DISP_E_MEMBERNOTFOUND : RPC_E_DISCONNECTED;
  }
  HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override {
    if (!action) return E_POINTER;
    *action = nullptr;
    int region = kNoRegion;
    if (HRESULT hr = Check(child, region); FAILED(hr)) return hr;
    return region == kNoRegion ? DISP_E_MEMBERNOTFOUND : ReturnText(kCaptionDefaultAction, action);
  }
  HRESULT STDMETHODCALLTYPE accSelect(LONG flags, VARIANT child) override {
    int region = kNoRegion;
    if (HRESULT hr = Check(child, region); FAILED(hr)) return hr;
    if (region == kNoRegion) return standard_ ? standard_->accSelect(flags, child) : E_FAIL;
    // A push button can take the focus but has no selection to join.
    if (flags != SELFLAG_TAKEFOCUS) return DISP_E_MEMBERNOTFOUND;
    view_->RequestFocus(region);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE accLocation(LONG* left, LONG* top, LONG* width, LONG* height, VARIANT child) override {
    if (!left || !top || !width || !height) return E_POINTER;
    *left = *top = *width = *height = 0;
    int region = kNoRegion;
    if (HRESULT hr = Check(child, region); FAILED(hr)) return hr;
    if (region == kNoRegion) return standard_ ? standard_->accLocation(left, top, width, height, child) : E_FAIL;
    const PictureRect bounds = CaptionBounds(region);
    POINT topLeft = view_->PictureToClient({bounds.left, bounds.top});
    POINT bottomRight = view_->PictureToClient({bounds.right, bounds.bottom});
    ClientToScreen(window_, &topLeft);
    ClientToScreen(window_, &bottomRight);
    *left = topLeft.x;
    *top = topLeft.y;
    *width = bottomRight.x - topLeft.x;
    *height = bottomRight.y - topLeft.y;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE accNavigate(LONG navDir, VARIANT start, VARIANT* end) override {
    if (!end) return E_POINTER;
    msaa::VariantInit(end);
    int region = kNoRegion;
    if (HRESULT hr = Check(start, region); FAILED(hr)) return hr;
    CaptionDirection direction;
    if (!DirectionOf(navDir, direction)) return E_INVALIDARG;
    const bool intoChildren = direction == CaptionDirection::FirstChild || direction == CaptionDirection::LastChild;
    // From the picture itself, the other directions lead to its siblings.
    if (region == kNoRegion && !intoChildren) return standard_ ? standard_->accNavigate(navDir, start, end) : S_FALSE;
    return ReturnChild(NavigateCaptions(region, direction), end);
  }
  HRESULT STDMETHODCALLTYPE accHitTest(LONG x, LONG y, VARIANT* hit) override {
    if (!hit) return E_POINTER;
    msaa::VariantInit(hit);
    if (!view_) return RPC_E_DISCONNECTED;
    POINT client{x, y};
    ScreenToClient(window_, &client);
    RECT area{};
    GetClientRect(window_, &area);
    if (!PtInRect(&area, client)) return S_FALSE;
    const POINT picture = view_->ClientToPicture(client);
    const int region = HitTest(picture.x, picture.y);
    hit->vt = VT_I4;
    hit->lVal = region == kNoRegion ? CHILDID_SELF : region + 1;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
    int region = kNoRegion;
    if (HRESULT hr = Check(child, region); FAILED(hr)) return hr;
    if (region == kNoRegion) return DISP_E_MEMBERNOTFOUND;
    view_->RequestPress(region);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE put_accValue(VARIANT, BSTR) override { return E_NOTIMPL; }

private:
  ~CaptionAccessible() = default;

  HRESULT Check(const VARIANT& child, int& region) const {
    if (!view_) return RPC_E_DISCONNECTED;
    return RegionOf(child, region);
  }

  // A push button has no value, description, help or shortcut of its own;
  // the picture's come from the standard object.
  HRESULT TextOfPictureOnly(VARIANT child, BSTR* text,
                            HRESULT (STDMETHODCALLTYPE IAccessible::*ask)(VARIANT, BSTR*)) {
    if (!text) return E_POINTER;
    *text = nullptr;
    int region = kNoRegion;
    if (HRESULT hr = Check(child, region); FAILED(hr)) return hr;
    if (region == kNoRegion && standard_) return (standard_.Get()->*ask)(child, text);
    return S_FALSE;
  }

  LONG refs_ = 1;
  HWND window_;
  CaptionAccessView* view_;
  ComPtr<IAccessible> standard_;
};

// ---------------------------------------------------------------------------

AccessiblePicture::AccessiblePicture(CaptionAccessView& view) : view_(view) {}

AccessiblePicture::~AccessiblePicture() { Close(); }

bool AccessiblePicture::Answer(HWND window, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  if (closed_ || static_cast<LONG>(lParam) != OBJID_CLIENT) return false;
  if (!object_) {
    // Marshalling the object to the reader's process needs an apartment on
    // this thread; one that already exists (of either kind) will do.
    const HRESULT entered = com::InitializeApartment();
    if (FAILED(entered) && entered != RPC_E_CHANGED_MODE) return false;
    comEntered_ = SUCCEEDED(entered);
    object_ = ComPtr<CaptionAccessible>(new CaptionAccessible(window, view_));
  }
  result = msaa::LresultFromObject(AccessibleIid(), wParam, object_.Get());
  return true;
}

void AccessiblePicture::AnnounceFocus(HWND window, int region) {
  NotifyWinEvent(EVENT_OBJECT_FOCUS, window, OBJID_CLIENT, region + 1);
}

void AccessiblePicture::Close() {
  closed_ = true;
  if (object_) {
    object_->Disconnect();
    // Readers in other processes lose their proxies now rather than keep
    // the object alive through them.
    com::DisconnectObject(object_.Get());
    object_.Reset();
  }
  if (comEntered_) {
    comEntered_ = false;
    com::Uninitialize();
  }
}

} // namespace fablewick::win32

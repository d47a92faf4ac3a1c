#include "launcher/win32/caption_picture.h"

#include "app/win32/form.h"

namespace fablewick::win32 {

namespace {

// A screen reader's press, run from the message loop once its call is done.
constexpr UINT kPressCaptionMessage = WM_APP + 0x41;

CaptionKey KeyOf(WPARAM virtualKey) {
  switch (virtualKey) {
  case VK_TAB: return CaptionKey::Tab;
  case VK_UP: return CaptionKey::Up;
  case VK_DOWN: return CaptionKey::Down;
  case VK_HOME: return CaptionKey::Home;
  case VK_END: return CaptionKey::End;
  case VK_RETURN: return CaptionKey::Enter;
  case VK_SPACE: return CaptionKey::Space;
  default: return CaptionKey::Other;
  }
}

bool Held(int virtualKey) { return GetKeyState(virtualKey) < 0; }

} // namespace

CaptionPicture::CaptionPicture(ControlOwner& owner, std::string name) : PictureControl(owner, std::move(name)) {}

void CaptionPicture::Attach(CaptionFocus& captions, LauncherPorts& ports) {
  captions_ = &captions;
  ports_ = &ports;
}

bool CaptionPicture::TakesInput() const {
  return captions_ && Owner().Handle() && IsWindowEnabled(Owner().Handle());
}

void CaptionPicture::SetScale(const DpiScale& scale) {
  scale_ = scale;
  SetStretch(scale.Drawing());
  SetSize(scale.ToPhysical(PictureWidth()), scale.ToPhysical(PictureHeight()));
}

void CaptionPicture::DrawFocusMark(const PictureRect& rect) {
  if (!Picture()) return;
  {
    MemoryDC dc(Picture());
    const RECT mark{rect.left, rect.top, rect.right, rect.bottom};
    DrawFocusRect(dc.Get(), &mark);
  }
  if (Handle()) InvalidateRect(Handle(), nullptr, FALSE);
}

void CaptionPicture::AnnounceFocus(int region) {
  if (Handle()) accessible_.AnnounceFocus(Handle(), region);
}

void CaptionPicture::RequestFocus(int region) {
  if (TakesInput()) captions_->Focus(region);
}

void CaptionPicture::RequestPress(int region) {
  if (Handle()) PostMessageA(Handle(), kPressCaptionMessage, static_cast<WPARAM>(region), 0);
}

bool CaptionPicture::ControlMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  switch (message) {
  case WM_GETDLGCODE: {
    // Tab, the arrows and Enter belong to the captions, should a dialog
    // manager ever sit between the keyboard and this window.
    result = DLGC_WANTARROWS | DLGC_WANTTAB;
    const auto* pending = reinterpret_cast<const MSG*>(lParam);
    if (pending && pending->message == WM_KEYDOWN && pending->wParam == VK_RETURN) result |= DLGC_WANTMESSAGE;
    return true;
  }
  case WM_KEYDOWN: {
    if (!TakesInput()) return false;
    const KeyPress press{KeyOf(wParam), Held(VK_SHIFT), Held(VK_CONTROL) || Held(VK_MENU),
                         (lParam & (LPARAM{1} << 30)) != 0};
    if (!captions_->KeyDown(press, *ports_)) return false;
    result = 0;
    return true;
  }
  case kPressCaptionMessage:
    if (TakesInput()) captions_->Press(static_cast<int>(wParam), *ports_);
    result = 0;
    return true;
  case WM_SETFOCUS:
    // Coming back to the window, a reader hears the caption that has the
    // keyboard, not just the window.
    if (captions_ && captions_->Focused() != kNoRegion) AnnounceFocus(captions_->Focused());
    return false;
  case WM_GETOBJECT:
    return captions_ && accessible_.Answer(Handle(), wParam, lParam, result);
  case WM_DESTROY:
    accessible_.Close();
    return PictureControl::ControlMessage(message, wParam, lParam, result);
  default:
    return PictureControl::ControlMessage(message, wParam, lParam, result);
  }
}

} // namespace fablewick::win32

#include "app/win32/controls.h"

#include "app/app_error.h"
#include "app/startup_trace.h"
#include "app/win32/layout_binder.h"
#include "app/win32/window_class.h"

namespace fablewick::win32 {

namespace {

constexpr char ControlClassName[] = "FablewickControl";

ShiftState ShiftFromKeys(WPARAM keys) {
  ShiftState shift = 0;
  if (keys & MK_SHIFT) shift |= ssShift;
  if (keys & MK_CONTROL) shift |= ssCtrl;
  if (keys & MK_LBUTTON) shift |= ssLeft;
  if (keys & MK_RBUTTON) shift |= ssRight;
  if (keys & MK_MBUTTON) shift |= ssMiddle;
  if (GetKeyState(VK_MENU) < 0) shift |= ssAlt;
  return shift;
}

// Mouse positions are signed: under capture they may lie left of or above
// the window.
int MouseX(LPARAM lParam) { return static_cast<short>(LOWORD(lParam)); }
int MouseY(LPARAM lParam) { return static_cast<short>(HIWORD(lParam)); }

bool InsideClient(HWND window, LPARAM lParam) {
  RECT client;
  GetClientRect(window, &client);
  POINT p{MouseX(lParam), MouseY(lParam)};
  return PtInRect(&client, p) != FALSE;
}

void FillWith(HDC dc, const RECT& area, std::uint32_t color) {
  UniqueBrush brush(CreateSolidBrush(ColorToRGB(color)));
  FillRect(dc, &area, brush.get());
}

} // namespace

// ---------------------------------------------------------------------------

void ClickTracker::Press(HWND window) {
  SetCapture(window);
  pending_ = true;
}

bool ClickTracker::Release(HWND window, LPARAM point) {
  bool click = pending_ && InsideClient(window, point);
  pending_ = false;
  if (GetCapture() == window) ReleaseCapture();
  return click;
}

// ---------------------------------------------------------------------------

Control::Control(ControlOwner& owner, std::string name) : Component(std::move(name)), owner_(owner) {}

void Control::SetBounds(int left, int top, int width, int height) {
  left_ = left;
  top_ = top;
  width_ = width < 0 ? 0 : width;
  height_ = height < 0 ? 0 : height;
  BoundsChanged();
}

void Control::SetVisible(bool visible) {
  if (visible_ == visible) return;
  visible_ = visible;
  VisibleChanged();
}

bool Control::ApplyProperty(const LayoutProperty& property, LayoutBinder&) {
  const std::string& name = property.name;
  if (name == "Left") SetLeft(property.AsInt());
  else if (name == "Top") SetTop(property.AsInt());
  else if (name == "Width") SetWidth(property.AsInt());
  else if (name == "Height") SetHeight(property.AsInt());
  else if (name == "Visible") SetVisible(property.AsBool());
  else if (name == "TabOrder") tabOrder_ = property.AsInt();
  else return false;
  return true;
}

// ---------------------------------------------------------------------------

WindowedControl::WindowedControl(ControlOwner& owner, std::string name) : Control(owner, std::move(name)) {
  RegisterWindowClass(ControlClassName, DefWindowProcA);
  window_ = CreateWindowExA(0, ControlClassName, "", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, 0, 0, 0, 0,
                            owner.Handle(), nullptr, GetModuleHandleA(nullptr), nullptr);
  if (!window_) throw AppError("Cannot create the window of control " + Name());
  SetWindowLongPtrA(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  SetWindowLongPtrA(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&WindowedControl::WindowProc));
}

WindowedControl::~WindowedControl() {
  if (window_) {
    SetWindowLongPtrA(window_, GWLP_USERDATA, 0);
    DestroyWindow(window_);
  }
}

bool WindowedControl::HandleMessage(UINT, WPARAM, LPARAM, LRESULT&) { return false; }

void WindowedControl::BoundsChanged() {
  if (window_) MoveWindow(window_, Left(), Top(), Width(), Height(), TRUE);
}

void WindowedControl::VisibleChanged() {
  if (window_) ShowWindow(window_, Visible() ? SW_SHOWNA : SW_HIDE);
}

LRESULT CALLBACK WindowedControl::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* control = reinterpret_cast<WindowedControl*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  if (!control) return DefWindowProcA(window, message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    control->window_ = nullptr;
    SetWindowLongPtrA(window, GWLP_USERDATA, 0);
    return DefWindowProcA(window, message, wParam, lParam);
  }
  try {
    LRESULT result = 0;
    if (control->HandleMessage(message, wParam, lParam, result)) return result;
  } catch (...) {
    control->Owner().ErrorHost().ReportCurrentError();
    return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

// ---------------------------------------------------------------------------

PictureControl::PictureControl(ControlOwner& owner, std::string name) : WindowedControl(owner, std::move(name)) {}

void PictureControl::Assign(HBITMAP source) {
  BITMAP info{};
  if (!source || !GetObjectA(source, sizeof info, &info)) {
    picture_.reset();
    pictureWidth_ = pictureHeight_ = 0;
  } else {
    WindowDC screen(nullptr);
    UniqueBitmap copy(CreateCompatibleBitmap(screen.Get(), info.bmWidth, info.bmHeight));
    if (!copy) throw AppError("Out of system resources");
    {
      MemoryDC from(source);
      MemoryDC to(copy.get());
      BitBlt(to.Get(), 0, 0, info.bmWidth, info.bmHeight, from.Get(), 0, 0, SRCCOPY);
    }
    picture_ = std::move(copy);
    pictureWidth_ = info.bmWidth;
    pictureHeight_ = info.bmHeight;
  }
  if (Handle()) InvalidateRect(Handle(), nullptr, FALSE);
}

void PictureControl::DrawOverlay(HBITMAP source, int x, int y) {
  BITMAP info{};
  if (!picture_ || !source || !GetObjectA(source, sizeof info, &info)) return;
  {
    MemoryDC from(source);
    MemoryDC to(picture_.get());
    BitBlt(to.Get(), x, y, info.bmWidth, info.bmHeight, from.Get(), 0, 0, SRCCOPY);
  }
  if (Handle()) InvalidateRect(Handle(), nullptr, FALSE);
}

void PictureControl::SetStretch(PictureDrawing drawing) {
  stretch_ = true;
  drawing_ = drawing;
  if (Handle()) InvalidateRect(Handle(), nullptr, FALSE);
}

bool PictureControl::ApplyProperty(const LayoutProperty& property, LayoutBinder& binder) {
  const std::string& name = property.name;
  if (name == "OnMouseDown") OnMouseDown = binder.MouseHandler(property);
  else if (name == "OnMouseMove") OnMouseMove = binder.MouseMoveHandler(property);
  else if (name == "OnMouseUp") OnMouseUp = binder.MouseHandler(property);
  else if (name == "OnClick") OnClick = binder.NotifyHandler(property);
  else if (name == "AutoSize" || name == "Center" || name == "Stretch") {
    // The picture is always drawn unscaled at the top left.
    if (property.AsBool()) ThrowLayoutError(property.source, property.line, name + " is not supported");
  } else {
    return Control::ApplyProperty(property, binder);
  }
  return true;
}

bool PictureControl::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  switch (message) {
  case WM_ERASEBKGND:
    result = 1;
    return true;
  case WM_PAINT: {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(Handle(), &ps);
    RECT client;
    GetClientRect(Handle(), &client);
    if (picture_ && stretch_) {
      MemoryDC from(picture_.get());
      // COLORONCOLOR repeats whole pixels; HALFTONE filters, and needs the
      // brush origin set again after the mode change.
      SetStretchBltMode(dc, drawing_ == PictureDrawing::Smooth ? HALFTONE : COLORONCOLOR);
      if (drawing_ == PictureDrawing::Smooth) SetBrushOrgEx(dc, 0, 0, nullptr);
      StretchBlt(dc, 0, 0, Width(), Height(), from.Get(), 0, 0, pictureWidth_, pictureHeight_, SRCCOPY);
      ExcludeClipRect(dc, 0, 0, Width(), Height());
    } else if (picture_) {
      MemoryDC from(picture_.get());
      BitBlt(dc, 0, 0, pictureWidth_, pictureHeight_, from.Get(), 0, 0, SRCCOPY);
      ExcludeClipRect(dc, 0, 0, pictureWidth_, pictureHeight_);
    }
    FillWith(dc, client, Owner().Color());
    EndPaint(Handle(), &ps);
    FABLEWICK_STARTUP_MARK("picture painted");
    result = 0;
    return true;
  }
  case WM_LBUTTONDOWN:
  case WM_RBUTTONDOWN:
  case WM_MBUTTONDOWN: {
    MouseButton button = message == WM_LBUTTONDOWN   ? MouseButton::Left
                         : message == WM_RBUTTONDOWN ? MouseButton::Right
                                                     : MouseButton::Middle;
    if (button == MouseButton::Left) click_.Press(Handle());
    if (OnMouseDown) OnMouseDown(button, ShiftFromKeys(wParam), MouseX(lParam), MouseY(lParam));
    result = 0;
    return true;
  }
  case WM_LBUTTONUP:
  case WM_RBUTTONUP:
  case WM_MBUTTONUP: {
    MouseButton button = message == WM_LBUTTONUP   ? MouseButton::Left
                         : message == WM_RBUTTONUP ? MouseButton::Right
                                                   : MouseButton::Middle;
    bool click = button == MouseButton::Left && click_.Release(Handle(), lParam);
    if (click && OnClick) OnClick();
    if (OnMouseUp) OnMouseUp(button, ShiftFromKeys(wParam), MouseX(lParam), MouseY(lParam));
    result = 0;
    return true;
  }
  case WM_MOUSEMOVE:
    if (OnMouseMove) OnMouseMove(ShiftFromKeys(wParam), MouseX(lParam), MouseY(lParam));
    result = 0;
    return true;
  case WM_CAPTURECHANGED:
    click_.CaptureLost();
    return false;
  default:
    return false;
  }
}

// ---------------------------------------------------------------------------

Panel::Panel(ControlOwner& owner, std::string name) : WindowedControl(owner, std::move(name)) {}

void Panel::SetColor(std::uint32_t color) {
  color_ = color;
  if (Handle()) InvalidateRect(Handle(), nullptr, TRUE);
}

bool Panel::ApplyProperty(const LayoutProperty& property, LayoutBinder& binder) {
  const std::string& name = property.name;
  if (name == "OnClick") {
    OnClick = binder.NotifyHandler(property);
  } else if (name == "BevelOuter" || name == "BevelInner") {
    if (property.AsIdentifier() != "bvNone") {
      ThrowLayoutError(property.source, property.line, "only bvNone is supported for " + name);
    }
  } else if (name == "Color") {
    SetColor(property.AsColor());
  } else {
    return Control::ApplyProperty(property, binder);
  }
  return true;
}

bool Panel::HandleMessage(UINT message, WPARAM, LPARAM lParam, LRESULT& result) {
  switch (message) {
  case WM_ERASEBKGND:
    result = 1;
    return true;
  case WM_PAINT: {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(Handle(), &ps);
    RECT client;
    GetClientRect(Handle(), &client);
    FillWith(dc, client, color_);
    EndPaint(Handle(), &ps);
    result = 0;
    return true;
  }
  case WM_LBUTTONDOWN:
    click_.Press(Handle());
    result = 0;
    return true;
  case WM_LBUTTONUP:
    if (click_.Release(Handle(), lParam) && OnClick) OnClick();
    result = 0;
    return true;
  case WM_CAPTURECHANGED:
    click_.CaptureLost();
    return false;
  default:
    return false;
  }
}

// ---------------------------------------------------------------------------

MediaPlayerControl::MediaPlayerControl(ControlOwner& owner, std::string name) : Control(owner, std::move(name)) {}

void MediaPlayerControl::DoNotify() {
  if (OnNotify) OnNotify();
}

bool MediaPlayerControl::ApplyProperty(const LayoutProperty& property, LayoutBinder& binder) {
  const std::string& name = property.name;
  if (name == "DeviceType") {
    deviceType_ = property.AsIdentifier();
  } else if (name == "Display") {
    display_ = dynamic_cast<Control*>(&binder.ComponentNamed(property));
    if (!display_) ThrowLayoutError(property.source, property.line, property.value.text + " is not a control");
  } else if (name == "OnNotify") {
    OnNotify = binder.NotifyHandler(property);
  } else {
    return Control::ApplyProperty(property, binder);
  }
  return true;
}

} // namespace fablewick::win32

#include "app/win32/form.h"

#include "app/win32/layout_binder.h"

namespace fablewick::win32 {

namespace {

struct NotifyProperty {
  const char* name;
  NotifyEvent FormCore::*event;
};
constexpr NotifyProperty NotifyProperties[] = {
    {"OnCreate", &FormCore::OnCreate}, {"OnDestroy", &FormCore::OnDestroy},   {"OnShow", &FormCore::OnShow},
    {"OnHide", &FormCore::OnHide},     {"OnActivate", &FormCore::OnActivate}, {"OnClick", &FormCore::OnClick},
};

} // namespace

bool Form::ApplyProperty(const LayoutProperty& property, LayoutBinder& binder) {
  const std::string& name = property.name;
  for (const auto& notify : NotifyProperties) {
    if (name == notify.name) {
      this->*notify.event = binder.NotifyHandler(property);
      return true;
    }
  }
  if (name == "Caption") {
    SetCaption(property.AsString());
  } else if (name == "Left") {
    designLeft_ = property.AsInt();
  } else if (name == "Top") {
    designTop_ = property.AsInt();
  } else if (name == "ClientWidth") {
    designWidth_ = property.AsInt();
  } else if (name == "ClientHeight") {
    designHeight_ = property.AsInt();
  } else if (name == "BorderStyle") {
    const std::string& style = property.AsIdentifier();
    if (style == "bsNone") borderStyle_ = BorderStyle::bsNone;
    else if (style == "bsSingle") borderStyle_ = BorderStyle::bsSingle;
    else if (style == "bsSizeable") borderStyle_ = BorderStyle::bsSizeable;
    else if (style == "bsDialog") borderStyle_ = BorderStyle::bsDialog;
    else ThrowLayoutError(property.source, property.line, "unknown border style " + style);
  } else if (name == "BorderIcons") {
    systemMenu_ = minimizeBox_ = maximizeBox_ = false;
    for (const auto& icon : property.AsSet()) {
      if (icon == "biSystemMenu") systemMenu_ = true;
      else if (icon == "biMinimize") minimizeBox_ = true;
      else if (icon == "biMaximize") maximizeBox_ = true;
      else ThrowLayoutError(property.source, property.line, "unknown border icon " + icon);
    }
  } else if (name == "Position") {
    const std::string& position = property.AsIdentifier();
    if (position == "poScreenCenter") position_ = FormPosition::poScreenCenter;
    else if (position == "poDesigned") position_ = FormPosition::poDesigned;
    else ThrowLayoutError(property.source, property.line, "unknown position " + position);
  } else if (name == "Color") {
    SetColor(property.AsColor());
  } else if (name == "Font.Name") {
    fontName_ = property.AsString();
    UpdateFont();
  } else if (name == "Font.Height") {
    fontHeight_ = property.AsInt();
    UpdateFont();
  } else if (name == "Menu") {
    menu_ = dynamic_cast<MainMenu*>(&binder.ComponentNamed(property));
    if (!menu_) ThrowLayoutError(property.source, property.line, property.value.text + " is not a TMainMenu");
  } else if (name == "Visible") {
    // Forms are shown by the program, never by their layout.
    if (property.AsBool()) ThrowLayoutError(property.source, property.line, "a form cannot start visible");
  } else if (name == "OnClose") {
    OnClose = binder.CloseHandler(property);
  } else {
    return false;
  }
  return true;
}

Form::FrameStyle Form::StyleOfFrame() const {
  FrameStyle frame{WS_POPUP | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, 0};
  switch (borderStyle_) {
  case BorderStyle::bsNone: break;
  case BorderStyle::bsSingle: frame.style |= WS_CAPTION; break;
  case BorderStyle::bsSizeable: frame.style |= WS_CAPTION | WS_THICKFRAME; break;
  case BorderStyle::bsDialog:
    frame.style |= WS_CAPTION;
    frame.exStyle |= WS_EX_DLGMODALFRAME;
    break;
  }
  if (borderStyle_ != BorderStyle::bsNone && systemMenu_) {
    frame.style |= WS_SYSMENU;
    if (borderStyle_ != BorderStyle::bsDialog) {
      if (minimizeBox_) frame.style |= WS_MINIMIZEBOX;
      if (maximizeBox_) frame.style |= WS_MAXIMIZEBOX;
    }
  }
  return frame;
}

void Form::UpdateFont() {
  font_.reset(CreateFontA(fontHeight_, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                          CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, fontName_.c_str()));
  if (Window()) SendMessageA(Window(), WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
}

void Form::SetColor(std::uint32_t color) {
  color_ = color;
  brush_.reset(CreateSolidBrush(ColorToRGB(color)));
  if (Window()) InvalidateRect(Window(), nullptr, TRUE);
}

} // namespace fablewick::win32

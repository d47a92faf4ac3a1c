#include "app/win32/form.h"

#include "app/app_error.h"
#include "app/startup_trace.h"
#include "app/win32/layout_binder.h"
#include "app/win32/window_class.h"


namespace fablewick::win32 {

namespace {

std::string LoadLayoutText(const FormClass& formClass) {
  if (!formClass.layoutText.empty()) return formClass.layoutText;
  HMODULE module = GetModuleHandleA(nullptr);
  HRSRC found = FindResourceA(module, formClass.layoutResource.c_str(), MAKEINTRESOURCEA(10) /* RT_RCDATA */);
  HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
  const char* data = loaded ? static_cast<const char*>(LockResource(loaded)) : nullptr;
  if (!data) throw AppError("Resource " + formClass.layoutResource + " not found");
  return std::string(data, SizeofResource(module, found));
}

} // namespace

// Resolves the names that a layout's properties give, for one form.
class FormBuilder : public LayoutBinder {
public:
  FormBuilder(Form& form, const FormClass& formClass) : form_(form), formClass_(formClass) {}

  void Build(const LayoutObject& layout) {
    if (layout.className != formClass_.name) {
      ThrowLayoutError(layout.source, layout.line,
                       "the layout is for " + layout.className + ", not " + formClass_.name);
    }
    for (const auto& child : layout.children) CreateComponent(child);
    Apply(form_, layout);
    for (const auto& [component, node] : created_) Apply(*component, *node);
    for (const auto& [component, node] : created_) component->Loaded();
  }

  NotifyEvent NotifyHandler(const LayoutProperty& property) override {
    return Typed<NotifyEvent>(property, "takes no arguments");
  }
  MouseEvent MouseHandler(const LayoutProperty& property) override {
    return Typed<MouseEvent>(property, "takes (Button, Shift, X, Y)");
  }
  MouseMoveEvent MouseMoveHandler(const LayoutProperty& property) override {
    return Typed<MouseMoveEvent>(property, "takes (Shift, X, Y)");
  }
  CloseEvent CloseHandler(const LayoutProperty& property) override {
    return Typed<CloseEvent>(property, "takes (Action)");
  }
  Component& ComponentNamed(const LayoutProperty& property) override {
    const std::string& name = property.AsIdentifier();
    Component* component = form_.FindComponent(name);
    if (!component) ThrowLayoutError(property.source, property.line, "there is no component named " + name);
    return *component;
  }

private:
  template <class Event>
  Event Typed(const LayoutProperty& property, const char* expected) {
    const std::string& name = property.AsIdentifier();
    for (const auto& binding : formClass_.handlers) {
      if (binding.name != name) continue;
      if (const Event* event = std::get_if<Event>(&binding.handler)) return *event;
      ThrowLayoutError(property.source, property.line,
                       "handler " + name + " of " + formClass_.name + " does not fit " + property.name +
                           ", which " + expected);
    }
    ThrowLayoutError(property.source, property.line, formClass_.name + " has no handler " + name);
  }

  void Apply(Component& component, const LayoutObject& node) {
    for (const auto& property : node.properties) {
      if (!component.ApplyProperty(property, *this)) {
        ThrowLayoutError(property.source, property.line,
                         node.className + " has no property " + property.name);
      }
    }
  }

  void CreateComponent(const LayoutObject& node) {
    if (node.className == "TMainMenu") {
      auto menu = std::make_unique<MainMenu>(node.name);
      MainMenu& added = *menu;
      Adopt(std::move(menu), node);
      for (const auto& child : node.children) added.Add(CreateMenuItem(child));
      return;
    }
    std::unique_ptr<Control> control;
    if (auto factory = formClass_.factories.find(node.className); factory != formClass_.factories.end()) {
      control = factory->second(form_, node.name);
    } else if (node.className == "TImage") {
      control = std::make_unique<PictureControl>(form_, node.name);
    } else if (node.className == "TPanel") {
      control = std::make_unique<Panel>(form_, node.name);
    } else if (node.className == "TMediaPlayer") {
      control = std::make_unique<MediaPlayerControl>(form_, node.name);
    } else {
      ThrowLayoutError(node.source, node.line, "unknown control class " + node.className);
    }
    if (!control) ThrowLayoutError(node.source, node.line, "no " + node.className + " was made for " + node.name);
    if (!node.children.empty()) {
      ThrowLayoutError(node.source, node.children.front().line, node.className + " cannot hold other objects");
    }
    Adopt(std::move(control), node);
  }

  std::unique_ptr<MenuItem> CreateMenuItem(const LayoutObject& node) {
    if (node.className != "TMenuItem") {
      ThrowLayoutError(node.source, node.line, "a menu can only hold TMenuItem, not " + node.className);
    }
    auto item = std::make_unique<MenuItem>(node.name);
    Name(*item, node);
    created_.push_back({item.get(), &node});
    for (const auto& child : node.children) item->Add(CreateMenuItem(child));
    return item;
  }

  void Adopt(std::unique_ptr<Component> component, const LayoutObject& node) {
    Name(*component, node);
    created_.push_back({component.get(), &node});
    form_.components_.push_back(std::move(component));
  }

  void Name(Component& component, const LayoutObject& node) {
    if (!form_.names_.emplace(node.name, &component).second || node.name == form_.Name()) {
      ThrowLayoutError(node.source, node.line, "the name " + node.name + " is used twice");
    }
  }

  Form& form_;
  const FormClass& formClass_;
  std::vector<std::pair<Component*, const LayoutObject*>> created_;
};

// ---------------------------------------------------------------------------

Form::Form(FormHost& host, FormClass formClass)
    : Component(std::string()), FormCore(host), className_(formClass.name) {
  LayoutObject layout = ParseLayout(LoadLayoutText(formClass),
                                    formClass.layoutText.empty() ? formClass.layoutResource : formClass.name);
  FABLEWICK_STARTUP_MARK("layout parsed");
  Rename(layout.name);
  CreateWindowFor(formClass);
  FABLEWICK_STARTUP_MARK("window created");
  try {
    FormBuilder(*this, formClass).Build(layout);
    ApplyStyle();
    FABLEWICK_STARTUP_MARK("controls built");
    if (menu_) {
      menu_->Build();
      SetMenu(window_, menu_->Handle());
    }
    FABLEWICK_STARTUP_MARK("menu built");
    SetClientSize(designWidth_, designHeight_);
  } catch (...) {
    DestroyHandle();
    throw;
  }
}

Form::~Form() {
  // The form class's handlers are gone by now: nothing may reach them.
  OnCreate = OnDestroy = OnShow = OnHide = OnActivate = OnClick = nullptr;
  OnClose = nullptr;
  DestroyHandle();
}

void Form::DestroyHandle() {
  if (!window_) return;
  HWND window = window_;
  // The menu belongs to MainMenu; keep DestroyWindow from destroying it too.
  SetMenu(window, nullptr);
  DestroyWindow(window);
  window_ = nullptr;
}

void Form::CreateWindowFor(const FormClass& formClass) {
  RegisterWindowClass(formClass.name, &Form::WindowProc);
  window_ = CreateWindowExA(0, formClass.name.c_str(), "", WS_POPUP | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, 0, 0, 0,
                            0, reinterpret_cast<HWND>(Host().OwnerWindow()), nullptr, GetModuleHandleA(nullptr), this);
  if (!window_) throw AppError("Cannot create the window " + formClass.name);
}

bool Form::ApplyProperty(const LayoutProperty& property, LayoutBinder& binder) {
  const std::string& name = property.name;
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
  } else if (name == "OnCreate") {
    OnCreate = binder.NotifyHandler(property);
  } else if (name == "OnDestroy") {
    OnDestroy = binder.NotifyHandler(property);
  } else if (name == "OnShow") {
    OnShow = binder.NotifyHandler(property);
  } else if (name == "OnHide") {
    OnHide = binder.NotifyHandler(property);
  } else if (name == "OnActivate") {
    OnActivate = binder.NotifyHandler(property);
  } else if (name == "OnClick") {
    OnClick = binder.NotifyHandler(property);
  } else if (name == "OnClose") {
    OnClose = binder.CloseHandler(property);
  } else {
    return false;
  }
  return true;
}

void Form::ApplyStyle() {
  DWORD style = WS_POPUP | WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
  DWORD exStyle = 0;
  switch (borderStyle_) {
  case BorderStyle::bsNone: break;
  case BorderStyle::bsSingle: style |= WS_CAPTION; break;
  case BorderStyle::bsSizeable: style |= WS_CAPTION | WS_THICKFRAME; break;
  case BorderStyle::bsDialog:
    style |= WS_CAPTION;
    exStyle |= WS_EX_DLGMODALFRAME;
    break;
  }
  if (borderStyle_ != BorderStyle::bsNone && systemMenu_) {
    style |= WS_SYSMENU;
    if (borderStyle_ != BorderStyle::bsDialog) {
      if (minimizeBox_) style |= WS_MINIMIZEBOX;
      if (maximizeBox_) style |= WS_MAXIMIZEBOX;
    }
  }
  SetWindowLongPtrA(window_, GWL_STYLE, static_cast<LONG_PTR>(style));
  SetWindowLongPtrA(window_, GWL_EXSTYLE, static_cast<LONG_PTR>(exStyle));
  SetWindowPos(window_, nullptr, designLeft_, designTop_, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

void Form::UpdateFont() {
  font_.reset(CreateFontA(fontHeight_, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                          CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, fontName_.c_str()));
  if (window_) SendMessageA(window_, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
}

Component* Form::FindComponent(std::string_view name) const {
  auto found = names_.find(name);
  return found == names_.end() ? nullptr : found->second;
}

void Form::MissingComponent(std::string_view name) const {
  throw AppError(className_ + " has no component " + std::string(name) + " of the expected type");
}

void Form::SetColor(std::uint32_t color) {
  color_ = color;
  brush_.reset(CreateSolidBrush(ColorToRGB(color)));
  if (window_) InvalidateRect(window_, nullptr, TRUE);
}

std::string Form::Caption() const {
  int length = GetWindowTextLengthA(window_);
  std::string text(static_cast<std::size_t>(length) + 1, '\0');
  text.resize(static_cast<std::size_t>(GetWindowTextA(window_, text.data(), length + 1)));
  return text;
}

void Form::SetCaption(const std::string& caption) { SetWindowTextA(window_, caption.c_str()); }

void Form::SetClientSize(int width, int height) {
  if (width < 0) width = 0;
  if (height < 0) height = 0;
  LONG style = static_cast<LONG>(GetWindowLongPtrA(window_, GWL_STYLE));
  LONG exStyle = static_cast<LONG>(GetWindowLongPtrA(window_, GWL_EXSTYLE));
  RECT frame{0, 0, width, height};
  AdjustWindowRectEx(&frame, static_cast<DWORD>(style), GetMenu(window_) != nullptr, static_cast<DWORD>(exStyle));
  SetWindowPos(window_, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  // A menu bar that wraps onto a second line takes more than the one line
  // AdjustWindowRectEx allows for; measure and make up the difference.
  RECT client;
  GetClientRect(window_, &client);
  int dw = width - (client.right - client.left), dh = height - (client.bottom - client.top);
  if (dw != 0 || dh != 0) {
    RECT outer;
    GetWindowRect(window_, &outer);
    SetWindowPos(window_, nullptr, 0, 0, outer.right - outer.left + dw, outer.bottom - outer.top + dh,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

int Form::ClientWidth() const {
  RECT client{};
  GetClientRect(window_, &client);
  return client.right - client.left;
}

int Form::ClientHeight() const {
  RECT client{};
  GetClientRect(window_, &client);
  return client.bottom - client.top;
}

void Form::DisplayWindow() {
  if (position_ == FormPosition::poScreenCenter && State() == WindowState::wsNormal) CenterOnScreen();
  int command = SW_SHOWNORMAL;
  if (State() == WindowState::wsMaximized) command = SW_SHOWMAXIMIZED;
  else if (State() == WindowState::wsMinimized) command = SW_SHOWMINIMIZED;
  ShowWindow(window_, command);
  FABLEWICK_STARTUP_MARK("shown");
  UpdateWindow(window_);
  FABLEWICK_STARTUP_MARK("updated");
}

void Form::CenterOnScreen() {
  RECT outer;
  GetWindowRect(window_, &outer);
  int width = outer.right - outer.left, height = outer.bottom - outer.top;
  int left = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
  int top = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
  SetWindowPos(window_, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Form::BringToFront() {
  if (Visible() && window_) SetWindowPos(window_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

void Form::HideWindow() { ShowWindow(window_, SW_HIDE); }

void Form::MinimizeWindow() { ShowWindow(window_, SW_MINIMIZE); }

bool Form::HandleMessage(UINT, WPARAM, LPARAM, LRESULT&) { return false; }

LRESULT Form::Dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
  LRESULT result = 0;
  if (HandleMessage(message, wParam, lParam, result)) return result;
  switch (message) {
  case WM_ERASEBKGND: {
    RECT client;
    GetClientRect(window_, &client);
    FillRect(reinterpret_cast<HDC>(wParam), &client, brush_ ? brush_.get() : GetSysColorBrush(COLOR_BTNFACE));
    return 1;
  }
  case WM_CLOSE:
    Close();
    return 0;
  case WM_SYSCOMMAND:
    if ((wParam & 0xFFF0) == SC_MINIMIZE && MinimizeProgramFor()) return 0;
    break;
  case WM_ACTIVATE:
    if (LOWORD(wParam) != WA_INACTIVE) Activated();
    break;
  case WM_COMMAND:
    if (lParam == 0 && menu_) {
      if (MenuItem* item = menu_->FindByCommand(LOWORD(wParam))) {
        item->Click();
        return 0;
      }
    }
    break;
  case WM_LBUTTONDOWN:
    click_.Press(window_);
    return 0;
  case WM_LBUTTONUP:
    if (click_.Release(window_, lParam) && OnClick) OnClick();
    return 0;
  case WM_CAPTURECHANGED:
    click_.CaptureLost();
    break;
  default:
    break;
  }
  return DefWindowProcA(window_, message, wParam, lParam);
}

LRESULT CALLBACK Form::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* form = reinterpret_cast<Form*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  if (!form || form->window_ != window) {
    if (message == WM_NCDESTROY) SetWindowLongPtrA(window, GWLP_USERDATA, 0);
    return DefWindowProcA(window, message, wParam, lParam);
  }
  if (message == WM_NCDESTROY) {
    form->window_ = nullptr;
    SetWindowLongPtrA(window, GWLP_USERDATA, 0);
    return DefWindowProcA(window, message, wParam, lParam);
  }
  try {
    return form->Dispatch(message, wParam, lParam);
  } catch (...) {
    form->Host().ReportCurrentError();
  }
  return 0;
}

} // namespace fablewick::win32

#include "app/win32/form.h"

#include "app/app_error.h"
#include "app/startup_trace.h"
#include "app/win32/layout_binder.h"
#include "app/win32/resource_bytes.h"

namespace fablewick::win32 {

namespace {

std::string LoadLayoutText(const FormClass& formClass) {
  if (!formClass.layoutText.empty()) return formClass.layoutText;
  const auto bytes =
      ResourceBytes(GetModuleHandleA(nullptr), formClass.layoutResource.c_str(), MAKEINTRESOURCEA(10) /* RT_RCDATA */);
  if (!bytes.data()) throw AppError("Resource " + formClass.layoutResource + " not found");
  return std::string(bytes.begin(), bytes.end());
}

} // namespace

// Resolves the names that a layout's properties give, for one form.
class FormBuilder : public LayoutBinder {
public:
  FormBuilder(Form& form, const FormClass& formClass) : form_(form), formClass_(formClass) {}

  // What the window is created with: the menus, with their items, and the
  // form's frame (border, icons, place, client size, menu), so that the
  // window gets its final style, size and menu in the one create call.
  void BuildFrame(const LayoutObject& layout) {
    if (layout.className != formClass_.name) {
      ThrowLayoutError(layout.source, layout.line,
                       "the layout is for " + layout.className + ", not " + formClass_.name);
    }
    for (const auto& child : layout.children) {
      if (IsMenu(child)) CreateComponent(child);
    }
    for (const auto& [component, node] : created_) Apply(*component, *node);
    for (const auto& property : layout.properties) {
      if (IsFrameProperty(property.name)) form_.ApplyProperty(property, *this);
    }
    applied_ = created_.size();
  }

  // The controls, which need the window, and every property of the form.
  void BuildControls(const LayoutObject& layout) {
    for (const auto& child : layout.children) {
      if (!IsMenu(child)) CreateComponent(child);
    }
    Apply(form_, layout);
    for (std::size_t i = applied_; i < created_.size(); ++i) Apply(*created_[i].first, *created_[i].second);
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
  static bool IsMenu(const LayoutObject& node) { return node.className == "TMainMenu"; }
  static bool IsFrameProperty(std::string_view name) {
    for (std::string_view frame : {"Left", "Top", "ClientWidth", "ClientHeight", "BorderStyle", "BorderIcons",
                                   "Position", "Menu"}) {
      if (name == frame) return true;
    }
    return false;
  }

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
    if (IsMenu(node)) {
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
  std::size_t applied_ = 0;
};

// ---------------------------------------------------------------------------

Form::Form(FormHost& host, FormClass formClass)
    : Component(std::string()), FormCore(host), className_(formClass.name) {
  LayoutObject layout = ParseLayout(LoadLayoutText(formClass),
                                    formClass.layoutText.empty() ? formClass.layoutResource : formClass.name);
  FABLEWICK_STARTUP_MARK("layout parsed");
  Rename(layout.name);
  FormBuilder builder(*this, formClass);
  builder.BuildFrame(layout);
  if (menu_) menu_->Build();
  FABLEWICK_STARTUP_MARK("menu built");
  CreateFormWindow(formClass);
  FABLEWICK_STARTUP_MARK("window created");
  try {
    builder.BuildControls(layout);
    FABLEWICK_STARTUP_MARK("controls built");
    // Only a menu bar wrapping onto a second line leaves the client short.
    SetClientSize(designWidth_, designHeight_);
  } catch (...) {
    DestroyHandle();
    throw;
  }
}

} // namespace fablewick::win32

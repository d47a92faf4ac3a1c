#pragma once

// How a form class is put together
// --------------------------------
// A form class (Tfrmmain, TfrmSplashMovie) derives from Form and passes a
// FormClass to Form's constructor. Form's constructor loads the layout (the
// RCDATA resource named by layoutResource, e.g. "TFRMMAIN"), creates the
// window, every control and the menu it lists, applies their properties and
// binds every event property (OnShow = FormShow, OnMouseDown =
// BackgroundMouseDown, ...) to the handler of that name in
// FormClass::handlers. A layout naming a handler that the table does not
// offer, or one of another kind, is an AppError.
//
//   Tfrmmain::Tfrmmain()
//       : Form({.name = "Tfrmmain",
//               .layoutResource = "TFRMMAIN",
//               .handlers = {Bind("FormShow", this, &Tfrmmain::FormShow),
//                            Bind("BackgroundMouseDown", this,
//                                 &Tfrmmain::BackgroundMouseDown)}}),
//         Background(Find<PictureControl>("Background")) {
//     MusicEnabled = true;  // after the layout, before FormCreate
//   }
//
// The handler's kind follows from its parameters (events.h): void() for
// OnCreate/OnShow/OnClick/..., (MouseButton, ShiftState, X, Y) for mouse
// down/up, (ShiftState, X, Y) for mouse move, (CloseAction&) for OnClose.
// Handlers are only called after the constructor has finished; they may
// throw (AppError or any std::exception): the frame reports the error in its
// error box and carries on.
//
// Controls stay owned by the form; the class keeps plain pointers to them,
// initialised in its member initialisers with Find<T>(name) (which raises
// AppError when the layout has no such component of that type). Menu items
// are found the same way: Find<MenuItem>("PlayOpeningMusic1").
//
// A layout control class is made by a factory: FormClass::factories maps a
// layout class name ("TMediaPlayer") to a function returning the control
// object; it takes precedence over the built-in TImage, TPanel and
// TMediaPlayer (a placeholder that plays nothing). A factory runs inside
// Form's constructor, before the form class's own members exist: it may
// only create the object, not touch the form class.
//
// The form's window is created by the constructor and stays hidden until
// Show or a modal show. Create forms through Application::CreateForm,
// which hands each the host it reports to.

#include "app/form_core.h"
#include "app/layout.h"
#include "app/win32/base_window.h"
#include "app/win32/component.h"
#include "app/win32/controls.h"
#include "app/form_events.h"
#include "app/win32/gdi.h"
#include "app/win32/menus.h"

#include <windows.h>

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace fablewick::win32 {

class Form;

using ControlFactory = std::function<std::unique_ptr<Control>(Form& owner, const std::string& name)>;

struct FormClass {
  // The window class name, e.g. "Tfrmmain".
  std::string name;
  // The RCDATA resource holding the layout in the program's module.
  std::string layoutResource;
  // Used instead of the resource when not empty.
  std::string layoutText;
  std::vector<HandlerBinding> handlers;
  std::map<std::string, ControlFactory, std::less<>> factories;
};

enum class BorderStyle { bsNone, bsSingle, bsSizeable, bsDialog };
enum class FormPosition { poDesigned, poScreenCenter };
class Form : public Component, public FormCore, public ControlOwner, protected BaseWindow {
public:
  Form(FormHost& host, FormClass formClass);
  ~Form() override;

  HWND Handle() const override { return Window(); }
  FormHost& ErrorHost() const override { return Host(); }
  WindowHandle WindowId() const override { return reinterpret_cast<WindowHandle>(Window()); }

  void BringToFront();
  // A form centred when shown is centred in this area (screen coordinates)
  // rather than on the primary screen; moved there at once while hidden.
  void CentreIn(const Rect& area);

  void SetClientSize(int width, int height);
  int ClientWidth() const;
  int ClientHeight() const;

  std::uint32_t Color() const override { return color_; }
  void SetColor(std::uint32_t color);
  std::string Caption() const;
  void SetCaption(const std::string& caption);
  HFONT Font() const { return font_.get(); }
  MainMenu* Menu() const { return menu_; }

  // The component of that name and type, or AppError.
  template <class T>
  T* Find(std::string_view name) const {
    T* found = dynamic_cast<T*>(FindComponent(name));
    if (!found) MissingComponent(name);
    return found;
  }
  Component* FindComponent(std::string_view name) const;

  bool ApplyProperty(const LayoutProperty& property, LayoutBinder& binder) override;

protected:
  // Messages of the form's own window; true when handled with `result`.
  virtual bool FormMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  FormHost* ReportingHost() override { return &Host(); }

  void DisplayWindow() override;
  void HideWindow() override;
  void MinimizeWindow() override;
  void BringWindowToFront() override { BringToFront(); }

private:
  friend class Application;
  friend class FormBuilder;

  struct FrameStyle {
    DWORD style, exStyle;
  };
  FrameStyle StyleOfFrame() const;
  void CreateFormWindow(const FormClass& formClass);
  // Resizes the outer frame; a hidden form that is to be centred is
  // centred in the same move, so showing it need not move it again.
  void PlaceFrame(int outerWidth, int outerHeight);
  bool CentredWhenShown() const;
  void UpdateFont();
  void DestroyHandle();
  [[noreturn]] void MissingComponent(std::string_view name) const;
  void CenterOnScreen();
  // Where a centred form is centred: the area given, or the primary screen.
  RECT CentringArea() const;

  std::string className_;
  ClickTracker click_;
  BorderStyle borderStyle_ = BorderStyle::bsSizeable;
  bool systemMenu_ = true, minimizeBox_ = true, maximizeBox_ = true;
  FormPosition position_ = FormPosition::poDesigned;
  std::uint32_t color_ = SystemColorFlag | COLOR_BTNFACE;
  UniqueBrush brush_;
  UniqueFont font_;
  std::string fontName_ = "MS Sans Serif";
  int fontHeight_ = -11;
  int designLeft_ = 0, designTop_ = 0, designWidth_ = 0, designHeight_ = 0;
  MainMenu* menu_ = nullptr;
  std::optional<Rect> centreArea_;
  std::vector<std::unique_ptr<Component>> components_;
  std::map<std::string, Component*, std::less<>> names_;
};

} // namespace fablewick::win32

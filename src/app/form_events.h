#pragma once

#include <functional>
#include <string>
#include <type_traits>
#include <variant>

namespace fablewick {

enum class MouseButton { Left, Right, Middle };

// Which modifier keys and mouse buttons were down when a mouse event came.
using ShiftState = unsigned;
inline constexpr ShiftState ssShift = 1u << 0;
inline constexpr ShiftState ssAlt = 1u << 1;
inline constexpr ShiftState ssCtrl = 1u << 2;
inline constexpr ShiftState ssLeft = 1u << 3;
inline constexpr ShiftState ssRight = 1u << 4;
inline constexpr ShiftState ssMiddle = 1u << 5;

// What a close handler decides: caHide (the default) hides the window,
// caNone refuses the close.
enum class CloseAction { caNone, caHide, caFree, caMinimize };

using NotifyEvent = std::function<void()>;
using MouseEvent = std::function<void(MouseButton, ShiftState, int x, int y)>;
using MouseMoveEvent = std::function<void(ShiftState, int x, int y)>;
using CloseEvent = std::function<void(CloseAction&)>;

using Handler = std::variant<NotifyEvent, MouseEvent, MouseMoveEvent, CloseEvent>;

// One entry of a form class's table of handlers, found by the name a layout
// gives in its event properties.
struct HandlerBinding {
  std::string name;
  Handler handler;
};

// Bind("FormShow", this, &Tfrmmain::FormShow): the handler's kind follows
// from the member function's parameters.
template <class T>
HandlerBinding Bind(std::string name, T* form, void (T::*method)()) {
  return {std::move(name), NotifyEvent([form, method] { (form->*method)(); })};
}
template <class T>
HandlerBinding Bind(std::string name, T* form, void (T::*method)(MouseButton, ShiftState, int, int)) {
  return {std::move(name), MouseEvent([form, method](MouseButton b, ShiftState s, int x, int y) {
            (form->*method)(b, s, x, y);
          })};
}
template <class T>
HandlerBinding Bind(std::string name, T* form, void (T::*method)(ShiftState, int, int)) {
  return {std::move(name),
          MouseMoveEvent([form, method](ShiftState s, int x, int y) { (form->*method)(s, x, y); })};
}
template <class T>
HandlerBinding Bind(std::string name, T* form, void (T::*method)(CloseAction&)) {
  return {std::move(name), CloseEvent([form, method](CloseAction& action) { (form->*method)(action); })};
}

} // namespace fablewick

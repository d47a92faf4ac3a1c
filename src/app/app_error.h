#pragma once

#include <stdexcept>
#include <string>

namespace fablewick {

// An error raised by a platform wrapper (registry, bitmap loading). Handlers
// let it travel; the frame catches it where the message was dispatched and
// shows it in the error message box.
class AppError : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};

} // namespace fablewick

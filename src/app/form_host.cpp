#include "app/form_host.h"

#include <exception>

namespace fablewick {

bool FormHost::Guarded(const std::function<void()>& handler) {
  try {
    handler();
    return true;
  } catch (...) {
    ReportCurrentError();
    return false;
  }
}

void FormHost::ReportCurrentError() {
  try {
    throw;
  } catch (const std::exception& error) {
    ReportError(error.what());
  } catch (...) {
    ReportError("Unknown error");
  }
}

} // namespace fablewick

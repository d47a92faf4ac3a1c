#pragma once

#include "app/layout.h"

#include <string>

namespace fablewick::win32 {

class LayoutBinder;

// Anything a layout names: controls, the menu and its items.
class Component {
public:
  explicit Component(std::string name) : name_(std::move(name)) {}
  virtual ~Component() = default;
  Component(const Component&) = delete;
  Component& operator=(const Component&) = delete;

  const std::string& Name() const { return name_; }

  // Applies one layout property. Returns false for a property this class
  // does not have, which the builder reports as a layout error.
  virtual bool ApplyProperty(const LayoutProperty& property, LayoutBinder& binder) = 0;

protected:
  void Rename(std::string name) { name_ = std::move(name); }

private:
  std::string name_;
};

} // namespace fablewick::win32

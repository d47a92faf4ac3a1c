#pragma once

#include "app/win32/component.h"
#include "app/form_events.h"
#include "app/win32/scoped_win.h"

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

namespace fablewick::win32 {

// One item of a menu (layout class TMenuItem): Caption ("-" is a separator),
// ShortCut (a key as in app/shortcut.h), Checked, Enabled, OnClick, and its
// own items when it opens a drop-down menu.
class MenuItem : public Component {
public:
  explicit MenuItem(std::string name) : Component(std::move(name)) {}

  const std::string& Caption() const { return caption_; }
  int ShortCut() const { return shortCut_; }
  bool IsSeparator() const { return caption_ == "-"; }
  bool Checked() const { return checked_; }
  void SetChecked(bool checked);
  bool Enabled() const { return enabled_; }
  UINT Command() const { return command_; }

  const std::vector<std::unique_ptr<MenuItem>>& Items() const { return items_; }
  MenuItem& Add(std::unique_ptr<MenuItem> item);

  NotifyEvent OnClick;
  // Runs OnClick, if bound.
  void Click();

  bool ApplyProperty(const LayoutProperty& property, LayoutBinder& binder) override;

private:
  friend class MainMenu;
  std::string caption_;
  int shortCut_ = 0;
  bool checked_ = false;
  bool enabled_ = true;
  UINT command_ = 0;
  HMENU parent_ = nullptr;
  UINT position_ = 0;
  std::vector<std::unique_ptr<MenuItem>> items_;
};

// A form's menu bar (layout class TMainMenu). Build turns the item tree into
// a Win32 menu with access keys and shortcut texts, and an accelerator table
// for the shortcuts.
class MainMenu : public Component {
public:
  explicit MainMenu(std::string name) : Component(std::move(name)) {}

  const std::vector<std::unique_ptr<MenuItem>>& Items() const { return items_; }
  MenuItem& Add(std::unique_ptr<MenuItem> item);

  void Build();
  HMENU Handle() const { return menu_.get(); }
  // Null when no item has a shortcut.
  HACCEL Accelerators() const { return accelerators_.get(); }
  MenuItem* FindByCommand(UINT command) const;

  bool ApplyProperty(const LayoutProperty& property, LayoutBinder& binder) override;

private:
  std::vector<std::unique_ptr<MenuItem>> items_;
  UniqueMenu menu_;
  UniqueAccelerators accelerators_;
};

} // namespace fablewick::win32

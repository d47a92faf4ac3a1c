#include "app/win32/menus.h"

#include "app/app_error.h"
#include "app/shortcut.h"
#include "app/win32/layout_binder.h"
#include "app/menu_access_keys.h"

#include <memory>
#include <string>
#include <type_traits>

namespace fablewick::win32 {

namespace {

constexpr UINT FirstCommand = 100;

MenuItem* FindIn(const std::vector<std::unique_ptr<MenuItem>>& items, UINT command) {
  for (const auto& item : items) {
    if (item->Items().empty()) {
      if (item->Command() == command) return item.get();
    } else if (MenuItem* found = FindIn(item->Items(), command)) {
      return found;
    }
  }
  return nullptr;
}

} // namespace

void MenuItem::SetChecked(bool checked) {
  checked_ = checked;
  if (parent_) CheckMenuItem(parent_, position_, MF_BYPOSITION | (checked ? MF_CHECKED : MF_UNCHECKED));
}

MenuItem& MenuItem::Add(std::unique_ptr<MenuItem> item) {
  items_.push_back(std::move(item));
  return *items_.back();
}

void MenuItem::Click() {
  if (OnClick) OnClick();
}

bool MenuItem::ApplyProperty(const LayoutProperty& property, LayoutBinder& binder) {
  const std::string& name = property.name;
  if (name == "Caption") caption_ = property.AsString();
  else if (name == "ShortCut") shortCut_ = property.AsInt();
  else if (name == "Checked") checked_ = property.AsBool();
  else if (name == "Enabled") enabled_ = property.AsBool();
  else if (name == "OnClick") OnClick = binder.NotifyHandler(property);
  else return false;
  return true;
}

MenuItem& MainMenu::Add(std::unique_ptr<MenuItem> item) {
  items_.push_back(std::move(item));
  return *items_.back();
}

bool MainMenu::ApplyProperty(const LayoutProperty&, LayoutBinder&) { return false; }

MenuItem* MainMenu::FindByCommand(UINT command) const { return FindIn(items_, command); }

namespace {

// With the system's own code: the menu calls fail only when the window
// system itself is in trouble, and that code is all there is to go on. It is
// cleared before each call, so a call that fails without setting one reports
// 0 rather than whatever an earlier call left.
[[noreturn]] void ThrowMenuError() {
  throw AppError("Cannot create the menu (system error " + std::to_string(GetLastError()) + ")");
}

HMENU MakeMenu(HMENU(WINAPI* make)()) {
  SetLastError(0);
  HMENU menu = make();
  if (!menu) ThrowMenuError();
  return menu;
}

void Append(HMENU menu, UINT flags, UINT_PTR id, const char* text) {
  SetLastError(0);
  if (!AppendMenuA(menu, flags, id, text)) ThrowMenuError();
}

struct MenuBuilder {
  UINT nextCommand = FirstCommand;
  std::vector<ACCEL> accelerators;

  void Level(HMENU menu, const std::vector<std::unique_ptr<MenuItem>>& items) {
    std::vector<std::string> captions;
    for (const auto& item : items) captions.push_back(item->Caption());
    std::vector<std::string> marked = AssignAccessKeys(captions);
    for (std::size_t i = 0; i < items.size(); ++i) {
      MenuItem& item = *items[i];
      if (item.IsSeparator()) {
        Append(menu, MF_SEPARATOR, 0, nullptr);
      } else if (!item.Items().empty()) {
        // The drop-down is ours to destroy until the bar has taken it.
        UniqueMenu popup(MakeMenu(CreatePopupMenu));
        Level(popup.get(), item.Items());
        Append(menu, MF_POPUP | MF_STRING | (item.Enabled() ? 0 : MF_GRAYED), reinterpret_cast<UINT_PTR>(popup.get()),
               marked[i].c_str());
        popup.release();
      } else {
        UINT command = nextCommand++;
        std::string text = marked[i];
        std::string shortcut = ShortcutText(item.ShortCut());
        // The menu draws the text after a tab right-aligned: the shortcut column.
        if (!shortcut.empty()) text += "\t" + shortcut;
        Append(menu, MF_STRING | (item.Checked() ? MF_CHECKED : 0) | (item.Enabled() ? 0 : MF_GRAYED), command,
               text.c_str());
        commands.push_back({&item, command});
        if (item.ShortCut() != 0) {
          Shortcut s = DecodeShortcut(item.ShortCut());
          BYTE flags = FVIRTKEY;
          if (s.ctrl) flags |= FCONTROL;
          if (s.shift) flags |= FSHIFT;
          if (s.alt) flags |= FALT;
          accelerators.push_back(ACCEL{flags, s.key, static_cast<WORD>(command)});
        }
      }
      positions.push_back({&item, menu, static_cast<UINT>(i)});
    }
  }

  struct Command {
    MenuItem* item;
    UINT command;
  };
  struct Position {
    MenuItem* item;
    HMENU parent;
    UINT index;
  };
  std::vector<Command> commands;
  std::vector<Position> positions;
};

} // namespace

void MainMenu::Build() {
  if (menu_) return;
  UniqueMenu bar(MakeMenu(CreateMenu));
  MenuBuilder builder;
  builder.Level(bar.get(), items_);
  menu_ = std::move(bar);
  for (const auto& c : builder.commands) c.item->command_ = c.command;
  for (const auto& p : builder.positions) {
    p.item->parent_ = p.parent;
    p.item->position_ = p.index;
  }
  if (!builder.accelerators.empty()) {
    accelerators_.reset(CreateAcceleratorTableA(builder.accelerators.data(), static_cast<int>(builder.accelerators.size())));
  }
}

} // namespace fablewick::win32

#include "win32/menu.h"

#include <map>

#include "win32/application.h"
#include "win32/text.h"

namespace qel::win {

namespace {
// Ids below this are the dialog ids (IDOK, IDCANCEL ...) that the dialog
// manager sends as WM_COMMAND too; they must never be taken for entries.
constexpr UINT kFirstAutomaticId = 0x4000;

std::map<UINT, MenuItem*>& ById() {
  static std::map<UINT, MenuItem*> map;
  return map;
}
std::map<HMENU, MenuItem*>& BySubMenu() {
  static std::map<HMENU, MenuItem*> map;
  return map;
}
}  // namespace

MenuItem::~MenuItem() {
  if (auto it = ById().find(id_); it != ById().end() && it->second == this) ById().erase(it);
  if (auto it = BySubMenu().find(subMenu_); it != BySubMenu().end() && it->second == this) BySubMenu().erase(it);
}

void MenuItem::Set(const Args& a, std::vector<MenuItem*> items) {
  static UINT next = kFirstAutomaticId;
  caption_ = a.caption;
  hint_ = a.hint;
  id_ = a.id ? a.id : next++;
  visible_ = a.visible;
  checked_ = a.checked;
  items_ = std::move(items);
  ById()[id_] = this;
}

void MenuItem::SetChecked(bool checked) {
  checked_ = checked;
  if (owner_) CheckMenuItem(owner_, id_, MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
}

void MenuItem::Click() {
  if (onClick) Application::Instance().Guarded(onClick);
}

MenuItem* MenuItem::FromId(UINT id) {
  auto it = ById().find(id);
  return it == ById().end() ? nullptr : it->second;
}

MenuItem* MenuItem::FromSubMenu(HMENU menu) {
  auto it = BySubMenu().find(menu);
  return it == BySubMenu().end() ? nullptr : it->second;
}

HMENU BuildMenu(const std::vector<MenuItem*>& items, bool bar) {
  HMENU menu = bar ? CreateMenu() : CreatePopupMenu();
  for (MenuItem* item : items) {
    if (!item->visible_) continue;
    item->owner_ = menu;
    if (item->IsSeparator()) {
      AppendMenuW(menu, MF_SEPARATOR, item->id_, nullptr);
      continue;
    }
    const std::wstring caption = Wide(item->caption_);
    if (!item->items_.empty()) {
      item->subMenu_ = BuildMenu(item->items_, false);
      BySubMenu()[item->subMenu_] = item;
      AppendMenuW(menu, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(item->subMenu_), caption.c_str());
    } else {
      AppendMenuW(menu, MF_STRING | (item->checked_ ? MF_CHECKED : 0), item->id_, caption.c_str());
    }
  }
  return menu;
}

void MainMenu::Attach(HWND window) {
  SetMenu(window, BuildMenu(items_, true));
  DrawMenuBar(window);
}

void PopupMenu::Popup(HWND owner, int x, int y) {
  if (!menu_) menu_ = BuildMenu(items_, false);
  // The owner must be the foreground window, or the menu stays open
  // after a click elsewhere.
  SetForegroundWindow(owner);
  TrackPopupMenu(menu_, TPM_LEFTALIGN | TPM_RIGHTBUTTON, x, y, 0, owner, nullptr);
  PostMessageW(owner, WM_NULL, 0, 0);
}

}  // namespace qel::win

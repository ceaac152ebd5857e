#pragma once
// Main menus and pop-up menus built from MenuItem objects. An entry that
// the user chooses arrives at its form as WM_COMMAND with the entry's id;
// the form finds the entry by id and runs its onClick. The hint of the
// highlighted entry becomes the application's hint (WM_MENUSELECT).
#include <functional>
#include <string>
#include <vector>

#include <windows.h>

namespace qel::win {

class MenuItem {
 public:
  struct Args {
    std::string caption{};  // "-" makes a separator
    std::string hint{};
    UINT id = 0;          // 0: the next free id
    bool visible = true;  // a hidden entry is left out of the menu
    bool checked = false;
  };
  MenuItem() = default;
  ~MenuItem();
  MenuItem(const MenuItem&) = delete;
  MenuItem& operator=(const MenuItem&) = delete;

  void Set(const Args& a, std::vector<MenuItem*> items = {});

  const std::string& Caption() const { return caption_; }
  const std::string& Hint() const { return hint_; }
  UINT Id() const { return id_; }
  bool Visible() const { return visible_; }
  bool IsSeparator() const { return caption_ == "-"; }
  const std::vector<MenuItem*>& Items() const { return items_; }

  bool Checked() const { return checked_; }
  void SetChecked(bool checked);

  std::function<void()> onClick;
  // Runs onClick under the general error handler.
  void Click();

  static MenuItem* FromId(UINT id);
  // The entry whose sub-menu is `menu`, or nullptr.
  static MenuItem* FromSubMenu(HMENU menu);

 private:
  friend HMENU BuildMenu(const std::vector<MenuItem*>& items, bool bar);
  std::string caption_;
  std::string hint_;
  UINT id_ = 0;
  bool visible_ = true;
  bool checked_ = false;
  std::vector<MenuItem*> items_;
  HMENU owner_ = nullptr;    // the menu this entry sits in
  HMENU subMenu_ = nullptr;  // the menu of its entries, if it has any
};

// Builds a menu bar (bar = true) or a pop-up menu of the entries.
HMENU BuildMenu(const std::vector<MenuItem*>& items, bool bar);

class MainMenu {
 public:
  void Set(std::vector<MenuItem*> items) { items_ = std::move(items); }
  // Builds the menu bar and gives it to the window.
  void Attach(HWND window);
  const std::vector<MenuItem*>& Items() const { return items_; }

 private:
  std::vector<MenuItem*> items_;
};

class PopupMenu {
 public:
  void Set(std::vector<MenuItem*> items) { items_ = std::move(items); }
  const std::vector<MenuItem*>& Items() const { return items_; }
  // Shows the menu at a screen position; the choice goes to `owner`.
  void Popup(HWND owner, int x, int y);

 private:
  std::vector<MenuItem*> items_;
  HMENU menu_ = nullptr;
};

}  // namespace qel::win

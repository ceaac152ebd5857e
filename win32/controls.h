#pragma once
// The simple controls: labels, buttons, check and radio boxes, edit fields,
// drop-down boxes and a small picture. Each is a real Windows control of
// the standard classes, so that a screen reader or a test driver finds it
// by its class and caption.
//
// Setting a state from code (SetChecked, SetItemIndex, SetItems) fires no
// callback; callbacks report what the user did. Edit fields are the one
// exception: their onChange follows every change of the text, as the
// write-position mirror of the list needs.
#include <functional>
#include <string>
#include <vector>

#include "win32/wnd.h"

namespace qel::win {

// A static text. A width of 0 sizes the label to its text (also after
// every SetText). Clicks reach onClick.
class Label : public Wnd {
 public:
  void Create(const CreateArgs& a);
  void SetText(const std::string& cp932) override;
  void SetColor(COLORREF color);
  std::function<void()> onClick;

 protected:
  void OnCommand(WORD code) override;
  HBRUSH OnCtlColor(HDC dc) override;

 private:
  void FitToText();
  bool autoSize_ = false;
};

class Button : public Wnd {
 public:
  void Create(const CreateArgs& a);
  std::function<void()> onClick;

 protected:
  void OnCommand(WORD code) override;
};

// A button with a tick: the common part of check boxes and radio buttons.
class TickButton : public Wnd {
 public:
  bool Checked() const;
  virtual void SetChecked(bool checked);
  std::function<void()> onClick;

 protected:
  void CreateTick(const CreateArgs& a, DWORD buttonStyle, bool checked);
  void OnCommand(WORD code) override;
  void ApplyHeldState(const CreateArgs& kept) override;

 private:
  bool heldCheck_ = false;  // the tick while the window is held back
};

class CheckBox : public TickButton {
 public:
  void Create(const CreateArgs& a, bool checked = false) { CreateTick(a, BS_AUTOCHECKBOX, checked); }
};

// Radio buttons of one parent form one group: ticking one unticks the others.
class RadioButton : public TickButton {
 public:
  void Create(const CreateArgs& a, bool checked = false) { CreateTick(a, BS_AUTORADIOBUTTON, checked); }
  void SetChecked(bool checked) override;
};

class Edit : public Wnd {
 public:
  // `japaneseInput` puts the input method into Hiragana mode whenever the
  // field gets the focus (where an input method is installed).
  void Create(const CreateArgs& a, bool japaneseInput = false);
  // Replaces the text when it differs; onChange follows.
  void SetText(const std::string& cp932) override;
  std::function<void()> onChange;

 protected:
  void OnCommand(WORD code) override;

 private:
  bool japaneseInput_ = false;
};

class ComboBox : public Wnd {
 public:
  enum class Kind { DropDown, DropDownList };  // editable, or choose only
  void Create(const CreateArgs& a, Kind kind, int dropDownCount = 8);

  // Replacing the entries keeps the text shown in an editable box.
  void SetItems(const std::vector<std::string>& items);
  std::vector<std::string> Items() const;
  int ItemCount() const;
  int ItemIndex() const;  // -1 when nothing is chosen
  void SetItemIndex(int index);
  int DropDownCount() const { return dropDownCount_; }
  void SetDropDownCount(int count);
  // The height of the closed box (the window itself is as high as the
  // opened list, which is how a classic combo box knows its list height).
  int BoxHeight() const;
  void SetBounds(const Bounds& b) override;

  // Typing into the box or choosing an entry; the text is already the
  // chosen entry's when it runs.
  std::function<void()> onChange;

 protected:
  void OnCommand(WORD code) override;
  void ApplyHeldState(const CreateArgs& kept) override;

 private:
  Kind kind_ = Kind::DropDown;
  int dropDownCount_ = 8;
  // The entries and the chosen one while the window is held back; the
  // text is kept as the window's would be (for a list: the chosen entry).
  std::vector<std::string> heldItems_;
  int heldIndex_ = -1;
};

// A small picture: an icon of the system, centred.
class Picture : public Wnd {
 public:
  void Create(const CreateArgs& a, HICON icon);
};

}  // namespace qel::win

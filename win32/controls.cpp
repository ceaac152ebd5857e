#include "win32/controls.h"

#include <commctrl.h>
#include <imm.h>

#include "win32/text.h"

namespace qel::win {

// ---- Label ----

namespace {
// One memory DC measures every label's text. A window DC for each label
// costs a round trip to the display each time, and the main window makes
// dozens of labels at start-up. Only the user-interface thread measures.
HDC MeasuringDC() {
  static const HDC dc = CreateCompatibleDC(nullptr);
  return dc;
}

// An empty label keeps the height of a line.
SIZE TextSize(const std::wstring& text, HFONT font) {
  const HDC dc = MeasuringDC();
  const HGDIOBJ old = SelectObject(dc, font);
  SIZE size{};
  GetTextExtentPoint32W(dc, text.empty() ? L" " : text.c_str(), text.empty() ? 1 : static_cast<int>(text.size()),
                        &size);
  SelectObject(dc, old);
  return size;
}
}  // namespace

void Label::Create(const CreateArgs& a) {
  autoSize_ = a.bounds.w == 0;
  CreateArgs sized = a;
  if (autoSize_) {
    // Made at the size of its text rather than moved there right after.
    const SIZE size = TextSize(Wide(a.text), FontFor(a));
    sized.bounds.w = size.cx;
    sized.bounds.h = size.cy;
  }
  CreateHandle(sized, L"STATIC", SS_LEFT | SS_NOTIFY | SS_NOPREFIX);
}

void Label::SetText(const std::string& cp932) {
  if (WindowHeld()) {
    Wnd::SetText(cp932);
    if (autoSize_) {
      const SIZE size = TextSize(Wide(cp932), Font());
      HeldArgs().bounds.w = size.cx;
      HeldArgs().bounds.h = size.cy;
    }
    return;
  }
  if (!hwnd_) return;
  const Bounds old = GetBounds();
  Wnd::SetText(cp932);
  if (autoSize_) {
    FitToText();
    // A shorter text leaves the old, wider area to the parent to repaint.
    RECT r{old.x, old.y, old.x + old.w, old.y + old.h};
    if (HWND p = GetParent(hwnd_)) InvalidateRect(p, &r, TRUE);
  }
}

void Label::SetColor(COLORREF color) {
  textColor_ = color;
  if (hwnd_) InvalidateRect(hwnd_, nullptr, TRUE);
}

void Label::FitToText() {
  const SIZE size = TextSize(Wide(Text()), Font());
  SetWindowPos(hwnd_, nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Label::OnCommand(WORD code) {
  if (code == STN_CLICKED) Fire(onClick);
}

HBRUSH Label::OnCtlColor(HDC dc) {
  SetTextColor(dc, textColor_ == kDefaultColor ? GetSysColor(COLOR_BTNTEXT) : textColor_);
  SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
  return GetSysColorBrush(COLOR_BTNFACE);
}

// ---- Button, CheckBox, RadioButton ----

void Button::Create(const CreateArgs& a) { CreateHandle(a, L"BUTTON", BS_PUSHBUTTON | WS_TABSTOP); }

void Button::OnCommand(WORD code) {
  if (code == BN_CLICKED) Fire(onClick);
}

void TickButton::CreateTick(const CreateArgs& a, DWORD buttonStyle, bool checked) {
  CreateHandle(a, L"BUTTON", buttonStyle | WS_TABSTOP);
  SetChecked(checked);
}

bool TickButton::Checked() const {
  if (WindowHeld()) return heldCheck_;
  return hwnd_ && SendMessageW(hwnd_, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void TickButton::SetChecked(bool checked) {
  if (WindowHeld()) heldCheck_ = checked;
  if (hwnd_) SendMessageW(hwnd_, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

void TickButton::OnCommand(WORD code) {
  if (code == BN_CLICKED) Fire(onClick);
}

void TickButton::ApplyHeldState(const CreateArgs&) {
  SendMessageW(hwnd_, BM_SETCHECK, heldCheck_ ? BST_CHECKED : BST_UNCHECKED, 0);
}

void RadioButton::SetChecked(bool checked) {
  TickButton::SetChecked(checked);
  if (checked && Parent())
    for (Wnd* sibling : Parent()->Children())
      if (auto* radio = dynamic_cast<RadioButton*>(sibling); radio && radio != this) radio->SetChecked(false);
}

// ---- Edit ----

namespace {
// The input method functions, taken from imm32 when the system has it.
void SwitchToHiragana(HWND hwnd) {
  static HMODULE imm = LoadLibraryW(L"imm32.dll");
  if (!imm) return;
  using GetContext = HIMC(WINAPI*)(HWND);
  using ReleaseContext = BOOL(WINAPI*)(HWND, HIMC);
  using SetOpen = BOOL(WINAPI*)(HIMC, BOOL);
  using SetConversion = BOOL(WINAPI*)(HIMC, DWORD, DWORD);
  auto get = reinterpret_cast<GetContext>(reinterpret_cast<void*>(GetProcAddress(imm, "ImmGetContext")));
  auto release = reinterpret_cast<ReleaseContext>(reinterpret_cast<void*>(GetProcAddress(imm, "ImmReleaseContext")));
  auto open = reinterpret_cast<SetOpen>(reinterpret_cast<void*>(GetProcAddress(imm, "ImmSetOpenStatus")));
  auto conv = reinterpret_cast<SetConversion>(reinterpret_cast<void*>(GetProcAddress(imm, "ImmSetConversionStatus")));
  if (!get || !release || !open || !conv) return;
  if (HIMC himc = get(hwnd)) {
    open(himc, TRUE);
    conv(himc, IME_CMODE_NATIVE | IME_CMODE_FULLSHAPE, IME_SMODE_NONE);
    release(hwnd, himc);
  }
}
}  // namespace

void Edit::Create(const CreateArgs& a, bool japaneseInput) {
  japaneseInput_ = japaneseInput;
  CreateHandle(a, L"EDIT", ES_AUTOHSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE);
}

void Edit::SetText(const std::string& cp932) {
  if (WindowHeld()) {  // reported as the control would report it
    if (Text() == cp932) return;
    Wnd::SetText(cp932);
    Fire(onChange);
    return;
  }
  // The control reports the change itself (EN_CHANGE), which runs onChange.
  if (hwnd_ && Text() != cp932) Wnd::SetText(cp932);
}

void Edit::OnCommand(WORD code) {
  if (code == EN_CHANGE) Fire(onChange);
  if (code == EN_SETFOCUS && japaneseInput_) SwitchToHiragana(hwnd_);
}

// ---- ComboBox ----

void ComboBox::Create(const CreateArgs& a, Kind kind, int dropDownCount) {
  kind_ = kind;
  dropDownCount_ = dropDownCount;
  const DWORD style = (kind == Kind::DropDown ? CBS_DROPDOWN | CBS_AUTOHSCROLL : CBS_DROPDOWNLIST) | WS_VSCROLL |
                      WS_TABSTOP;
  CreateHandle(a, L"COMBOBOX", style);
  if (WindowHeld() && kind == Kind::DropDownList) HeldArgs().text.clear();
  if (!hwnd_) return;
  SetBounds(a.bounds);  // the list height needs the font's item height
  // A combo box does not take its window name as the text of its field.
  if (kind == Kind::DropDown) Wnd::SetText(a.text);
}

int ComboBox::BoxHeight() const {
  if (!hwnd_) return 0;
  RECT r;
  GetWindowRect(hwnd_, &r);
  return r.bottom - r.top;
}

void ComboBox::SetBounds(const Bounds& b) {
  if (WindowHeld()) Wnd::SetBounds(b);
  if (!hwnd_) return;
  const int field = static_cast<int>(SendMessageW(hwnd_, CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0));
  const int item = static_cast<int>(SendMessageW(hwnd_, CB_GETITEMHEIGHT, 0, 0));
  SendMessageW(hwnd_, CB_SETMINVISIBLE, static_cast<WPARAM>(dropDownCount_), 0);
  MoveWindow(hwnd_, b.x, b.y, b.w, field + 8 + item * dropDownCount_, TRUE);
}

void ComboBox::SetDropDownCount(int count) {
  dropDownCount_ = count;
  SetBounds(GetBounds());
}

void ComboBox::SetItems(const std::vector<std::string>& items) {
  if (WindowHeld()) {
    heldItems_ = items;
    heldIndex_ = -1;
    if (kind_ == Kind::DropDownList) HeldArgs().text.clear();
    return;
  }
  if (!hwnd_) return;
  const std::string keep = kind_ == Kind::DropDown ? Text() : std::string();
  SendMessageW(hwnd_, CB_RESETCONTENT, 0, 0);
  for (const std::string& item : items)
    SendMessageW(hwnd_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(item).c_str()));
  if (kind_ == Kind::DropDown) Wnd::SetText(keep);
}

std::vector<std::string> ComboBox::Items() const {
  if (WindowHeld()) return heldItems_;
  std::vector<std::string> out;
  const int n = ItemCount();
  for (int i = 0; i < n; ++i) {
    const LRESULT len = SendMessageW(hwnd_, CB_GETLBTEXTLEN, static_cast<WPARAM>(i), 0);
    std::wstring buf(static_cast<std::size_t>(len > 0 ? len : 0) + 1, L'\0');
    SendMessageW(hwnd_, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(buf.data()));
    buf.resize(static_cast<std::size_t>(len > 0 ? len : 0));
    out.push_back(Narrow(buf));
  }
  return out;
}

int ComboBox::ItemCount() const {
  if (WindowHeld()) return static_cast<int>(heldItems_.size());
  return hwnd_ ? static_cast<int>(SendMessageW(hwnd_, CB_GETCOUNT, 0, 0)) : 0;
}

int ComboBox::ItemIndex() const {
  if (WindowHeld()) return heldIndex_;
  return hwnd_ ? static_cast<int>(SendMessageW(hwnd_, CB_GETCURSEL, 0, 0)) : -1;
}

void ComboBox::SetItemIndex(int index) {
  if (WindowHeld()) {
    // As the box does: an index outside the entries chooses nothing and
    // empties the field.
    const bool inside = index >= 0 && index < static_cast<int>(heldItems_.size());
    heldIndex_ = inside ? index : -1;
    HeldArgs().text = inside ? heldItems_[static_cast<std::size_t>(index)] : std::string();
    return;
  }
  if (hwnd_) SendMessageW(hwnd_, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

void ComboBox::OnCommand(WORD code) {
  if (code == CBN_EDITCHANGE) {
    Fire(onChange);
  } else if (code == CBN_SELCHANGE) {
    // The edit field of the box shows the chosen entry only after this
    // notification; the handler must already read the new text.
    const int index = ItemIndex();
    if (index >= 0 && kind_ == Kind::DropDown) {
      const std::vector<std::string> items = Items();
      Wnd::SetText(items[static_cast<std::size_t>(index)]);
    }
    Fire(onChange);
  }
}

void ComboBox::ApplyHeldState(const CreateArgs& kept) {
  SetBounds(kept.bounds);
  for (const std::string& item : heldItems_)
    SendMessageW(hwnd_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(item).c_str()));
  if (heldIndex_ >= 0) SendMessageW(hwnd_, CB_SETCURSEL, static_cast<WPARAM>(heldIndex_), 0);
  if (kind_ == Kind::DropDown) Wnd::SetText(kept.text);
  heldItems_.clear();
  heldItems_.shrink_to_fit();
}

// ---- Picture ----

void Picture::Create(const CreateArgs& a, HICON icon) {
  CreateHandle(a, L"STATIC", SS_ICON | SS_CENTERIMAGE);
  if (hwnd_) {
    SendMessageW(hwnd_, STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);
    MoveWindow(hwnd_, a.bounds.x, a.bounds.y, a.bounds.w, a.bounds.h, TRUE);
  }
}

}  // namespace qel::win

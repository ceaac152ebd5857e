#pragma once
// The base of every window of the toolkit: a C++ object holding its HWND,
// its CP932 text, its hint and its place in the parent's layout.
//
// Controls are created in two steps: the object exists as a member of its
// form, and Create() makes the window from a CreateArgs with named fields.
// A parent window reflects WM_COMMAND, WM_NOTIFY and WM_CTLCOLOR* back to
// the control object, which turns them into callbacks (onClick, onChange);
// every callback runs under the application's general error handler.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <windows.h>

namespace qel::win {

class PopupMenu;
class Wnd;

enum class Align { None, Top, Bottom, Left, Right, Client };

struct Bounds {
  int x = 0, y = 0, w = 0, h = 0;
  bool operator==(const Bounds&) const = default;
};

// Colour value meaning "the system's default".
constexpr COLORREF kDefaultColor = CLR_INVALID;

struct CreateArgs {
  Wnd* parent = nullptr;
  std::string text{};
  Bounds bounds{};
  Align align = Align::None;
  std::string hint{};
  int fontHeight = 0;  // character height in pixels; 0 takes the parent's font
  bool bold = false;
  COLORREF color = kDefaultColor;  // text colour
  bool visible = true;
  bool enabled = true;
};

class Wnd {
 public:
  Wnd() = default;
  virtual ~Wnd();
  Wnd(const Wnd&) = delete;
  Wnd& operator=(const Wnd&) = delete;

  // A control whose window is held back (below) gets it made, with those
  // of its whole page, by the first caller that needs the window itself.
  HWND Handle() const {
    if (!hwnd_ && late_) MakeHeldWindowsNow();
    return hwnd_;
  }
  Wnd* Parent() const { return parent_; }
  static Wnd* FromHandle(HWND hwnd);

  std::string Text() const;
  virtual void SetText(const std::string& cp932);

  const std::string& Hint() const { return hint_; }
  void SetHint(std::string hint) { hint_ = std::move(hint); }

  bool Visible() const;
  void SetVisible(bool visible);
  bool Enabled() const;
  void SetEnabled(bool enabled);

  // Position and size in the parent's client area.
  Bounds GetBounds() const;
  virtual void SetBounds(const Bounds& b);
  int Width() const { return GetBounds().w; }
  int Height() const { return GetBounds().h; }
  void SetWidth(int w);
  void SetHeight(int h);
  void SetLeft(int x);
  void SetTop(int y);

  Align GetAlign() const { return align_; }
  void SetAlign(Align align);

  HFONT Font() const { return font_; }
  void SetFont(HFONT font);

  // The pop-up menu a right click opens over this window.
  PopupMenu* popupMenu = nullptr;

  const std::vector<Wnd*>& Children() const { return children_; }
  // Lays the aligned children out in the client area: top ones first,
  // then bottom, left, right, and the client one in what is left.
  void Realign();

  // Controls created inside this window from now on get their windows only
  // when MakeHeldWindows() runs (a tab page calls it when it is first
  // shown). Until then each object keeps what code sets on it - text,
  // ticks, entries, selection, enabled and visible states, place - and
  // answers from it; the windows are then made in creation order, so the
  // keyboard order is the one they would have had. Labels, buttons, check
  // and radio boxes, edit fields, drop-down boxes, group boxes and panels
  // can be held.
  void HoldChildWindows() { holdChildren_ = true; }
  void MakeHeldWindows();
  // True while this object has no window because its window is held back.
  bool WindowHeld() const { return late_ != nullptr; }

 protected:
  // Makes the window and registers the object with it and its parent.
  // For a window class of our own, the object is known from WM_NCCREATE on.
  // Under a window that holds its children back, only the arguments are
  // kept and nullptr is returned; WindowHeld() then tells the two apart.
  HWND CreateHandle(const CreateArgs& a, const wchar_t* className, DWORD style, DWORD exStyle = 0);
  // The arguments a held-back window will be made from; the accessors keep
  // them current (text, place, enabled and visible states).
  CreateArgs& HeldArgs() { return late_->args; }
  const CreateArgs& HeldArgs() const { return late_->args; }
  // Runs once the held-back window exists, with the arguments it was made
  // from: sets what the window did not take from them (ticks, entries,
  // selection, the text of a drop-down box).
  virtual void ApplyHeldState(const CreateArgs& /*kept*/) {}
  // The font a window made from these arguments gets.
  static HFONT FontFor(const CreateArgs& a);
  // The client rectangle that Realign shares out.
  virtual RECT LayoutArea() const;
  // Reflected notifications, sent by the parent.
  virtual void OnCommand(WORD /*code*/) {}
  virtual LRESULT OnNotify(NMHDR* /*hdr*/) { return 0; }
  virtual HBRUSH OnCtlColor(HDC /*dc*/) { return nullptr; }
  // Text colour for controls that draw their text through WM_CTLCOLOR*.
  COLORREF textColor_ = kDefaultColor;

  // Window procedure of the toolkit's own window classes; subclasses
  // extend it and call Wnd::WndProc for what they leave alone.
  virtual LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp);
  static LRESULT CALLBACK StaticWndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  // Registers a window class of ours (once) with StaticWndProc.
  static const wchar_t* RegisterOwnClass(const wchar_t* name, UINT style = CS_DBLCLKS,
                                         HBRUSH background = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));

  // Calls a callback under the general error handler.
  static void Fire(const std::function<void()>& callback);

  // Forwards reflected messages and the layout; true when handled.
  bool HandleParentMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result);

  HWND hwnd_ = nullptr;

 private:
  friend class Form;
  void Attach(HWND hwnd);
  void AddChild(Wnd* child) { children_.push_back(child); }
  HWND MakeWindow(const CreateArgs& a, const wchar_t* className, DWORD style, DWORD exStyle, HFONT font);
  void MakeHeldWindow();
  void MakeHeldWindowsNow() const;

  struct HeldWindow {
    CreateArgs args;
    const wchar_t* className;
    DWORD style;
    DWORD exStyle;
  };
  std::unique_ptr<HeldWindow> late_;
  bool holdChildren_ = false;
  // Callbacks stay silent while held windows are made: the controls then
  // report their first texts as changes, which no user made.
  static int makingHeldWindows_;

  Wnd* parent_ = nullptr;
  std::string hint_;
  Align align_ = Align::None;
  HFONT font_ = nullptr;
  std::vector<Wnd*> children_;
};

// The font of the program: "ＭＳ Ｐゴシック" in the Shift-JIS character set,
// `height` pixels high; fonts are made once and live as long as the program.
HFONT UiFont(int height = 12, bool bold = false);

}  // namespace qel::win

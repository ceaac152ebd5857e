#include "win32/wnd.h"

#include <algorithm>
#include <map>
#include <utility>

#include "win32/application.h"
#include "win32/menu.h"
#include "win32/text.h"

namespace qel::win {

namespace {
const wchar_t kObjectProp[] = L"QelWnd";

bool HasStyle(HWND hwnd, DWORD style) { return (GetWindowLongPtrW(hwnd, GWL_STYLE) & style) != 0; }
}  // namespace

HFONT UiFont(int height, bool bold) {
  static std::map<std::pair<int, bool>, HFONT> fonts;
  HFONT& font = fonts[{height, bold}];
  if (!font)
    font = CreateFontW(-height, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE, SHIFTJIS_CHARSET,
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                       Wide("ＭＳ Ｐゴシック").c_str());
  return font;
}

Wnd::~Wnd() {
  if (hwnd_ && IsWindow(hwnd_) && FromHandle(hwnd_) == this) {
    RemovePropW(hwnd_, kObjectProp);
    DestroyWindow(hwnd_);
  }
}

Wnd* Wnd::FromHandle(HWND hwnd) {
  return hwnd ? static_cast<Wnd*>(GetPropW(hwnd, kObjectProp)) : nullptr;
}

void Wnd::Attach(HWND hwnd) {
  hwnd_ = hwnd;
  SetPropW(hwnd, kObjectProp, this);
}

int Wnd::makingHeldWindows_ = 0;

HWND Wnd::CreateHandle(const CreateArgs& a, const wchar_t* className, DWORD style, DWORD exStyle) {
  parent_ = a.parent;
  hint_ = a.hint;
  align_ = a.align;
  textColor_ = a.color;
  if (parent_ && (parent_->holdChildren_ || parent_->late_)) {
    late_ = std::make_unique<HeldWindow>(HeldWindow{a, className, style, exStyle});
    font_ = FontFor(a);
    parent_->AddChild(this);
    return nullptr;
  }
  HWND hwnd = MakeWindow(a, className, style, exStyle, FontFor(a));
  if (hwnd && parent_) {
    parent_->AddChild(this);
    if (align_ != Align::None) parent_->Realign();
  }
  return hwnd;
}

HWND Wnd::MakeWindow(const CreateArgs& a, const wchar_t* className, DWORD style, DWORD exStyle, HFONT font) {
  style |= WS_CHILD;
  if (a.visible) style |= WS_VISIBLE;
  if (!a.enabled) style |= WS_DISABLED;
  HWND parentHandle = parent_ ? parent_->hwnd_ : nullptr;
  HWND hwnd = CreateWindowExW(exStyle, className, Wide(a.text).c_str(), style, a.bounds.x, a.bounds.y, a.bounds.w,
                              a.bounds.h, parentHandle, nullptr, GetModuleHandleW(nullptr), this);
  if (!hwnd) return nullptr;
  Attach(hwnd);
  SetFont(font);
  return hwnd;
}

void Wnd::MakeHeldWindows() {
  if (!holdChildren_) return;
  holdChildren_ = false;
  ++makingHeldWindows_;
  for (Wnd* child : children_) child->MakeHeldWindow();
  --makingHeldWindows_;
  Realign();
}

// Parents before children, each parent's children in creation order.
void Wnd::MakeHeldWindow() {
  if (late_) {
    const std::unique_ptr<HeldWindow> held = std::move(late_);
    if (MakeWindow(held->args, held->className, held->style, held->exStyle, font_)) ApplyHeldState(held->args);
  }
  for (Wnd* child : children_) child->MakeHeldWindow();
}

void Wnd::MakeHeldWindowsNow() const {
  Wnd* holder = parent_;
  while (holder && !holder->holdChildren_) holder = holder->parent_;
  if (holder) holder->MakeHeldWindows();
}

HFONT Wnd::FontFor(const CreateArgs& a) {
  if (a.fontHeight) return UiFont(a.fontHeight, a.bold);
  return a.parent && a.parent->font_ ? a.parent->font_ : UiFont();
}

std::string Wnd::Text() const {
  if (late_) return late_->args.text;
  if (!hwnd_) return {};
  const int n = GetWindowTextLengthW(hwnd_);
  std::wstring buf(static_cast<std::size_t>(n) + 1, L'\0');
  const int got = GetWindowTextW(hwnd_, buf.data(), n + 1);
  buf.resize(static_cast<std::size_t>(got > 0 ? got : 0));
  return Narrow(buf);
}

void Wnd::SetText(const std::string& cp932) {
  if (late_) late_->args.text = cp932;
  if (hwnd_) SetWindowTextW(hwnd_, Wide(cp932).c_str());
}

bool Wnd::Visible() const { return late_ ? late_->args.visible : hwnd_ && HasStyle(hwnd_, WS_VISIBLE); }

void Wnd::SetVisible(bool visible) {
  if (late_) late_->args.visible = visible;
  if (!hwnd_ || Visible() == visible) return;
  ShowWindow(hwnd_, visible ? SW_SHOW : SW_HIDE);
  if (align_ != Align::None && parent_) parent_->Realign();
}

bool Wnd::Enabled() const { return late_ ? late_->args.enabled : hwnd_ && !HasStyle(hwnd_, WS_DISABLED); }
void Wnd::SetEnabled(bool enabled) {
  if (late_) late_->args.enabled = enabled;
  if (hwnd_) EnableWindow(hwnd_, enabled);
}

Bounds Wnd::GetBounds() const {
  if (late_) return late_->args.bounds;
  if (!hwnd_) return {};
  RECT r;
  GetWindowRect(hwnd_, &r);
  if (HWND p = GetParent(hwnd_); p && HasStyle(hwnd_, WS_CHILD))
    MapWindowPoints(nullptr, p, reinterpret_cast<POINT*>(&r), 2);
  return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

void Wnd::SetBounds(const Bounds& b) {
  if (late_) late_->args.bounds = b;
  if (!hwnd_) return;
  MoveWindow(hwnd_, b.x, b.y, b.w, b.h, TRUE);
  if (align_ != Align::None && parent_) parent_->Realign();
}

void Wnd::SetWidth(int w) { Bounds b = GetBounds(); b.w = w; SetBounds(b); }
void Wnd::SetHeight(int h) { Bounds b = GetBounds(); b.h = h; SetBounds(b); }
void Wnd::SetLeft(int x) { Bounds b = GetBounds(); b.x = x; SetBounds(b); }
void Wnd::SetTop(int y) { Bounds b = GetBounds(); b.y = y; SetBounds(b); }

void Wnd::SetAlign(Align align) {
  align_ = align;
  if (parent_) parent_->Realign();
}

void Wnd::SetFont(HFONT font) {
  font_ = font;
  // A window not on screen yet (every control while its form is being
  // built) paints with the font when it is first shown; asking it to
  // redraw now only queues work that showing does anyway.
  if (hwnd_) SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(font), IsWindowVisible(hwnd_));
}

RECT Wnd::LayoutArea() const {
  RECT r{};
  if (hwnd_) GetClientRect(hwnd_, &r);
  return r;
}

void Wnd::Realign() {
  if (!hwnd_) return;
  RECT area = LayoutArea();
  for (Align pass : {Align::Top, Align::Bottom, Align::Left, Align::Right, Align::Client}) {
    for (Wnd* c : children_) {
      if (c->align_ != pass || !c->hwnd_ || !HasStyle(c->hwnd_, WS_VISIBLE)) continue;
      const Bounds now = c->GetBounds();
      const int areaW = std::max(0L, area.right - area.left);
      const int areaH = std::max(0L, area.bottom - area.top);
      Bounds b;
      switch (pass) {
        case Align::Top: b = {area.left, area.top, areaW, now.h}; area.top += now.h; break;
        case Align::Bottom: b = {area.left, area.bottom - now.h, areaW, now.h}; area.bottom -= now.h; break;
        case Align::Left: b = {area.left, area.top, now.w, areaH}; area.left += now.w; break;
        case Align::Right: b = {area.right - now.w, area.top, now.w, areaH}; area.right -= now.w; break;
        default: b = {area.left, area.top, areaW, areaH}; break;
      }
      if (!(b == now)) MoveWindow(c->hwnd_, b.x, b.y, b.w, b.h, TRUE);
    }
  }
}

void Wnd::Fire(const std::function<void()>& callback) {
  if (!callback || makingHeldWindows_ > 0) return;
  // A copy: the callback may replace itself while it runs.
  const std::function<void()> run = callback;
  Application::Instance().Guarded(run);
}

bool Wnd::HandleParentMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
  switch (msg) {
    case WM_COMMAND:
      if (Wnd* child = FromHandle(reinterpret_cast<HWND>(lp)); child && lp) {
        child->OnCommand(HIWORD(wp));
        result = 0;
        return true;
      }
      return false;
    case WM_NOTIFY: {
      auto* hdr = reinterpret_cast<NMHDR*>(lp);
      if (Wnd* child = FromHandle(hdr->hwndFrom); child && child != this) {
        result = child->OnNotify(hdr);
        return true;
      }
      return false;
    }
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
      if (Wnd* child = FromHandle(reinterpret_cast<HWND>(lp))) {
        if (HBRUSH brush = child->OnCtlColor(reinterpret_cast<HDC>(wp))) {
          result = reinterpret_cast<LRESULT>(brush);
          return true;
        }
      }
      return false;
    case WM_SIZE:
      Realign();
      return false;
    case WM_CONTEXTMENU:
      if (popupMenu) {
        POINT pt{static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
        if (lp == -1) {  // from the keyboard: at the window's corner
          pt = {0, 0};
          ClientToScreen(hwnd_, &pt);
        }
        popupMenu->Popup(GetAncestor(hwnd_, GA_ROOT), pt.x, pt.y);
        result = 0;
        return true;
      }
      return false;
    default:
      return false;
  }
}

LRESULT Wnd::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
  // Windows of our own classes keep their font like the system's controls.
  if (msg == WM_SETFONT) {
    font_ = reinterpret_cast<HFONT>(wp);
    if (LOWORD(lp)) InvalidateRect(hwnd_, nullptr, TRUE);
    return 0;
  }
  if (msg == WM_GETFONT) return reinterpret_cast<LRESULT>(font_);
  LRESULT result = 0;
  if (HandleParentMessage(msg, wp, lp, result)) return result;
  return DefWindowProcW(hwnd_, msg, wp, lp);
}

LRESULT CALLBACK Wnd::StaticWndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  Wnd* self = nullptr;
  if (msg == WM_NCCREATE) {
    self = static_cast<Wnd*>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams);
    if (self) self->Attach(hwnd);
  } else {
    self = FromHandle(hwnd);
  }
  if (!self) return DefWindowProcW(hwnd, msg, wp, lp);
  // Answered before any window's own cursor (a splitter's, the grid's
  // sizing arrows); children ask their parent first, so this keeps the
  // hourglass up over the system controls inside our windows too.
  if (msg == WM_SETCURSOR && LOWORD(lp) == HTCLIENT && Application::Instance().Waiting()) {
    SetCursor(LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_WAIT)));
    return TRUE;
  }
  if (msg == WM_NCDESTROY) {
    LRESULT r = self->WndProc(msg, wp, lp);
    RemovePropW(hwnd, kObjectProp);
    self->hwnd_ = nullptr;
    return r;
  }
  return self->WndProc(msg, wp, lp);
}

const wchar_t* Wnd::RegisterOwnClass(const wchar_t* name, UINT style, HBRUSH background) {
  WNDCLASSEXW wc{};
  HINSTANCE inst = GetModuleHandleW(nullptr);
  if (GetClassInfoExW(inst, name, &wc)) return name;
  wc.cbSize = sizeof wc;
  wc.style = style;
  wc.lpfnWndProc = StaticWndProc;
  wc.hInstance = inst;
  wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  wc.hbrBackground = background;
  wc.lpszClassName = name;
  RegisterClassExW(&wc);
  return name;
}

}  // namespace qel::win

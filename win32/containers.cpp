#include "win32/containers.h"

#include <algorithm>

#include <commctrl.h>
#include <windowsx.h>

#include "win32/text.h"

namespace qel::win {

void EnsureCommonControls() {
  static bool done = [] {
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_TAB_CLASSES | ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
    return InitCommonControlsEx(&icc) != FALSE;
  }();
  (void)done;
}

namespace {
void DrawCaption(HWND hwnd, HDC dc, const RECT& r, UINT format) {
  const std::wstring text = [&] {
    const int n = GetWindowTextLengthW(hwnd);
    std::wstring s(static_cast<std::size_t>(n) + 1, L'\0');
    s.resize(static_cast<std::size_t>(GetWindowTextW(hwnd, s.data(), n + 1)));
    return s;
  }();
  if (text.empty()) return;
  HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(hwnd, WM_GETFONT, 0, 0)));
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(IsWindowEnabled(hwnd) ? COLOR_BTNTEXT : COLOR_GRAYTEXT));
  RECT box = r;
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &box, format | DT_NOPREFIX);
  SelectObject(dc, old);
}

bool InsideClient(HWND hwnd, LPARAM lp) {
  RECT r;
  GetClientRect(hwnd, &r);
  POINT pt{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
  return PtInRect(&r, pt) != FALSE;
}
}  // namespace

// ---- Panel ----

void Panel::Create(const CreateArgs& a, Bevel bevel) {
  bevel_ = bevel;
  CreateHandle(a, RegisterOwnClass(L"TPanel"), WS_CLIPCHILDREN | WS_CLIPSIBLINGS);
}

void Panel::SetText(const std::string& cp932) {
  Wnd::SetText(cp932);
  if (hwnd_) InvalidateRect(hwnd_, nullptr, TRUE);
}

LRESULT Panel::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd_, &ps);
      RECT r;
      GetClientRect(hwnd_, &r);
      const bool sunken = bevel_ == Bevel::Lowered || (bevel_ == Bevel::Raised && pressed_);
      if (bevel_ != Bevel::None) DrawEdge(dc, &r, sunken ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT);
      if (pressed_) OffsetRect(&r, 1, 1);
      DrawCaption(hwnd_, dc, r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
      EndPaint(hwnd_, &ps);
      return 0;
    }
    case WM_LBUTTONDOWN:
      if (onClick) {
        pressed_ = true;
        SetCapture(hwnd_);
        InvalidateRect(hwnd_, nullptr, TRUE);
      }
      return 0;
    case WM_LBUTTONUP: {
      const bool click = pressed_ && InsideClient(hwnd_, lp);
      if (pressed_) {
        pressed_ = false;
        ReleaseCapture();
        InvalidateRect(hwnd_, nullptr, TRUE);
      }
      if (click) Fire(onClick);
      return 0;
    }
    default:
      return Wnd::WndProc(msg, wp, lp);
  }
}

// ---- GroupBox ----

void GroupBox::Create(const CreateArgs& a) {
  CreateHandle(a, RegisterOwnClass(L"TGroupBox"), WS_CLIPSIBLINGS);
}

void GroupBox::SetText(const std::string& cp932) {
  Wnd::SetText(cp932);
  if (hwnd_) InvalidateRect(hwnd_, nullptr, TRUE);
}

LRESULT GroupBox::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd_, &ps);
      RECT r;
      GetClientRect(hwnd_, &r);
      HGDIOBJ old = SelectObject(dc, Font());
      TEXTMETRICW tm{};
      GetTextMetricsW(dc, &tm);
      SelectObject(dc, old);
      RECT frame = r;
      frame.top += tm.tmHeight / 2;
      DrawEdge(dc, &frame, EDGE_ETCHED, BF_RECT);
      const std::wstring caption = Wide(Text());
      if (!caption.empty()) {
        // The caption interrupts the top line of the frame.
        old = SelectObject(dc, Font());
        SIZE size{};
        GetTextExtentPoint32W(dc, caption.c_str(), static_cast<int>(caption.size()), &size);
        SelectObject(dc, old);
        RECT gap{6, 0, 6 + size.cx + 4, tm.tmHeight};
        FillRect(dc, &gap, GetSysColorBrush(COLOR_BTNFACE));
        RECT text{8, 0, r.right, tm.tmHeight};
        DrawCaption(hwnd_, dc, text, DT_LEFT | DT_TOP | DT_SINGLELINE);
      }
      EndPaint(hwnd_, &ps);
      return 0;
    }
    case WM_LBUTTONDOWN:
      pressed_ = true;
      SetCapture(hwnd_);
      return 0;
    case WM_LBUTTONUP: {
      const bool click = pressed_ && InsideClient(hwnd_, lp);
      if (pressed_) {
        pressed_ = false;
        ReleaseCapture();
      }
      if (click) Fire(onClick);
      return 0;
    }
    default:
      return Wnd::WndProc(msg, wp, lp);
  }
}

// ---- Splitter ----

void Splitter::Create(const CreateArgs& a, Wnd* target) {
  target_ = target;
  CreateHandle(a, RegisterOwnClass(L"TSplitter"), 0);
}

LRESULT Splitter::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_SETCURSOR:
      SetCursor(LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_SIZEWE)));
      return TRUE;
    case WM_LBUTTONDOWN: {
      if (!target_) return 0;
      POINT pt{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
      ClientToScreen(hwnd_, &pt);
      dragStartX_ = pt.x;
      startWidth_ = target_->Width();
      dragging_ = true;
      SetCapture(hwnd_);
      return 0;
    }
    case WM_MOUSEMOVE: {
      if (!dragging_) return 0;
      POINT pt{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
      ClientToScreen(hwnd_, &pt);
      const int delta = pt.x - dragStartX_;
      // A target on the right grows when the bar moves left.
      int width = target_->GetAlign() == Align::Right ? startWidth_ - delta : startWidth_ + delta;
      RECT area{};
      if (Parent()) GetClientRect(Parent()->Handle(), &area);
      width = std::clamp(width, minSize, std::max(minSize, static_cast<int>(area.right) - minSize));
      if (width != target_->Width()) target_->SetWidth(width);
      return 0;
    }
    case WM_LBUTTONUP:
    case WM_CAPTURECHANGED:
      if (dragging_) {
        dragging_ = false;
        if (msg == WM_LBUTTONUP) ReleaseCapture();
      }
      return 0;
    default:
      return Wnd::WndProc(msg, wp, lp);
  }
}

// ---- PageControl and TabSheet ----

void TabSheet::Create(PageControl& owner, const std::string& caption, const std::string& hint) {
  CreateArgs a;
  a.parent = &owner;
  a.text = caption;
  a.hint = hint;
  a.visible = owner.PageCount() == 0;
  CreateHandle(a, RegisterOwnClass(L"TTabSheet"), WS_CLIPCHILDREN | WS_CLIPSIBLINGS);
  owner.AddPage(this, caption);
}

void PageControl::Create(const CreateArgs& a) {
  EnsureCommonControls();
  CreateHandle(a, RegisterOwnClass(L"TPageControl"), WS_CLIPCHILDREN);
  if (!hwnd_) return;
  RECT r;
  GetClientRect(hwnd_, &r);
  tab_ = CreateWindowExW(0, WC_TABCONTROLW, L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_TABSTOP, 0, 0, r.right,
                         r.bottom, hwnd_, nullptr, GetModuleHandleW(nullptr), nullptr);
  SendMessageW(tab_, WM_SETFONT, reinterpret_cast<WPARAM>(Font()), TRUE);
}

void PageControl::AddPage(TabSheet* page, const std::string& caption) {
  page->index_ = PageCount();
  pages_.push_back(page);
  std::wstring text = Wide(caption);
  TCITEMW item{};
  item.mask = TCIF_TEXT;
  item.pszText = text.data();
  SendMessageW(tab_, TCM_INSERTITEMW, static_cast<WPARAM>(page->index_), reinterpret_cast<LPARAM>(&item));
  if (active_ < 0) {
    active_ = 0;
    SendMessageW(tab_, TCM_SETCURSEL, 0, 0);
  }
  // The pages lie over the tab control's body.
  SetWindowPos(page->Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  PlacePages();
}

void PageControl::PlacePages() {
  if (!hwnd_ || !tab_) return;
  RECT r;
  GetClientRect(hwnd_, &r);
  MoveWindow(tab_, 0, 0, r.right, r.bottom, TRUE);
  RECT body = r;
  SendMessageW(tab_, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&body));
  for (TabSheet* page : pages_) {
    MoveWindow(page->Handle(), body.left, body.top, body.right - body.left, body.bottom - body.top, TRUE);
    page->Realign();
  }
}

void PageControl::SetActivePage(int index) {
  if (index < 0 || index >= PageCount() || index == active_) return;
  if (static_cast<int>(SendMessageW(tab_, TCM_GETCURSEL, 0, 0)) != index)
    SendMessageW(tab_, TCM_SETCURSEL, static_cast<WPARAM>(index), 0);
  TabSheet* old = ActivePage();
  TabSheet& now = Page(index);
  active_ = index;
  now.MakeHeldWindows();  // a page that held its controls back makes them now
  ShowWindow(now.Handle(), SW_SHOW);
  Fire(now.onShow);
  if (old) {
    ShowWindow(old->Handle(), SW_HIDE);
    Fire(old->onHide);
  }
}

LRESULT PageControl::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_NOTIFY && reinterpret_cast<NMHDR*>(lp)->hwndFrom == tab_) {
    if (reinterpret_cast<NMHDR*>(lp)->code == TCN_SELCHANGE) {
      SetActivePage(static_cast<int>(SendMessageW(tab_, TCM_GETCURSEL, 0, 0)));
      Fire(onChange);
    }
    return 0;
  }
  if (msg == WM_SIZE) PlacePages();
  return Wnd::WndProc(msg, wp, lp);
}

// ---- StatusBar ----

void StatusBar::Create(const CreateArgs& a) {
  EnsureCommonControls();
  CreateHandle(a, STATUSCLASSNAMEW, CCS_NOPARENTALIGN | CCS_NORESIZE | CCS_NODIVIDER | SBARS_SIZEGRIP);
  // One part over the whole width: its text is also the bar's window text,
  // which screen readers and other programs can read.
  int rightEdge = -1;
  if (hwnd_) SendMessageW(hwnd_, SB_SETPARTS, 1, reinterpret_cast<LPARAM>(&rightEdge));
}

void StatusBar::SetSimpleText(const std::string& cp932) {
  text_ = cp932;
  if (hwnd_) SendMessageW(hwnd_, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(Wide(cp932).c_str()));
}

}  // namespace qel::win

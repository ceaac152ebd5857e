// The grid's mouse and keyboard handling and its cell editor.
#include <algorithm>

#include "win32/string_grid.h"
#include "win32/text.h"

namespace qel::win {

namespace {
const wchar_t kGridProp[] = L"QelGridOfEditor";
constexpr int kSizingZone = 3;  // pixels either side of a title border

bool KeyDown(int key) { return GetKeyState(key) < 0; }
}  // namespace

// ---- the current cell ----

void StringGrid::MoveCurrent(int col, int row, bool moveAnchor) {
  if (RowCount() <= fixedRows_ || ColCount() <= fixedCols_) return;
  col = std::clamp(col, fixedCols_, ColCount() - 1);
  row = std::clamp(row, fixedRows_, RowCount() - 1);
  HideEditor();
  current_ = {col, row};
  if (moveAnchor || !rangeSelect_) anchor_ = current_;
  ScrollInView(col, row);
  Invalidate();
  Fire(onClick);
}

void StringGrid::OnKeyDown(WPARAM key) {
  const bool extend = KeyDown(VK_SHIFT);
  const bool ctrl = KeyDown(VK_CONTROL);
  const int c = current_.x, r = current_.y;
  switch (key) {
    case VK_UP: MoveCurrent(c, r - 1, !extend); break;
    case VK_DOWN: MoveCurrent(c, r + 1, !extend); break;
    case VK_LEFT: MoveCurrent(c - 1, r, !extend); break;
    case VK_RIGHT: MoveCurrent(c + 1, r, !extend); break;
    case VK_PRIOR: MoveCurrent(c, r - VisibleRowCount(), !extend); break;
    case VK_NEXT: MoveCurrent(c, r + VisibleRowCount(), !extend); break;
    case VK_HOME: MoveCurrent(fixedCols_, ctrl ? fixedRows_ : r, !extend); break;
    case VK_END: MoveCurrent(ColCount() - 1, ctrl ? RowCount() - 1 : r, !extend); break;
    case VK_F2:
    case VK_RETURN: ShowEditor(); break;
    default: break;
  }
}

void StringGrid::OnChar(wchar_t ch) {
  if (!editing_ || ch < L' ' || KeyDown(VK_CONTROL)) return;
  // Typing into a cell replaces its text, as in a spreadsheet; the old text
  // is never loaded, so this works for a cell too long to edit as well.
  OpenEditor(false);
  if (!EditorVisible()) return;
  const wchar_t text[2] = {ch, L'\0'};
  SetWindowTextW(editor_, text);
  SendMessageW(editor_, EM_SETSEL, 1, 1);
}

// ---- mouse ----

int StringGrid::SizingBorderAt(int x, int y) const {
  if (!colSizing_ || y < 0 || y >= FixedHeight()) return -1;
  for (int c = 0, left = 0; c < ColCount(); ++c) {
    if (c >= fixedCols_ && c < leftCol_) continue;
    const int border = left + ColWidth(c);
    if (x >= border - kSizingZone && x <= border + kSizingZone) return c;
    left = border + 1;
  }
  return -1;
}

bool StringGrid::SetSizingCursor() {
  POINT pt;
  GetCursorPos(&pt);
  ScreenToClient(hwnd_, &pt);
  if (drag_ != Drag::Size && SizingBorderAt(pt.x, pt.y) < 0) return false;
  SetCursor(LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_SIZEWE)));
  return true;
}

void StringGrid::OnMouseDown(int x, int y, WPARAM flags) {
  if (GetFocus() != hwnd_) SetFocus(hwnd_);
  if (const int border = SizingBorderAt(x, y); border >= 0) {
    HideEditor();
    drag_ = Drag::Size;
    sizingCol_ = border;
    sizingStartX_ = x;
    sizingStartWidth_ = ColWidth(border);
    SetCapture(hwnd_);
    return;
  }
  int col, row;
  if (!CellAt(x, y, col, row) || col < fixedCols_ || row < fixedRows_) return;
  MoveCurrent(col, row, !((flags & MK_SHIFT) && rangeSelect_));
  drag_ = Drag::Select;
  SetCapture(hwnd_);
}

void StringGrid::OnMouseMove(int x, int y) {
  if (drag_ == Drag::Size) {
    SetColWidth(sizingCol_, std::max(0, sizingStartWidth_ + x - sizingStartX_));
    UpdateScrollBars();
    return;
  }
  if (drag_ != Drag::Select || !rangeSelect_) return;
  int col, row;
  if (!CellAt(std::max(x, 0), std::max(y, 0), col, row)) return;
  col = std::max(col, fixedCols_);
  row = std::max(row, fixedRows_);
  if (col != current_.x || row != current_.y) MoveCurrent(col, row, false);
}

void StringGrid::OnMouseUp() {
  if (drag_ != Drag::None) {
    drag_ = Drag::None;
    ReleaseCapture();
  }
}

void StringGrid::OnDoubleClick(int x, int y) {
  int col, row;
  if (CellAt(x, y, col, row) && col == current_.x && row == current_.y) ShowEditor();
}

// ---- the cell editor ----

bool StringGrid::EditorVisible() const {
  return editor_ && (GetWindowLongPtrW(editor_, GWL_STYLE) & WS_VISIBLE);
}

void StringGrid::ShowEditor() { OpenEditor(true); }

void StringGrid::OpenEditor(bool withCellText) {
  if (!editing_ || !hwnd_ || current_.x < fixedCols_ || current_.y < fixedRows_) return;
  if (current_.x >= ColCount() || current_.y >= RowCount()) return;
  const std::string& text = cells_.Cell(current_.x, current_.y);
  // The edit field lays out its whole text on every change, at some 0.3 s
  // per megabyte: a cell of megabytes (only a damaged file makes one) would
  // hold the window for seconds. Such a cell is not opened; typing still
  // replaces it.
  if (withCellText && text.size() > kMaxEditedBytes) {
    MessageBeep(MB_ICONWARNING);
    return;
  }
  ScrollInView(current_.x, current_.y);
  RECT cell;
  if (!CellRect(current_.x, current_.y, cell)) return;
  if (!editor_) {
    editor_ = CreateWindowExW(0, L"EDIT", L"", WS_CHILD | ES_AUTOHSCROLL, 0, 0, 0, 0, hwnd_, nullptr,
                              GetModuleHandleW(nullptr), nullptr);
    SetPropW(editor_, kGridProp, this);
    editorDefaultProc_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(editor_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&StringGrid::EditorProc)));
    SendMessageW(editor_, WM_SETFONT, reinterpret_cast<WPARAM>(Font()), FALSE);
  }
  editCell_ = current_;
  SetWindowTextW(editor_, withCellText ? Wide(text).c_str() : L"");
  MoveWindow(editor_, cell.left + 1, cell.top + 1, cell.right - cell.left - 1, cell.bottom - cell.top - 1, TRUE);
  ShowWindow(editor_, SW_SHOW);
  SetFocus(editor_);
  SendMessageW(editor_, EM_SETSEL, 0, -1);
}

void StringGrid::HideEditor() {
  if (!EditorVisible() || editorClosing_) return;
  editorClosing_ = true;
  const int n = GetWindowTextLengthW(editor_);
  std::wstring text(static_cast<std::size_t>(n) + 1, L'\0');
  text.resize(static_cast<std::size_t>(GetWindowTextW(editor_, text.data(), n + 1)));
  const bool hadFocus = GetFocus() == editor_;
  ShowWindow(editor_, SW_HIDE);
  if (hadFocus) SetFocus(hwnd_);
  const std::string value = Narrow(text);
  if (cells_.Cell(editCell_.x, editCell_.y) != value) cells_.SetCell(editCell_.x, editCell_.y, value);
  editorClosing_ = false;
  Invalidate();
}

void StringGrid::CancelEditor() {
  if (!EditorVisible() || editorClosing_) return;
  editorClosing_ = true;
  const bool hadFocus = GetFocus() == editor_;
  ShowWindow(editor_, SW_HIDE);
  if (hadFocus) SetFocus(hwnd_);
  editorClosing_ = false;
  Invalidate();
}

LRESULT StringGrid::EditorMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_GETDLGCODE:
      return DLGC_WANTALLKEYS | CallWindowProcW(editorDefaultProc_, editor_, msg, wp, lp);
    case WM_KEYDOWN:
      switch (wp) {
        case VK_RETURN: HideEditor(); return 0;
        case VK_ESCAPE: CancelEditor(); return 0;
        case VK_UP:
        case VK_DOWN:
        case VK_PRIOR:
        case VK_NEXT:
          // Leaving the cell upward or downward keeps the text and moves on.
          HideEditor();
          OnKeyDown(wp);
          return 0;
        default: break;
      }
      break;
    case WM_CHAR:
      if (wp == L'\r' || wp == 0x1B) return 0;  // handled as keys; no beep
      break;
    case WM_KILLFOCUS: {
      const LRESULT r = CallWindowProcW(editorDefaultProc_, editor_, msg, wp, lp);
      HideEditor();
      return r;
    }
    default:
      break;
  }
  return CallWindowProcW(editorDefaultProc_, editor_, msg, wp, lp);
}

LRESULT CALLBACK StringGrid::EditorProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  auto* grid = static_cast<StringGrid*>(GetPropW(hwnd, kGridProp));
  if (msg == WM_NCDESTROY && grid) {
    RemovePropW(hwnd, kGridProp);
    SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(grid->editorDefaultProc_));
    grid->editor_ = nullptr;
    return CallWindowProcW(grid->editorDefaultProc_, hwnd, msg, wp, lp);
  }
  if (!grid) return DefWindowProcW(hwnd, msg, wp, lp);
  return grid->EditorMessage(msg, wp, lp);
}

}  // namespace qel::win

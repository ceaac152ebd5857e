#include "win32/string_grid.h"

#include <algorithm>

#include "base/cp932.h"
#include "win32/off_screen.h"
#include "win32/text.h"

namespace qel::win {

namespace {
constexpr int kLine = 1;  // grid line width, right of and below every cell
const COLORREF kLineColor = RGB(192, 192, 192);

// A cell shows only what fits in its width. Converting and laying out the
// whole of a cell of megabytes at every paint would keep the window busy
// for seconds; a few hundred characters fill any column.
constexpr std::size_t kMaxPaintedBytes = 1024;

std::string_view PaintedPart(std::string_view text) {
  if (text.size() <= kMaxPaintedBytes) return text;
  std::size_t end = 0;
  while (end < kMaxPaintedBytes) end += cp932::CharLength(text, end);
  return text.substr(0, end);
}
}  // namespace

StringGrid::StringGrid() {
  cells_.SetSize(5, 5);
  cells_.SetOnChange([this] { ModelChanged(); });
}

StringGrid::~StringGrid() {
  cells_.SetOnChange(nullptr);
  // The editor must not write back into a grid that is going away.
  editorClosing_ = true;
  if (hwnd_ && IsWindow(hwnd_) && FromHandle(hwnd_) == this) DestroyWindow(hwnd_);
}

void StringGrid::Create(const CreateArgs& a) {
  CreateHandle(a, RegisterOwnClass(L"TStringGrid", CS_DBLCLKS, nullptr),
               WS_TABSTOP | WS_CLIPCHILDREN | WS_VSCROLL | WS_HSCROLL, WS_EX_CLIENTEDGE);
  UpdateScrollBars();
}

// ---- sizes ----

void StringGrid::SetFixedRows(int rows) {
  fixedRows_ = std::max(0, rows);
  ClampCurrent();
  Invalidate();
}

void StringGrid::SetFixedCols(int cols) {
  fixedCols_ = std::max(0, cols);
  ClampCurrent();
  Invalidate();
}

int StringGrid::TrackSizes::Get(int index) const {
  const auto i = static_cast<std::size_t>(index);
  return index >= 0 && i < sizes_.size() && sizes_[i] >= 0 ? sizes_[i] : default_;
}

void StringGrid::TrackSizes::Set(int index, int size) {
  if (index < 0) return;
  const auto i = static_cast<std::size_t>(index);
  if (sizes_.size() <= i) sizes_.resize(i + 1, -1);
  sizes_[i] = std::max(0, size);
}

void StringGrid::SetDefaultRowHeight(int h) {
  rowHeights_.ResetTo(h);
  ClampCurrent();
  Invalidate();
}

int StringGrid::RowHeight(int row) const { return rowHeights_.Get(row); }

void StringGrid::SetRowHeight(int row, int h) {
  rowHeights_.Set(row, h);
  ClampCurrent();
  Invalidate();
}

void StringGrid::SetDefaultColWidth(int w) {
  colWidths_.ResetTo(w);
  ClampCurrent();
  Invalidate();
}

int StringGrid::ColWidth(int col) const { return colWidths_.Get(col); }

void StringGrid::SetColWidth(int col, int w) {
  colWidths_.Set(col, w);
  ClampCurrent();
  Invalidate();
}

void StringGrid::SetEditing(bool on) {
  if (!on) HideEditor();
  editing_ = on;
}

void StringGrid::SetRangeSelect(bool on) {
  rangeSelect_ = on;
  if (!on) anchor_ = current_;
  Invalidate();
}

GridRect StringGrid::Selection() const {
  return {static_cast<int>(std::min(anchor_.x, current_.x)), static_cast<int>(std::min(anchor_.y, current_.y)),
          static_cast<int>(std::max(anchor_.x, current_.x)), static_cast<int>(std::max(anchor_.y, current_.y))};
}

void StringGrid::SetRow(int row) { MoveCurrent(current_.x, row, true); }
void StringGrid::SetCol(int col) { MoveCurrent(col, current_.y, true); }

// ---- the model and the current cell ----

void StringGrid::ModelChanged() {
  ClampCurrent();
  Invalidate();
}

void StringGrid::ClampCurrent() {
  auto clamp = [](LONG v, int lo, int hi) { return static_cast<LONG>(std::max(lo, std::min(static_cast<int>(v), hi))); };
  const int lastCol = std::max(fixedCols_, ColCount() - 1);
  const int lastRow = std::max(fixedRows_, RowCount() - 1);
  current_ = {clamp(current_.x, fixedCols_, lastCol), clamp(current_.y, fixedRows_, lastRow)};
  anchor_ = {clamp(anchor_.x, fixedCols_, lastCol), clamp(anchor_.y, fixedRows_, lastRow)};
  topRow_ = std::clamp(topRow_, fixedRows_, std::max(fixedRows_, MaxTopRow()));
  leftCol_ = std::clamp(leftCol_, fixedCols_, std::max(fixedCols_, MaxLeftCol()));
  if (editor_ && EditorVisible() && (editCell_.x >= ColCount() || editCell_.y >= RowCount())) CancelEditor();
  UpdateScrollBars();
}

// ---- geometry ----

int StringGrid::FixedWidth() const {
  int w = 0;
  for (int c = 0; c < std::min(fixedCols_, ColCount()); ++c) w += ColWidth(c) + kLine;
  return w;
}

int StringGrid::FixedHeight() const {
  int h = 0;
  for (int r = 0; r < std::min(fixedRows_, RowCount()); ++r) h += RowHeight(r) + kLine;
  return h;
}

bool StringGrid::CellRect(int col, int row, RECT& out) const {
  if (!hwnd_ || col < 0 || row < 0 || col >= ColCount() || row >= RowCount()) return false;
  if ((col >= fixedCols_ && col < leftCol_) || (row >= fixedRows_ && row < topRow_)) return false;
  RECT client;
  GetClientRect(hwnd_, &client);
  int x = 0;
  for (int c = 0; c < col; ++c)
    if (c < fixedCols_ || c >= leftCol_) x += ColWidth(c) + kLine;
  int y = 0;
  for (int r = 0; r < row; ++r)
    if (r < fixedRows_ || r >= topRow_) y += RowHeight(r) + kLine;
  if (x >= client.right || y >= client.bottom) return false;
  out = {x, y, x + ColWidth(col), y + RowHeight(row)};
  return true;
}

bool StringGrid::CellAt(int x, int y, int& col, int& row) const {
  if (x < 0 || y < 0) return false;
  col = -1;
  for (int c = 0, left = 0; c < ColCount(); ++c) {
    if (c >= fixedCols_ && c < leftCol_) continue;
    const int right = left + ColWidth(c) + kLine;
    if (x < right) { col = c; break; }
    left = right;
  }
  row = -1;
  for (int r = 0, top = 0; r < RowCount(); ++r) {
    if (r >= fixedRows_ && r < topRow_) continue;
    const int bottom = top + RowHeight(r) + kLine;
    if (y < bottom) { row = r; break; }
    top = bottom;
  }
  return col >= 0 && row >= 0;
}

int StringGrid::VisibleRowCount() const {
  if (!hwnd_) return 1;
  RECT client;
  GetClientRect(hwnd_, &client);
  int space = client.bottom - FixedHeight(), n = 0;
  for (int r = topRow_; r < RowCount() && space >= RowHeight(r) + kLine; ++r, ++n) space -= RowHeight(r) + kLine;
  return std::max(1, n);
}

int StringGrid::VisibleColCount() const {
  if (!hwnd_) return 1;
  RECT client;
  GetClientRect(hwnd_, &client);
  int space = client.right - FixedWidth(), n = 0;
  for (int c = leftCol_; c < ColCount() && space >= ColWidth(c) + kLine; ++c, ++n) space -= ColWidth(c) + kLine;
  return std::max(1, n);
}

// The top row that shows the last row at the bottom of the window.
int StringGrid::MaxTopRow() const {
  if (!hwnd_ || RowCount() <= fixedRows_) return fixedRows_;
  RECT client;
  GetClientRect(hwnd_, &client);
  const int space = client.bottom - FixedHeight();
  int top = RowCount() - 1, used = RowHeight(top) + kLine;
  while (top - 1 >= fixedRows_ && used + RowHeight(top - 1) + kLine <= space) used += RowHeight(--top) + kLine;
  return top;
}

int StringGrid::MaxLeftCol() const {
  if (!hwnd_ || ColCount() <= fixedCols_) return fixedCols_;
  RECT client;
  GetClientRect(hwnd_, &client);
  const int space = client.right - FixedWidth();
  int left = ColCount() - 1, used = ColWidth(left) + kLine;
  while (left - 1 >= fixedCols_ && used + ColWidth(left - 1) + kLine <= space) used += ColWidth(--left) + kLine;
  return left;
}

// ---- scrolling ----

void StringGrid::SetTopRow(int row) {
  row = std::clamp(row, fixedRows_, std::max(fixedRows_, MaxTopRow()));
  if (row == topRow_) return;
  HideEditor();
  topRow_ = row;
  UpdateScrollBars();
  Invalidate();
}

void StringGrid::SetLeftCol(int col) {
  col = std::clamp(col, fixedCols_, std::max(fixedCols_, MaxLeftCol()));
  if (col == leftCol_) return;
  HideEditor();
  leftCol_ = col;
  UpdateScrollBars();
  Invalidate();
}

void StringGrid::UpdateScrollBars() {
  // Showing a bar shrinks the client area, which calls here again.
  if (!hwnd_ || updatingScrollBars_) return;
  updatingScrollBars_ = true;
  // Bars of a grid not on screen are drawn when it is shown.
  const BOOL redraw = IsWindowVisible(hwnd_);
  auto update = [&](int bar, int first, int max, int pos, int page) {
    const int range = max - first;
    SCROLLINFO si{sizeof si, SIF_RANGE | SIF_PAGE | SIF_POS, 0, 0, 0, 0, 0};
    if (range > 0) {
      si.nMax = range + page - 1;
      si.nPage = static_cast<UINT>(page);
      si.nPos = pos - first;
    }
    SetScrollInfo(hwnd_, bar, &si, redraw);
  };
  for (int pass = 0; pass < 2; ++pass) {  // the second pass settles the sizes
    update(SB_VERT, fixedRows_, MaxTopRow(), topRow_, VisibleRowCount());
    update(SB_HORZ, fixedCols_, MaxLeftCol(), leftCol_, VisibleColCount());
  }
  updatingScrollBars_ = false;
}

void StringGrid::ScrollInView(int col, int row) {
  if (!hwnd_) return;
  RECT client;
  GetClientRect(hwnd_, &client);
  if (row >= fixedRows_) {
    if (row < topRow_) {
      SetTopRow(row);
    } else {
      // Lowest top row that still shows the whole of `row`.
      int top = row, used = RowHeight(row) + kLine;
      const int space = client.bottom - FixedHeight();
      while (top - 1 >= fixedRows_ && used + RowHeight(top - 1) + kLine <= space) used += RowHeight(--top) + kLine;
      if (topRow_ < top) SetTopRow(top);
    }
  }
  if (col >= fixedCols_) {
    if (col < leftCol_) {
      SetLeftCol(col);
    } else {
      int left = col, used = ColWidth(col) + kLine;
      const int space = client.right - FixedWidth();
      while (left - 1 >= fixedCols_ && used + ColWidth(left - 1) + kLine <= space) used += ColWidth(--left) + kLine;
      if (leftCol_ < left) SetLeftCol(left);
    }
  }
}

void StringGrid::OnScroll(int bar, int code) {
  const bool vert = bar == SB_VERT;
  const int first = vert ? fixedRows_ : fixedCols_;
  const int pos = vert ? topRow_ : leftCol_;
  const int page = vert ? VisibleRowCount() : VisibleColCount();
  int to = pos;
  switch (code) {
    case SB_LINEUP: to = pos - 1; break;
    case SB_LINEDOWN: to = pos + 1; break;
    case SB_PAGEUP: to = pos - page; break;
    case SB_PAGEDOWN: to = pos + page; break;
    case SB_TOP: to = first; break;
    case SB_BOTTOM: to = vert ? MaxTopRow() : MaxLeftCol(); break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: {
      SCROLLINFO si{sizeof si, SIF_TRACKPOS, 0, 0, 0, 0, 0};
      GetScrollInfo(hwnd_, bar, &si);
      to = first + si.nTrackPos;
      break;
    }
    default: return;
  }
  if (vert) SetTopRow(to);
  else SetLeftCol(to);
}

// ---- painting ----

void StringGrid::Invalidate() {
  if (hwnd_) InvalidateRect(hwnd_, nullptr, FALSE);
}

void StringGrid::Paint(HDC target) {
  RECT client;
  GetClientRect(hwnd_, &client);
  PaintOffScreen(target, client, [&](HDC dc) { PaintCells(dc, client); });
}

void StringGrid::PaintCells(HDC dc, const RECT& client) {
  SelectObject(dc, Font());
  FillRect(dc, &client, GetSysColorBrush(COLOR_WINDOW));
  HBRUSH line = CreateSolidBrush(kLineColor);
  const bool focused = GetFocus() == hwnd_;
  const GridRect sel = Selection();
  SetBkMode(dc, TRANSPARENT);

  int y = 0;
  for (int r = 0; r < RowCount() && y < client.bottom; ++r) {
    if (r >= fixedRows_ && r < topRow_) continue;
    int x = 0;
    for (int c = 0; c < ColCount() && x < client.right; ++c) {
      if (c >= fixedCols_ && c < leftCol_) continue;
      RECT cell{x, y, x + ColWidth(c), y + RowHeight(r)};
      x = cell.right + kLine;
      const bool fixed = r < fixedRows_ || c < fixedCols_;
      const bool isCurrent = c == current_.x && r == current_.y;
      const bool selected = !fixed && c >= sel.Left && c <= sel.Right && r >= sel.Top && r <= sel.Bottom &&
                            !(isCurrent && focused);
      RECT right{cell.right, cell.top, cell.right + kLine, cell.bottom + kLine};
      RECT below{cell.left, cell.bottom, cell.right + kLine, cell.bottom + kLine};
      FillRect(dc, &right, fixed ? GetSysColorBrush(COLOR_3DSHADOW) : line);
      FillRect(dc, &below, fixed ? GetSysColorBrush(COLOR_3DSHADOW) : line);
      FillRect(dc, &cell, GetSysColorBrush(fixed ? COLOR_BTNFACE : selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
      if (fixed) {
        RECT edge = cell;
        DrawEdge(dc, &edge, BDR_RAISEDINNER, BF_RECT);
      }
      const std::string& text = cells_.Cell(c, r);
      if (!text.empty()) {
        const std::wstring wide = Wide(PaintedPart(text));
        SetTextColor(dc, GetSysColor(fixed ? COLOR_BTNTEXT : selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
        ExtTextOutW(dc, cell.left + 2, cell.top + 2, ETO_CLIPPED, &cell, wide.c_str(), static_cast<UINT>(wide.size()),
                    nullptr);
      }
      if (isCurrent && focused && !EditorVisible()) DrawFocusRect(dc, &cell);
    }
    y += RowHeight(r) + kLine;
  }
  DeleteObject(line);
}

LRESULT StringGrid::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd_, &ps);
      Paint(dc);
      EndPaint(hwnd_, &ps);
      return 0;
    }
    case WM_ERASEBKGND:
      return 1;
    case WM_SIZE:
      ClampCurrent();
      Invalidate();
      break;
    case WM_VSCROLL:
      OnScroll(SB_VERT, LOWORD(wp));
      return 0;
    case WM_HSCROLL:
      OnScroll(SB_HORZ, LOWORD(wp));
      return 0;
    case WM_MOUSEWHEEL:
      SetTopRow(topRow_ - 3 * GET_WHEEL_DELTA_WPARAM(wp) / WHEEL_DELTA);
      return 0;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      Invalidate();
      return 0;
    case WM_GETDLGCODE: {
      LRESULT code = DLGC_WANTARROWS | DLGC_WANTCHARS;
      // Enter and Escape belong to the grid (editing), not to the form.
      if (auto* m = reinterpret_cast<MSG*>(lp); m && m->message == WM_KEYDOWN &&
                                                  (m->wParam == VK_RETURN || m->wParam == VK_ESCAPE))
        code |= DLGC_WANTMESSAGE;
      return code;
    }
    case WM_KEYDOWN:
      OnKeyDown(wp);
      return 0;
    case WM_CHAR:
      OnChar(static_cast<wchar_t>(wp));
      return 0;
    case WM_LBUTTONDOWN:
      OnMouseDown(static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp)), wp);
      return 0;
    case WM_MOUSEMOVE:
      OnMouseMove(static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp)));
      return 0;
    case WM_LBUTTONUP:
      OnMouseUp();
      return 0;
    case WM_CAPTURECHANGED:
      drag_ = Drag::None;
      return 0;
    case WM_LBUTTONDBLCLK:
      OnDoubleClick(static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp)));
      return 0;
    case WM_SETCURSOR:
      if (LOWORD(lp) == HTCLIENT && SetSizingCursor()) return TRUE;
      break;
    case WM_COMMAND:
      // The editor's own notifications; nothing to reflect.
      if (reinterpret_cast<HWND>(lp) == editor_) return 0;
      break;
    default:
      break;
  }
  return Wnd::WndProc(msg, wp, lp);
}

}  // namespace qel::win

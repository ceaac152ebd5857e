#pragma once
// A grid of text cells drawn by itself: fixed title rows and columns at the
// top and left that stay in place while the rest scrolls, a current cell
// moved by mouse and keyboard, a selected range of cells, cell editing in an
// overlaid edit field and column sizing by dragging a title border.
//
// The texts live in a qel::Grid model (Cells()); the grid repaints whenever
// the model changes, so code may fill the model directly.
//
// This file holds the model, the geometry, scrolling and painting;
// string_grid_input.cpp the mouse, the keyboard and the cell editor.
#include <functional>
#include <vector>

#include "base/grid.h"
#include "win32/wnd.h"

namespace qel::win {

// A rectangle of cells, inclusive at both ends.
struct GridRect {
  int Left = 0, Top = 0, Right = 0, Bottom = 0;
  bool operator==(const GridRect&) const = default;
};

class StringGrid : public Wnd {
 public:
  StringGrid();
  ~StringGrid() override;
  void Create(const CreateArgs& a);

  Grid& Cells() { return cells_; }
  const Grid& Cells() const { return cells_; }

  int RowCount() const { return cells_.RowCount(); }
  int ColCount() const { return cells_.ColCount(); }
  void SetRowCount(int rows) { cells_.SetRowCount(rows); }
  void SetColCount(int cols) { cells_.SetColCount(cols); }

  int FixedRows() const { return fixedRows_; }
  int FixedCols() const { return fixedCols_; }
  void SetFixedRows(int rows);
  void SetFixedCols(int cols);

  int DefaultRowHeight() const { return rowHeights_.Default(); }
  void SetDefaultRowHeight(int h);  // every row takes it
  int RowHeight(int row) const;
  void SetRowHeight(int row, int h);
  int DefaultColWidth() const { return colWidths_.Default(); }
  void SetDefaultColWidth(int w);   // every column takes it
  int ColWidth(int col) const;
  void SetColWidth(int col, int w);

  // The current cell. Setting it moves the selection there (as a click
  // would) and fires onClick.
  int Row() const { return current_.y; }
  int Col() const { return current_.x; }
  void SetRow(int row);
  void SetCol(int col);
  // The selected range: from the anchor cell to the current cell.
  GridRect Selection() const;

  // The first scrolled row and column on show.
  int TopRow() const { return topRow_; }
  int LeftCol() const { return leftCol_; }
  void SetTopRow(int row);
  void SetLeftCol(int col);
  // Rows and columns of the scrolled part that fit whole in the window.
  int VisibleRowCount() const;
  int VisibleColCount() const;

  // Options: typing into cells, dragging title borders, selecting ranges.
  bool Editing() const { return editing_; }
  void SetEditing(bool on);
  bool ColSizing() const { return colSizing_; }
  void SetColSizing(bool on) { colSizing_ = on; }
  bool RangeSelect() const { return rangeSelect_; }
  void SetRangeSelect(bool on);

  // A cell's rectangle in client coordinates; false when it is not on show.
  bool CellRect(int col, int row, RECT& r) const;
  // The cell under a client point; false when there is none.
  bool CellAt(int x, int y, int& col, int& row) const;

  // The overlaid edit field of the current cell. A cell longer than
  // kMaxEditedBytes does not open in it (typing over it still works).
  static constexpr std::size_t kMaxEditedBytes = 64 * 1024;
  bool EditorVisible() const;
  HWND EditorHandle() const { return editor_; }
  void ShowEditor();
  void HideEditor();    // keeps what was typed
  void CancelEditor();  // drops it

  // The selection changed (mouse, keyboard or code).
  std::function<void()> onClick;

 protected:
  LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  // Geometry, scrolling, painting (string_grid.cpp).
  void ModelChanged();
  void ClampCurrent();
  int FixedWidth() const;
  int FixedHeight() const;
  int MaxTopRow() const;
  int MaxLeftCol() const;
  void UpdateScrollBars();
  void ScrollInView(int col, int row);
  void OnScroll(int bar, int code);
  void Paint(HDC dc);
  void PaintCells(HDC dc, const RECT& client);  // onto a memory DC the size of the client area
  void Invalidate();

  // Input (string_grid_input.cpp).
  void MoveCurrent(int col, int row, bool moveAnchor);
  void OnKeyDown(WPARAM key);
  void OnChar(wchar_t ch);
  void OnMouseDown(int x, int y, WPARAM flags);
  void OnMouseMove(int x, int y);
  void OnMouseUp();
  void OnDoubleClick(int x, int y);
  void OpenEditor(bool withCellText);
  int SizingBorderAt(int x, int y) const;
  bool SetSizingCursor();
  LRESULT EditorMessage(UINT msg, WPARAM wp, LPARAM lp);
  static LRESULT CALLBACK EditorProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

  Grid cells_;
  int fixedRows_ = 1;
  int fixedCols_ = 1;
  // Row heights or column widths: one default, overridden by index.
  class TrackSizes {
   public:
    explicit TrackSizes(int defaultSize) : default_(defaultSize) {}
    int Default() const { return default_; }
    void ResetTo(int defaultSize) { default_ = defaultSize; sizes_.clear(); }
    int Get(int index) const;
    void Set(int index, int size);

   private:
    int default_;
    std::vector<int> sizes_;  // -1 or missing: the default
  };
  TrackSizes rowHeights_{24};
  TrackSizes colWidths_{64};
  POINT current_{1, 1};
  POINT anchor_{1, 1};
  int topRow_ = 1;
  int leftCol_ = 1;
  bool editing_ = false;
  bool colSizing_ = false;
  bool rangeSelect_ = true;
  bool updatingScrollBars_ = false;

  enum class Drag { None, Select, Size };
  Drag drag_ = Drag::None;
  int sizingCol_ = -1;
  int sizingStartX_ = 0;
  int sizingStartWidth_ = 0;

  HWND editor_ = nullptr;
  WNDPROC editorDefaultProc_ = nullptr;
  POINT editCell_{-1, -1};
  bool editorClosing_ = false;
};

}  // namespace qel::win

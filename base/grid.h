#pragma once
// The string grid model shared by the circuit list and the equipment table:
// RowCount rows by ColCount columns of CP932 texts, addressed (column, row)
// from 0. Cells outside the grid read as the empty text; resizing keeps the
// cells that remain inside.
#include <functional>
#include <string>
#include <vector>

namespace qel {

class Grid {
 public:
  Grid() = default;
  Grid(int colCount, int rowCount) { SetSize(colCount, rowCount); }

  int RowCount() const { return rowCount_; }
  int ColCount() const { return colCount_; }
  void SetRowCount(int rows);
  void SetColCount(int cols);
  void SetSize(int cols, int rows);

  const std::string& Cell(int col, int row) const;
  void SetCell(int col, int row, std::string text);  // ignored outside the grid

  // A whole row: exactly ColCount texts (empty texts for a row outside).
  std::vector<std::string> Row(int row) const;
  void SetRow(int row, std::vector<std::string> cells);  // padded / cut to ColCount
  void ClearRow(int row);
  void ClearAll();

  // Row moves used by insert and delete; they copy whole rows at once.
  void InsertRows(int at, int count);  // empty rows at `at`, the rest moves down
  void DeleteRows(int at, int count);  // rows below move up, the grid shrinks

  // Told after every change so that a window showing the grid can repaint.
  void SetOnChange(std::function<void()> onChange) { onChange_ = std::move(onChange); }

 private:
  void Changed() const { if (onChange_) onChange_(); }

  int colCount_ = 0;
  int rowCount_ = 0;
  std::vector<std::vector<std::string>> rows_;  // rows_[row][col]
  std::function<void()> onChange_;
};

}  // namespace qel

#include "base/grid.h"

#include <algorithm>

namespace qel {

namespace {
const std::string kEmpty;
}

void Grid::SetRowCount(int rows) { SetSize(colCount_, rows); }
void Grid::SetColCount(int cols) { SetSize(cols, rowCount_); }

void Grid::SetSize(int cols, int rows) {
  cols = std::max(cols, 0);
  rows = std::max(rows, 0);
  rows_.resize(static_cast<std::size_t>(rows));
  for (auto& r : rows_) r.resize(static_cast<std::size_t>(cols));
  colCount_ = cols;
  rowCount_ = rows;
  Changed();
}

const std::string& Grid::Cell(int col, int row) const {
  if (col < 0 || row < 0 || col >= colCount_ || row >= rowCount_) return kEmpty;
  return rows_[static_cast<std::size_t>(row)][static_cast<std::size_t>(col)];
}

void Grid::SetCell(int col, int row, std::string text) {
  if (col < 0 || row < 0 || col >= colCount_ || row >= rowCount_) return;
  rows_[static_cast<std::size_t>(row)][static_cast<std::size_t>(col)] = std::move(text);
  Changed();
}

std::vector<std::string> Grid::Row(int row) const {
  if (row < 0 || row >= rowCount_) return std::vector<std::string>(static_cast<std::size_t>(colCount_));
  return rows_[static_cast<std::size_t>(row)];
}

void Grid::SetRow(int row, std::vector<std::string> cells) {
  if (row < 0 || row >= rowCount_) return;
  cells.resize(static_cast<std::size_t>(colCount_));
  rows_[static_cast<std::size_t>(row)] = std::move(cells);
  Changed();
}

void Grid::ClearRow(int row) { SetRow(row, {}); }

void Grid::ClearAll() {
  for (auto& r : rows_) std::fill(r.begin(), r.end(), std::string());
  Changed();
}

void Grid::InsertRows(int at, int count) {
  if (count <= 0) return;
  at = std::clamp(at, 0, rowCount_);
  rows_.insert(rows_.begin() + at, static_cast<std::size_t>(count),
               std::vector<std::string>(static_cast<std::size_t>(colCount_)));
  rowCount_ += count;
  Changed();
}

void Grid::DeleteRows(int at, int count) {
  if (at < 0 || at >= rowCount_ || count <= 0) return;
  count = std::min(count, rowCount_ - at);
  rows_.erase(rows_.begin() + at, rows_.begin() + at + count);
  rowCount_ -= count;
  Changed();
}

}  // namespace qel

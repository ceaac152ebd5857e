#pragma once
// What the Excel stand-in keeps: workbooks of sheets of text cells, the
// active workbook and sheet, and the window that shows the active sheet.
#include <windows.h>

#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace qel::excel_standin {

struct Sheet {
  std::wstring name;
  std::map<std::pair<long, long>, std::wstring> cells;  // (row, column) from 1
  long Rows() const;     // last row holding a cell, 0 when none
  long Columns() const;  // last column holding a cell, 0 when none
};

struct Workbook {
  std::wstring name;
  std::vector<std::shared_ptr<Sheet>> sheets;
  std::size_t active = 0;
};

struct Session {
  std::vector<std::shared_ptr<Workbook>> books;
  std::shared_ptr<Workbook> active;
  bool screenUpdating = true;
  HWND window = nullptr;
  void Changed() const;  // repaint, unless screen updating is off
  std::shared_ptr<Sheet> ActiveSheet() const;
};

Session& TheSession();

// The sheet as UTF-8 CSV: rows 1..Rows(), columns 1..Columns(), a field in
// quotes (quotes doubled) when it holds a comma, quote or line break, lines
// ended by CR LF.
std::string SheetCsv(const Sheet& sheet);

}  // namespace qel::excel_standin

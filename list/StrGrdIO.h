#pragma once
// TStringGridIO: reads and writes a string grid as delimited text, writes it
// as an HTML table and copies it into a new Excel workbook. The circuit list
// and the equipment table both go through it.
#include <string>
#include <string_view>

#include "base/dispatch.h"
#include "base/grid.h"

namespace qel {

// CSV mode on: a cell that reads as a decimal number is written bare, every
// other cell (the empty one too) inside double quotes, without doubling quotes
// inside it. Off: the cell unchanged.
std::string QuoteCsvField(const std::string& cell, bool csv);
// CSV mode on: a field of at least two bytes that starts and ends with a
// double quote loses both. Off, or any other field: unchanged.
std::string UnquoteCsvField(std::string_view field, bool csv);
// Optional blanks, optional sign, digits, optional "." digits, optional
// exponent with optional sign and at least one digit; nothing after it.
bool IsDecimalNumberText(std::string_view text);

// The lines of a text file: CR, LF or CR LF end a line, a final line end
// makes no extra empty line, and a zero byte ends the text.
std::vector<std::string_view> SplitTextLines(std::string_view text);

class TStringGridIO {
 public:
  Grid* TargetGrid = nullptr;
  bool Stretch = false;
  // With Stretch off: a text of more lines than the grid has rows adds the
  // rows it needs (never fewer rows, the columns as they are) instead of
  // dropping the lines past the last row. The circuit list grows so; the
  // equipment table keeps its fixed size.
  bool GrowRows = false;
  // Creates the spreadsheet application; the program's default when unset.
  DispatchFactory AutomationFactory;

  void SaveToText(const std::string& fileName, const std::string& sep, bool csv) const;
  void LoadFromText(const std::string& fileName, const std::string& sep, bool csv);
  void SaveToHTML(const std::string& fileName) const;
  void SaveToExcel() const;
  void ClearCells();

  // The texts the file operations write and read, without the file.
  std::string FormatText(const std::string& sep, bool csv) const;
  // With Stretch on, a text that would need more than about four million
  // cells is refused with a FileError and the grid is left as it was.
  void ParseText(std::string_view text, const std::string& sep, bool csv);
  std::string FormatHTML(const std::string& title) const;
};

// Escapes the bytes that would change the meaning of an HTML page; stepping
// over two-byte characters so that none of their trail bytes is touched.
std::string EscapeHtml(std::string_view text, bool escapeQuotes);

}  // namespace qel

#include "list/StrGrdIO.h"

#include <algorithm>
#include <new>

#include "base/cp932.h"
#include "base/file_io.h"

namespace qel {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

std::size_t SkipDigits(std::string_view t, std::size_t i) {
  while (i < t.size() && IsDigit(t[i])) ++i;
  return i;
}

const std::string kCrLf = "\r\n";

bool IsHtmlMarkup(char c) { return c == '<' || c == '>' || c == '&' || c == '"'; }

// More cells than any list or table has; a file that would stretch the grid
// beyond this (a few thousand lines times a few thousand separators) is
// refused instead of exhausting memory.
constexpr std::size_t kMaxStretchedCells = std::size_t{4} << 20;

}  // namespace

bool IsDecimalNumberText(std::string_view t) {
  std::size_t i = 0;
  while (i < t.size() && t[i] == ' ') ++i;
  if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
  if (i == t.size()) return false;  // the rest after the sign must not be empty
  i = SkipDigits(t, i);
  if (i < t.size() && t[i] == '.') i = SkipDigits(t, i + 1);
  if (i < t.size() && (t[i] == 'E' || t[i] == 'e')) {
    ++i;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
    std::size_t digitsFrom = i;
    i = SkipDigits(t, i);
    if (i == digitsFrom) return false;
  }
  return i == t.size();
}

std::string QuoteCsvField(const std::string& cell, bool csv) {
  if (!csv || IsDecimalNumberText(cell)) return cell;
  std::string out;
  out.reserve(cell.size() + 2);
  out += '"';
  out += cell;
  out += '"';
  return out;
}

std::string UnquoteCsvField(std::string_view field, bool csv) {
  if (csv && field.size() >= 2 && field.front() == '"' && field.back() == '"')
    field = field.substr(1, field.size() - 2);
  return std::string(field);
}

std::vector<std::string_view> SplitTextLines(std::string_view text) {
  text = text.substr(0, text.find('\0'));
  std::vector<std::string_view> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find_first_of("\r\n", start);
    if (end == std::string_view::npos) {
      lines.push_back(text.substr(start));
      break;
    }
    lines.push_back(text.substr(start, end - start));
    start = end + 1;
    if (text[end] == '\r' && start < text.size() && text[start] == '\n') ++start;
  }
  return lines;
}

std::string EscapeHtml(std::string_view text, bool escapeQuotes) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    std::size_t len = cp932::CharLength(text, i);
    // None of these can be the second byte of a two-byte character, so a
    // lead byte before one is a broken character and the markup byte after
    // it is escaped; taken as a pair it would open a tag or comment.
    if (len == 2 && IsHtmlMarkup(text[i + 1])) len = 1;
    if (len == 2) {
      out.append(text.substr(i, 2));
    } else {
      switch (text[i]) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"':
          if (escapeQuotes) { out += "&quot;"; break; }
          [[fallthrough]];
        default: out += text[i];
      }
    }
    i += len;
  }
  return out;
}

std::string TStringGridIO::FormatText(const std::string& sep, bool csv) const {
  std::string out;
  if (!TargetGrid) return out;
  const Grid& g = *TargetGrid;
  for (int r = 0; r < g.RowCount(); ++r) {
    for (int c = 0; c < g.ColCount(); ++c) {
      if (c > 0) out += sep;
      if (csv) out += QuoteCsvField(g.Cell(c, r), true);
      else out += g.Cell(c, r);
    }
    out += kCrLf;
  }
  return out;
}

void TStringGridIO::SaveToText(const std::string& fileName, const std::string& sep, bool csv) const {
  if (!TargetGrid) return;
  ReplaceFileContents(fileName, FormatText(sep, csv));
}

void TStringGridIO::ParseText(std::string_view text, const std::string& sep, bool csv) {
  if (!TargetGrid) return;
  Grid& g = *TargetGrid;
  const std::vector<std::string_view> lines = SplitTextLines(text);
  if (Stretch) {
    std::size_t most = 0;
    if (!sep.empty()) {
      for (std::string_view line : lines) {
        std::size_t n = 0;
        for (std::size_t p = line.find(sep); p != std::string_view::npos; p = line.find(sep, p + sep.size())) ++n;
        most = std::max(most, n);
      }
    }
    if (!lines.empty() && most + 1 > kMaxStretchedCells / lines.size())
      throw FileError("表が大きすぎます (" + std::to_string(lines.size()) + " 行 × " + std::to_string(most + 1) +
                      " 列)");
    g.ClearAll();
    g.SetSize(static_cast<int>(most + 1), static_cast<int>(lines.size()));
  } else if (GrowRows && lines.size() > static_cast<std::size_t>(g.RowCount())) {
    const std::size_t cols = static_cast<std::size_t>(std::max(g.ColCount(), 1));
    if (lines.size() > kMaxStretchedCells / cols)
      throw FileError("表が大きすぎます (" + std::to_string(lines.size()) + " 行 × " + std::to_string(cols) + " 列)");
    g.SetRowCount(static_cast<int>(lines.size()));
  }
  const int cols = g.ColCount();
  const int rows = std::min<int>(g.RowCount(), static_cast<int>(lines.size()));
  if (cols <= 0) return;
  for (int r = 0; r < rows; ++r) {
    std::vector<std::string> cells(static_cast<std::size_t>(cols));
    std::string_view rest = lines[static_cast<std::size_t>(r)];
    for (int c = 0; c + 1 < cols; ++c) {
      std::size_t p = sep.empty() ? std::string_view::npos : rest.find(sep);
      // No separator left: this cell stays empty, the rest waits for the last column.
      if (p == std::string_view::npos) continue;
      cells[static_cast<std::size_t>(c)] = UnquoteCsvField(rest.substr(0, p), csv);
      rest.remove_prefix(p + sep.size());
    }
    cells[static_cast<std::size_t>(cols - 1)] = UnquoteCsvField(rest, csv);
    g.SetRow(r, std::move(cells));
  }
}

void TStringGridIO::LoadFromText(const std::string& fileName, const std::string& sep, bool csv) {
  if (!TargetGrid) return;
  // The whole file is read before any cell changes: a file that cannot be
  // read leaves the grid as it was.
  const std::string text = ReadWholeFile(fileName);
  try {
    ParseText(text, sep, csv);
  } catch (const FileError& e) {
    throw FileError(std::string(e.what()) + " (" + fileName + ")");
  } catch (const std::bad_alloc&) {
    ThrowOutOfMemory(fileName);
  }
}

std::string TStringGridIO::FormatHTML(const std::string& title) const {
  std::string out;
  if (!TargetGrid) return out;
  const Grid& g = *TargetGrid;
  out += "<!DOCTYPE HTML PUBLIC \"-//IETF//DTD HTML i18n//EN\">\r\n";
  out += "<HTML>\r\n<HEAD>\r\n";
  out += "<TITLE>" + EscapeHtml(title, true) + "</TITLE>\r\n";
  out += "<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html;charset=Shift_JIS\">\r\n";
  out += "</HEAD>\r\n<BODY>\r\n\r\n<TABLE BORDER>\r\n";
  for (int r = 0; r < g.RowCount(); ++r) {
    out += "<TR>";
    for (int c = 0; c < g.ColCount(); ++c) {
      out += "<TD>";
      out += EscapeHtml(g.Cell(c, r), false);
      out += "</TD>";
    }
    out += "</TR>\r\n";
  }
  out += "</TABLE>\r\n</BODY>\r\n</HTML>\r\n";
  return out;
}

void TStringGridIO::SaveToHTML(const std::string& fileName) const {
  if (!TargetGrid) return;
  ReplaceFileContents(fileName, FormatHTML(fileName));
}

void TStringGridIO::SaveToExcel() const {
  if (!TargetGrid) return;
  const Grid& g = *TargetGrid;
  std::shared_ptr<Dispatch> server =
      AutomationFactory ? AutomationFactory("Excel.Application") : CreateAutomationObject("Excel.Application");
  std::shared_ptr<Dispatch> app = server->Get("Application").AsObject();
  app->Put("Visible", Variant(true));
  app->Put("ScreenUpdating", Variant(false));
  try {
    std::shared_ptr<Dispatch> book = app->Get("WorkBooks").AsObject()->Get("Add").AsObject();
    book->Get("WorkSheets", {Variant(std::int32_t{1})}).AsObject()->Call("Activate");
    for (int r = 0; r < g.RowCount(); ++r) {
      for (int c = 0; c < g.ColCount(); ++c) {
        std::shared_ptr<Dispatch> cell = book->Get("ActiveSheet")
                                             .AsObject()
                                             ->Get("Cells", {Variant(std::int32_t{r + 1}), Variant(std::int32_t{c + 1})})
                                             .AsObject();
        cell->Put("Value", Variant(g.Cell(c, r)));
      }
    }
  } catch (...) {
    // Excel must not be left with its screen frozen; the original error is
    // the one the user needs to see, so a failure here is not reported.
    try {
      app->Put("ScreenUpdating", Variant(true));
    } catch (...) {
    }
    throw;
  }
  app->Put("ScreenUpdating", Variant(true));
}

void TStringGridIO::ClearCells() {
  if (TargetGrid) TargetGrid->ClearAll();
}

}  // namespace qel

// The Excel stand-in's window: the active sheet as a grid of cells, and a
// menu that saves it as CSV.
#include <windows.h>
#include <commdlg.h>

#include <algorithm>
#include <cstdio>

#include "standin/comserver/local_server.h"
#include "standin/comserver/main_window.h"
#include "standin/comserver/utf8.h"
#include "standin/excel/view.h"
#include "standin/excel/workbook.h"

namespace qel::excel_standin {

namespace {

constexpr wchar_t kClassName[] = L"QelExcelStandin";
constexpr int kSaveCsvId = 200;
constexpr int kExitId = 201;
constexpr int kRowHeight = 20;
constexpr int kColumnWidth = 90;
constexpr int kHeaderWidth = 40;

std::wstring ColumnName(long column) {
  std::wstring name;
  for (; column > 0; column = (column - 1) / 26) name.insert(name.begin(), static_cast<wchar_t>(L'A' + (column - 1) % 26));
  return name;
}

void Paint(HWND window, HDC dc) {
  RECT client;
  GetClientRect(window, &client);
  FillRect(dc, &client, reinterpret_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  auto sheet = TheSession().ActiveSheet();
  if (!sheet) return;
  HFONT font = CreateFontW(-13, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                           CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, L"MS Gothic");
  HGDIOBJ oldFont = SelectObject(dc, font);
  SetBkMode(dc, TRANSPARENT);
  const long rows = std::max<long>(sheet->Rows(), client.bottom / kRowHeight);
  const long columns = std::max<long>(sheet->Columns(), (client.right - kHeaderWidth) / kColumnWidth + 1);
  HPEN grid = CreatePen(PS_SOLID, 1, RGB(200, 200, 200));
  HGDIOBJ oldPen = SelectObject(dc, grid);
  for (long r = 0; r <= rows && r * kRowHeight < client.bottom; ++r) {
    const int y = r * kRowHeight;
    MoveToEx(dc, 0, y + kRowHeight, nullptr);
    LineTo(dc, client.right, y + kRowHeight);
    for (long c = 0; c <= columns; ++c) {
      const int x = c == 0 ? 0 : kHeaderWidth + (c - 1) * kColumnWidth;
      const int w = c == 0 ? kHeaderWidth : kColumnWidth;
      if (x > client.right) break;
      if (r == 0) {
        MoveToEx(dc, x + w, 0, nullptr);
        LineTo(dc, x + w, client.bottom);
      }
      std::wstring text;
      if (r == 0 && c > 0) text = ColumnName(c);
      if (c == 0 && r > 0) text = std::to_wstring(r);
      if (r > 0 && c > 0) {
        auto it = sheet->cells.find({r, c});
        if (it != sheet->cells.end()) text = it->second;
      }
      RECT cell{x + 3, y, x + w - 2, y + kRowHeight};
      DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &cell, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    }
  }
  SelectObject(dc, oldPen);
  DeleteObject(grid);
  SelectObject(dc, oldFont);
  DeleteObject(font);
}

void SaveCsvFromMenu(HWND window) {
  auto sheet = TheSession().ActiveSheet();
  if (!sheet) return;
  wchar_t path[MAX_PATH] = L"sheet.csv";
  OPENFILENAMEW ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = window;
  ofn.lpstrFilter = L"CSV (UTF-8)\0*.csv\0";
  ofn.lpstrFile = path;
  ofn.nMaxFile = MAX_PATH;
  ofn.lpstrDefExt = L"csv";
  ofn.Flags = OFN_OVERWRITEPROMPT;
  if (!GetSaveFileNameW(&ofn)) return;
  const std::string csv = SheetCsv(*sheet);
  FILE* f = _wfopen(path, L"wb");
  bool ok = f && std::fwrite(csv.data(), 1, csv.size(), f) == csv.size();
  if (f && std::fclose(f) != 0) ok = false;
  if (!ok) MessageBoxW(window, (std::wstring(L"Cannot write ") + path).c_str(), L"Save as CSV", MB_OK | MB_ICONERROR);
}

LRESULT CALLBACK WindowProc(HWND window, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_CREATE: {
      standin::SetFileMenu(window, kSaveCsvId, L"&Save sheet as CSV...", kExitId);
      return 0;
    }
    case WM_COMMAND:
      if (LOWORD(wp) == kSaveCsvId) SaveCsvFromMenu(window);
      if (LOWORD(wp) == kExitId) DestroyWindow(window);
      return 0;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(window, &ps);
      Paint(window, dc);
      EndPaint(window, &ps);
      return 0;
    }
    case WM_DESTROY:
      TheSession().window = nullptr;
      standin::RequestServerQuit();
      return 0;
  }
  return DefWindowProcW(window, msg, wp, lp);
}

}  // namespace

long Sheet::Rows() const {
  long rows = 0;
  for (const auto& [key, text] : cells) rows = std::max(rows, key.first);
  return rows;
}

long Sheet::Columns() const {
  long columns = 0;
  for (const auto& [key, text] : cells) columns = std::max(columns, key.second);
  return columns;
}

std::string SheetCsv(const Sheet& sheet) {
  std::string out;
  const long rows = sheet.Rows(), columns = sheet.Columns();
  for (long r = 1; r <= rows; ++r) {
    for (long c = 1; c <= columns; ++c) {
      if (c > 1) out += ',';
      auto it = sheet.cells.find({r, c});
      const std::string field = it == sheet.cells.end() ? std::string() : standin::ToUtf8(it->second);
      if (field.find_first_of(",\"\r\n") == std::string::npos) {
        out += field;
        continue;
      }
      out += '"';
      for (char ch : field) out += ch == '"' ? std::string("\"\"") : std::string(1, ch);
      out += '"';
    }
    out += "\r\n";
  }
  return out;
}

Session& TheSession() {
  static Session session;
  return session;
}

std::shared_ptr<Sheet> Session::ActiveSheet() const {
  if (!active || active->sheets.empty()) return nullptr;
  return active->sheets[active->active];
}

void Session::Changed() const {
  if (!window || !screenUpdating) return;
  const std::wstring title =
      L"Excel stand-in" + (active ? L" - " + active->name + L" - " + ActiveSheet()->name : std::wstring());
  SetWindowTextW(window, title.c_str());
  InvalidateRect(window, nullptr, TRUE);
}

HWND CreateViewWindow(HINSTANCE instance) {
  HWND window = standin::CreateMainWindow(instance, kClassName, WindowProc, L"Excel stand-in", 900, 600);
  TheSession().window = window;
  return window;
}

}  // namespace qel::excel_standin

#pragma once
// Printing the drawing pages the preview shows: a sheet of paper a page,
// painted by the preview's own painting code at the printer's resolution
// and without the window's zoom. A3 landscape is chosen beforehand where the
// printer has it, and a page then prints 1:1, a drawing unit to a
// millimetre; other paper gets the sheet fitted to it.
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "dxf/preview_geometry.h"

namespace qel {

struct PrinterChoice {
  std::wstring name;
  std::vector<BYTE> devMode;  // a DEVMODEW and its driver's bytes; empty: the printer's own settings
};

// Whether the printer lists A3 among its papers.
bool PrinterOffersA3(const std::wstring& printer);

// The printer's settings with A3 paper and landscape chosen, each where the
// printer offers it; `offersA3` says whether it offers A3. Empty when the
// printer cannot be asked.
std::vector<BYTE> PreferredDevMode(const std::wstring& printer, bool* offersA3 = nullptr);

struct PrintOutcome {
  bool ok = false;
  int pages = 0;        // pages sent to the printer
  bool fitted = false;  // the paper could not hold the sheet at full size
  double scale = 1;     // the printed size against full size
  std::string error;    // what went wrong (Shift-JIS), when not ok
};

// Prints pages[which[0]], pages[which[1]] ... as one document named
// `documentName` (Shift-JIS). `sheet` is what every page shows whole (the
// sheet's limits); empty, each page's own drawing is placed instead.
PrintOutcome PrintPagesOn(HDC printer, const std::vector<dxf::PreviewPage>& pages, const dxf::Extents& sheet,
                          const std::vector<int>& which, const std::string& documentName);
// The same, on a device context made for the printer with its settings.
PrintOutcome PrintPages(const PrinterChoice& printer, const std::vector<dxf::PreviewPage>& pages,
                        const dxf::Extents& sheet, const std::vector<int>& which, const std::string& documentName);

// What the preview's status says after a print: nothing when the pages
// went out at full size, else why and how they were fitted.
std::string PrintNote(const PrintOutcome& outcome, bool printerOffersA3);

struct PrintRequest {
  PrinterChoice printer;
  std::vector<int> pages;  // 0-based, in printing order
};

// The standard print dialog for `pageCount` drawing pages, `current`
// (0-based) offered as the current page, the default printer set to A3
// landscape where it can. Nothing when the user cancels; an error of the
// dialog is thrown.
std::optional<PrintRequest> AskForPrint(HWND owner, int pageCount, int current);

}  // namespace qel

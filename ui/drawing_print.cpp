#include "ui/drawing_print.h"

// The print dialog of commdlg.h is declared only after the COM basics.
#include <objbase.h>
#include <commdlg.h>
#include <winspool.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <stdexcept>

#include "pdf/pdf_pages.h"
#include "ui/page_painting.h"
#include "win32/system_error.h"
#include "win32/text.h"

namespace qel {

namespace {

// The spooler's and the common dialogs' libraries are loaded when the
// first print is asked for, not with the program: most runs never print,
// and Wine's spooler looks for the system's printers when it is loaded.
HMODULE Library(const wchar_t* name) {
  HMODULE library = GetModuleHandleW(name);
  if (!library) library = LoadLibraryW(name);
  if (!library) throw std::runtime_error(win::Narrow(name) + ": " + win::SystemMessage(GetLastError()));
  return library;
}

template <class Function>
Function Entry(const wchar_t* library, const char* name) {
  auto function = reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(Library(library), name)));
  if (!function)
    throw std::runtime_error(win::Narrow(library) + ": " + name + ": " + win::SystemMessage(GetLastError()));
  return function;
}

constexpr const wchar_t* kSpooler = L"winspool.drv";

std::wstring DefaultPrinter() {
  auto getDefault = Entry<decltype(&GetDefaultPrinterW)>(kSpooler, "GetDefaultPrinterW");
  DWORD size = 0;
  getDefault(nullptr, &size);
  if (size == 0) return {};
  std::wstring name(size, L'\0');
  if (!getDefault(name.data(), &size)) return {};
  name.resize(wcslen(name.c_str()));
  return name;
}

// Movable memory for the dialog, holding a copy of the bytes.
HGLOBAL GlobalCopy(const void* bytes, std::size_t size) {
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, size);
  if (!memory) return nullptr;
  std::memcpy(GlobalLock(memory), bytes, size);
  GlobalUnlock(memory);
  return memory;
}

// DEVNAMES: three strings after the offsets that point to them.
HGLOBAL DevNames(const std::wstring& printer) {
  std::vector<wchar_t> chars(sizeof(DEVNAMES) / sizeof(wchar_t));
  auto add = [&chars](const std::wstring& text) {
    const auto at = static_cast<WORD>(chars.size());
    chars.insert(chars.end(), text.begin(), text.end());
    chars.push_back(L'\0');
    return at;
  };
  DEVNAMES names{};
  names.wDriverOffset = add(L"winspool");
  names.wDeviceOffset = add(printer);
  names.wOutputOffset = add(L"");
  names.wDefault = DN_DEFAULTPRN;
  std::memcpy(chars.data(), &names, sizeof names);
  return GlobalCopy(chars.data(), chars.size() * sizeof(wchar_t));
}

// The dialog's memory, freed however the dialog ends.
struct DialogMemory {
  PRINTDLGEXW& dialog;
  ~DialogMemory() {
    if (dialog.hDevMode) GlobalFree(dialog.hDevMode);
    if (dialog.hDevNames) GlobalFree(dialog.hDevNames);
    if (dialog.hDC) DeleteDC(dialog.hDC);
  }
};

constexpr double kMillimetresPerInch = 25.4;
constexpr DWORD kMostPageRanges = 16;

}  // namespace

bool PrinterOffersA3(const std::wstring& printer) {
  auto capabilities = Entry<decltype(&DeviceCapabilitiesW)>(kSpooler, "DeviceCapabilitiesW");
  const int count = capabilities(printer.c_str(), nullptr, DC_PAPERS, nullptr, nullptr);
  if (count <= 0) return false;
  std::vector<WORD> papers(static_cast<std::size_t>(count));
  if (capabilities(printer.c_str(), nullptr, DC_PAPERS, reinterpret_cast<LPWSTR>(papers.data()), nullptr) <= 0)
    return false;
  return std::find(papers.begin(), papers.end(), static_cast<WORD>(DMPAPER_A3)) != papers.end();
}

std::vector<BYTE> PreferredDevMode(const std::wstring& printer, bool* offersA3) {
  if (offersA3) *offersA3 = false;
  auto open = Entry<decltype(&OpenPrinterW)>(kSpooler, "OpenPrinterW");
  auto close = Entry<decltype(&ClosePrinter)>(kSpooler, "ClosePrinter");
  auto properties = Entry<decltype(&DocumentPropertiesW)>(kSpooler, "DocumentPropertiesW");
  auto capabilities = Entry<decltype(&DeviceCapabilitiesW)>(kSpooler, "DeviceCapabilitiesW");
  std::wstring name = printer;
  HANDLE handle = nullptr;
  if (!open(name.data(), &handle, nullptr)) return {};
  std::vector<BYTE> devMode;
  const LONG size = properties(nullptr, handle, name.data(), nullptr, nullptr, 0);
  if (size > 0) {
    devMode.resize(static_cast<std::size_t>(size));
    auto* mode = reinterpret_cast<DEVMODEW*>(devMode.data());
    if (properties(nullptr, handle, name.data(), mode, nullptr, DM_OUT_BUFFER) == IDOK) {
      const bool a3 = PrinterOffersA3(printer);
      if (offersA3) *offersA3 = a3;
      if (a3) {
        mode->dmPaperSize = DMPAPER_A3;
        mode->dmFields = (mode->dmFields | DM_PAPERSIZE) & ~static_cast<DWORD>(DM_PAPERLENGTH | DM_PAPERWIDTH | DM_FORMNAME);
      }
      // DC_ORIENTATION gives the turn of landscape, 0 for a printer without it.
      if (capabilities(printer.c_str(), nullptr, DC_ORIENTATION, nullptr, nullptr) > 0) {
        mode->dmOrientation = DMORIENT_LANDSCAPE;
        mode->dmFields |= DM_ORIENTATION;
      }
      // The driver checks the choice and completes its own part of the settings.
      std::vector<BYTE> merged(devMode.size());
      if (properties(nullptr, handle, name.data(), reinterpret_cast<DEVMODEW*>(merged.data()), mode,
                     DM_IN_BUFFER | DM_OUT_BUFFER) == IDOK)
        devMode = std::move(merged);
    } else {
      devMode.clear();
    }
  }
  close(handle);
  return devMode;
}

PrintOutcome PrintPagesOn(HDC dc, const std::vector<dxf::PreviewPage>& pages, const dxf::Extents& sheet,
                          const std::vector<int>& which, const std::string& documentName) {
  PrintOutcome outcome;
  // Some printers have more dots across than down, or the other way round
  // (1200 x 600 dpi). The page is placed in square pixels of the finer
  // resolution.
  const int dotsX = std::max(1, GetDeviceCaps(dc, LOGPIXELSX)), dotsY = std::max(1, GetDeviceCaps(dc, LOGPIXELSY));
  const int dpi = std::max(dotsX, dotsY);
  const double acrossX = static_cast<double>(dpi) / dotsX, acrossY = static_cast<double>(dpi) / dotsY;
  dxf::Paper paper;
  paper.dpi = dpi;
  paper.printableWidth = GetDeviceCaps(dc, HORZRES) * acrossX;
  paper.printableHeight = GetDeviceCaps(dc, VERTRES) * acrossY;
  paper.width = GetDeviceCaps(dc, PHYSICALWIDTH) * acrossX;
  paper.height = GetDeviceCaps(dc, PHYSICALHEIGHT) * acrossY;
  paper.printableX = GetDeviceCaps(dc, PHYSICALOFFSETX) * acrossX;
  paper.printableY = GetDeviceCaps(dc, PHYSICALOFFSETY) * acrossY;
  if (paper.width <= 0 || paper.height <= 0) {  // not a printer: all of it is printable
    paper.width = paper.printableWidth;
    paper.height = paper.printableHeight;
  }
  const std::wstring name = win::Wide(documentName);
  DOCINFOW doc{};
  doc.cbSize = sizeof doc;
  doc.lpszDocName = name.c_str();
  if (StartDocW(dc, &doc) <= 0) {
    outcome.error = "印刷を始められません。\r\n" + win::SystemMessage(GetLastError());
    return outcome;
  }
  for (int index : which) {
    if (index < 0 || index >= static_cast<int>(pages.size())) continue;
    const dxf::PreviewPage& page = pages[static_cast<std::size_t>(index)];
    const dxf::PaperPlacement placement = dxf::PlaceOnPaper(sheet.empty ? dxf::PageExtents(page) : sheet, paper);
    const double fullSize = paper.dpi / kMillimetresPerInch;
    if (StartPage(dc) <= 0) {
      outcome.error = std::to_string(index + 1) + " ページ目を印刷できません。\r\n" + win::SystemMessage(GetLastError());
      AbortDoc(dc);
      return outcome;
    }
    // From square pixels to the device's dots, here rather than through a
    // GDI mapping mode: under Wine a font's width does not follow one.
    dxf::View view = placement.view;
    view.scale /= acrossX;
    view.offsetX /= acrossX;
    view.offsetY /= acrossY;
    view.stretchY = acrossX / acrossY;
    PaintPreviewPage(dc, page, view, static_cast<int>(std::lround(pdf::kThinLineMm * view.scale)));
    if (EndPage(dc) <= 0) {
      outcome.error = std::to_string(index + 1) + " ページ目を印刷できません。\r\n" + win::SystemMessage(GetLastError());
      AbortDoc(dc);
      return outcome;
    }
    ++outcome.pages;
    outcome.fitted = outcome.fitted || placement.fitted;
    outcome.scale = placement.view.scale / fullSize;
  }
  if (EndDoc(dc) <= 0) {
    outcome.error = "印刷を終えられません。\r\n" + win::SystemMessage(GetLastError());
    return outcome;
  }
  outcome.ok = true;
  return outcome;
}

PrintOutcome PrintPages(const PrinterChoice& printer, const std::vector<dxf::PreviewPage>& pages,
                        const dxf::Extents& sheet, const std::vector<int>& which, const std::string& documentName) {
  const auto* mode = printer.devMode.empty() ? nullptr : reinterpret_cast<const DEVMODEW*>(printer.devMode.data());
  HDC dc = CreateDCW(L"WINSPOOL", printer.name.c_str(), nullptr, mode);
  if (!dc) {
    PrintOutcome outcome;
    outcome.error = "プリンターを使えません = " + win::Narrow(printer.name) + "\r\n" + win::SystemMessage(GetLastError());
    return outcome;
  }
  PrintOutcome outcome = PrintPagesOn(dc, pages, sheet, which, documentName);
  DeleteDC(dc);
  return outcome;
}

std::string PrintNote(const PrintOutcome& outcome, bool printerOffersA3) {
  if (!outcome.ok || !outcome.fitted) return "";
  const std::string why = printerOffersA3 ? "A3 横の用紙ではないため" : "A3 用紙がないため";
  return why + "、用紙に合わせて" + (outcome.scale > 1 ? "拡大" : "縮小") + "して印刷しました。";
}

std::optional<PrintRequest> AskForPrint(HWND owner, int pageCount, int current) {
  auto printDialog = Entry<decltype(&PrintDlgExW)>(L"comdlg32.dll", "PrintDlgExW");
  PRINTDLGEXW dialog{};
  DialogMemory memory{dialog};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = owner;
  // The default printer comes with A3 landscape chosen; the dialog lets
  // the user change it, or choose another printer.
  const std::wstring printer = DefaultPrinter();
  if (!printer.empty()) {
    const std::vector<BYTE> preferred = PreferredDevMode(printer);
    if (!preferred.empty()) {
      dialog.hDevMode = GlobalCopy(preferred.data(), preferred.size());
      dialog.hDevNames = DevNames(printer);
    }
  }
  // Offered: every page; the user may name ranges such as "1-2,5".
  std::vector<PRINTPAGERANGE> ranges(kMostPageRanges);
  ranges[0] = {1, static_cast<DWORD>(pageCount)};
  dialog.Flags = PD_NOSELECTION | PD_USEDEVMODECOPIESANDCOLLATE;
  dialog.nPageRanges = 1;
  dialog.nMaxPageRanges = kMostPageRanges;
  dialog.lpPageRanges = ranges.data();
  dialog.nMinPage = 1;
  dialog.nMaxPage = static_cast<DWORD>(pageCount);
  dialog.nCopies = 1;
  dialog.nStartPage = START_PAGE_GENERAL;
  const HRESULT result = printDialog(&dialog);
  if (FAILED(result)) throw std::runtime_error("PrintDlgExW: " + win::SystemMessage(static_cast<DWORD>(result)));
  if (dialog.dwResultAction != PD_RESULT_PRINT) return std::nullopt;

  PrintRequest request;
  if (dialog.hDevNames) {
    const auto* names = static_cast<const DEVNAMES*>(GlobalLock(dialog.hDevNames));
    request.printer.name = reinterpret_cast<const wchar_t*>(names) + names->wDeviceOffset;
    GlobalUnlock(dialog.hDevNames);
  }
  if (dialog.hDevMode) {
    const auto* mode = static_cast<const DEVMODEW*>(GlobalLock(dialog.hDevMode));
    const auto* bytes = reinterpret_cast<const BYTE*>(mode);
    request.printer.devMode.assign(bytes, bytes + mode->dmSize + mode->dmDriverExtra);
    GlobalUnlock(dialog.hDevMode);
  }
  // Wine's dialog hands back the pages typed in but never sets
  // PD_PAGENUMS; a range other than the one offered was typed by the user.
  const bool rangesTyped = dialog.nPageRanges != 1 || ranges[0].nFromPage != 1 ||
                           ranges[0].nToPage != static_cast<DWORD>(pageCount);
  if (dialog.Flags & PD_CURRENTPAGE) {
    request.pages = {current};
  } else if ((dialog.Flags & PD_PAGENUMS) || rangesTyped) {
    for (DWORD r = 0; r < dialog.nPageRanges && r < kMostPageRanges; ++r) {
      const PRINTPAGERANGE& range = ranges[r];
      const int from = std::max(1, static_cast<int>(std::min(range.nFromPage, range.nToPage)));
      const int to = std::min(pageCount, static_cast<int>(std::max(range.nFromPage, range.nToPage)));
      for (int page = from; page <= to; ++page) request.pages.push_back(page - 1);
    }
  } else {
    for (int page = 0; page < pageCount; ++page) request.pages.push_back(page);
  }
  return request;
}

}  // namespace qel

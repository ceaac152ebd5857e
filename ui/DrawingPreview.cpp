#include "ui/DrawingPreview.h"

#include <windowsx.h>

#include <cmath>

#include "ui/page_painting.h"
#include "win32/application.h"
#include "win32/off_screen.h"

namespace qel {

namespace {

constexpr int kFitMargin = 12;     // pixels of paper left around a fitted page
constexpr double kNotchZoom = 1.25;

}  // namespace

// ---- PreviewCanvas ----

void PreviewCanvas::Create(const win::CreateArgs& a) {
  // No background brush: every pixel is painted from the off-screen bitmap.
  CreateHandle(a, RegisterOwnClass(L"TPreviewCanvas", CS_DBLCLKS, nullptr), WS_TABSTOP);
}

void PreviewCanvas::SetPage(const dxf::PreviewPage* page, const dxf::Extents& sheet) {
  page_ = page;
  extents_ = !sheet.empty ? sheet : page ? dxf::PageExtents(*page) : dxf::Extents{};
  Fit();
}

void PreviewCanvas::Fit() {
  RECT r{};
  if (hwnd_) GetClientRect(hwnd_, &r);
  view_ = dxf::FitView(extents_, r.right, r.bottom, kFitMargin);
  fittedScale_ = view_.scale;
  if (hwnd_) InvalidateRect(hwnd_, nullptr, FALSE);
}

void PreviewCanvas::Zoom(double notches, int x, int y) {
  view_ = dxf::ZoomAbout(view_, std::pow(kNotchZoom, notches), x, y, fittedScale_);
  InvalidateRect(hwnd_, nullptr, FALSE);
}

void PreviewCanvas::Paint(HDC dc, const RECT& area) const {
  FillRect(dc, &area, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  if (page_) PaintPreviewPage(dc, *page_, view_);
}

LRESULT PreviewCanvas::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd_, &ps);
      RECT area;
      GetClientRect(hwnd_, &area);
      win::PaintOffScreen(dc, area, [&](HDC memory) { Paint(memory, area); });
      EndPaint(hwnd_, &ps);
      return 0;
    }
    case WM_PRINTCLIENT: {
      RECT area;
      GetClientRect(hwnd_, &area);
      Paint(reinterpret_cast<HDC>(wp), area);
      return 0;
    }
    case WM_SIZE:
      Fit();
      break;
    case WM_GETDLGCODE:
      return DLGC_WANTARROWS;
    case WM_KEYDOWN:
      if (wp == VK_PRIOR || wp == VK_NEXT || (wp == 'P' && GetKeyState(VK_CONTROL) < 0)) {
        if (onPageKey) win::Application::Instance().Guarded([&] { onPageKey(static_cast<int>(wp)); });
        return 0;
      }
      if (wp == VK_HOME) {
        Fit();
        return 0;
      }
      break;
    case WM_MOUSEWHEEL: {
      POINT at{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};  // screen coordinates
      ScreenToClient(hwnd_, &at);
      Zoom(GET_WHEEL_DELTA_WPARAM(wp) / static_cast<double>(WHEEL_DELTA), at.x, at.y);
      return 0;
    }
    case WM_LBUTTONDOWN:
      SetFocus(hwnd_);
      SetCapture(hwnd_);
      dragging_ = true;
      dragFrom_ = {GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
      return 0;
    case WM_MOUSEMOVE:
      if (dragging_) {
        const POINT at{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
        view_.offsetX += at.x - dragFrom_.x;
        view_.offsetY += at.y - dragFrom_.y;
        dragFrom_ = at;
        InvalidateRect(hwnd_, nullptr, FALSE);
      }
      return 0;
    case WM_LBUTTONUP:
      if (dragging_) ReleaseCapture();
      return 0;
    case WM_CAPTURECHANGED:
      dragging_ = false;
      return 0;
    default:
      break;
  }
  return Wnd::WndProc(msg, wp, lp);
}

// ---- TDrawingPreview ----

TDrawingPreview::TDrawingPreview(HWND owner) {
  // Most of the screen: a whole page of small texts needs all the pixels it can get.
  RECT work{0, 0, 1024, 768};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  Create({.className = "TDrawingPreview", .caption = "作図プレビュー", .width = (work.right - work.left) * 9 / 10,
          .height = (work.bottom - work.top) * 9 / 10, .centred = true, .hideOnClose = true,
          .style = WS_OVERLAPPEDWINDOW});
  if (owner) SetWindowLongPtrW(hwnd_, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(owner));

  ToolBar.Create({.parent = this, .bounds = {0, 0, 0, 34}, .align = win::Align::Top});
  PreviousButton.Create({.parent = &ToolBar, .text = "前ページ", .bounds = {8, 5, 80, 24}, .hint = "前のページを表示します。"});
  NextButton.Create({.parent = &ToolBar, .text = "次ページ", .bounds = {94, 5, 80, 24}, .hint = "次のページを表示します。"});
  FitButton.Create({.parent = &ToolBar, .text = "全体表示", .bounds = {190, 5, 80, 24},
                    .hint = "ページ全体をウィンドウに合わせます。"});
  PdfButton.Create({.parent = &ToolBar, .text = "PDF", .bounds = {286, 5, 60, 24},
                    .hint = "表示中の作図をPDFファイルに保存します。"});
  PdfButton.onClick = [this] { PdfButtonClick(); };
  PrintPanel.Create({.parent = &ToolBar, .bounds = {0, 0, 104, 34}, .align = win::Align::Right});
  PrintButton.Create({.parent = &PrintPanel, .text = "印刷(&P)...", .bounds = {8, 5, 88, 24},
                      .hint = "表示中の作図を印刷します。(Ctrl+P)"});
  PrintButton.onClick = [this] { PrintButtonClick(); };
  // Last: the note of rows left undrawn can be long.
  PageLabel.Create({.parent = &ToolBar, .text = "0 / 0", .bounds = {362, 10, 0, 0}});
  Canvas.Create({.parent = this, .align = win::Align::Client, .hint = "ホイールで拡大・縮小、ドラッグで移動します。"});
  PreviousButton.onClick = [this] { PreviousButtonClick(); };
  NextButton.onClick = [this] { NextButtonClick(); };
  FitButton.onClick = [this] { FitButtonClick(); };
  Canvas.onPageKey = [this](int key) { WindowKey(static_cast<WPARAM>(key)); };
  ShowPage(0);
}

TDrawingPreview::~TDrawingPreview() { DestroyHandle(); }

void TDrawingPreview::ShowPages(std::vector<dxf::Drawing> pages, const std::string& note) {
  note_ = note;
  printNote_.clear();
  sheet_ = {};
  if (!pages.empty()) {
    sheet_.Add(pages[0].limitsMin);
    sheet_.Add(pages[0].limitsMax);
  }
  pages_.clear();
  pages_.reserve(pages.size());
  for (const dxf::Drawing& page : pages) pages_.push_back(dxf::FlattenPage(page));
  drawings_ = std::move(pages);
  page_ = 0;
  ShowPage(0);
  Show();
  SetFocus(Canvas.Handle());
}

void TDrawingPreview::ShowPage(int index) {
  if (index < 0 || (index >= PageCount() && index != 0)) return;
  page_ = index;
  Canvas.SetPage(pages_.empty() ? nullptr : &pages_[static_cast<size_t>(index)], sheet_);
  PageLabel.SetText(std::to_string(pages_.empty() ? 0 : index + 1) + " / " + std::to_string(PageCount()) +
                    (note_.empty() ? "" : "　" + note_) + (printNote_.empty() ? "" : "　" + printNote_));
  PreviousButton.SetEnabled(index > 0);
  NextButton.SetEnabled(index + 1 < PageCount());
  PrintButton.SetEnabled(!pages_.empty());
}

void TDrawingPreview::PreviousButtonClick() {
  ShowPage(page_ - 1);
  SetFocus(Canvas.Handle());  // so that PageUp / PageDown keep working after a click
}

void TDrawingPreview::NextButtonClick() {
  ShowPage(page_ + 1);
  SetFocus(Canvas.Handle());
}

void TDrawingPreview::FitButtonClick() {
  Canvas.Fit();
  SetFocus(Canvas.Handle());
}

void TDrawingPreview::PdfButtonClick() {
  if (onSavePdf) onSavePdf(drawings_, note_);
  SetFocus(Canvas.Handle());
}

void TDrawingPreview::PrintButtonClick() {
  if (pages_.empty()) return;
  const std::optional<PrintRequest> request = AskForPrint(hwnd_, PageCount(), page_);
  if (request) Print(request->printer, request->pages);
  SetFocus(Canvas.Handle());
}

void TDrawingPreview::Print(const PrinterChoice& printer, const std::vector<int>& pages) {
  PrinterChoice choice = printer;
  if (choice.devMode.empty()) choice.devMode = PreferredDevMode(choice.name);  // A3 landscape where it can
  const PrintOutcome outcome = PrintPages(choice, pages_, sheet_, pages, Text());
  if (!outcome.ok) {
    win::MessageBoxCp932(hwnd_, outcome.error, "印刷", MB_OK | MB_ICONERROR);
    return;
  }
  printNote_ = PrintNote(outcome, PrinterOffersA3(printer.name));
  ShowPage(page_);
}

void TDrawingPreview::PageKey(int key) {
  ShowPage(key == VK_NEXT ? page_ + 1 : page_ - 1);
}

bool TDrawingPreview::WindowKey(WPARAM key) {
  if (key == VK_PRIOR || key == VK_NEXT) {
    PageKey(static_cast<int>(key));
    return true;
  }
  if (key == 'P' && GetKeyState(VK_CONTROL) < 0) {
    PrintButtonClick();
    return true;
  }
  return false;
}

LRESULT TDrawingPreview::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_KEYDOWN:  // when the window itself has the focus
      if (wp == VK_PRIOR || wp == VK_NEXT || (wp == 'P' && GetKeyState(VK_CONTROL) < 0)) {
        win::Application::Instance().Guarded([&] { WindowKey(wp); });
        return 0;
      }
      break;
    case WM_MOUSEWHEEL:  // passed up from a button that had the focus
      return SendMessageW(Canvas.Handle(), msg, wp, lp);
    case WM_SETFOCUS:
      SetFocus(Canvas.Handle());
      return 0;
    default:
      break;
  }
  return Form::WndProc(msg, wp, lp);
}

}  // namespace qel

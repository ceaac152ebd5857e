#pragma once
// The drawing preview: a window of its own, beside the main window, that
// shows the DXF pages of the circuit list page by page, as the files will
// hold them. Buttons and PageUp / PageDown change the page; each page opens
// fitted to the window, the mouse wheel zooms about the pointer, dragging
// with the left button moves the drawing and Home fits it again. The
// print button (Ctrl+P) prints pages through the print dialog. Closing
// only hides it; the next preview command fills it with new pages.
#include <functional>
#include <string>
#include <vector>

#include "dxf/drawing.h"
#include "dxf/preview_geometry.h"
#include "ui/drawing_print.h"
#include "win32/containers.h"
#include "win32/controls.h"
#include "win32/form.h"

namespace qel {

// The paper the page is painted on. It paints what the portable geometry
// worked out and reports the keys and mouse moves that change the view.
class PreviewCanvas : public win::Wnd {
 public:
  void Create(const win::CreateArgs& a);
  // Shows a page fitted to the canvas; null shows white paper. Fitting
  // shows `sheet` whole when it is given, so that every page of a drawing
  // fits at the same scale; otherwise what the page draws.
  void SetPage(const dxf::PreviewPage* page, const dxf::Extents& sheet = {});
  void Fit();
  const dxf::View& View() const { return view_; }
  // Zooms by wheel notches (positive: closer) about a point of the canvas.
  void Zoom(double notches, int x, int y);

  std::function<void(int /*virtual key*/)> onPageKey;  // PageUp, PageDown, Ctrl+P

 protected:
  LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  void Paint(HDC dc, const RECT& area) const;
  const dxf::PreviewPage* page_ = nullptr;
  dxf::Extents extents_;
  dxf::View view_;
  double fittedScale_ = 1;
  bool dragging_ = false;
  POINT dragFrom_{};
};

class TDrawingPreview : public win::Form {
 public:
  // `owner` keeps the preview in front of the main window and minimises
  // it with it; the preview is still a window of its own.
  explicit TDrawingPreview(HWND owner = nullptr);
  ~TDrawingPreview() override;

  // Replaces what the window shows with these pages and shows the window
  // on the first page.
  // `note` says which rows of the list the pages leave out; the page label
  // carries it.
  void ShowPages(std::vector<dxf::Drawing> pages, const std::string& note = "");

  int PageIndex() const { return page_; }  // 0 for the first page
  int PageCount() const { return static_cast<int>(pages_.size()); }
  // Shows page `index` fitted to the window; an index out of range is left alone.
  void ShowPage(int index);

  win::Panel ToolBar;
  win::Button PreviousButton, NextButton, FitButton;
  win::Label PageLabel;  // "2 / 3", and the note
  win::Button PdfButton;  // saves the pages shown as one PDF file
  // Asked to save the pages the window shows as PDF (the main window's
  // dialog and messages), with the note of rows left undrawn.
  std::function<void(const std::vector<dxf::Drawing>&, const std::string&)> onSavePdf;
  void PdfButtonClick();
  // At the toolbar's right end, so that the long page label keeps its room.
  win::Panel PrintPanel;
  win::Button PrintButton;  // "印刷(&P)...", and Ctrl+P: the print dialog, then the printer
  void PrintButtonClick();
  // Prints pages (0-based) on the printer without asking, as the print
  // dialog's choice does (settings left empty get A3 landscape where the
  // printer has them); a failure is told in a message box, and a sheet
  // fitted to other paper than A3 in the page label.
  void Print(const PrinterChoice& printer, const std::vector<int>& pages);
  PreviewCanvas Canvas;

  void PreviousButtonClick();
  void NextButtonClick();
  void FitButtonClick();

 protected:
  LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  void PageKey(int key);
  // The keys the whole window answers: PageUp / PageDown, Ctrl+P.
  bool WindowKey(WPARAM key);
  std::vector<dxf::Drawing> drawings_;  // kept for the PDF, whose title blocks name its file
  std::vector<dxf::PreviewPage> pages_;
  dxf::Extents sheet_;  // the limits of the pages shown
  std::string note_;
  std::string printNote_;  // how the last print was fitted to its paper
  int page_ = 0;
};

}  // namespace qel

// "PDFで保存(&F)..." in the real Qel-Wirmap.exe, driven from outside: its
// save dialog, the overwrite question, the file with the prefix's Japanese
// font embedded, and a folder where nothing can be written. What the PDF
// holds is read by poppler in the native tests (pdf_pages_test).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <cstdlib>

#include "acad/acad_dxf.h"
#include "acad/acad_pdf.h"
#include "base/file_io.h"
#include "bench/acad_mixed_list.h"
#include "tests/support/drawing_jobs.h"
#include "tests/support/main_window_fixture.h"
#include "ui/DrawingPreview.h"
#include "ui/page_painting.h"
#include "win32/text.h"

namespace qel {
namespace {

using testing::ProgramFolder;
using testing::ProgramProcess;

testing::DialogSeen NextDialog(const ProgramProcess& p, UINT button) {
  const auto box = testing::WaitForDialog(p.Pid());
  EXPECT_TRUE(box) << "no dialog";
  if (!box) return {};
  testing::PressButton(box->hwnd, button);
  EXPECT_TRUE(testing::WaitUntil([&] { return !IsWindow(box->hwnd); }));
  return *box;
}

void SavePdfAs(const ProgramProcess& p, HWND main, const std::string& path, std::vector<std::string>* types = nullptr) {
  testing::Command(main, TQel_Wirmap::kPdfF);
  const auto dialog = testing::WaitForDialog(p.Pid());
  ASSERT_TRUE(dialog) << "no save dialog";
  if (types) {
    HWND list = GetDlgItem(dialog->hwnd, 1136);
    DWORD_PTR count = 0;
    SendMessageTimeoutW(list, CB_GETCOUNT, 0, 0, SMTO_ABORTIFHUNG, 2000, &count);
    for (int i = 0; i < static_cast<int>(count); ++i) types->push_back(testing::ComboEntry(list, i));
  }
  testing::AnswerFileDialog(dialog->hwnd, path, 1);
  ASSERT_TRUE(testing::WaitUntil([&] { return !IsWindow(dialog->hwnd) || !IsWindowVisible(dialog->hwnd); }));
}

TEST(PdfDrawing, QuestionFileAndUnwritableFolder) {
  ProgramFolder folder;
  folder.AddTable("Qel-Acad.DWG");
  ReplaceFileContents(folder.File("list.txt"), testing::kHeader + testing::Row(1, "給水ポンプ", "直", {"3.7", "200"}));
  ReplaceFileContents(folder.File("plant.pdf"), "kept");
  ProgramProcess p(testing::ProgramExe(), folder.Path());
  const HWND main = p.WaitForWindow(L"TQel_Wirmap");
  ASSERT_TRUE(main);
  testing::LoadList(p, main, folder.File("list.txt"));

  // Typed without extension: the dialog adds ".pdf", and that file exists.
  std::vector<std::string> types;
  SavePdfAs(p, main, folder.File("plant"), &types);
  EXPECT_EQ(types, std::vector<std::string>{"PDF (*.pdf)"});
  const testing::DialogSeen question = NextDialog(p, IDNO);
  EXPECT_EQ(question.caption, "確認");
  EXPECT_EQ(question.text, "同名ファイルがあります = plant.pdf 実行しますか ?");
  EXPECT_FALSE(testing::WaitUntil([&] { return testing::FindDialog(p.Pid()).has_value(); }, 2000)) << "No ends it";
  EXPECT_EQ(ReadWholeFile(folder.File("plant.pdf")), "kept");

  SavePdfAs(p, main, folder.File("plant.pdf"));
  NextDialog(p, IDYES);
  const testing::DialogSeen done = NextDialog(p, IDOK);
  EXPECT_EQ(done.caption, "PDFで保存");
  EXPECT_EQ(done.text, "1 ページのPDFファイルを書き出しました。\r\n" + folder.File("plant.pdf"));
  const std::string pdf = ReadWholeFile(folder.File("plant.pdf"));
  EXPECT_EQ(pdf.substr(0, 5), "%PDF-");
  EXPECT_NE(pdf.find("/FontFile2"), std::string::npos) << "the font is embedded";
  EXPECT_NE(pdf.find("+IPAGothic"), std::string::npos) << "the prefix's fonts folder gives IPA Gothic, as a subset";

  // Nothing can be created in /proc, not even by root.
  SavePdfAs(p, main, "Z:\\proc\\plant.pdf");
  const testing::DialogSeen failed = NextDialog(p, IDOK);
  EXPECT_EQ(failed.caption, "PDFで保存");
  const std::string head = "PDFファイルを書けません = Z:\\proc\\plant.pdf\r\n";
  EXPECT_EQ(failed.text.substr(0, head.size()), head) << failed.text;
  EXPECT_EQ(GetFileAttributesW(L"Z:\\proc\\plant.pdf"), INVALID_FILE_ATTRIBUTES);
}

// The preview's PDF button saves the pages shown, even after the list has
// changed, and its message carries the note of rows left undrawn.
class PreviewPdf : public testing::MainWindowFixture {};

TEST_F(PreviewPdf, SavesThePagesShownWithTheirNote) {
  testing::ProgramFolder folder;
  folder.AddTable("Qel-Acad.DWG");
  Start(folder);
  Grid& list = window->StringGrid1.Cells();
  list.SetCell(1, 1, "M1");
  list.SetCell(2, 1, "直");
  list.SetCell(1, 3, "M3");  // row 2 has no name: row 3 is left out
  Run([&] { SendMessageW(window->Handle(), WM_COMMAND, TQel_Wirmap::kDrawingPreview, 0); }, {});
  // Changed after: the list now fills two pages, the preview still shows one.
  for (int row = 2; row <= 12; ++row) list.SetCell(1, row, "M" + std::to_string(row));

  const auto seen = Run([&] { SendMessageW(window->PreviewForm->PdfButton.Handle(), BM_CLICK, 0, 0); },
                        {testing::DialogScript::File(folder.File("shown.pdf"), 1), testing::DialogScript::Press(IDOK)});
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen[1].caption, "PDFで保存");
  EXPECT_EQ(seen[1].text, "1 ページのPDFファイルを書き出しました。\r\n" + folder.File("shown.pdf") +
                              "\r\n\r\n行 2 の名称が空のため、行 3 以降は作図していません。");
  EXPECT_EQ(ReadWholeFile(folder.File("shown.pdf")).substr(0, 5), "%PDF-");
}

// Page 1 of the 79-row list, twice from one layout: as the PDF writer
// writes it and as the preview's painting paints it, at 4 pixels a
// millimetre, for tests/pdf_preview/compare_page.py to lay side by side.
TEST(PdfDrawing, PageOneAsPdfAndAsThePreviewPaintsIt) {
  const char* out = std::getenv("QEL_PDF_COMPARE_OUT");  // a Unix path
  if (!out) GTEST_SKIP() << "run by the pdf_preview test, which compares the two pictures";
  dxf::Drawing templ;
  std::string message;
  ASSERT_TRUE(ReadDrawingTemplate(testing::RepoFile("data/Qel-Acad.DWG"), templ, message)) << message;
  std::vector<dxf::Drawing> drawings = LayOutDxfPages(bench::AcadMixedList(), templ);
  FillTitleBlocks(drawings, "plant", "2026/12/09");
  const std::vector<dxf::PreviewPage> pages = FlattenPages(drawings);
  ASSERT_EQ(pages.size(), 10u);
  const std::string folder = std::string("Z:") + out;
  ReplaceFileContents(folder + "\\page.pdf", pdf::PdfDocument(pages, {"C:\\windows\\Fonts\\ipag.ttf", 0}, "plant"));

  constexpr int kPixelsPerMm = 4, kWidth = 420 * kPixelsPerMm, kHeight = 297 * kPixelsPerMm;
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), kWidth, -kHeight, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  ASSERT_TRUE(bitmap && bits);
  HGDIOBJ old = SelectObject(dc, bitmap);
  const RECT all{0, 0, kWidth, kHeight};
  FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  PaintPreviewPage(dc, pages[0], dxf::View{kPixelsPerMm, 0, kHeight});
  GdiFlush();
  std::string ppm = "P6\n" + std::to_string(kWidth) + " " + std::to_string(kHeight) + "\n255\n";
  const auto* bgrx = static_cast<const unsigned char*>(bits);
  for (int i = 0; i < kWidth * kHeight; ++i)
    ppm += {static_cast<char>(bgrx[4 * i + 2]), static_cast<char>(bgrx[4 * i + 1]), static_cast<char>(bgrx[4 * i])};
  SelectObject(dc, old);
  DeleteObject(bitmap);
  DeleteDC(dc);
  ReplaceFileContents(folder + "\\preview.ppm", ppm);
}

}  // namespace
}  // namespace qel

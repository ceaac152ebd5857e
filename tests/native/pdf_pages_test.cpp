// The PDF output read back by poppler's tools (pdfinfo, pdffonts,
// pdftotext), never by the code that wrote it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <regex>
#include <string>
#include <vector>

#include "acad/acad_dxf.h"
#include "acad/acad_pdf.h"
#include "bench/acad_mixed_list.h"
#include "tests/support/temp_dir.h"

namespace qel {
namespace {

using testing::TempDir;

const char* const kFont = "/usr/share/fonts/opentype/ipafont-gothic/ipag.ttf";

// UTF-8, as poppler's tools print; the sources' plain literals are CP932.
std::string U8(const char8_t* text) { return reinterpret_cast<const char*>(text); }

std::string Output(const std::string& command) {
  std::string out;
  std::FILE* p = popen((command + " 2>&1").c_str(), "r");
  if (!p) return out;
  char buf[4096];
  for (size_t n; (n = std::fread(buf, 1, sizeof buf, p)) > 0;) out.append(buf, n);
  EXPECT_EQ(pclose(p), 0) << command << "\n" << out;
  return out;
}

std::vector<dxf::PreviewPage> Pages(const Grid& list) {
  dxf::Drawing templ;
  std::string message;
  EXPECT_TRUE(ReadDrawingTemplate(std::string(QEL_SOURCE_DIR) + "/data/Qel-Acad.DWG", templ, message)) << message;
  return FlattenPages(LayOutDxfPages(list, templ));
}

bool HasWord(const std::string& text, const std::string& word) {
  return std::regex_search(text, std::regex("(^|\\s)" + word + "(\\s|$)"));
}

TEST(PdfPages, SeventyNineRowsReadBackByPoppler) {
  TempDir dir;
  const std::string file = dir.File("plant.pdf");
  TempDir::Write(file, pdf::PdfDocument(Pages(bench::AcadMixedList()), {kFont, 0}, "単線結線図"));

  const std::string info = Output("pdfinfo '" + file + "'");
  EXPECT_TRUE(HasWord(info, "Pages:\\s+10")) << info;
  EXPECT_TRUE(HasWord(info, "Page size:\\s+1190\\.55 x 841\\.89 pts \\(A3\\)")) << info;
  EXPECT_TRUE(HasWord(info, "Title:\\s+" + U8(u8"単線結線図"))) << info;

  // One font, embedded and cut down to the glyphs used: its name carries a
  // six-letter subset tag.
  const std::string fonts = Output("pdffonts '" + file + "'");
  EXPECT_TRUE(std::regex_search(fonts, std::regex("\n[A-Z]{6}\\+IPAGothic +CID TrueType +Identity-H +yes +yes +yes")))
      << fonts;
  EXPECT_EQ(std::count(fonts.begin(), fonts.end(), '\n'), 3) << "a single font: " << fonts;

  // Every row on its page: row r is on page (r - 1) / 8 + 1, with its name;
  // motor and feeder rows (the first four of every ten) with their kW text,
  // the others with their tag.
  for (int page = 1; page <= 10; ++page) {
    const std::string text =
        Output("pdftotext -layout -f " + std::to_string(page) + " -l " + std::to_string(page) + " '" + file + "' -");
    int kw = 0;
    for (int r = 1; r <= 79; ++r) {
      const bool here = (r - 1) / 8 + 1 == page;
      EXPECT_EQ(HasWord(text, "C" + std::to_string(r)), here) << "row " << r << " on page " << page << "\n" << text;
      if (!here) continue;
      if ((r - 1) % 10 < 4) ++kw;
      else EXPECT_NE(text.find("Tag, T" + std::to_string(r)), std::string::npos) << "row " << r << "\n" << text;
    }
    const std::regex kwText("7\\.5 kW");
    EXPECT_EQ(std::distance(std::sregex_iterator(text.begin(), text.end(), kwText), std::sregex_iterator()), kw)
        << "page " << page << "\n" << text;
  }

  // Pages labelled 1, 2, ... in the document catalogue (not compressed).
  EXPECT_NE(TempDir::Read(file).find("/PageLabels"), std::string::npos);
}

TEST(PdfPages, JapaneseNamesAreText) {
  Grid list(21, 3);
  list.SetCell(1, 1, "給水ポンプ");
  list.SetCell(2, 1, "直");
  list.SetCell(3, 1, "7.5");
  list.SetCell(4, 1, "200");
  TempDir dir;
  const std::string file = dir.File("jp.pdf");
  TempDir::Write(file, pdf::PdfDocument(Pages(list), {kFont, 0}, "jp"));
  const std::string text = Output("pdftotext -layout '" + file + "' -");
  EXPECT_NE(text.find(U8(u8"給水ポンプ")), std::string::npos) << text;
  EXPECT_NE(text.find("AC 200V"), std::string::npos) << text;
}

TEST(SavePagesAsPdf, FontQuestionAndFailures) {
  TempDir dir;
  const std::string file = dir.File("plant.pdf");
  TempDir::Write(file, "kept");
  std::vector<std::string> asked;
  auto exists = [](const std::string& f) { return std::filesystem::exists(f); };
  auto answer = [&](bool yes) {
    return [&asked, yes](const std::string& text, const std::string& caption) {
      asked.push_back(caption + ": " + text);
      return yes;
    };
  };
  int made = 0;
  auto pages = [&](std::vector<dxf::Drawing>& out, std::string&) {
    ++made;
    dxf::Drawing templ;
    std::string message;
    EXPECT_TRUE(ReadDrawingTemplate(std::string(QEL_SOURCE_DIR) + "/data/Qel-Acad.DWG", templ, message)) << message;
    out = LayOutDxfPages(bench::AcadMixedList(), templ);
    return true;
  };
  const std::vector<pdf::FontFile> noFont = {{dir.File("msgothic.ttc"), 0}, {dir.File("ipag.ttf"), 0}};

  PdfSaveOutcome o = SavePagesAsPdf(file, noFont, pages, exists, answer(true), "2026/12/09");
  EXPECT_TRUE(o.ran);
  EXPECT_FALSE(o.ok);
  EXPECT_EQ(o.message, "PDFに埋め込む日本語フォントが見つかりません。PDFは書き出しませんでした。\r\n探したフォント:\r\n" +
                           dir.File("msgothic.ttc") + "\r\n" + dir.File("ipag.ttf"));
  EXPECT_EQ(TempDir::Read(file), "kept");
  EXPECT_TRUE(asked.empty()) << "no question when nothing can be written";

  const std::vector<pdf::FontFile> fonts = {{dir.File("msgothic.ttc"), 0}, {kFont, 0}};
  o = SavePagesAsPdf(file, fonts, pages, exists, answer(false), "2026/12/09");
  EXPECT_FALSE(o.ran);
  EXPECT_EQ(asked, std::vector<std::string>{"確認: 同名ファイルがあります = plant.pdf 実行しますか ?"});
  EXPECT_EQ(TempDir::Read(file), "kept");
  EXPECT_EQ(made, 0) << "No ends it before the layout";

  o = SavePagesAsPdf(file, fonts, pages, exists, answer(true), "2026/12/09", "note");
  EXPECT_TRUE(o.ok) << o.message;
  EXPECT_EQ(o.message, "10 ページのPDFファイルを書き出しました。\r\n" + file + "\r\n\r\nnote");
  // The title block names the file, the page and the day given.
  const std::string last = Output("pdftotext -layout -f 10 -l 10 '" + file + "' -");
  for (const char* field : {"plant", "10 / 10", "2026/12/09"}) EXPECT_TRUE(HasWord(last, field)) << field << "\n" << last;

  // A file that is no font, and a folder that does not exist.
  TempDir::Write(dir.File("ipag.ttf"), "not a font");
  o = SavePagesAsPdf(dir.File("bad.pdf"), {{dir.File("ipag.ttf"), 0}}, pages, exists, answer(true), "");
  EXPECT_FALSE(o.ok);
  const std::string head = "PDFファイルを作れません = " + dir.File("bad.pdf") + "\r\nフォントを読めません = " + dir.File("ipag.ttf");
  EXPECT_EQ(o.message.substr(0, head.size()), head) << o.message;
  EXPECT_FALSE(std::filesystem::exists(dir.File("bad.pdf")));

  o = SavePagesAsPdf(dir.File("missing/plant.pdf"), fonts, pages, exists, answer(true), "");
  EXPECT_FALSE(o.ok);
  const std::string unwritable = "PDFファイルを書けません = " + dir.File("missing/plant.pdf") + "\r\n";
  EXPECT_EQ(o.message.substr(0, unwritable.size()), unwritable) << o.message;
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 2) << "plant.pdf and ipag.ttf only";
}

}  // namespace
}  // namespace qel

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "acad/acad_dxf.h"
#include "acad/page_layout.h"
#include "bench/acad_mixed_list.h"
#include "dxf/dxf_io.h"
#include "tests/support/temp_dir.h"

namespace qel {
namespace {

using Lines = std::vector<std::string>;
using testing::TempDir;

constexpr int kName = 1, kStart = 2, kKw = 3, kVolt = 4, kBreaker = 11, kTrip = 12, kIf = 18, kType = 19, kTag = 20;

dxf::Drawing Template() {
  dxf::Drawing d;
  std::string error;
  EXPECT_TRUE(dxf::ReadDxfFile(std::string(QEL_SOURCE_DIR) + "/data/Qel-Acad.DWG", d, error)) << error;
  return d;
}

// The pages as ezdxf reads them back (tests/dxf_output/dump_pages.py).
Lines ReadBack(const std::vector<std::string>& files, bool layers = false) {
  std::string command = "/usr/bin/python3 " + std::string(QEL_SOURCE_DIR) + "/tests/dxf_output/dump_pages.py";
  if (layers) command += " --layers";
  for (const std::string& f : files) command += " '" + f + "'";
  Lines out;
  std::FILE* p = popen(command.c_str(), "r");
  if (!p) return out;
  std::string all;
  char buf[4096];
  for (size_t n; (n = std::fread(buf, 1, sizeof buf, p)) > 0;) all.append(buf, n);
  EXPECT_EQ(pclose(p), 0) << all;
  std::istringstream in(all);
  for (std::string line; std::getline(in, line);) out.push_back(line);
  return out;
}

// In-memory entities, short: "L x1,y1 x2,y2 linetype", "T|C x,y text", "I name x,y", "P x,y ...".
Lines Decode(const dxf::Drawing& page) {
  Lines out;
  auto pt = [](const dxf::Point& p) { return std::to_string(int(p.x)) + "," + std::to_string(int(p.y)); };
  for (const dxf::Entity& e : page.entities) {
    switch (e.kind) {
      case dxf::EntityKind::Line: out.push_back("L " + pt(e.points[0]) + " " + pt(e.points[1]) + " " + e.linetype); break;
      case dxf::EntityKind::Text: out.push_back((e.hAlign ? "C " : "T ") + pt(e.alignment) + " " + e.text); break;
      case dxf::EntityKind::Insert: out.push_back("I " + e.text + " " + pt(e.points[0])); break;
      default: out.push_back("?"); break;
    }
  }
  return out;
}

Grid FeederList() {
  Grid list(21, 3);
  list.SetCell(kName, 1, "第1動力盤 FEEDER-NORTH");
  list.SetCell(kStart, 1, "送り");
  list.SetCell(kKw, 1, "11");
  list.SetCell(kVolt, 1, "200");
  list.SetCell(kBreaker, 1, "EG53");
  list.SetCell(kTrip, 1, "50");
  return list;
}

// The lines ezdxf gives for the feeder page, after the file line: the
// template's sheet, then each step on the layer of what it draws. A centred
// text starts half its estimated width left of its centre: 2.5 x 0.8 = 2
// per half-width character, twice that per full-width one ("Panel No.1":
// 10 characters, 20 wide; the name: 4 full-width and 14 half-width, 44).
const Lines kFeederPage = {
    "INSERT A3-SHEET 0,0 1,1 0 SHEET", "LINE 32,240 415,240 Center FRAME", "LINE 32,90 415,90 Center FRAME",
    "LINE 50,230 400,230 BYLAYER BUS", "TEXT L 50,232 \"AC 200V\" Standard 2.5 0.8 TEXT",
    "INSERT 黒丸 60,230 1,1 0 SYMBOL", "LINE 60,230 60,200 BYLAYER WIRING", "INSERT 1P_MCB01 60,200 1,1 0 SYMBOL",
    "TEXT L 66,200 \"MCCB1\" Standard 2.5 0.8 TEXT", "TEXT L 66,195 \"EG53\" Standard 2.5 0.8 TEXT",
    "TEXT L 66,190 \"50\" Standard 2.5 0.8 TEXT", "LINE 60,193 60,91 BYLAYER WIRING", "INSERT 端子 60,90 1,1 0 SYMBOL",
    "LINE 60,89 60,70 BYLAYER WIRING", "PLINE closed 50,60 75,60 75,70 50,70 SYMBOL",
    "TEXT C 60,55 \"Panel No.1\" Standard 2.5 0.8 from 50,55 TEXT",
    "TEXT C 60,50 \"第1動力盤 FEEDER-NORTH\" Standard 2.5 0.8 from 38,50 TEXT",
    "TEXT C 60,45 \"11 kW\" Standard 2.5 0.8 from 55,45 TEXT"};

TEST(DxfPages, FeederPageReadBackInBothVersions) {
  TempDir dir;
  const std::vector<dxf::Drawing> pages = LayOutDxfPages(FeederList(), Template());
  ASSERT_EQ(pages.size(), 1u);
  const dxf::Drawing& page = pages[0];
  const dxf::TextStyle* standard = const_cast<dxf::Drawing&>(page).FindStyle("STANDARD");
  ASSERT_TRUE(standard);
  EXPECT_EQ(standard->font + " " + standard->bigFont, "txt extfont");

  Lines files, want;
  for (auto [version, base, marker] : {std::tuple{dxf::DxfVersion::R2000, "new", "FILE AC1015 cp932"},
                                       std::tuple{dxf::DxfVersion::R12, "old", "FILE AC1009 cp932"}}) {
    const DxfWriteResult r = WriteDxfPages(pages, dir.File(base), version);
    ASSERT_TRUE(r.Ok()) << r.message;
    EXPECT_EQ(r.written, Lines{dir.File(base) + "1.dxf"});
    EXPECT_EQ(r.message, "1 ページのDXFファイルを書き出しました。\r\n" + dir.File(base) + "1.dxf");
    files.push_back(r.written[0]);
    want.push_back(marker);  // no audit error between it and the entities
    want.insert(want.end(), kFeederPage.begin(), kFeederPage.end());
  }
  EXPECT_EQ(ReadBack(files, true), want);
}

// The 79-row list's ten pages: what tests/dxf_output/check_sheet_pages.py
// finds wrong (audit fixes, extents, layers, title fields), and the bytes of
// a second run.
TEST(DxfPages, TheLongListOnA3SheetsInBothVersions) {
  TempDir dir;
  std::vector<dxf::Drawing> pages = LayOutDxfPages(bench::AcadMixedList(), Template());
  ASSERT_EQ(pages.size(), 10u);
  FillTitleBlocks(pages, "盤A", "2025/04/01");
  for (auto [version, base] : {std::pair{dxf::DxfVersion::R2000, "new"}, std::pair{dxf::DxfVersion::R12, "old"}}) {
    const DxfWriteResult r = WriteDxfPages(pages, dir.File(base), version);
    ASSERT_TRUE(r.Ok()) << r.message;
    std::string command = "/usr/bin/python3 " + std::string(QEL_SOURCE_DIR) +
                          "/tests/dxf_output/check_sheet_pages.py 盤A 2025/04/01";
    for (const std::string& f : r.written) command += " '" + f + "'";
    std::FILE* p = popen(command.c_str(), "r");
    ASSERT_TRUE(p);
    std::string found;
    char buf[4096];
    for (size_t n; (n = std::fread(buf, 1, sizeof buf, p)) > 0;) found.append(buf, n);
    EXPECT_EQ(pclose(p), 0);
    EXPECT_EQ(found, "") << base;
    const std::string first = TempDir::Read(r.written[0]);
    const std::vector<dxf::Drawing> again = LayOutDxfPages(bench::AcadMixedList(), Template());
    std::vector<dxf::Drawing> filled = again;
    FillTitleBlocks(filled, "盤A", "2025/04/01");
    EXPECT_TRUE(first == dxf::DxfText(filled[0], version)) << base << ": a second run gave other bytes";
  }
}

TEST(DxfPages, BadNamesStayOneTextEach) {
  const std::string longName(10240, 'W');
  const Lines badNames = {"q\"u,o\r\nte\x03._LINE 0,0 400,300 ", "表\x81", std::string("A\x82", 2), longName};
  Grid list(21, 6);
  for (int row = 1; row <= 4; ++row) {
    list.SetCell(kName, row, badNames[static_cast<size_t>(row - 1)]);
    list.SetCell(kIf, row, "Do");
    list.SetCell(kType, row, "Do-Ry");
  }
  const std::vector<dxf::Drawing> pages = LayOutDxfPages(list, Template());
  ASSERT_EQ(pages.size(), 1u);
  TempDir dir;
  const DxfWriteResult r2000 = WriteDxfPages(pages, dir.File("new"), dxf::DxfVersion::R2000);
  const DxfWriteResult r12 = WriteDxfPages(pages, dir.File("old"), dxf::DxfVersion::R12);
  ASSERT_TRUE(r2000.Ok() && r12.Ok()) << r2000.message << r12.message;
  // The file lines, any audit error, and the centred name texts.
  Lines got;
  for (const std::string& l : ReadBack({r2000.written[0], r12.written[0]}))
    if (l.rfind("FILE", 0) == 0 || l.rfind("AUDIT", 0) == 0 || (l.rfind("TEXT C", 0) == 0 && l.find("Tag, ") == l.npos))
      got.push_back(l);
  const Lines names = {"TEXT C 60,140 \"q\"u,o  te ._LINE 0,0 400,300 \" Standard 2.5 0.8",
                       "TEXT C 100,140 \"表 \" Standard 2.5 0.8", "TEXT C 140,140 \"A \" Standard 2.5 0.8",
                       "TEXT C 180,140 \"" + longName + "\" Standard 2.5 0.8"};
  Lines want = {"FILE AC1015 cp932"};
  want.insert(want.end(), names.begin(), names.end());
  want.push_back("FILE AC1009 cp932");
  want.insert(want.end(), names.begin(), names.end());
  EXPECT_EQ(got, want);
}

TEST(DxfPages, PagesAndEntitiesAsTheAutoCadJobMakesThem) {
  const dxf::Drawing templ = Template();
  // An empty first NAME: the framed template page only.
  Grid empty(21, 3);
  empty.SetCell(kStart, 1, "直");
  std::vector<dxf::Drawing> pages = LayOutDxfPages(empty, templ);
  ASSERT_EQ(pages.size(), 1u);
  EXPECT_EQ(Decode(pages[0]), (Lines{"I A3-SHEET 0,0", "L 32,240 415,240 Center", "L 32,90 415,90 Center"}));
  EXPECT_EQ(pages[0].blocks.size(), templ.blocks.size());

  // Eight rows fill one page; a ninth starts page 2, framed (row 8 was a
  // motor) and without the first page's entities.
  Grid motors(21, 11);
  for (int row = 1; row <= 8; ++row) {
    motors.SetCell(kName, row, "M" + std::to_string(row));
    motors.SetCell(kStart, row, "直");
  }
  EXPECT_EQ(LayOutDxfPages(motors, templ).size(), 1u);
  motors.SetCell(kName, 9, "D9");
  motors.SetCell(kIf, 9, "Di>PLC");
  motors.SetCell(kType, 9, "Di-");  // no symbol of its own: no block, the wires still drawn
  motors.SetCell(kTag, 9, "T9");
  pages = LayOutDxfPages(motors, templ);
  ASSERT_EQ(pages.size(), 2u);
  EXPECT_EQ(Decode(pages[1]),
            (Lines{"I A3-SHEET 0,0", "L 32,240 415,240 Center", "L 32,90 415,90 Center", "L 60,247 60,241 BYLAYER",
                   "I 端子 60,240",
                   "L 60,239 60,205 BYLAYER", "I BOX 60,200", "C 60,270 Tag, T9", "C 60,260 D9", "C 60,200 PLC"}));
  // Empty cells (breaker, trip, contactor, thermal) give no text at all, as
  // an empty line ends AutoCAD's TEXT: each motor column keeps MCCB, 88-,
  // 49-, " A", ACM F-, its name and " kW"; page 1 adds the bus text.
  int texts = 0;
  for (const dxf::Entity& e : pages[0].entities) texts += e.kind == dxf::EntityKind::Text;
  EXPECT_EQ(texts, 8 * 7 + 1);
}

TEST(DxfWrite, AFailureNamesTheFileAndLeavesNoHalfPage) {
  TempDir dir;
  const dxf::Drawing templ = Template();
  std::vector<dxf::Drawing> pages = {templ, templ, templ};
  const std::string base = dir.File("plan");
  TempDir::Write(base + "1.dxf", "an older page");
  std::filesystem::create_directory(base + "2.dxf");  // page 2 cannot take its place
  DxfWriteResult r = WriteDxfPages(pages, base, dxf::DxfVersion::R2000);
  EXPECT_FALSE(r.Ok());
  EXPECT_EQ(r.failedFile, base + "2.dxf");
  EXPECT_EQ(r.written, Lines{base + "1.dxf"});
  EXPECT_EQ(r.message, "DXFファイルを書けません = " + base + "2.dxf\r\nIs a directory: " + base +
                           "2.dxf\r\n\r\n書き出したページ:\r\n" + base + "1.dxf");
  EXPECT_NE(TempDir::Read(base + "1.dxf"), "an older page");
  EXPECT_FALSE(std::filesystem::exists(base + "3.dxf"));
  std::vector<std::string> left;
  for (const auto& f : std::filesystem::directory_iterator(dir.Path())) left.push_back(f.path().filename().string());
  std::sort(left.begin(), left.end());
  EXPECT_EQ(left, (Lines{"plan1.dxf", "plan2.dxf"})) << "no temporary file stays behind";

  r = WriteDxfPages(pages, dir.File("missing/plan"), dxf::DxfVersion::R12);
  EXPECT_EQ(r.failedFile, dir.File("missing/plan") + "1.dxf");
  EXPECT_TRUE(r.written.empty());
  EXPECT_EQ(r.message, "DXFファイルを書けません = " + dir.File("missing/plan") + "1.dxf\r\nNo such file or directory: " +
                           dir.File("missing/plan") + "1.dxf");
}

TEST(DxfDrawToFile, QuestionTemplateAndFileType) {
  TempDir dir;
  const std::string templ = std::string(QEL_SOURCE_DIR) + "/data/Qel-Acad.DWG";
  const std::string chosen = dir.File("plant.dwg");
  TempDir::Write(dir.File("plant1.dxf"), "kept");
  Lines asked;
  auto exists = [](const std::string& f) { return std::filesystem::exists(f); };
  auto answer = [&](bool yes) {
    return [&asked, yes](const std::string& text, const std::string& caption) {
      asked.push_back(caption + ": " + text);
      return yes;
    };
  };
  DxfDrawOutcome o = DxfDrawToFile(FeederList(), templ, chosen, 2, exists, answer(false));
  EXPECT_FALSE(o.ran);
  EXPECT_EQ(asked, Lines{"確認: 同名ファイルがあります = plant 実行しますか ?"});
  EXPECT_EQ(TempDir::Read(dir.File("plant1.dxf")), "kept");

  o = DxfDrawToFile(FeederList(), dir.File("none.DWG"), chosen, 1, exists, answer(true));
  EXPECT_TRUE(o.ran);
  EXPECT_FALSE(o.ok);
  const std::string head = "作図のテンプレートを読めません = " + dir.File("none.DWG") + "\r\n";
  EXPECT_EQ(o.message.substr(0, head.size()), head);
  EXPECT_GT(o.message.size(), head.size()) << "with the reason";
  EXPECT_EQ(TempDir::Read(dir.File("plant1.dxf")), "kept");

  o = DxfDrawToFile(FeederList(), templ, chosen, 2, exists, answer(true));
  EXPECT_TRUE(o.ok) << o.message;
  EXPECT_EQ(ReadBack({dir.File("plant1.dxf")}).at(0), "FILE AC1009 cp932") << "the second file type is R12";
  EXPECT_EQ(asked.size(), 3u);
}

TEST(DxfDrawToFile, TheMessageNamesTheRowsLeftUndrawn) {
  TempDir dir;
  const std::string templ = std::string(QEL_SOURCE_DIR) + "/data/Qel-Acad.DWG";
  auto never = [](const std::string&) { return false; };
  auto yes = [](const std::string&, const std::string&) { return true; };
  Grid list = FeederList();
  list.SetRowCount(5);
  EXPECT_EQ(UndrawnRowsNote(list), "") << "the list simply ends";
  list.SetCell(kName, 3, "F3");  // row 2 has no name
  EXPECT_EQ(UndrawnRowsNote(list), "行 2 の名称が空のため、行 3 以降は作図していません。");
  const DxfDrawOutcome o = DxfDrawToFile(list, templ, dir.File("p.dxf"), 1, never, yes, "2025/04/01");
  EXPECT_EQ(o.message, "1 ページのDXFファイルを書き出しました。\r\n" + dir.File("p1.dxf") +
                           "\r\n\r\n行 2 の名称が空のため、行 3 以降は作図していません。");

  Grid full(21, 82);
  for (int row = 1; row < 81; ++row) full.SetCell(kName, row, "R" + std::to_string(row));
  EXPECT_EQ(UndrawnRowsNote(full), "行 80 以降は作図していません（作図するのは行 79 までです）。");
  full.SetCell(kName, 80, "");
  EXPECT_EQ(UndrawnRowsNote(full), "") << "row 80 is empty: everything named was drawn";
}

}  // namespace
}  // namespace qel

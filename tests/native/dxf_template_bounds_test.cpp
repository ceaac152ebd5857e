// A template a user replaced or a disk damaged: each file under
// tests/data/templates holds one kind of harm, small enough to read.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "acad/acad_dxf.h"
#include "bench/acad_mixed_list.h"
#include "dxf/dxf_io.h"
#include "dxf/preview_geometry.h"
#include "tests/support/temp_dir.h"

namespace qel {
namespace {

using dxf::DxfReadProblem;

std::string Hostile(const std::string& name) { return std::string(QEL_SOURCE_DIR) + "/tests/data/templates/" + name; }

DxfReadProblem ProblemOf(const std::string& path) {
  dxf::Drawing d;
  std::string error;
  DxfReadProblem problem = DxfReadProblem::Unreadable;
  const bool read = dxf::ReadDxfFile(path, d, error, &problem);
  EXPECT_EQ(read, problem == DxfReadProblem::None) << error;
  return problem;
}

std::string TemplateMessage(const std::string& path) {
  dxf::Drawing d;
  std::string message;
  EXPECT_FALSE(ReadDrawingTemplate(path, d, message));
  return message;
}

TEST(TemplateBounds, FileShapeAndCountsAreCheckedBeforeDxflibAllocates) {
  // 200,000,000 vertices stated in 92 bytes.
  EXPECT_EQ(ProblemOf(Hostile("d1-vertex-count.dxf")), DxfReadProblem::CountBeyondFile);
  EXPECT_EQ(TemplateMessage(Hostile("d1-vertex-count.dxf")),
            "作図のテンプレートを読めません = " + Hostile("d1-vertex-count.dxf") +
                "\r\n頂点などの個数が、ファイルの残りに収まらない数になっています。");

  testing::TempDir dir;
  const std::string head = "0\nSECTION\n2\nENTITIES\n0\nLWPOLYLINE\n90\n";
  const std::string twoVertices = "10\n0\n20\n0\n10\n9\n20\n0\n0\nENDSEC\n0\nEOF\n";
  dir.Write(dir.File("two.dxf"), head + "2\n" + twoVertices);  // a count the file does hold
  EXPECT_EQ(ProblemOf(dir.File("two.dxf")), DxfReadProblem::None);
  dir.Write(dir.File("four.dxf"), head + "4\n" + twoVertices);  // the 35 bytes after it carry three at most
  EXPECT_EQ(ProblemOf(dir.File("four.dxf")), DxfReadProblem::CountBeyondFile);
  dir.Write(dir.File("spline.dxf"), "0\nSECTION\n2\nENTITIES\n0\nSPLINE\n73\n50000000\n0\nENDSEC\n0\nEOF\n");
  EXPECT_EQ(ProblemOf(dir.File("spline.dxf")), DxfReadProblem::CountBeyondFile);

  dir.Write(dir.File("long.dxf"), "0\nSECTION\n2\nENTITIES\n999\n" + std::string(1001, 'x') + "\n0\nENDSEC\n");
  EXPECT_EQ(ProblemOf(dir.File("long.dxf")), DxfReadProblem::BadLine);
  static const char kZero[] = "0\nSECTION\n2\nENTITIES\n0\nTEXT\n1\nA\0B\n0\nENDSEC\n";
  dir.Write(dir.File("zero.dxf"), std::string(kZero, sizeof kZero - 1));
  EXPECT_EQ(ProblemOf(dir.File("zero.dxf")), DxfReadProblem::BadLine);
  dir.Write(dir.File("large.dxf"), "0\nSECTION\n" + std::string(dxf::kLargestDxfFile, '\n'));
  EXPECT_EQ(ProblemOf(dir.File("large.dxf")), DxfReadProblem::TooLarge);
}

TEST(TemplateBounds, NumbersMustBeFiniteAndWithinTenMillionUnits) {
  EXPECT_EQ(ProblemOf(Hostile("d6-bulge.dxf")), DxfReadProblem::NumberOutOfRange);
  EXPECT_EQ(ProblemOf(Hostile("d6-width-nan.dxf")), DxfReadProblem::NumberOutOfRange);
  EXPECT_EQ(ProblemOf(Hostile("d6-coordinate.dxf")), DxfReadProblem::NumberOutOfRange);
  EXPECT_EQ(TemplateMessage(Hostile("d6-coordinate.dxf")),
            "作図のテンプレートを読めません = " + Hostile("d6-coordinate.dxf") +
                "\r\n座標や大きさに、数でない値か ±10000000 を超える値があります。");
  testing::TempDir dir;
  auto line = [&](const std::string& x) {
    dir.Write(dir.File("l.dxf"), "0\nSECTION\n2\nENTITIES\n0\nLINE\n10\n" + x + "\n20\n0\n11\n1\n21\n1\n0\nENDSEC\n0\nEOF\n");
    return ProblemOf(dir.File("l.dxf"));
  };
  EXPECT_EQ(line("10000000"), DxfReadProblem::None);
  EXPECT_EQ(line("-10000000.5"), DxfReadProblem::NumberOutOfRange);
  EXPECT_EQ(line("1e400"), DxfReadProblem::NumberOutOfRange);
}

TEST(TemplateBounds, TextsAndNamesComeInDrawable) {
  dxf::Drawing d;
  std::string error;
  ASSERT_TRUE(dxf::ReadDxfFile(Hostile("d4-control-text.dxf"), d, error)) << error;
  ASSERT_EQ(d.entities.size(), 1u);
  EXPECT_EQ(d.entities[0].text, "A B C ");
  const std::string page = dxf::DxfText(d, dxf::DxfVersion::R2000);
  EXPECT_NE(page.find("\n  1\nA B C \n"), std::string::npos);
  EXPECT_EQ(page.find('\x03'), std::string::npos);
}

TEST(TemplateBounds, AnonymousBlocksAreBlocks) {
  dxf::Drawing d;
  std::string error;
  ASSERT_TRUE(dxf::ReadDxfFile(Hostile("d5-anonymous-block.dxf"), d, error)) << error;
  ASSERT_EQ(d.entities.size(), 1u) << "only the insert is in the model space";
  EXPECT_EQ(d.entities[0].kind, dxf::EntityKind::Insert);
  const dxf::Block* u1 = d.FindBlock("*U1");
  ASSERT_NE(u1, nullptr);
  EXPECT_EQ(u1->entities.size(), 1u);
  const dxf::PreviewPage flat = dxf::FlattenPage(d);
  ASSERT_EQ(flat.strokes.size(), 1u);
  EXPECT_DOUBLE_EQ(flat.strokes[0].points[1].x, 15);  // the block's line, moved to the insert
  EXPECT_DOUBLE_EQ(flat.strokes[0].points[1].y, 25);
}

TEST(TemplateBounds, FlatteningStaysWithinTheBudget) {
  const std::string refused = "\r\n図形を展開すると多すぎます (ブロックの入れ子か、細かすぎる線種)。";
  for (const char* name : {"d2-self-insert.dxf", "d3-fine-linetype.dxf"}) {
    SCOPED_TRACE(name);
    dxf::Drawing d;
    std::string error;
    ASSERT_TRUE(dxf::ReadDxfFile(Hostile(name), d, error)) << error;  // the file itself is in bounds
    EXPECT_EQ(dxf::FlattenCost(d, d.entities), dxf::kFlattenBudget + 1);
    const dxf::PreviewPage flat = dxf::FlattenPage(d);
    EXPECT_LE(flat.strokes.size(), dxf::kFlattenBudget);
    EXPECT_EQ(TemplateMessage(Hostile(name)), "作図のテンプレートを読めません = " + Hostile(name) + refused);
  }

  // A template whose block alone fits, but a page of three hundred inserts of it does not.
  dxf::Drawing page;
  dxf::Block big{"BIG", {}, {}};
  dxf::Entity line;
  line.points = {{0, 0}, {1, 0}};
  big.entities.assign(1000, line);
  page.blocks.push_back(big);
  EXPECT_TRUE(dxf::WithinFlattenBudget(page));
  dxf::Entity insert;
  insert.kind = dxf::EntityKind::Insert;
  insert.text = "BIG";
  insert.points = {{0, 0}};
  page.entities.assign(300, insert);
  std::string message;
  EXPECT_FALSE(PagesWithinFlattenBudget({page}, "T.DWG", message));
  EXPECT_EQ(message, "作図のテンプレートを読めません = T.DWG" + refused);
}

// The delivered template's pages of a ten-page list are far inside the budget.
TEST(TemplateBounds, TheDeliveredTemplateIsFarInside) {
  dxf::Drawing templ;
  std::string message;
  ASSERT_TRUE(ReadDrawingTemplate(std::string(QEL_SOURCE_DIR) + "/data/Qel-Acad.DWG", templ, message)) << message;
  const std::vector<dxf::Drawing> pages = LayOutDxfPages(bench::AcadMixedList(), templ);
  ASSERT_EQ(pages.size(), 10u);
  std::size_t most = 0;
  for (const dxf::Drawing& p : pages) most = std::max(most, dxf::FlattenCost(p, p.entities));
  EXPECT_LT(most, dxf::kFlattenBudget / 20) << most;
  EXPECT_TRUE(PagesWithinFlattenBudget(pages, "T.DWG", message));
}

}  // namespace
}  // namespace qel

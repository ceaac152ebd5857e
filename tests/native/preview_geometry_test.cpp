#include <gtest/gtest.h>

#include "dxf/dxf_io.h"
#include "dxf/preview_geometry.h"

namespace qel::dxf {
namespace {

const std::vector<double> kCenter{12, -3, 2, -3};

void ExpectPoint(Point p, double x, double y) {
  EXPECT_NEAR(p.x, x, 1e-9);
  EXPECT_NEAR(p.y, y, 1e-9);
}

Entity LineOf(Point a, Point b, std::string linetype = "BYLAYER") {
  Entity e;
  e.points = {a, b};
  e.linetype = std::move(linetype);
  return e;
}

TEST(PreviewView, FitCentresTheDrawingAndZoomKeepsThePointUnderThePointer) {
  Extents page;
  page.Add({0, 0});
  page.Add({100, 50});
  // 400 x 100 pixels of room: the height decides, the width is centred.
  const View fit = FitView(page, 420, 120, 10);
  EXPECT_DOUBLE_EQ(fit.scale, 2);
  ExpectPoint(fit.ToScreen({0, 0}), 110, 110);
  ExpectPoint(fit.ToScreen({100, 50}), 310, 10);

  const View zoomed = ZoomAbout(fit, 2, 150, 50, fit.scale);
  EXPECT_DOUBLE_EQ(zoomed.scale, 4);
  ExpectPoint(zoomed.ToScreen({20, 30}), 150, 50);  // the point that was under (150, 50)
  ExpectPoint(zoomed.ToScreen({0, 0}), 70, 170);

  EXPECT_DOUBLE_EQ(ZoomAbout(fit, 1e6, 0, 0, fit.scale).scale, 400);
  EXPECT_DOUBLE_EQ(ZoomAbout(fit, 1e-6, 0, 0, fit.scale).scale, 0.1);
  // Nothing to show, or no room: scale 1 with the origin in the middle.
  const View none = FitView(Extents{}, 300, 200, 10);
  EXPECT_DOUBLE_EQ(none.scale, 1);
  ExpectPoint(none.ToScreen({0, 0}), 150, 100);
  EXPECT_DOUBLE_EQ(FitView(page, 15, 15, 10).scale, 1);
}

TEST(PreviewView, PaperHoldingTheSheetPrintsItFullSizeOtherPaperFitsIt) {
  Extents a3;
  a3.Add({0, 0});
  a3.Add({420, 297});
  // 254 dpi is 10 pixels a millimetre; the printer cannot reach 5 mm at each edge.
  const Paper landscapeA3{254, 4200, 2970, 50, 50, 4100, 2870};
  const PaperPlacement full = PlaceOnPaper(a3, landscapeA3);
  EXPECT_FALSE(full.fitted);
  EXPECT_DOUBLE_EQ(full.view.scale, 10);
  ExpectPoint(full.view.ToScreen({0, 0}), -50, 2920);
  ExpectPoint(full.view.ToScreen({420, 297}), 4150, -50);

  const Paper landscapeA4{254, 2970, 2100, 50, 50, 2870, 2000};
  const PaperPlacement a4 = PlaceOnPaper(a3, landscapeA4);
  EXPECT_TRUE(a4.fitted);
  EXPECT_DOUBLE_EQ(a4.view.scale, 2000.0 / 297);  // the height decides, the width is centred
  ExpectPoint(a4.view.ToScreen({0, 297}), 1435 - 210 * 2000.0 / 297, 0);
  ExpectPoint(a4.view.ToScreen({420, 0}), 1435 + 210 * 2000.0 / 297, 2000);
  // A3 upright holds the area but not the shape: fitted as well.
  EXPECT_TRUE(PlaceOnPaper(a3, Paper{254, 2970, 4200, 50, 50, 2870, 4100}).fitted);
}

TEST(PreviewDashes, CentreLineDotsAndTooFinePatterns) {
  const auto pieces = DashPieces({0, 0}, {45, 0}, kCenter);
  ASSERT_EQ(pieces.size(), 5u);
  const double expected[5][2] = {{0, 12}, {15, 17}, {20, 32}, {35, 37}, {40, 45}};
  for (size_t i = 0; i < 5; ++i) {
    ExpectPoint(pieces[i].first, expected[i][0], 0);
    ExpectPoint(pieces[i].second, expected[i][1], 0);
  }
  // Along a vertical line downwards, and a dot between two gaps.
  const auto dotted = DashPieces({0, 12}, {0, 0}, {5, -2, 0, -2});
  ASSERT_EQ(dotted.size(), 3u);
  ExpectPoint(dotted[0].second, 0, 7);
  ExpectPoint(dotted[1].first, 0, 5);
  ExpectPoint(dotted[1].second, 0, 5);
  ExpectPoint(dotted[2].first, 0, 3);
  ExpectPoint(dotted[2].second, 0, 0);
  // 50 000 repeats, or a pattern of dots only: drawn solid.
  EXPECT_EQ(DashPieces({0, 0}, {100, 0}, {0.001, -0.001}).size(), 1u);
  EXPECT_EQ(DashPieces({0, 0}, {100, 0}, {0, 0}).size(), 1u);
}

TEST(PreviewFlatten, LinetypesComeFromTheEntityOrItsLayerByName) {
  Drawing page;
  page.layers = {{"0", 7, "CONTINUOUS"}, {"CL", 1, "Center"}};
  page.linetypes = {{"Continuous", "", {}}, {"Center", "", kCenter}};
  page.entities.push_back(LineOf({32, 240}, {77, 240}, "CENTER"));
  Entity onLayer = LineOf({0, 0}, {0, 20});
  onLayer.layer = "CL";
  page.entities.push_back(onLayer);
  page.entities.push_back(LineOf({0, 0}, {100, 0}));

  const PreviewPage flat = FlattenPage(page);
  ASSERT_EQ(flat.strokes.size(), 5u + 2u + 1u);
  ExpectPoint(flat.strokes[0].points[0], 32, 240);
  ExpectPoint(flat.strokes[0].points[1], 44, 240);
  ExpectPoint(flat.strokes[6].points[0], 0, 15);
  EXPECT_EQ(flat.strokes[6].color, 1);
  EXPECT_EQ(flat.strokes[7].points.size(), 2u);
  EXPECT_EQ(flat.strokes[7].color, 7);
}

TEST(PreviewFlatten, TheTemplatesCentreLineIsDashed) {
  Drawing page;
  std::string error;
  ASSERT_TRUE(ReadDxfFile(std::string(QEL_SOURCE_DIR) + "/data/Qel-Acad.DWG", page, error)) << error;
  const Linetype* center = page.FindLinetype("CENTER");
  ASSERT_TRUE(center);
  EXPECT_EQ(center->dashes, kCenter);
  const size_t sheet = FlattenPage(page).strokes.size();  // the template's own sheet
  page.entities.push_back(LineOf({32, 90}, {415, 90}, "Center"));
  EXPECT_EQ(FlattenPage(page).strokes.size() - sheet, 39u);  // 19 whole periods of 20 and a 3-unit start
}

TEST(PreviewFlatten, InsertsPlaceTheBlockAndItsTexts) {
  Drawing page;
  page.layers = {{"0", 7, "CONTINUOUS"}, {"SYM", 3, "CONTINUOUS"}};
  Block block{"ACM", {10, 0}, {LineOf({10, 0}, {15, 0}), LineOf({10, 0}, {10, 3})}};
  Entity label;
  label.kind = EntityKind::Text;
  label.text = "M";
  label.height = 2;
  label.hAlign = 1;
  label.points = {{9, 0}};
  label.alignment = {10, 0};
  block.entities.push_back(label);
  page.blocks.push_back(block);
  Entity insert;
  insert.kind = EntityKind::Insert;
  insert.text = "acm";
  insert.layer = "SYM";
  insert.points = {{100, 50}};
  insert.scaleX = insert.scaleY = 2;
  insert.rotation = 90;
  page.entities.push_back(insert);

  const Affine t = InsertTransform(insert, block);
  ExpectPoint(t.Apply({10, 0}), 100, 50);
  ExpectPoint(t.Apply({15, 0}), 100, 60);
  ExpectPoint(t.Apply({10, 3}), 94, 50);

  const PreviewPage flat = FlattenPage(page);
  ASSERT_EQ(flat.strokes.size(), 2u);
  ExpectPoint(flat.strokes[0].points[1], 100, 60);
  EXPECT_EQ(flat.strokes[0].color, 3);  // layer 0 inside a block takes the insert's layer
  ASSERT_EQ(flat.texts.size(), 1u);
  ExpectPoint(flat.texts[0].at, 100, 50);
  EXPECT_EQ(flat.texts[0].anchor, TextAnchor::Centre);
  EXPECT_DOUBLE_EQ(flat.texts[0].height, 4);
  EXPECT_DOUBLE_EQ(flat.texts[0].rotation, 90);

  // A block that inserts itself ends after a bounded depth.
  Block loop{"LOOP", {0, 0}, {LineOf({0, 0}, {1, 0})}};
  Entity again = insert;
  again.text = "LOOP";
  loop.entities.push_back(again);
  page.blocks.push_back(loop);
  page.entities = {again};
  EXPECT_EQ(FlattenPage(page).strokes.size(), 16u);
}

TEST(PreviewFlatten, BulgesArcsAndTextPlaces) {
  Drawing page;
  Entity half;
  half.kind = EntityKind::Polyline;
  half.points = {{0, 0}, {2, 0}};
  half.bulges = {1, 0};
  page.entities.push_back(half);
  const PreviewPage flat = FlattenPage(page);
  ASSERT_EQ(flat.strokes.size(), 1u);
  ASSERT_EQ(flat.strokes[0].points.size(), 19u);
  ExpectPoint(flat.strokes[0].points[9], 1, -1);  // anticlockwise from the left end: below
  ExpectPoint(flat.strokes[0].points[18], 2, 0);

  Entity text;
  text.kind = EntityKind::Text;
  text.text = "AB";
  text.height = 4;
  text.points = {{45, 20}};
  text.alignment = {50, 20};
  ExpectPoint(PlaceText(text).at, 45, 20);  // left: the insertion point
  EXPECT_EQ(PlaceText(text).anchor, TextAnchor::Left);
  text.hAlign = 4;  // middle: centred, baseline half the height lower
  ExpectPoint(PlaceText(text).at, 50, 18);
  EXPECT_EQ(PlaceText(text).anchor, TextAnchor::Centre);

  PreviewPage words;
  words.texts.push_back(PlaceText(text));
  const Extents box = PageExtents(words);  // two half-width characters, each as wide as high
  EXPECT_DOUBLE_EQ(box.minX, 46);
  EXPECT_DOUBLE_EQ(box.maxX, 54);
  EXPECT_DOUBLE_EQ(box.minY, 18);
  EXPECT_DOUBLE_EQ(box.maxY, 22);
}

}  // namespace
}  // namespace qel::dxf

#include <gtest/gtest.h>


#include "selection/motor_selection.h"

namespace qel {
namespace {

// A table with a header row, a 5.5 kW direct-on-line record at 200 V and a
// 160 kW star-delta record at 400 V, at rows other than their natural ones.
Grid SampleTable() {
  Grid t(18, 73);
  t.SetRow(0, {"No", "KEY", "A", "MS", "MCS", "MCD", "TH", "HT", "EA", "SA", "AT", "AB", "CD", "EF", "G", "H",
               "ELB-EA", "ELB-SA"});
  t.SetRow(7, {"7", "1 200 5.5", "22", "SC-N1", "", "", "TR-N2", "22", "EA53C", "SA53C", "40", "5.5", "", "",
               "", "", "EG53C", "SG53C"});
  t.SetRow(70, {"70", "2 400 160", "280", "SC-N11", "SC-N8", "SC-N11", "TR-N12", "170", "EA403B", "SA403B",
                "400", "150", "100", "100", "60", "22", "EG403B", "SG403B"});
  return t;
}

std::string Joined(const std::vector<std::string>& v) {
  std::string out;
  for (const auto& s : v) out += (out.empty() ? "" : ",") + s;
  return out;
}

TEST(MotorKey, IsStartVoltageAndTheOutputExactlyAsTyped) {
  EXPECT_EQ(MotorKey(WorkTab::DirectOnLine, false, "5.5"), "1 200 5.5");
  EXPECT_EQ(MotorKey(WorkTab::DirectOnLine, true, "0.75"), "1 400 0.75");
  EXPECT_EQ(MotorKey(WorkTab::StarDelta, true, "160"), "2 400 160");
  EXPECT_EQ(MotorKey(WorkTab::StarDelta, false, " 37"), "2 200  37");
  EXPECT_EQ(MotorKey(WorkTab::Instrumentation, true, "5.5"), "");
}

TEST(MotorLookUp, FillsTheLabelsOfBothTabsFromOneRecord) {
  const Grid table = SampleTable();
  const MotorLookUp r = LookUpMotor(table, {WorkTab::DirectOnLine, false, "5.5", false});
  EXPECT_EQ(r.voltageText, "200");
  EXPECT_EQ(r.row, 7);
  const MotorLabels& l = r.labels;
  EXPECT_EQ(l.Label13, "22");
  EXPECT_EQ(l.Label7, "22");
  EXPECT_EQ(l.Label15, "SC-N1");
  EXPECT_EQ(l.Label29, "SC-N1");
  EXPECT_EQ(l.Label17, "TR-N2");
  EXPECT_EQ(l.Label31, "TR-N2");
  EXPECT_EQ(l.Label19, "22");
  EXPECT_EQ(l.Label21, "EA53C");
  EXPECT_EQ(l.Label37, "EA53C");
  EXPECT_EQ(l.Label22, "SA53C");
  EXPECT_EQ(l.Label38, "SA53C");
  EXPECT_EQ(l.Label24, "40");
  EXPECT_EQ(l.Label40, "40");
  EXPECT_EQ(l.Label26, "5.5");
  EXPECT_EQ(l.Label42, "5.5");
  EXPECT_EQ(l.Label45, "");  // a direct-on-line record has no star-delta contactors
}

TEST(MotorLookUp, StarDeltaRecordReachesEveryStarDeltaLabel) {
  const Grid table = SampleTable();
  const MotorLabels l = LookUpMotor(table, {WorkTab::StarDelta, true, "160", false}).labels;
  const std::vector<std::string> got = {l.Label7,  l.Label29, l.Label45, l.Label46, l.Label31, l.Label33, l.Label37,
                                        l.Label38, l.Label40, l.Label42, l.Label47, l.Label48, l.Label49, l.Label50};
  // Columns 2 to 15 of the record, in order.
  std::vector<std::string> want;
  for (int c = 2; c <= 15; ++c) want.push_back(table.Cell(c, 70));
  EXPECT_EQ(got, want);
}

TEST(MotorLookUp, EarthLeakageTakesTheBreakersFromColumns16And17) {
  const Grid table = SampleTable();
  MotorInputs in{WorkTab::StarDelta, true, "160", true};
  MotorLabels l = LookUpMotor(table, in).labels;
  EXPECT_EQ(l.Label21, "EG403B");
  EXPECT_EQ(l.Label37, "EG403B");
  EXPECT_EQ(l.Label22, "SG403B");
  EXPECT_EQ(l.Label38, "SG403B");
  EXPECT_EQ(l.Label24, "400") << "the rated current stays column 10";
  in.earthLeakage = false;
  l = LookUpMotor(table, in).labels;
  EXPECT_EQ(l.Label21, "EA403B");
  EXPECT_EQ(l.Label22, "SA403B");
}

TEST(MotorLookUp, AnOutputNotInTheTableEmptiesEveryLabel) {
  const Grid table = SampleTable();
  for (const char* typed : {"5.50", " 5.5", "5.5 ", "0.4"}) {
    const MotorLookUp r = LookUpMotor(table, {WorkTab::DirectOnLine, false, typed, false});
    EXPECT_EQ(r.row, table.RowCount()) << typed;
    EXPECT_EQ(r.labels, MotorLabels{}) << typed;
  }
  // The same output under the other voltage or start has no record here.
  EXPECT_EQ(LookUpMotor(table, {WorkTab::DirectOnLine, true, "5.5", false}).labels, MotorLabels{});
  EXPECT_EQ(LookUpMotor(table, {WorkTab::StarDelta, false, "160", false}).labels, MotorLabels{});
}

TEST(MotorLookUp, FirstMatchingRowWins) {
  Grid table = SampleTable();
  table.SetRow(3, {"3", "1 200 5.5", "99"});
  EXPECT_EQ(LookUpMotor(table, {WorkTab::DirectOnLine, false, "5.5", false}).labels.Label13, "99");
}

TEST(MotorOutputs, ListTheCatalogueOutputsOfEachStartMethod) {
  EXPECT_EQ(Joined(DirectOnLineOutputs()),
            "0.1,0.2,0.4,0.75,1.5,2.2,3.7,5.5,7.5,11,15,18.5,22,30,37,45,55,75,90,110,132");
  EXPECT_EQ(Joined(StarDeltaOutputs()), "5.5,7.5,11,15,18.5,22,30,37,45,55,75,90,110,132,160");
}

TEST(TabChange, RefillsOutputsAndLaysTheListOut) {
  const TabChange direct = PlanTabChange(WorkTab::DirectOnLine);
  EXPECT_EQ(direct.outputs, &DirectOnLineOutputs());
  EXPECT_EQ(direct.layout, ListLayout::Motor);
  const TabChange star = PlanTabChange(WorkTab::StarDelta);
  EXPECT_EQ(star.outputs, &StarDeltaOutputs());
  EXPECT_EQ(star.layout, ListLayout::Motor);
  const TabChange instr = PlanTabChange(WorkTab::Instrumentation);
  EXPECT_EQ(instr.outputs, nullptr);
  EXPECT_EQ(instr.layout, ListLayout::Instrumentation);
}

TEST(ListColumnWidths, MotorAndInstrumentationLayouts) {
  const std::array<int, 21> motor = {20, 130, 40, 40, 40, 40, 60, 60, 60, 60, 60,
                                     60, 60,  30, 30, 30, 30, 30, 50, 50, 60};
  const std::array<int, 21> instr = {20, 130, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 50, 50, 60};
  EXPECT_EQ(ListColumnWidths(ListLayout::Motor), motor);
  EXPECT_EQ(ListColumnWidths(ListLayout::Instrumentation), instr);
}

TEST(DrawingOptions, ReversingAndFeedExcludeEachOther) {
  // Ticking reversing while feed is ticked leaves only reversing.
  EXPECT_EQ(ApplyDrawingOptionClick({.reversing = true, .feed = true}, DrawingOption::Reversing),
            (DrawingOptions{true, false}));
  EXPECT_EQ(ApplyDrawingOptionClick({.reversing = true, .feed = true}, DrawingOption::Feed),
            (DrawingOptions{false, true}));
  // Unticking one leaves the other alone.
  EXPECT_EQ(ApplyDrawingOptionClick({.reversing = false, .feed = false}, DrawingOption::Reversing),
            (DrawingOptions{false, false}));
  EXPECT_EQ(ApplyDrawingOptionClick({.reversing = true, .feed = false}, DrawingOption::Feed),
            (DrawingOptions{true, false}));
}

}  // namespace
}  // namespace qel

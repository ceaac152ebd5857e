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

// Both tabs' labels come from the one record, whichever tab is active.
TEST(MotorLookUp, FillsTheLabelsOfBothTabsFromOneRecord) {
  const Grid table = SampleTable();
  auto columns = [&](int row, std::initializer_list<int> cols) {
    std::vector<std::string> v;
    for (int c : cols) v.push_back(table.Cell(c, row));
    return v;
  };
  const MotorLookUp direct = LookUpMotor(table, {WorkTab::DirectOnLine, false, "5.5", false});
  EXPECT_EQ(direct.voltageText, "200");
  EXPECT_EQ(direct.row, 7);
  const MotorLabels& d = direct.labels;
  EXPECT_EQ((std::vector<std::string>{d.Label13, d.Label15, d.Label17, d.Label19, d.Label21, d.Label22, d.Label24,
                                      d.Label26}),
            columns(7, {2, 3, 6, 7, 8, 9, 10, 11}));
  EXPECT_EQ(d.Label29, "SC-N1");
  EXPECT_EQ(d.Label45, "") << "a direct-on-line record has no star-delta contactors";

  const MotorLookUp star = LookUpMotor(table, {WorkTab::StarDelta, true, "160", false});
  EXPECT_EQ(star.voltageText, "400");
  const MotorLabels& l = star.labels;
  EXPECT_EQ((std::vector<std::string>{l.Label7, l.Label29, l.Label45, l.Label46, l.Label31, l.Label33, l.Label37,
                                      l.Label38, l.Label40, l.Label42, l.Label47, l.Label48, l.Label49, l.Label50}),
            columns(70, {2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15}));
  EXPECT_EQ((std::vector<std::string>{l.Label13, l.Label15, l.Label17, l.Label19, l.Label21, l.Label22, l.Label24,
                                      l.Label26}),
            columns(70, {2, 3, 6, 7, 8, 9, 10, 11}));
}

TEST(MotorLookUp, EarthLeakageTakesTheBreakersFromColumns16And17) {
  const Grid table = SampleTable();
  MotorInputs in{WorkTab::StarDelta, true, "160", true};
  MotorLabels l = LookUpMotor(table, in).labels;
  EXPECT_EQ((std::vector<std::string>{l.Label21, l.Label37, l.Label22, l.Label38}),
            (std::vector<std::string>{"EG403B", "EG403B", "SG403B", "SG403B"}));
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

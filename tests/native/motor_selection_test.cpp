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

// Each value of the record comes from its own column, whichever tab is active.
TEST(MotorLookUp, ReadsEachValueFromItsColumn) {
  const Grid table = SampleTable();
  const MotorLookUp direct = LookUpMotor(table, {WorkTab::DirectOnLine, false, "5.5", false});
  EXPECT_EQ(direct.voltageText, "200");
  EXPECT_EQ(direct.key, "1 200 5.5");
  EXPECT_EQ(direct.row, 7);
  EXPECT_EQ(direct.record, (MotorRecord{"22", "SC-N1", "", "", "TR-N2", "22", "EA53C", "SA53C", "40", "5.5", "", "",
                                        "", ""}));

  const MotorLookUp star = LookUpMotor(table, {WorkTab::StarDelta, true, "160", false});
  EXPECT_EQ(star.voltageText, "400");
  EXPECT_EQ(star.record, (MotorRecord{"280", "SC-N11", "SC-N8", "SC-N11", "TR-N12", "170", "EA403B", "SA403B", "400",
                                      "150", "100", "100", "60", "22"}));
}

TEST(MotorLookUp, EarthLeakageTakesTheBreakersFromColumns16And17) {
  const Grid table = SampleTable();
  MotorInputs in{WorkTab::StarDelta, true, "160", true};
  MotorRecord r = LookUpMotor(table, in).record;
  EXPECT_EQ(r.breakerEA, "EG403B");
  EXPECT_EQ(r.breakerSA, "SG403B");
  EXPECT_EQ(r.breakerRating, "400") << "the rated current stays column 10";
  in.earthLeakage = false;
  r = LookUpMotor(table, in).record;
  EXPECT_EQ(r.breakerEA, "EA403B");
  EXPECT_EQ(r.breakerSA, "SA403B");
}

TEST(MotorLookUp, AnOutputNotInTheTableEmptiesEveryValue) {
  const Grid table = SampleTable();
  for (const char* typed : {"5.50", " 5.5", "5.5 ", "0.4"}) {
    const MotorLookUp r = LookUpMotor(table, {WorkTab::DirectOnLine, false, typed, false});
    EXPECT_EQ(r.row, table.RowCount()) << typed;
    EXPECT_EQ(r.record, MotorRecord{}) << typed;
  }
  // The same output under the other voltage or start has no record here.
  EXPECT_EQ(LookUpMotor(table, {WorkTab::DirectOnLine, true, "5.5", false}).record, MotorRecord{});
  EXPECT_EQ(LookUpMotor(table, {WorkTab::StarDelta, false, "160", false}).record, MotorRecord{});
}

TEST(MotorLookUp, FirstMatchingRowWins) {
  Grid table = SampleTable();
  table.SetRow(3, {"3", "1 200 5.5", "99"});
  EXPECT_EQ(LookUpMotor(table, {WorkTab::DirectOnLine, false, "5.5", false}).record.fullLoadCurrent, "99");
}

// The selection keeps the last look-up, voltage included, for the row to
// be written from; it starts as the window starts, at 200 V with nothing found.
TEST(MotorSelection, KeepsTheLastLookUp) {
  const Grid table = SampleTable();
  MotorSelection selection;
  EXPECT_EQ(selection.Last().voltageText, "200");
  EXPECT_EQ(selection.Last().record, MotorRecord{});
  selection.LookUp(table, {WorkTab::StarDelta, true, "160", false});
  selection.LookUp(table, {WorkTab::DirectOnLine, true, "5.5", false});
  EXPECT_EQ(selection.Last().voltageText, "400");
  EXPECT_EQ(selection.Last().key, "1 400 5.5");
  EXPECT_EQ(selection.Last().record, MotorRecord{}) << "no 400 V direct-on-line record: the old values do not stay";
  EXPECT_EQ(selection.LookUp(table, {WorkTab::DirectOnLine, false, "5.5", false}).record.thermalRelay, "TR-N2");
  EXPECT_EQ(selection.Last().record.thermalRelay, "TR-N2");
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

#include <gtest/gtest.h>

#include "list/StrGrdIO.h"
#include "list/circuit_list.h"
#include "list/list_aux.h"
#include "selection/equipment_table.h"

namespace qel {
namespace {

using Cells = std::vector<std::string>;
const std::string B = " ";  // a blank cell, as opposed to an empty one

Cells Row21(Cells cells) {
  cells.resize(21);
  return cells;
}

Cells Split(std::string_view text) { return SplitRowText(text, 21); }

// ---- the row-text writing rule ----

TEST(RowText, BlanksAroundFieldsAreSkippedAndEmptyFieldsBecomeBlank) {
  EXPECT_EQ(Split("  a , b ,c"), (Cells{"a", "b", "c"}));
  EXPECT_EQ(Split("a,,b"), (Cells{"a", B, "b"}));
  EXPECT_EQ(Split(",a"), (Cells{B, "a"}));
  EXPECT_EQ(Split("a b"), (Cells{"a", "b"})) << "a blank ends a field like a comma";
  EXPECT_EQ(Split("a , , b"), (Cells{"a", B, "b"}));
}

TEST(RowText, ACommaAtTheEndYieldsNoFurtherField) {
  EXPECT_EQ(Split("a,"), (Cells{"a"}));
  EXPECT_EQ(Split("a,  "), (Cells{"a"}));
  EXPECT_EQ(Split("a,,"), (Cells{"a", B}));
  EXPECT_EQ(Split(","), (Cells{B}));
  EXPECT_EQ(Split(""), Cells{});
  EXPECT_EQ(Split("   "), Cells{});
}

TEST(RowText, TwoByteCharactersAreSteppedOverWhole) {
  // The full-width blank 81 40 does not end a field, nor does the trail byte
  // 0x5C of "表"; but a comma or blank after a lead byte is no trail byte
  // and still ends the field.
  EXPECT_EQ(Split("ポンプ　１,表,x"), (Cells{"ポンプ　１", "表", "x"}));
  EXPECT_EQ(Split(std::string("\x81,b,c")), (Cells{std::string("\x81"), "b", "c"}));
  EXPECT_EQ(Split(std::string("\x81 b")), (Cells{std::string("\x81"), "b"}));
}

TEST(RowText, ALoneLeadByteAtTheEndStaysInItsField) {
  EXPECT_EQ(Split(std::string("ab\x81")), (Cells{std::string("ab\x81")}));
  EXPECT_EQ(Split(std::string("a,\x81")), (Cells{"a", std::string("\x81")}));
  EXPECT_EQ(Split(std::string("\"x\x81")), (Cells{std::string("x\x81")}));
  // Cut out of a longer buffer, so that reading past the end would be seen
  // by a sanitizer or pick up the comma.
  const std::string buffer = "a,\x81,b";
  EXPECT_EQ(Split(std::string_view(buffer).substr(0, 3)), (Cells{"a", std::string("\x81")}));
}

TEST(RowText, QuotedFieldsKeepCommasBlanksAndDoubledQuotes) {
  EXPECT_EQ(Split("\"a, b\",c"), (Cells{"a, b", "c"}));
  EXPECT_EQ(Split("\"say \"\"hi\"\"\",x"), (Cells{"say \"hi\"", "x"}));
  EXPECT_EQ(Split("\"\",x"), (Cells{B, "x"}));
  EXPECT_EQ(Split("\"\"\"\""), (Cells{"\""}));
  EXPECT_EQ(Split("\"a\"b,c"), (Cells{"a", "b", "c"})) << "text after the closing quote is the next field";
  EXPECT_EQ(Split("x, \"表\" ,y"), (Cells{"x", "表", "y"}));
  EXPECT_EQ(Split("a\"b,c"), (Cells{"a\"b", "c"})) << "a quote inside a plain field is an ordinary byte";
}

TEST(RowText, AMissingClosingQuoteRunsToTheEnd) {
  EXPECT_EQ(Split("a,\"bc, d"), (Cells{"a", "bc, d"}));
  EXPECT_EQ(Split("\"ab\"\""), (Cells{"ab\""}));
  EXPECT_EQ(Split("\""), (Cells{B}));
}

TEST(RowText, ControlBytesSeparateFieldsAndAZeroByteEndsTheText) {
  EXPECT_EQ(Split("a\tb\r\nc"), (Cells{"a", "b", "c"}));
  EXPECT_EQ(Split("\x01\x1f" "a\x01,\x02" "b"), (Cells{"a", "b"}));
  EXPECT_EQ(Split("a\x7f" "b"), (Cells{"a\x7f" "b"})) << "DEL is above 32";
  EXPECT_EQ(Split(std::string("a,b\0c,d", 7)), (Cells{"a", "b"}));
  EXPECT_EQ(Split(std::string("\0a", 2)), Cells{});
}

TEST(RowText, ALongCellIsKeptWhole) {
  std::string longText;
  for (int i = 0; i < 10000; ++i) longText += "あ";
  const Cells fields = Split("1," + longText + ",x");
  ASSERT_EQ(fields.size(), 3u);
  EXPECT_EQ(fields[1], longText);
  EXPECT_EQ(fields[2], "x");
}

TEST(RowText, WritingEmptiesTheRowAndDropsFieldsBeyondTheLastColumn) {
  Grid g(21, 3);
  for (int c = 0; c < 21; ++c) g.SetCell(c, 1, "old");
  WriteRowText(g, 1, "x,,y");
  EXPECT_EQ(g.Row(1), Row21({"x", B, "y"}));
  std::string many;
  for (int i = 0; i < 25; ++i) many += std::to_string(i) + ",";
  WriteRowText(g, 2, many);
  Cells want;
  for (int i = 0; i < 21; ++i) want.push_back(std::to_string(i));
  EXPECT_EQ(g.Row(2), want);
  EXPECT_EQ(g.Row(0), Row21({})) << "other rows untouched";
}

// ---- the rows of "リストに記入" and "予約記入" ----

// The look-up of a 5.5 kW 200 V direct-on-line record.
MotorLookUp DirectLookUp(bool earthLeakage = false) {
  Grid t(18, 73);
  t.SetRow(12, {"", "1 200 5.5", "22", "SC-N1", "", "", "TR-N2", "22", "EA53C", "SA53C", "40", "5.5", "", "", "", "",
                "EG53C", "SG53C"});
  return LookUpMotor(t, {WorkTab::DirectOnLine, false, "5.5", earthLeakage});
}

MotorLookUp StarDeltaLookUp(bool earthLeakage) {
  Grid t(18, 73);
  t.SetRow(40, {"", "2 400 37", "68", "SC-N4", "SC-N2", "SC-N3", "TR-N5", "65", "EA103C", "SA103C", "125", "22", "14",
                "8", "5.5", "2", "EG103C", "SG103C"});
  return LookUpMotor(t, {WorkTab::StarDelta, true, "37", earthLeakage});
}

ListEntryInputs StartUpInputs() {
  ListEntryInputs in;
  in.motor = DirectLookUp();
  return in;
}

class ListWriting : public ::testing::Test {
 protected:
  ListWriting() : list(grid) { list.SetUp(); }
  Grid grid;
  CircuitList list;
};

TEST_F(ListWriting, StartUpRowWithTheDefaults) {
  const WriteOutcome out = list.WriteSelection(StartUpInputs());
  EXPECT_EQ(grid.Row(1), Row21({"1", "名称を記入ください", "直", "5.5", "200", "22", "SC-N1", B, B, "TR-N2", "22",
                                "SA53C", "40", "5.5", B, B, B, B, B, "", ""}));
  EXPECT_TRUE(out.written);
  EXPECT_EQ(out.writePosition, 2);
  EXPECT_EQ(list.WritePosition(), 2);
  EXPECT_TRUE(out.messages.empty());
  EXPECT_TRUE(out.untickDrawingOptions);
  EXPECT_FALSE(out.rowAdded);
  EXPECT_EQ(grid.RowCount(), 21);
  EXPECT_EQ(ClassifyRow(grid, 1), (RowClass{1, 0}));
}

TEST_F(ListWriting, ReversingWithEarthLeakageAndTheEaLine) {
  ListEntryInputs in = StartUpInputs();
  in.earthLeakage = true;
  in.reversing = true;
  in.generalPurposeBreaker = false;
  in.motor = DirectLookUp(true);
  list.SelectRow(4);
  const WriteOutcome out = list.WriteSelection(in);
  EXPECT_EQ(grid.Row(4), Row21({"4", "名称を記入ください", "可逆漏", "5.5", "200", "22", "SC-N1", B, B, "TR-N2", "22",
                                "EG53C", "40", "5.5", B, B, B, B, B, "", ""}));
  EXPECT_TRUE(out.untickDrawingOptions);
  EXPECT_EQ(ClassifyRow(grid, 4).rowKind, 6);
}

TEST_F(ListWriting, FeedRowHasNoStarter) {
  ListEntryInputs in = StartUpInputs();
  in.feed = true;
  in.reversing = true;  // cannot both be ticked in the window; the feed decides
  in.name = "分電盤";
  list.WriteSelection(in);
  EXPECT_EQ(grid.Row(1), Row21({"1", "分電盤", "送り", "5.5", "200", "22", B, B, B, B, B, "SA53C", "40", "5.5", B, B, B,
                                B, B, "", ""}));
  in.earthLeakage = true;
  list.WriteSelection(in);
  EXPECT_EQ(grid.Cell(2, 2), "送り漏");
  EXPECT_EQ(ClassifyRow(grid, 2).rowKind, 8);
}

TEST_F(ListWriting, StarDeltaRowFillsSeventeenCellsAndLeavesTheRestEmpty) {
  ListEntryInputs in;
  in.tab = WorkTab::StarDelta;
  in.name = "送風機";
  in.outputText = "37";
  in.earthLeakage = true;
  in.motor = StarDeltaLookUp(true);
  list.WriteSelection(in);
  EXPECT_EQ(grid.Row(1), Row21({"1", "送風機", "☆⊿漏", "37", "400", "68", "SC-N4", "SC-N2", "SC-N3", "TR-N5", "65",
                                "SG103C", "125", "22", "14", "8", "5.5", "2", "", "", ""}));
  in.generalPurposeBreaker = false;
  in.earthLeakage = false;
  in.motor = StarDeltaLookUp(false);
  list.WriteSelection(in);
  EXPECT_EQ(grid.Cell(2, 2), "☆⊿");
  EXPECT_EQ(grid.Cell(11, 2), "EA103C");
  EXPECT_EQ(ClassifyRow(grid, 2).rowKind, 3);
}

TEST_F(ListWriting, ASelectionWithoutARecordWritesBlankValues) {
  ListEntryInputs in = StartUpInputs();
  in.outputText = "5.50";
  in.motor.record = MotorRecord{};
  list.WriteSelection(in);
  EXPECT_EQ(grid.Row(1), Row21({"1", "名称を記入ください", "直", "5.50", "200", B, B, B, B, B, B, B, B, B, B, B, B, B,
                                B, "", ""}));
}

TEST_F(ListWriting, ABlankInTheNameShiftsTheRow) {
  ListEntryInputs in = StartUpInputs();
  in.name = "P 1";
  list.WriteSelection(in);
  EXPECT_EQ(grid.Row(1), Row21({"1", "P", "1", "直", "5.5", "200", "22", "SC-N1", B, B, "TR-N2", "22", "SA53C", "40",
                                "5.5", B, B, B, B, B, ""}));
  // A full-width blank is part of the name.
  in.name = "P　1";
  list.WriteSelection(in);
  EXPECT_EQ(grid.Cell(1, 2), "P　1");
  EXPECT_EQ(grid.Cell(2, 2), "直");
}

ListEntryInputs InstrumentInputs() {
  ListEntryInputs in;
  in.tab = WorkTab::Instrumentation;
  in.name = "反応槽温度";
  in.loopFunction = "Ai>PEN";
  in.receivingEnabled = true;
  in.receivingText = "Ai-T 計測信号(温度)";
  in.tag = "TIC-001";
  return in;
}

TEST_F(ListWriting, InstrumentationRow) {
  list.WriteSelection(InstrumentInputs());
  EXPECT_EQ(grid.Row(1), Row21({"1", "反応槽温度", B, B, B, B, B, B, B, B, B, B, B, B, B, B, B, B, "Ai>PEN", "Ai-T",
                                "TIC-001"}));
  EXPECT_EQ(ClassifyRow(grid, 1), (RowClass{33, 31}));
}

TEST_F(ListWriting, InstrumentationTagAndNameWithBlanks) {
  ListEntryInputs in = InstrumentInputs();
  in.tag = "TIC- 01";  // the blank hundreds digit
  list.WriteSelection(in);
  EXPECT_EQ(grid.Row(1), Row21({"1", "反応槽温度", B, B, B, B, B, B, B, B, B, B, B, B, B, B, B, B, "Ai>PEN", "Ai-T",
                                "TIC-"}));
  // A name with a blank pushes everything right; the tag falls off the end.
  in = InstrumentInputs();
  in.name = "TK 1";
  list.WriteSelection(in);
  EXPECT_EQ(grid.Row(2), Row21({"2", "TK", "1", B, B, B, B, B, B, B, B, B, B, B, B, B, B, B, B, "Ai>PEN", "Ai-T"}));
  // The placeholder tag has only a full-width blank and arrives whole.
  in = InstrumentInputs();
  in.tag = kTagPlaceholder;
  list.WriteSelection(in);
  EXPECT_EQ(grid.Cell(20, 3), "TAG　No.作成ください");
}

TEST_F(ListWriting, InstrumentationWithoutADeviceIsRefusedButAdvances) {
  for (int c = 0; c < 21; ++c) grid.SetCell(c, 1, "keep");
  ListEntryInputs in = InstrumentInputs();
  in.receivingText = "";
  const WriteOutcome out = list.WriteSelection(in);
  EXPECT_FALSE(out.written);
  EXPECT_EQ(out.messages, (std::vector<UserMessage>{{"種類を選んでください。", ""}}));
  EXPECT_EQ(grid.Row(1), Cells(21, "keep"));
  EXPECT_EQ(out.writePosition, 2);
  EXPECT_TRUE(out.untickDrawingOptions);
  // A device text in the disabled list does not count.
  in = InstrumentInputs();
  in.receivingEnabled = false;
  EXPECT_FALSE(list.WriteSelection(in).written);
  // The output side with an output function.
  in = InstrumentInputs();
  in.loopFunction = "Do";
  in.receivingEnabled = false;
  in.outputEnabled = true;
  in.outputDeviceText = "Do-Tr 非絶縁信号";
  list.WriteSelection(in);
  EXPECT_EQ(ClassifyRow(grid, 3), (RowClass{21, 22}));
}

TEST_F(ListWriting, ReserveRow) {
  list.SelectRow(7);
  const WriteOutcome out = list.WriteReserve();
  EXPECT_EQ(grid.Row(7), Row21({"7", "SP", B, B, B, B, B, B, B, B, B, B, B, B, B, B, B, B, "", "", ""}));
  EXPECT_EQ(out.writePosition, 8);
  EXPECT_EQ(ClassifyRow(grid, 7), (RowClass{10, 0}));
}

TEST_F(ListWriting, WritingTheLastRowAddsOneAndSaysSo) {
  list.SelectRow(20);
  ListEntryInputs in = StartUpInputs();
  in.reversing = true;
  const WriteOutcome out = list.WriteSelection(in);
  EXPECT_EQ(grid.Cell(0, 20), "20");
  EXPECT_EQ(grid.Cell(2, 20), "可逆");
  EXPECT_EQ(grid.RowCount(), 22);
  EXPECT_EQ(grid.Row(21), Row21({}));
  EXPECT_TRUE(out.rowAdded);
  EXPECT_EQ(out.writePosition, 21);
  EXPECT_EQ(list.WritePosition(), 21);
  EXPECT_FALSE(out.untickDrawingOptions) << "the drawing options stay ticked";
  ASSERT_EQ(out.messages.size(), 1u);
  // Line feed before carriage return, twice.
  EXPECT_EQ(out.messages[0].text, "行数が足りません行の追加してください。\n\r\n\r - メニュー＞行追加");
  EXPECT_EQ(out.messages[0].caption, "操作 Error");

  // The added row is the last one now: the next write adds another.
  EXPECT_TRUE(list.WriteReserve().rowAdded);
  EXPECT_EQ(grid.RowCount(), 23);
  EXPECT_EQ(grid.Cell(1, 21), "SP");
}

TEST_F(ListWriting, ARefusalInTheLastRowShowsBothMessagesInOrder) {
  list.SelectRow(20);
  ListEntryInputs in = InstrumentInputs();
  in.receivingEnabled = false;
  const WriteOutcome out = list.WriteSelection(in);
  EXPECT_EQ(out.messages, (std::vector<UserMessage>{NoDeviceMessage(), ListFullMessage()}));
  EXPECT_EQ(grid.RowCount(), 22);
}

// The delivered Fuji table, read as the program reads it: every output of
// both lists finds its record at both voltages, and the start-up row carries
// the 5.5 kW record's cells.
TEST(ListWithDeliveredTable, StartUpRowAndEveryOutputFindsItsRecord) {
  Grid table(18, 73);
  TStringGridIO io;
  io.TargetGrid = &table;
  io.LoadFromText(std::string(QEL_SOURCE_DIR) + "/data/fd.dat", ",", true);
  for (WorkTab tab : {WorkTab::DirectOnLine, WorkTab::StarDelta})
    for (const std::string& kw : *PlanTabChange(tab).outputs)
      for (bool v400 : {false, true}) {
        const MotorLookUp r = LookUpMotor(table, {tab, v400, kw, false});
        EXPECT_LT(r.row, 73) << r.key;
        EXPECT_NE(r.record.fullLoadCurrent, "") << r.key;
      }

  Grid grid;
  CircuitList list(grid);
  list.SetUp();
  ListEntryInputs in;
  in.motor = LookUpMotor(table, {WorkTab::DirectOnLine, false, "5.5", false});
  list.WriteSelection(in);
  const int rec = FindEquipmentRow(table, "1 200 5.5");
  auto c = [&](int col) { return table.Cell(col, rec); };
  EXPECT_EQ(grid.Row(1), Row21({"1", "名称を記入ください", "直", "5.5", "200", c(2), c(3), B, B, c(6), c(7), c(9), c(10),
                                c(11), B, B, B, B, B, "", ""}));
  EXPECT_EQ(list.WritePosition(), 2);
}

// ---- the list itself: set-up, write position, insert, delete ----

TEST(CircuitListSetUp, HeaderAndTwentyEmptyRows) {
  Grid grid(3, 3);
  grid.SetCell(1, 1, "stale");
  CircuitList list(grid);
  list.SetUp();
  EXPECT_EQ(grid.ColCount(), 21);
  EXPECT_EQ(grid.RowCount(), 21);
  EXPECT_EQ(grid.Row(0), (Cells{"No.", "NAME", "START", "kW", "V", "A", "88(MS)", "6(☆)", "19(M⊿)", "49(TH)", "49(A)",
                                "MCB", "MCB(Trip)", "A.B", "C.D", "E.F", "G", "H", "I/F", "Type", "Tag"}));
  for (int r = 1; r < 21; ++r) EXPECT_EQ(grid.Row(r), Row21({})) << r;
  EXPECT_EQ(list.WritePosition(), 1);
  EXPECT_EQ(ClassifyRow(grid, 0), (RowClass{10, 0}));
}

class ListRows : public ::testing::Test {
 protected:
  // Twenty numbered rows "1".."20" with names "n1".."n20".
  ListRows() : list(grid) {
    list.SetUp();
    for (int r = 1; r < 21; ++r) WriteRowText(grid, r, std::to_string(r) + ",n" + std::to_string(r));
  }
  Cells Numbered(int r) { return Row21({std::to_string(r), "n" + std::to_string(r)}); }
  Grid grid;
  CircuitList list;
};

TEST_F(ListRows, InsertingThreeToFiveMovesTheRestDownUnnumbered) {
  list.SelectRow(9);
  list.InsertRows(3, 5);
  ASSERT_EQ(grid.RowCount(), 24);
  EXPECT_EQ(grid.Row(0), ListHeaders());
  EXPECT_EQ(grid.Row(1), Numbered(1));
  EXPECT_EQ(grid.Row(2), Numbered(2));
  for (int r = 3; r <= 5; ++r) EXPECT_EQ(grid.Row(r), Row21({})) << r;
  for (int r = 6; r < 24; ++r) EXPECT_EQ(grid.Row(r), Numbered(r - 3)) << r;
  EXPECT_EQ(list.WritePosition(), 9);
}

TEST_F(ListRows, DeletingARangeMovesTheRestUp) {
  list.SelectRow(6);
  EXPECT_FALSE(list.DeleteRows(3, 5));
  ASSERT_EQ(grid.RowCount(), 18);
  EXPECT_EQ(grid.Row(2), Numbered(2));
  for (int r = 3; r < 18; ++r) EXPECT_EQ(grid.Row(r), Numbered(r + 3)) << r;
  EXPECT_EQ(list.WritePosition(), 6) << "a position still inside the list stays";
}

TEST_F(ListRows, DeletingTheTailPullsThePositionToTheLastRow) {
  list.SelectRow(19);
  EXPECT_TRUE(list.DeleteRows(15, 20));
  EXPECT_EQ(grid.RowCount(), 15);
  EXPECT_EQ(list.WritePosition(), 14);
  EXPECT_EQ(grid.Row(14), Numbered(14));
}

TEST_F(ListRows, DeletingEveryDataRowLeavesOneEmptyRow) {
  list.SelectRow(15);
  EXPECT_TRUE(list.DeleteRows(1, 20));
  ASSERT_EQ(grid.RowCount(), 2);
  EXPECT_EQ(grid.Row(0), ListHeaders());
  EXPECT_EQ(grid.Row(1), Row21({}));
  EXPECT_EQ(list.WritePosition(), 1);
  // With one data row, deleting it is again "every row".
  WriteRowText(grid, 1, "1,x");
  EXPECT_FALSE(list.DeleteRows(1, 1));
  EXPECT_EQ(grid.RowCount(), 2);
  EXPECT_EQ(grid.Row(1), Row21({}));
}

TEST_F(ListRows, ARangeReachingIntoTheHeaderIsTakenFromRowOne) {
  list.InsertRows(0, 1);
  EXPECT_EQ(grid.Row(0), ListHeaders());
  EXPECT_EQ(grid.Row(1), Row21({}));
  EXPECT_EQ(grid.Row(2), Numbered(1));
  list.DeleteRows(0, 1);
  EXPECT_EQ(grid.Row(0), ListHeaders());
  EXPECT_EQ(grid.Row(1), Numbered(1));
}

}  // namespace
}  // namespace qel

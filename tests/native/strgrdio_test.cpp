#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

#include "base/file_io.h"
#include "list/StrGrdIO.h"
#include "tests/support/recording_dispatch.h"
#include "tests/support/temp_dir.h"

namespace qel {
namespace {

using testing::TempDir;

Grid Filled(int cols, int rows, std::initializer_list<std::initializer_list<const char*>> cells) {
  Grid g(cols, rows);
  int r = 0;
  for (auto row : cells) {
    int c = 0;
    for (const char* cell : row) g.SetCell(c++, r, cell);
    ++r;
  }
  return g;
}

TEST(CsvQuoting, NumbersStayBareEverythingElseIsQuotedWithoutDoubling) {
  for (const char* bare : {"5.5", "-3", " 12", "1E3", "0", "+7", "1e-5", ".5", "5.", "  -0.25E+10"})
    EXPECT_EQ(QuoteCsvField(bare, true), bare) << bare;
  EXPECT_EQ(QuoteCsvField("30AF", true), "\"30AF\"");
  EXPECT_EQ(QuoteCsvField("No.", true), "\"No.\"");
  EXPECT_EQ(QuoteCsvField("", true), "\"\"");
  EXPECT_EQ(QuoteCsvField("12 ", true), "\"12 \"") << "nothing may follow the number, not even a blank";
  EXPECT_EQ(QuoteCsvField("1E", true), "\"1E\"") << "an exponent needs a digit";
  EXPECT_EQ(QuoteCsvField("-", true), "\"-\"");
  EXPECT_EQ(QuoteCsvField("1 200 5.5", true), "\"1 200 5.5\"");
  EXPECT_EQ(QuoteCsvField("a\"b", true), "\"a\"b\"") << "inner quotes are not doubled";
  EXPECT_EQ(QuoteCsvField("a\"b", false), "a\"b");
}

TEST(CsvQuoting, UnquotingRemovesOnlyOneEnclosingPair) {
  EXPECT_EQ(UnquoteCsvField("\"", true), "\"");
  EXPECT_EQ(UnquoteCsvField("\"\"", true), "");
  EXPECT_EQ(UnquoteCsvField("\"\"x\"\"", true), "\"x\"");
  EXPECT_EQ(UnquoteCsvField("\"x", true), "\"x");
  EXPECT_EQ(UnquoteCsvField("\"x\"", false), "\"x\"");
}

TEST(TextLines, AllThreeLineEndsAndTheZeroByte) {
  auto lines = SplitTextLines("a\r\nb\rc\nd\r\n");
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[3], "d");
  EXPECT_EQ(SplitTextLines("a\n\nb").size(), 3u) << "an empty line in the middle counts";
  EXPECT_EQ(SplitTextLines("a\r\r\nb").size(), 3u) << "CR then CR LF is two line ends";
  EXPECT_TRUE(SplitTextLines("").empty());
  const std::string withZero("x\r\ny\0z\r\nw", 10);  // the lines are views into it
  auto cut = SplitTextLines(withZero);
  ASSERT_EQ(cut.size(), 2u);
  EXPECT_EQ(cut[1], "y");
}

TEST(SaveToText, EmptyListInTabModeIsTwentyTabsPerLine) {
  Grid g(21, 21);
  TStringGridIO io;
  io.TargetGrid = &g;
  std::string expected;
  for (int i = 0; i < 21; ++i) expected += std::string(20, '\t') + "\r\n";
  EXPECT_EQ(io.FormatText("\t", false), expected);
}

TEST(SaveToText, CsvFileBytesAndRoundTripOfShiftJisCells) {
  Grid g = Filled(4, 2, {{"No.", "表示", "5.5", ""}, {"1", "ﾌｧｲﾙ", "30AF", "⊿"}});
  TStringGridIO io;
  io.TargetGrid = &g;
  TempDir dir;
  const std::string file = dir.File("list.csv");
  io.SaveToText(file, ",", true);
  EXPECT_EQ(TempDir::Read(file), "\"No.\",\"表示\",5.5,\"\"\r\n1,\"ﾌｧｲﾙ\",\"30AF\",\"⊿\"\r\n");
  Grid back(4, 2);
  io.TargetGrid = &back;
  io.LoadFromText(file, ",", true);
  for (int r = 0; r < 2; ++r)
    for (int c = 0; c < 4; ++c) EXPECT_EQ(back.Cell(c, r), g.Cell(c, r)) << c << "," << r;
}

TEST(LoadFromText, ShortLinesFillFromTheLeftAndTheLastColumnTakesTheRest) {
  Grid g(4, 3);
  TStringGridIO io;
  io.TargetGrid = &g;
  io.ParseText("a\tb\r\nwhole line\r\n1\t2\t3\t4\t5\t6\r\n", "\t", false);
  EXPECT_EQ(g.Row(0), (std::vector<std::string>{"a", "", "", "b"}));
  EXPECT_EQ(g.Row(1), (std::vector<std::string>{"", "", "", "whole line"}));
  EXPECT_EQ(g.Row(2), (std::vector<std::string>{"1", "2", "3", "4\t5\t6"}));
}

TEST(LoadFromText, CommaInsideACellShiftsTheRowEvenInCsvMode) {
  Grid g = Filled(4, 1, {{"x", "a,b", "y", "z"}});
  TStringGridIO io;
  io.TargetGrid = &g;
  const std::string text = io.FormatText(",", true);
  EXPECT_EQ(text, "\"x\",\"a,b\",\"y\",\"z\"\r\n");
  Grid back(4, 1);
  io.TargetGrid = &back;
  io.ParseText(text, ",", true);
  // Quotes do not protect the separator: "a and b" come apart, and the
  // last column keeps the rest of the line, quotes trimmed only at its ends.
  EXPECT_EQ(back.Row(0), (std::vector<std::string>{"x", "\"a", "b\"", "y\",\"z"}));
}

TEST(LoadFromText, FewerLinesKeepTheRestAndExtraLinesAreIgnored) {
  Grid g(2, 4);
  for (int r = 0; r < 4; ++r) g.SetCell(0, r, "old" + std::to_string(r));
  TStringGridIO io;
  io.TargetGrid = &g;
  io.ParseText("n0,x\r\nn1,y\r\n", ",", false);
  EXPECT_EQ(g.Cell(0, 1), "n1");
  EXPECT_EQ(g.Cell(0, 2), "old2");
  EXPECT_EQ(g.Cell(0, 3), "old3");
  io.ParseText("a\nb\nc\nd\ne\nf\n", ",", false);
  EXPECT_EQ(g.RowCount(), 4) << "without stretching the grid keeps its size";
  EXPECT_EQ(g.Cell(1, 3), "d");
}

// The circuit list: a saved list longer than the grid comes back whole, and
// a short one still leaves the rows below it alone.
TEST(LoadFromText, GrowingRowsKeepsEveryLineAndNeverShrinks) {
  std::string thirty;
  for (int r = 0; r < 30; ++r) thirty += "C" + std::to_string(r) + std::string(20, '\t') + "表" + std::to_string(r) + "\r\n";
  TempDir dir;
  TempDir::Write(dir.File("30.txt"), thirty);
  Grid list(21, 21);
  TStringGridIO io;
  io.TargetGrid = &list;
  io.GrowRows = true;
  io.LoadFromText(dir.File("30.txt"), "\t", false);
  EXPECT_EQ(list.RowCount(), 30);
  EXPECT_EQ(list.ColCount(), 21);
  EXPECT_EQ(list.Cell(0, 29), "C29");
  EXPECT_EQ(list.Cell(20, 29), "表29");
  io.SaveToText(dir.File("back.txt"), "\t", false);
  EXPECT_EQ(TempDir::Read(dir.File("back.txt")), thirty);

  io.ParseText("a\r\nb\r\n", "\t", false);
  EXPECT_EQ(list.RowCount(), 30);
  EXPECT_EQ(list.Cell(20, 1), "b");
  EXPECT_EQ(list.Cell(0, 2), "C2");
  EXPECT_EQ(list.Cell(20, 29), "表29");
}

TEST(LoadFromText, StretchingSizesTheGridToTheFile) {
  Grid g(2, 2);
  g.SetCell(0, 0, "gone");
  TStringGridIO io;
  io.TargetGrid = &g;
  io.Stretch = true;
  io.ParseText("a\r\nb\tc\td\r\n\r\n", "\t", false);
  EXPECT_EQ(g.RowCount(), 3);
  EXPECT_EQ(g.ColCount(), 3);
  EXPECT_EQ(g.Row(0), (std::vector<std::string>{"", "", "a"}));
  EXPECT_EQ(g.Row(1), (std::vector<std::string>{"b", "c", "d"}));
  EXPECT_EQ(g.Row(2), (std::vector<std::string>{"", "", ""}));
}

TEST(LoadFromText, UnreadableFilesRaiseAndLeaveTheGridAlone) {
  Grid g(2, 2);
  g.SetCell(1, 1, "kept");
  TStringGridIO io;
  io.TargetGrid = &g;
  TempDir dir;
  EXPECT_THROW(io.LoadFromText(dir.File("missing.txt"), "\t", false), FileError);
  EXPECT_THROW(io.LoadFromText(dir.Path(), "\t", false), FileError) << "a folder is not a list file";
  EXPECT_EQ(g.Cell(1, 1), "kept");
}

TEST(LoadFromText, StretchingIsRefusedBeyondFourMillionCells) {
  Grid g(2, 2);
  g.SetCell(1, 1, "kept");
  TStringGridIO io;
  io.TargetGrid = &g;
  io.Stretch = true;
  // 2999 lines (a final line end makes none), one with 2000 tabs: six million cells.
  const std::string text = std::string(2000, '\t') + std::string(2999, '\n');
  try {
    io.ParseText(text, "\t", false);
    FAIL() << "six million cells must be refused";
  } catch (const FileError& e) {
    EXPECT_STREQ(e.what(), "表が大きすぎます (2999 行 × 2001 列)");
  }
  EXPECT_EQ(g.RowCount(), 2);
  EXPECT_EQ(g.Cell(1, 1), "kept");
}

TEST(LoadFromText, BinaryAndBrokenShiftJisLoadWithoutHarm) {
  Grid g(3, 3);
  TStringGridIO io;
  io.TargetGrid = &g;
  std::string junk;
  for (int i = 1; i < 256; ++i) junk += static_cast<char>(i);
  io.ParseText(junk + "\x81", ",", true);  // ends in a lone lead byte
  EXPECT_FALSE(g.Cell(2, 0).empty());
  const std::string big(1 << 20, 'x');
  io.ParseText(big, ",", false);
  EXPECT_EQ(g.Cell(2, 0).size(), big.size());
}

TEST(SaveToText, FailedSaveKeepsTheOldFile) {
  TempDir dir;
  const std::string file = dir.File("keep.txt");
  TempDir::Write(file, "old contents");
  chmod(file.c_str(), 0444);
  Grid g(2, 2);
  TStringGridIO io;
  io.TargetGrid = &g;
  EXPECT_THROW(io.SaveToText(file, "\t", false), FileError);
  EXPECT_EQ(TempDir::Read(file), "old contents");
  EXPECT_THROW(io.SaveToText(dir.File("no/such/folder.txt"), "\t", false), FileError);
  EXPECT_THROW(io.SaveToHTML(dir.Path()), FileError);
  EXPECT_FALSE(std::filesystem::exists(file + ".qel-tmp"));
}

TEST(SaveToText, TakenTemporaryNamesAndTheTargetsPermissions) {
  TempDir dir;
  const std::string file = dir.File("list.txt");
  TempDir::Write(file, "old");
  chmod(file.c_str(), 0640);
  // Left behind by an earlier run: a folder and a file at the temporary names.
  std::filesystem::create_directory(file + ".qel-tmp");
  TempDir::Write(file + ".qel-tmp1", "another save's");
  Grid g = Filled(2, 1, {{"a", "b"}});
  TStringGridIO io;
  io.TargetGrid = &g;
  io.SaveToText(file, "\t", false);
  EXPECT_EQ(TempDir::Read(file), "a\tb\r\n");
  struct stat st{};
  ASSERT_EQ(stat(file.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);
  EXPECT_TRUE(std::filesystem::is_directory(file + ".qel-tmp"));
  EXPECT_EQ(TempDir::Read(file + ".qel-tmp1"), "another save's");
  EXPECT_FALSE(std::filesystem::exists(file + ".qel-tmp2"));
}

TEST(TargetGridNone, EveryOperationDoesNothing) {
  TStringGridIO io;
  TempDir dir;
  io.SaveToText(dir.File("a.txt"), "\t", false);
  io.SaveToHTML(dir.File("a.htm"));
  io.LoadFromText(dir.File("missing.txt"), "\t", false);  // would throw with a grid
  io.AutomationFactory = [](const std::string&) -> std::shared_ptr<Dispatch> {
    throw std::logic_error("no automation without a grid");
  };
  io.SaveToExcel();
  io.ClearCells();
  EXPECT_TRUE(std::filesystem::is_empty(dir.Path()));
}

TEST(SaveToHTML, ExactLinesWithUnsafeTextEscaped) {
  Grid g = Filled(2, 2, {{"No.", "表"}, {"a<b & c>d", ""}});
  TStringGridIO io;
  io.TargetGrid = &g;
  EXPECT_EQ(io.FormatHTML("C:\\list\"x\".htm"),
            "<!DOCTYPE HTML PUBLIC \"-//IETF//DTD HTML i18n//EN\">\r\n"
            "<HTML>\r\n"
            "<HEAD>\r\n"
            "<TITLE>C:\\list&quot;x&quot;.htm</TITLE>\r\n"
            "<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html;charset=Shift_JIS\">\r\n"
            "</HEAD>\r\n"
            "<BODY>\r\n"
            "\r\n"
            "<TABLE BORDER>\r\n"
            "<TR><TD>No.</TD><TD>表</TD></TR>\r\n"
            "<TR><TD>a&lt;b &amp; c&gt;d</TD><TD></TD></TR>\r\n"
            "</TABLE>\r\n"
            "</BODY>\r\n"
            "</HTML>\r\n");
}

TEST(SaveToHTML, MarkupAfterALoneLeadByteIsStillEscaped) {
  // '<', '>', '&' and '"' are never the second byte of a two-byte character:
  // after a lead byte they are markup, and "\x81<!--" must not open a comment.
  struct Case {
    const char* in;
    bool quotes;
    const char* out;
  } cases[] = {
      {"\x81<!--", false, "\x81&lt;!--"},
      {"\x83\x3E\x83\x3C", false, "\x83&gt;\x83&lt;"},
      {"\x81&x", false, "\x81&amp;x"},
      {"\xE0\"", true, "\xE0&quot;"},
      {"\xE0\"", false, "\xE0\""},
      {"表<", false, "表&lt;"},           // 95 5C is a whole character
      {"\x81\x40<", false, "\x81\x40&lt;"},  // the ideographic blank too
  };
  for (const Case& c : cases) EXPECT_EQ(EscapeHtml(c.in, c.quotes), c.out) << c.in;
}

TEST(SaveToHTML, WritesTheFileUnderTheGivenNameWhateverItsExtension) {
  Grid g = Filled(1, 1, {{"x"}});
  TStringGridIO io;
  io.TargetGrid = &g;
  TempDir dir;
  const std::string file = dir.File("list.txt");
  io.SaveToHTML(file);
  EXPECT_EQ(TempDir::Read(file), io.FormatHTML(file));
}


class SaveToExcelTest : public ::testing::Test {
 protected:
  std::shared_ptr<testing::CallLog> log = std::make_shared<testing::CallLog>();
  TStringGridIO io;
  void SetUp() override {
    io.AutomationFactory = [this](const std::string& progId) -> std::shared_ptr<Dispatch> {
      log->calls.push_back("create " + progId);
      return std::make_shared<testing::RecordingDispatch>(log, "Excel");
    };
  }
};

TEST_F(SaveToExcelTest, MakesTheCallsInOrderCellByCellRowByRow) {
  Grid g = Filled(2, 2, {{"No.", "NAME"}, {"1", "ﾎﾟﾝﾌﾟ"}});
  io.TargetGrid = &g;
  io.SaveToExcel();
  std::vector<std::string> expected = {
      "create Excel.Application",
      "Excel.Application",
      "Excel.Application.Visible = true",
      "Excel.Application.ScreenUpdating = false",
      "Excel.Application.WorkBooks",
      "Excel.Application.WorkBooks.Add",
      "Excel.Application.WorkBooks.Add.WorkSheets(1)",
      "Excel.Application.WorkBooks.Add.WorkSheets.Activate()",
  };
  const char* texts[2][2] = {{"No.", "NAME"}, {"1", "ﾎﾟﾝﾌﾟ"}};
  for (int r = 0; r < 2; ++r)
    for (int c = 0; c < 2; ++c) {
      const std::string sheet = "Excel.Application.WorkBooks.Add.ActiveSheet";
      const std::string at = "(" + std::to_string(r + 1) + "," + std::to_string(c + 1) + ")";
      expected.push_back(sheet);
      expected.push_back(sheet + ".Cells" + at);
      expected.push_back(sheet + ".Cells.Value = \"" + texts[r][c] + "\"");
    }
  expected.push_back("Excel.Application.ScreenUpdating = true");
  EXPECT_EQ(log->calls, expected);
}

TEST_F(SaveToExcelTest, AFailureInTheLoopStillRestoresScreenUpdatingAndReachesTheCaller) {
  Grid g(3, 3);
  io.TargetGrid = &g;
  int cellsSet = 0;
  log->beforeCall = [&](const std::string& line) {
    if (line.find(".Value = ") != std::string::npos && ++cellsSet == 4)
      throw AutomationError("the sheet is protected");
  };
  try {
    io.SaveToExcel();
    FAIL() << "the error must reach the caller";
  } catch (const AutomationError& e) {
    EXPECT_STREQ(e.what(), "the sheet is protected");
  }
  ASSERT_FALSE(log->calls.empty());
  EXPECT_EQ(log->calls.back(), "Excel.Application.ScreenUpdating = true");
  EXPECT_EQ(cellsSet, 4) << "nothing after the failing cell is written";
}

TEST_F(SaveToExcelTest, NoExcelMeansAnErrorBeforeAnyCall) {
  Grid g(1, 1);
  io.TargetGrid = &g;
  io.AutomationFactory = [](const std::string& id) -> std::shared_ptr<Dispatch> {
    throw AutomationError("cannot create " + id);
  };
  EXPECT_THROW(io.SaveToExcel(), AutomationError);
}

}  // namespace
}  // namespace qel

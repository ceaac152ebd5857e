// "Excel に保存" against the Excel stand-in through the real COM path: the
// grid arrives cell (c, r) at (r + 1, c + 1), and the sheet saved as CSV
// holds exactly the grid's texts.
#include <gtest/gtest.h>
#include <windows.h>

#include "list/StrGrdIO.h"
#include "tests/support/temp_dir.h"
#include "win32/com_dispatch.h"

namespace qel {
namespace {

std::string Utf8(const char8_t* text) { return reinterpret_cast<const char*>(text); }

TEST(ExcelStandin, SaveToExcelFillsTheSheetCellByCell) {
  Grid grid(3, 2);
  grid.SetRow(0, {"No.", "表示", "a,b"});
  grid.SetRow(1, {"1", "", "say \"hi\""});
  TStringGridIO io;
  io.TargetGrid = &grid;
  io.AutomationFactory = win::CreateComObject;
  io.SaveToExcel();

  // Made visible, Excel stays when its client lets go; a second client
  // reaches the same process and its workbook.
  auto app = win::CreateComObject("Excel.Application");
  HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, static_cast<DWORD>(app->Get("ProcessID").AsInt()));
  ASSERT_NE(process, nullptr);
  EXPECT_TRUE(app->Get("Visible").AsBool());
  EXPECT_TRUE(app->Get("ScreenUpdating").AsBool()) << "screen updating is switched back on";
  auto sheet = app->Get("ActiveWorkbook").AsObject()->Get("ActiveSheet").AsObject();
  EXPECT_EQ(sheet->Get("Name").AsText(), "Sheet1");
  EXPECT_EQ(sheet->Get("Cells", {Variant(std::int32_t{1}), Variant(std::int32_t{2})}).AsObject()->Get("Value").AsText(),
            "表示");
  EXPECT_EQ(sheet->Get("Cells", {Variant(std::int32_t{2}), Variant(std::int32_t{3})}).AsObject()->Get("Value").AsText(),
            "say \"hi\"");

  testing::TempDir dir;
  Args save{Variant(dir.File("sheet.csv"))};
  app->Call("SaveAsCsv", save);
  EXPECT_EQ(testing::TempDir::Read(dir.File("sheet.csv")),
            Utf8(u8"No.,表示,\"a,b\"\r\n1,,\"say \"\"hi\"\"\"\r\n"));

  for (auto [row, column] : {std::pair{0, 1}, std::pair{1, 0}, std::pair{1048577, 1}}) {
    try {
      sheet->Get("Cells", {Variant(std::int32_t{row}), Variant(std::int32_t{column})});
      ADD_FAILURE() << row << "," << column << " is outside the sheet";
    } catch (const AutomationError& e) {
      EXPECT_NE(std::string(e.what()).find("Cells: there is no cell at row"), std::string::npos) << e.what();
    }
  }

  sheet.reset();
  app->Call("Quit");
  app.reset();
  EXPECT_EQ(WaitForSingleObject(process, 15000), WAIT_OBJECT_0) << "Quit ends the stand-in";
  CloseHandle(process);
}

}  // namespace
}  // namespace qel

#include <gtest/gtest.h>

#include "base/grid.h"

namespace qel {
namespace {

TEST(Grid, ResizingKeepsTheCellsThatStayInside) {
  Grid g(3, 3);
  g.SetCell(0, 0, "a");
  g.SetCell(2, 2, "z");
  g.SetCell(1, 1, "m");
  g.SetRowCount(2);
  g.SetColCount(5);
  EXPECT_EQ(g.Cell(0, 0), "a");
  EXPECT_EQ(g.Cell(1, 1), "m");
  EXPECT_EQ(g.Cell(4, 1), "");
  g.SetRowCount(3);
  EXPECT_EQ(g.Cell(2, 2), "") << "a row cut away comes back empty";
}

TEST(Grid, CellsOutsideReadEmptyAndIgnoreWrites) {
  Grid g(2, 2);
  g.SetCell(5, 5, "x");
  g.SetCell(-1, 0, "x");
  EXPECT_EQ(g.Cell(5, 5), "");
  EXPECT_EQ(g.Cell(0, -1), "");
  EXPECT_EQ(g.Row(7).size(), 2u);
}

TEST(Grid, InsertAndDeleteMoveWholeRows) {
  Grid g(2, 4);
  for (int r = 0; r < 4; ++r) g.SetCell(0, r, std::to_string(r));
  g.InsertRows(1, 2);
  ASSERT_EQ(g.RowCount(), 6);
  EXPECT_EQ(g.Cell(0, 0), "0");
  EXPECT_EQ(g.Cell(0, 1), "");
  EXPECT_EQ(g.Cell(0, 2), "");
  EXPECT_EQ(g.Cell(0, 3), "1");
  EXPECT_EQ(g.Cell(0, 5), "3");
  g.DeleteRows(1, 3);
  ASSERT_EQ(g.RowCount(), 3);
  EXPECT_EQ(g.Cell(0, 1), "2");
  g.DeleteRows(2, 10);  // a count past the end deletes to the end only
  EXPECT_EQ(g.RowCount(), 2);
}

TEST(Grid, TellsItsViewAboutChanges) {
  Grid g(2, 2);
  int changes = 0;
  g.SetOnChange([&] { ++changes; });
  g.SetCell(1, 1, "x");
  g.SetRowCount(4);
  g.ClearAll();
  EXPECT_EQ(changes, 3);
}

}  // namespace
}  // namespace qel

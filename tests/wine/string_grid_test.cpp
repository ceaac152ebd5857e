// The string grid driven by the messages a user's mouse and keyboard send.
#include <gtest/gtest.h>

#include "win32/application.h"
#include "win32/form.h"
#include "win32/string_grid.h"
#include "win32/text.h"

namespace qel {
namespace {

using win::GridRect;

class StringGridTest : public ::testing::Test {
 protected:
  void SetUp() override {
    form.Create({.className = "TQelGridTestForm", .caption = "grid", .width = 400, .height = 300});
    grid.Create({.parent = &form, .bounds = {0, 0, 300, 200}});
    grid.SetDefaultRowHeight(15);
    grid.SetDefaultColWidth(40);
    grid.SetColCount(10);
    grid.SetRowCount(50);
    grid.onClick = [this] { ++clicks; };
    ShowWindow(form.Handle(), SW_SHOWNOACTIVATE);
  }

  // Client point in the middle of a cell that is on show.
  LPARAM At(int col, int row) {
    RECT r;
    EXPECT_TRUE(grid.CellRect(col, row, r)) << "cell " << col << "," << row << " is not on show";
    return MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
  }
  void MouseDown(LPARAM at, WPARAM flags = MK_LBUTTON) { SendMessageW(grid.Handle(), WM_LBUTTONDOWN, flags, at); }
  void MouseUp(LPARAM at) { SendMessageW(grid.Handle(), WM_LBUTTONUP, 0, at); }
  void Key(WPARAM key) { SendMessageW(grid.Handle(), WM_KEYDOWN, key, 0); }
  // Holds a key down in this thread's keyboard state while `f` runs.
  template <class F>
  void With(int key, F f) {
    BYTE state[256];
    GetKeyboardState(state);
    state[key] = 0x80;
    SetKeyboardState(state);
    f();
    state[key] = 0;
    SetKeyboardState(state);
  }
  std::string EditorText() {
    wchar_t buf[256] = {};
    GetWindowTextW(grid.EditorHandle(), buf, 256);
    return win::Narrow(buf);
  }
  void SetEditorText(const std::string& text) {
    SendMessageW(grid.EditorHandle(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(win::Wide(text).c_str()));
  }

  win::Form form;
  win::StringGrid grid;
  int clicks = 0;
};

TEST_F(StringGridTest, AClickSelectsTheCellAndReportsIt) {
  MouseDown(At(3, 4));
  MouseUp(At(3, 4));
  EXPECT_EQ(grid.Col(), 3);
  EXPECT_EQ(grid.Row(), 4);
  EXPECT_EQ(grid.Selection(), (GridRect{3, 4, 3, 4}));
  EXPECT_EQ(clicks, 1);
}

TEST_F(StringGridTest, AClickOnATitleCellChangesNothing) {
  grid.SetRow(2);
  clicks = 0;
  MouseDown(At(0, 5));
  MouseUp(At(0, 5));
  MouseDown(At(4, 0));
  MouseUp(At(4, 0));
  EXPECT_EQ(grid.Row(), 2);
  EXPECT_EQ(grid.Col(), 1);
  EXPECT_EQ(clicks, 0);
}

TEST_F(StringGridTest, ShiftClickAndDragSelectRangesOfRows) {
  MouseDown(At(2, 3));
  MouseUp(At(2, 3));
  MouseDown(At(2, 6), MK_LBUTTON | MK_SHIFT);
  MouseUp(At(2, 6));
  EXPECT_EQ(grid.Selection(), (GridRect{2, 3, 2, 6}));
  EXPECT_EQ(grid.Row(), 6) << "the current cell is where the click went";

  MouseDown(At(1, 8));
  SendMessageW(grid.Handle(), WM_MOUSEMOVE, MK_LBUTTON, At(3, 10));
  MouseUp(At(3, 10));
  EXPECT_EQ(grid.Selection(), (GridRect{1, 8, 3, 10}));

  grid.SetRangeSelect(false);
  MouseDown(At(1, 2));
  SendMessageW(grid.Handle(), WM_MOUSEMOVE, MK_LBUTTON, At(1, 5));
  MouseUp(At(1, 5));
  EXPECT_EQ(grid.Selection(), (GridRect{1, 2, 1, 2})) << "without range selection a drag selects nothing more";
}

TEST_F(StringGridTest, ArrowKeysMoveAndReportEveryMove) {
  grid.SetRow(1);
  clicks = 0;
  Key(VK_DOWN);
  Key(VK_DOWN);
  Key(VK_RIGHT);
  EXPECT_EQ(grid.Row(), 3);
  EXPECT_EQ(grid.Col(), 2);
  EXPECT_EQ(clicks, 3);
  Key(VK_UP);
  Key(VK_UP);
  Key(VK_UP);
  Key(VK_LEFT);
  Key(VK_LEFT);
  EXPECT_EQ(grid.Row(), 1) << "the title row is never entered";
  EXPECT_EQ(grid.Col(), 1) << "the title column is never entered";
}

TEST_F(StringGridTest, ShiftArrowsExtendTheSelection) {
  grid.SetRow(5);
  With(VK_SHIFT, [&] {
    Key(VK_DOWN);
    Key(VK_DOWN);
  });
  EXPECT_EQ(grid.Selection(), (GridRect{1, 5, 1, 7}));
  Key(VK_DOWN);
  EXPECT_EQ(grid.Selection(), (GridRect{1, 8, 1, 8})) << "a plain move drops the range";
}

TEST_F(StringGridTest, PageKeysScrollSoTheCurrentRowStaysInView) {
  const int page = grid.VisibleRowCount();
  ASSERT_GT(page, 3);
  grid.SetRow(1);
  Key(VK_NEXT);
  EXPECT_EQ(grid.Row(), 1 + page);
  RECT r;
  EXPECT_TRUE(grid.CellRect(1, grid.Row(), r)) << "the new row must be on show";
  EXPECT_GT(grid.TopRow(), 1);
  Key(VK_PRIOR);
  EXPECT_EQ(grid.Row(), 1);
  EXPECT_EQ(grid.TopRow(), 1);
}

TEST_F(StringGridTest, HomeEndAndTheirControlForms) {
  grid.SetRow(7);
  Key(VK_END);
  EXPECT_EQ(grid.Col(), 9);
  EXPECT_EQ(grid.Row(), 7);
  RECT r;
  EXPECT_TRUE(grid.CellRect(9, 7, r)) << "the last column is scrolled into view";
  EXPECT_GT(grid.LeftCol(), 1);
  EXPECT_TRUE(grid.CellRect(0, 7, r)) << "the title column stays";
  Key(VK_HOME);
  EXPECT_EQ(grid.Col(), 1);
  EXPECT_EQ(grid.LeftCol(), 1);
  With(VK_CONTROL, [&] { Key(VK_END); });
  EXPECT_EQ(grid.Row(), 49);
  EXPECT_EQ(grid.Col(), 9);
  With(VK_CONTROL, [&] { Key(VK_HOME); });
  EXPECT_EQ(grid.Row(), 1);
  EXPECT_EQ(grid.Col(), 1);
}

TEST_F(StringGridTest, SettingTheRowFromCodeSelectsItAndReports) {
  MouseDown(At(2, 2));
  MouseDown(At(2, 4), MK_LBUTTON | MK_SHIFT);
  clicks = 0;
  grid.SetRow(40);
  EXPECT_EQ(grid.Row(), 40);
  EXPECT_EQ(grid.Selection(), (GridRect{2, 40, 2, 40}));
  EXPECT_EQ(clicks, 1);
  RECT r;
  EXPECT_TRUE(grid.CellRect(2, 40, r)) << "scrolled into view";
}

TEST_F(StringGridTest, ShrinkingTheGridKeepsTheCurrentCellInside) {
  grid.SetRow(45);
  grid.SetRowCount(10);
  EXPECT_EQ(grid.Row(), 9);
  EXPECT_EQ(grid.TopRow(), 1) << "ten rows fit: nothing is scrolled away";
  grid.SetColCount(3);
  grid.SetCol(2);
  grid.SetColCount(2);
  EXPECT_EQ(grid.Col(), 1);
}

TEST_F(StringGridTest, TheScrollBarMovesTheRows) {
  SendMessageW(grid.Handle(), WM_VSCROLL, SB_LINEDOWN, 0);
  SendMessageW(grid.Handle(), WM_VSCROLL, SB_LINEDOWN, 0);
  EXPECT_EQ(grid.TopRow(), 3);
  RECT r;
  EXPECT_FALSE(grid.CellRect(1, 2, r)) << "row 2 has scrolled away";
  EXPECT_TRUE(grid.CellRect(1, 0, r)) << "the title row stays";
  SendMessageW(grid.Handle(), WM_VSCROLL, SB_BOTTOM, 0);
  EXPECT_TRUE(grid.CellRect(1, 49, r));
  SendMessageW(grid.Handle(), WM_VSCROLL, SB_TOP, 0);
  EXPECT_EQ(grid.TopRow(), 1);
}

TEST_F(StringGridTest, ChangesOfTheModelRepaint) {
  UpdateWindow(grid.Handle());
  RECT dirty;
  ASSERT_FALSE(GetUpdateRect(grid.Handle(), &dirty, FALSE));
  grid.Cells().SetCell(2, 2, "表示");
  EXPECT_TRUE(GetUpdateRect(grid.Handle(), &dirty, FALSE));
}

TEST_F(StringGridTest, WithoutEditingNoKeyOpensAnEditor) {
  grid.SetRow(3);
  Key(VK_F2);
  SendMessageW(grid.Handle(), WM_CHAR, L'x', 0);
  EXPECT_FALSE(grid.EditorVisible());
  EXPECT_EQ(grid.Cells().Cell(1, 3), "");
}

TEST_F(StringGridTest, F2EditsAndEnterCommits) {
  grid.SetEditing(true);
  grid.Cells().SetCell(2, 3, "古い");
  MouseDown(At(2, 3));
  MouseUp(At(2, 3));
  Key(VK_F2);
  ASSERT_TRUE(grid.EditorVisible());
  EXPECT_EQ(EditorText(), "古い");
  SetEditorText("新しい値");
  SendMessageW(grid.EditorHandle(), WM_KEYDOWN, VK_RETURN, 0);
  EXPECT_FALSE(grid.EditorVisible());
  EXPECT_EQ(grid.Cells().Cell(2, 3), "新しい値");
}

TEST_F(StringGridTest, EscapeDropsWhatWasTyped) {
  grid.SetEditing(true);
  grid.Cells().SetCell(1, 2, "keep");
  grid.SetRow(2);
  Key(VK_F2);
  SetEditorText("lost");
  SendMessageW(grid.EditorHandle(), WM_KEYDOWN, VK_ESCAPE, 0);
  EXPECT_FALSE(grid.EditorVisible());
  EXPECT_EQ(grid.Cells().Cell(1, 2), "keep");
}

TEST_F(StringGridTest, TypingStartsEditingWithTheTypedCharacter) {
  grid.SetEditing(true);
  grid.Cells().SetCell(1, 4, "old");
  grid.SetRow(4);
  SendMessageW(grid.Handle(), WM_CHAR, L'7', 0);
  ASSERT_TRUE(grid.EditorVisible());
  EXPECT_EQ(EditorText(), "7");
  SendMessageW(grid.EditorHandle(), WM_KEYDOWN, VK_DOWN, 0);
  EXPECT_EQ(grid.Cells().Cell(1, 4), "7") << "moving down keeps the text";
  EXPECT_EQ(grid.Row(), 5);
}

TEST_F(StringGridTest, DoubleClickEditsAndMovingAwayCommits) {
  grid.SetEditing(true);
  MouseDown(At(3, 2));
  MouseUp(At(3, 2));
  SendMessageW(grid.Handle(), WM_LBUTTONDBLCLK, MK_LBUTTON, At(3, 2));
  ASSERT_TRUE(grid.EditorVisible());
  SetEditorText("ﾓｰﾀ");
  grid.SetRow(6);
  EXPECT_FALSE(grid.EditorVisible());
  EXPECT_EQ(grid.Cells().Cell(3, 2), "ﾓｰﾀ");
  grid.SetEditing(false);
  SendMessageW(grid.Handle(), WM_LBUTTONDBLCLK, MK_LBUTTON, At(3, 6));
  EXPECT_FALSE(grid.EditorVisible());
}

TEST_F(StringGridTest, TitleBordersResizeColumnsOnlyWhenSizingIsOn) {
  RECT title;
  ASSERT_TRUE(grid.CellRect(2, 0, title));
  const LPARAM border = MAKELPARAM(title.right, (title.top + title.bottom) / 2);
  const LPARAM further = MAKELPARAM(title.right + 25, (title.top + title.bottom) / 2);
  MouseDown(border);
  SendMessageW(grid.Handle(), WM_MOUSEMOVE, MK_LBUTTON, further);
  MouseUp(further);
  EXPECT_EQ(grid.ColWidth(2), 40);

  grid.SetColSizing(true);
  MouseDown(border);
  SendMessageW(grid.Handle(), WM_MOUSEMOVE, MK_LBUTTON, further);
  MouseUp(further);
  EXPECT_EQ(grid.ColWidth(2), 65);
  EXPECT_EQ(grid.ColWidth(3), 40);

  RECT cell;
  ASSERT_TRUE(grid.CellRect(2, 3, cell));
  const int row = grid.Row();
  MouseDown(MAKELPARAM(cell.right, (cell.top + cell.bottom) / 2));
  MouseUp(MAKELPARAM(cell.right + 20, (cell.top + cell.bottom) / 2));
  EXPECT_EQ(grid.ColWidth(2), 65) << "borders of data rows do not size";
  EXPECT_NE(grid.Row(), row) << "a click there selects a cell instead";
}

TEST_F(StringGridTest, AnErrorInTheClickHandlerIsShownAndTheGridGoesOn) {
  auto& app = win::Application::Instance();
  app.SetQuietErrors(true);
  grid.onClick = [] { throw std::runtime_error("選択できません"); };
  Key(VK_DOWN);
  EXPECT_EQ(app.LastShownError(), "選択できません");
  EXPECT_EQ(grid.Row(), 2);
  app.SetQuietErrors(false);
}

}  // namespace
}  // namespace qel

// The main window's selection and circuit list, driven through its real
// controls: the motor look-up on each of its triggers, the tab changes,
// the loop selection and the tag, and the list built row by row, edited,
// saved in every format and loaded back.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/Qel_Wirmap.h"
#include "base/file_io.h"
#include "list/StrGrdIO.h"
#include "list/circuit_list.h"
#include "selection/equipment_table.h"
#include "selection/instrument_selection.h"
#include "selection/motor_selection.h"
#include "tests/support/program_folder.h"
#include "tests/support/ui_driver.h"
#include "win32/application.h"
#include "win32/text.h"

namespace qel {
namespace {

using testing::DialogScript;
using testing::ProgramFolder;

class MainWindowSelectionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    win::Application::Instance().SetQuietErrors(true);
    testing::CurrentDirectory cd(folder.Path());
    DialogScript guard(GetCurrentProcessId(), {});
    window = std::make_unique<TQel_Wirmap>();
    guard.Finish();
    ASSERT_TRUE(guard.Unexpected().empty()) << "start-up showed " << guard.Unexpected().front().text;
    fd = Delivered("fd.dat");
  }
  void TearDown() override {
    window.reset();
    win::Application::Instance().SetQuietErrors(false);
  }

  static Grid Delivered(const std::string& name) { return testing::DeliveredTable(name); }

  // The labels the delivered table gives for a key.
  MotorLabels Expected(WorkTab tab, bool v400, const std::string& output, bool leakage = false) const {
    return LookUpMotor(fd, {tab, v400, output, leakage}).labels;
  }

  // Runs a command while the script answers the dialogs it opens.
  std::vector<testing::DialogSeen> Run(const std::function<void()>& command,
                                       std::vector<DialogScript::Step> steps) {
    DialogScript script(GetCurrentProcessId(), std::move(steps));
    command();
    script.Finish();
    EXPECT_TRUE(script.Unexpected().empty()) << "unexpected dialog: " << script.Unexpected().front().text;
    return script.Seen();
  }

  static void Press(win::Wnd& control) { SendMessageW(control.Handle(), BM_CLICK, 0, 0); }

  // Typing into an editable drop-down replaces its text key by key.
  static void Type(win::ComboBox& box, const std::string& text) {
    const std::vector<HWND> edits = testing::ChildrenOf(box.Handle(), L"Edit");
    ASSERT_FALSE(edits.empty());
    SendMessageW(edits.front(), EM_SETSEL, 0, -1);
    SendMessageW(edits.front(), WM_CHAR, VK_BACK, 0);
    for (wchar_t ch : win::Wide(text)) SendMessageW(edits.front(), WM_CHAR, ch, 0);
  }

  // Choosing an entry, told to the parent at once as the box tells it.
  static void Choose(win::ComboBox& box, int index) {
    SendMessageW(box.Handle(), CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    SendMessageW(GetParent(box.Handle()), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(box.Handle()), CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(box.Handle()));
  }
  static void Choose(win::ComboBox& box, const std::string& entry) {
    const std::vector<std::string> items = box.Items();
    const auto at = std::find(items.begin(), items.end(), entry);
    ASSERT_NE(at, items.end()) << entry;
    Choose(box, static_cast<int>(at - items.begin()));
  }

  // A click on a tab of the tab control, as the user makes it.
  void ChooseTab(int index) {
    const HWND tabs = window->PageControl1.TabHandle();
    RECT r{};
    ASSERT_TRUE(SendMessageW(tabs, TCM_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&r)));
    const LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    SendMessageW(tabs, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageW(tabs, WM_LBUTTONUP, 0, at);
    ASSERT_EQ(window->PageControl1.ActivePageIndex(), index);
  }

  // A mouse click on a list row, with Shift to extend the selection.
  void ClickRow(int row, bool shift = false) {
    win::StringGrid& g = window->StringGrid1;
    RECT r{};
    if (!g.CellRect(1, row, r)) g.SetTopRow(row);
    ASSERT_TRUE(g.CellRect(1, row, r)) << "row " << row << " on show";
    const LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    SendMessageW(g.Handle(), WM_LBUTTONDOWN, MK_LBUTTON | (shift ? MK_SHIFT : 0), at);
    SendMessageW(g.Handle(), WM_LBUTTONUP, 0, at);
  }

  MotorLabels Shown() const {
    const TQel_Wirmap& w = *window;
    MotorLabels l;
    l.Label13 = w.Label13.Text(), l.Label7 = w.Label7.Text(), l.Label15 = w.Label15.Text();
    l.Label29 = w.Label29.Text(), l.Label45 = w.Label45.Text(), l.Label46 = w.Label46.Text();
    l.Label17 = w.Label17.Text(), l.Label31 = w.Label31.Text(), l.Label19 = w.Label19.Text();
    l.Label33 = w.Label33.Text(), l.Label21 = w.Label21.Text(), l.Label37 = w.Label37.Text();
    l.Label22 = w.Label22.Text(), l.Label38 = w.Label38.Text(), l.Label24 = w.Label24.Text();
    l.Label40 = w.Label40.Text(), l.Label26 = w.Label26.Text(), l.Label42 = w.Label42.Text();
    l.Label47 = w.Label47.Text(), l.Label48 = w.Label48.Text(), l.Label49 = w.Label49.Text();
    l.Label50 = w.Label50.Text();
    return l;
  }

  std::vector<int> ListWidths() const {
    std::vector<int> out;
    for (int c = 0; c < window->StringGrid1.ColCount(); ++c) out.push_back(window->StringGrid1.ColWidth(c));
    return out;
  }
  static std::vector<int> Widths(ListLayout layout) {
    const auto w = ListColumnWidths(layout);
    return {w.begin(), w.end()};
  }

  static void ExpectSameList(const Grid& actual, const Grid& expected) {
    ASSERT_EQ(actual.RowCount(), expected.RowCount());
    ASSERT_EQ(actual.ColCount(), expected.ColCount());
    for (int r = 0; r < expected.RowCount(); ++r) EXPECT_EQ(actual.Row(r), expected.Row(r)) << "row " << r;
  }

  ProgramFolder folder;
  std::unique_ptr<TQel_Wirmap> window;
  Grid fd;
};

// ---- motor look-up ----

TEST_F(MainWindowSelectionTest, StartUpShowsTheDirectOnLineRecordOf5_5kW) {
  const int row = FindEquipmentRow(fd, "1 200 5.5");
  ASSERT_LT(row, fd.RowCount());
  EXPECT_EQ(window->Label13.Text(), fd.Cell(2, row));
  EXPECT_EQ(window->Label15.Text(), fd.Cell(3, row));
  EXPECT_EQ(window->Label22.Text(), fd.Cell(9, row));
  EXPECT_EQ(Shown(), Expected(WorkTab::DirectOnLine, false, "5.5"));
  EXPECT_EQ(window->VoltageText, "200");
}

TEST_F(MainWindowSelectionTest, VoltageLeakageAndTheVoltageGroupRunTheLookUp) {
  TQel_Wirmap& w = *window;
  Press(w.RadioButton2);
  EXPECT_EQ(w.VoltageText, "400");
  EXPECT_EQ(Shown(), Expected(WorkTab::DirectOnLine, true, "5.5"));

  Press(w.CheckBox2);
  const int row = FindEquipmentRow(fd, "1 400 5.5");
  EXPECT_EQ(w.Label21.Text(), fd.Cell(16, row)) << "the earth-leakage breaker lines";
  EXPECT_EQ(w.Label38.Text(), fd.Cell(17, row));
  Press(w.CheckBox2);
  EXPECT_EQ(w.Label21.Text(), fd.Cell(8, row));
  EXPECT_EQ(w.Label38.Text(), fd.Cell(9, row));

  Press(w.RadioButton1);
  EXPECT_EQ(w.VoltageText, "200");
  EXPECT_EQ(Shown(), Expected(WorkTab::DirectOnLine, false, "5.5"));

  // A click on the group itself looks up whatever the buttons now say.
  w.RadioButton1.SetChecked(false);
  w.RadioButton2.SetChecked(true);
  testing::MouseClick(w.GroupBox2.Handle());
  testing::WaitUntil([&] { return w.VoltageText == "400"; }, 2000);
  EXPECT_EQ(w.VoltageText, "400");
  EXPECT_EQ(Shown(), Expected(WorkTab::DirectOnLine, true, "5.5"));
}

TEST_F(MainWindowSelectionTest, TypingOrChoosingAnOutputRunsTheLookUp) {
  TQel_Wirmap& w = *window;
  Type(w.ComboBox1, "7.5");
  EXPECT_EQ(w.ComboBox1.Text(), "7.5");
  EXPECT_EQ(Shown(), Expected(WorkTab::DirectOnLine, false, "7.5"));

  Type(w.ComboBox1, "7.50");
  EXPECT_EQ(Shown(), MotorLabels{}) << "a trailing zero finds no record";

  Choose(w.ComboBox1, "110");
  EXPECT_EQ(w.ComboBox1.Text(), "110");
  EXPECT_EQ(Shown(), Expected(WorkTab::DirectOnLine, false, "110"));
}

TEST_F(MainWindowSelectionTest, TabChangesRefillTheOutputsKeepTheTextAndSetTheListWidths) {
  TQel_Wirmap& w = *window;
  EXPECT_EQ(ListWidths(), Widths(ListLayout::Motor));

  ChooseTab(1);
  EXPECT_EQ(w.ComboBox1.Items(), StarDeltaOutputs());
  EXPECT_EQ(w.ComboBox1.Text(), "5.5");
  EXPECT_EQ(Shown(), Expected(WorkTab::StarDelta, false, "5.5"));
  EXPECT_EQ(ListWidths(), Widths(ListLayout::Motor));

  Choose(w.ComboBox1, "160");
  Press(w.RadioButton2);
  EXPECT_EQ(Shown(), Expected(WorkTab::StarDelta, true, "160"));
  ASSERT_NE(Shown(), MotorLabels{});

  ChooseTab(0);
  EXPECT_EQ(w.ComboBox1.Items(), DirectOnLineOutputs());
  EXPECT_EQ(w.ComboBox1.Text(), "160") << "a star-delta output stays in the box";
  EXPECT_EQ(Shown(), MotorLabels{}) << "and finds no direct-on-line record";

  Type(w.ComboBox1, "0.4");
  ChooseTab(1);
  EXPECT_EQ(w.ComboBox1.Text(), "0.4");
  EXPECT_EQ(Shown(), MotorLabels{});

  ChooseTab(2);
  EXPECT_EQ(ListWidths(), Widths(ListLayout::Instrumentation));
  ChooseTab(0);
  EXPECT_EQ(ListWidths(), Widths(ListLayout::Motor));
  EXPECT_EQ(w.ComboBox1.Items(), DirectOnLineOutputs());
  EXPECT_EQ(Shown(), Expected(WorkTab::DirectOnLine, true, "0.4"));
}

TEST_F(MainWindowSelectionTest, ReversingAndFeedExcludeEachOther) {
  TQel_Wirmap& w = *window;
  Press(w.CheckBox4);
  EXPECT_TRUE(w.CheckBox4.Checked());
  Press(w.CheckBox3);
  EXPECT_TRUE(w.CheckBox3.Checked());
  EXPECT_FALSE(w.CheckBox4.Checked());
  Press(w.CheckBox4);
  EXPECT_FALSE(w.CheckBox3.Checked());
  EXPECT_TRUE(w.CheckBox4.Checked());
  Press(w.CheckBox4);
  EXPECT_FALSE(w.CheckBox3.Checked());
  EXPECT_FALSE(w.CheckBox4.Checked());
}

// ---- instrumentation ----

TEST_F(MainWindowSelectionTest, TheInstrumentationTabHidesTheMotorControlsAndLocksTheDeviceLists) {
  TQel_Wirmap& w = *window;
  const std::vector<win::Wnd*> motorOnly = {&w.GroupBox2, &w.Label1, &w.ComboBox1, &w.CheckBox1, &w.CheckBox2};
  w.Show();
  ChooseTab(2);
  for (win::Wnd* c : motorOnly) EXPECT_FALSE(c->Visible()) << c->Text();
  EXPECT_TRUE(w.Edit1.Visible());
  EXPECT_FALSE(w.ComboBox20.Enabled());
  EXPECT_FALSE(w.ComboBox21.Enabled());

  Choose(w.ComboBox19, "Ai>PEN");
  EXPECT_TRUE(w.ComboBox20.Enabled());
  EXPECT_EQ(w.ComboBox20.Items(), AnalogueInputDevices());
  EXPECT_EQ(w.ComboBox20.ItemIndex(), -1) << "new entries leave nothing chosen";
  EXPECT_FALSE(w.ComboBox21.Enabled());

  Choose(w.ComboBox20, 2);
  Choose(w.ComboBox19, "Do");
  EXPECT_FALSE(w.ComboBox20.Enabled());
  EXPECT_EQ(w.ComboBox20.ItemIndex(), 0) << "the empty entry";
  EXPECT_TRUE(w.ComboBox21.Enabled());
  EXPECT_EQ(w.ComboBox21.Items(), DigitalOutputDevices());
  EXPECT_EQ(w.ComboBox21.ItemIndex(), -1);

  Choose(w.ComboBox21, 1);
  ChooseTab(0);
  for (win::Wnd* c : motorOnly) EXPECT_TRUE(c->Visible()) << c->Text();
  ChooseTab(2);
  EXPECT_EQ(w.ComboBox19.Text(), "Do") << "the loop function is kept";
  EXPECT_FALSE(w.ComboBox21.Enabled()) << "coming back locks the device lists again";
  EXPECT_EQ(w.ComboBox21.ItemIndex(), 0);
  w.Hide();
}

TEST_F(MainWindowSelectionTest, TheTagFollowsEveryChangeOfItsSelectors) {
  TQel_Wirmap& w = *window;
  EXPECT_EQ(w.Label74.Text(), kTagPlaceholder) << "not built at start-up";
  Choose(w.ComboBox2, "T 温度");
  EXPECT_EQ(w.Label74.Text(), "TZ-001");
  Choose(w.ComboBox3, "IC 表示制御");
  EXPECT_EQ(w.Label74.Text(), "TIC-001");
  Type(w.ComboBox6, "5");
  EXPECT_EQ(w.Label74.Text(), "TIC-005");
  Choose(w.ComboBox4, " ");
  EXPECT_EQ(w.Label74.Text(), "TIC- 05");
  Choose(w.ComboBox5, "3 *10");
  EXPECT_EQ(w.Label74.Text(), "TIC- 35");
  Type(w.ComboBox3, "IC");
  EXPECT_EQ(w.Label74.Text(), "T- 35") << "typed letters without a blank are dropped";
}

// ---- the circuit list ----

TEST_F(MainWindowSelectionTest, EveryKindOfRowEditedSavedAndLoadedBack) {
  TQel_Wirmap& w = *window;
  win::StringGrid& grid = w.StringGrid1;
  // The same list built by the list code alone, from the same inputs.
  Grid expected;
  CircuitList model(expected);
  model.SetUp();
  ListEntryInputs in;

  // 1: direct-on-line with everything as it starts.
  in.labels = Expected(WorkTab::DirectOnLine, false, "5.5");
  Press(w.Button3);
  model.WriteSelection(in);
  const int record = FindEquipmentRow(fd, "1 200 5.5");
  const std::vector<std::string> row1 = grid.Cells().Row(1);
  EXPECT_EQ(std::vector<std::string>(row1.begin(), row1.begin() + 5),
            (std::vector<std::string>{"1", "名称を記入ください", "直", "5.5", "200"}));
  EXPECT_EQ(row1[5], fd.Cell(2, record));
  EXPECT_EQ(row1[6], fd.Cell(3, record));
  EXPECT_EQ(row1[11], fd.Cell(9, record)) << "the general-purpose breaker";
  EXPECT_EQ(grid.Row(), 2);
  EXPECT_EQ(w.Edit2.Text(), "2");
  EXPECT_EQ(w.WritePosition, 2);

  // 2: reversing with earth leakage, 400 V, another name.
  w.Edit1.SetText("ﾎﾟﾝﾌﾟ");
  Press(w.RadioButton2);
  Press(w.CheckBox2);
  Press(w.CheckBox3);
  in.name = "ﾎﾟﾝﾌﾟ";
  in.voltageText = "400";
  in.earthLeakage = in.reversing = true;
  in.labels = Expected(WorkTab::DirectOnLine, true, "5.5", true);
  Press(w.Button3);
  model.WriteSelection(in);
  EXPECT_EQ(grid.Cells().Cell(2, 2), "可逆漏");
  EXPECT_FALSE(w.CheckBox3.Checked());
  EXPECT_FALSE(w.CheckBox4.Checked());

  // 3: a feed with the "EA" breaker, no earth leakage.
  Press(w.CheckBox2);
  Press(w.CheckBox1);
  Press(w.CheckBox4);
  in.earthLeakage = in.reversing = false;
  in.feed = true;
  in.generalPurposeBreaker = false;
  in.labels = Expected(WorkTab::DirectOnLine, true, "5.5");
  Press(w.Button3);
  model.WriteSelection(in);
  EXPECT_EQ(grid.Cells().Cell(2, 3), "送り");
  in.feed = false;

  // 4: star-delta, 30 kW.
  ChooseTab(1);
  Choose(w.ComboBox1, "30");
  in.tab = WorkTab::StarDelta;
  in.outputText = "30";
  in.labels = Expected(WorkTab::StarDelta, true, "30");
  ASSERT_NE(in.labels, MotorLabels{});
  Press(w.Button3);
  model.WriteSelection(in);
  EXPECT_EQ(grid.Cells().Cell(2, 4), "☆⊿");

  // 5: a loop without a device is refused, and the position moves on.
  ChooseTab(2);
  Choose(w.ComboBox19, "Ai>C");
  in.tab = WorkTab::Instrumentation;
  in.loopFunction = "Ai>C";
  in.receivingEnabled = true;
  in.labels = Shown();  // the motor labels are not read on this tab
  auto seen = Run([&] { Press(w.Button3); }, {DialogScript::Press(IDOK)});
  model.WriteSelection(in);
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].text, "種類を選んでください。");
  EXPECT_EQ(seen[0].caption, win::Application::Instance().Title());
  EXPECT_EQ(grid.Cells().Row(5), std::vector<std::string>(21)) << "nothing written";
  EXPECT_EQ(w.Edit2.Text(), "6");

  // 6: the same loop with a device and a tag.
  Choose(w.ComboBox20, "Ai-T 計測信号(温度)");
  Choose(w.ComboBox2, "T 温度");
  Choose(w.ComboBox3, "IC 表示制御");
  in.receivingText = "Ai-T 計測信号(温度)";
  in.tag = "TIC-001";
  Press(w.Button3);
  model.WriteSelection(in);
  EXPECT_EQ(grid.Cells().Row(6).back(), "TIC-001");
  EXPECT_EQ(grid.Cells().Cell(19, 6), "Ai-T");

  // 7: a reserve row.
  Press(w.Button7);
  model.WriteReserve();
  EXPECT_EQ(grid.Cells().Cell(1, 7), "SP");

  // A click on the last row, and a write there: one more row and a notice.
  const int last = grid.RowCount() - 1;
  ClickRow(last);
  EXPECT_EQ(w.Edit2.Text(), std::to_string(last));
  model.SelectRow(last);
  seen = Run([&] { Press(w.Button7); }, {DialogScript::Press(IDOK)});
  model.WriteReserve();
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].caption, "操作 Error");
  EXPECT_EQ(seen[0].text, win::Narrow(win::Wide(ListFullMessage().text)));
  EXPECT_EQ(grid.RowCount(), last + 2);
  EXPECT_EQ(grid.Row(), last + 1) << "the new row is selected";

  // Insert three rows at 3 to 5 from the button, delete 8 and 9 from the menu.
  ClickRow(3);
  ClickRow(5, true);
  EXPECT_EQ(grid.Selection().Top, 3);
  EXPECT_EQ(grid.Selection().Bottom, 5) << "the range survives the write-position mirror";
  EXPECT_EQ(w.WritePosition, 5);
  Press(w.Button1);
  model.SelectRow(5);
  model.InsertRows(3, 5);
  EXPECT_EQ(grid.Cells().Cell(0, 6), "3") << "the old row 3 moved down unchanged";

  ClickRow(8);
  ClickRow(9, true);
  SendMessageW(w.Handle(), WM_COMMAND, TQel_Wirmap::kN6, 0);
  model.SelectRow(9);
  model.DeleteRows(8, 9);

  ExpectSameList(grid.Cells(), expected);
  EXPECT_EQ(w.WritePosition, model.WritePosition());

  // Saved in each format: the files the list code writes for the same list.
  struct Format {
    int filter;
    std::string name;
  };
  const std::vector<Format> formats = {{1, "tab.txt"}, {2, "comma.txt"}, {3, "list.csv"}, {4, "list.htm"}};
  TStringGridIO reference;
  reference.TargetGrid = &expected;
  for (const Format& f : formats) {
    w.SaveDialog1.FilterIndex = f.filter;
    const std::string path = folder.File(f.name);
    seen = Run([&] { w.save1Click(); }, {DialogScript::File(path, 0)});
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].caption, "名前を付けて保存してください。");
    ASSERT_TRUE(testing::FileExists(path)) << f.name;
    const std::string saved = ReadWholeFile(path);
    // The page's title names its own file, so the reference goes to the same name.
    const std::string mine = f.filter == 4 ? path : folder.File("expected-" + f.name);
    if (f.filter == 4) reference.SaveToHTML(mine);
    else reference.SaveToText(mine, f.filter == 1 ? "\t" : ",", f.filter == 3);
    EXPECT_EQ(saved, ReadWholeFile(mine)) << f.name;
  }
  EXPECT_EQ(w.WritePosition, model.WritePosition()) << "saving leaves the position alone";

  // Loaded back into an emptied list of the same size, each gives the list.
  for (const Format& f : std::vector<Format>(formats.begin(), formats.end() - 1)) {
    grid.Cells().ClearAll();
    w.OpenDialog1.FilterIndex = f.filter;
    seen = Run([&] { w.load1Click(); }, {DialogScript::File(folder.File(f.name), 0)});
    ASSERT_EQ(seen.size(), 1u);
    ExpectSameList(grid.Cells(), expected);
  }
}

TEST_F(MainWindowSelectionTest, TheHtmlFileIsWrittenWhateverTheTypedExtension) {
  TQel_Wirmap& w = *window;
  Press(w.Button3);
  w.SaveDialog1.FilterIndex = 4;
  const std::string path = folder.File("page.txt");
  Run([&] { w.save1Click(); }, {DialogScript::File(path, 0)});
  Grid copy = w.StringGrid1.Cells();
  TStringGridIO reference;
  reference.TargetGrid = &copy;
  const std::string saved = ReadWholeFile(path);
  reference.SaveToHTML(path);
  EXPECT_EQ(saved, ReadWholeFile(path));
  EXPECT_EQ(saved.rfind("<!DOCTYPE HTML", 0), 0u);
}

TEST_F(MainWindowSelectionTest, DeletingEveryDataRowLeavesOneEmptyRowAndPosition1) {
  TQel_Wirmap& w = *window;
  for (int i = 0; i < 3; ++i) Press(w.Button3);
  ClickRow(1);
  ClickRow(w.StringGrid1.RowCount() - 1, true);
  EXPECT_EQ(w.WritePosition, 20);
  Press(w.Button4);
  EXPECT_EQ(w.StringGrid1.RowCount(), 2);
  EXPECT_EQ(w.StringGrid1.Cells().Row(1), std::vector<std::string>(21));
  EXPECT_EQ(w.WritePosition, 1);
  EXPECT_EQ(w.Edit2.Text(), "1");
  EXPECT_EQ(w.StringGrid1.Row(), 1);

  // With one data row, every write is at the last row.
  auto seen = Run([&] { Press(w.Button3); }, {DialogScript::Press(IDOK)});
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].caption, "操作 Error");
  EXPECT_EQ(w.StringGrid1.Cells().Cell(2, 1), "直");
  EXPECT_EQ(w.StringGrid1.RowCount(), 3);
  EXPECT_EQ(w.WritePosition, 2);
}

TEST_F(MainWindowSelectionTest, ACellEditedInTheMaintenanceViewShowsAtTheNextLookUpWithoutSaving) {
  TQel_Wirmap& w = *window;
  SendMessageW(w.Handle(), WM_COMMAND, TQel_Wirmap::kN7, 0);
  Press(w.CheckBox5);
  ASSERT_TRUE(w.StringGrid2.Editing());
  const int row = FindEquipmentRow(w.StringGrid2.Cells(), "1 200 5.5");
  ASSERT_LT(row, kEquipmentRowCount);
  w.StringGrid2.SetRow(row);
  w.StringGrid2.SetCol(2);
  w.StringGrid2.ShowEditor();
  ASSERT_TRUE(w.StringGrid2.EditorVisible());
  SendMessageW(w.StringGrid2.EditorHandle(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"99.9"));
  SendMessageW(w.StringGrid2.EditorHandle(), WM_KEYDOWN, VK_RETURN, 0);
  EXPECT_EQ(w.Label13.Text(), fd.Cell(2, row)) << "the labels change only at the next look-up";
  Press(w.RadioButton1);
  EXPECT_EQ(w.Label13.Text(), "99.9");
  EXPECT_EQ(ReadWholeFile(folder.File("Data\\fd.dat")), ReadWholeFile(testing::RepoFile("data/fd.dat")))
      << "nothing was saved";
}

}  // namespace
}  // namespace qel

// The main window's selection and circuit list, driven through its real
// controls: the motor look-up on each of its triggers, the tab changes,
// the loop selection and the tag, and the list built row by row, edited,
// saved and loaded back. The program folder holds an equipment table of
// the test's own, so that every expected text stands here as it is.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "base/file_io.h"
#include "selection/instrument_selection.h"
#include "tests/support/main_window_fixture.h"
#include "win32/text.h"

namespace qel {
namespace {

using testing::DialogScript;
using testing::ProgramFolder;
using Cells = std::vector<std::string>;

// A few records, their values unlike each other and unlike any catalogue's.
const char kTable[] =
    "\"区分\",\"キー\",\"電流\",\"MS\",\"MCS\",\"MCD\",\"TH\",\"ﾋｰﾀ\",\"EA\",\"SA\",\"定格\",\"A.B\",\"C.D\",\"E.F\",\"G\","
    "\"H\",\"ELB EA\",\"ELB SA\"\r\n"
    "\"直入 200V 5.5kW\",\"1 200 5.5\",26,\"SW-4-0\",\"\",\"\",\"TR-5-1N/3\",26,\"EA53\",\"SA53\",50,3.5,\"\",\"\",\"\","
    "\"\",\"EG53\",\"SG53\"\r\n"
    "\"直入 200V 7.5kW\",\"1 200 7.5\",34,\"SW-4-1\",\"\",\"\",\"TR-5-1N/3\",34,\"EA103\",\"SA103\",60,5.5,\"\",\"\","
    "\"\",\"\",\"EG103\",\"SG103\"\r\n"
    "\"直入 200V 110kW\",\"1 200 110\",436,\"SW-N11\",\"\",\"\",\"TR-N12/3\",436,\"EA803\",\"SA803\",700,250,\"\",\"\","
    "\"\",\"\",\"EG803\",\"SG803\"\r\n"
    "\"直入 400V 0.4kW\",\"1 400 0.4\",1.6,\"SW-03\",\"\",\"\",\"TR-0N/3\",1.7,\"EA33\",\"SA33\",3,2,\"\",\"\",\"\",\"\","
    "\"EG33\",\"SG33\"\r\n"
    "\"直入 400V 5.5kW\",\"1 400 5.5\",13,\"SW-0\",\"\",\"\",\"TR-0N/3\",15,\"EA33\",\"SA32\",30,2,\"\",\"\",\"\",\"\","
    "\"EG33\",\"SG32\"\r\n"
    "\"Y-⊿ 200V 5.5kW\",\"2 200 5.5\",27,\"SC-05\",\"SC-03\",\"SC-06\",\"TR-0N/3\",16,\"EA54\",\"SA54\",40,3.6,2.1,2.2,"
    "2.3,2.4,\"EG54\",\"SG54\"\r\n"
    "\"Y-⊿ 400V 30kW\",\"2 400 30\",62,\"SC-N1\",\"SC-4-0\",\"SC-N2\",\"TR-N2/3\",36,\"EA104\",\"SA104\",100,14,5.5,"
    "5.6,2,1.25,\"EG104\",\"SG104\"\r\n"
    "\"Y-⊿ 400V 160kW\",\"2 400 160\",315,\"SC-N6\",\"SC-N4\",\"SC-N7\",\"TR-N6/3\",182,\"EA603\",\"SA603\",500,150,"
    "60,61,38,22,\"EG603\",\"SG603\"\r\n";

const Cells kNothing(8, "");
const Cells kNothingStarDelta(14, "");
const std::string B = " ";  // a field written empty

class MainWindowSelectionTest : public testing::MainWindowFixture {
 protected:
  void SetUp() override {
    MainWindowFixture::SetUp();
    ReplaceFileContents(folder.File("Data\\fd.dat"), kTable);
    Start(folder);
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

  // The value labels of each motor tab in the order of their pages.
  Cells DirectOnLineShown() const {
    const TQel_Wirmap& w = *window;
    return {w.Label13.Text(), w.Label15.Text(), w.Label17.Text(), w.Label19.Text(),
            w.Label21.Text(), w.Label22.Text(), w.Label24.Text(), w.Label26.Text()};
  }
  Cells StarDeltaShown() const {
    const TQel_Wirmap& w = *window;
    return {w.Label7.Text(),  w.Label29.Text(), w.Label45.Text(), w.Label46.Text(), w.Label31.Text(),
            w.Label33.Text(), w.Label37.Text(), w.Label38.Text(), w.Label40.Text(), w.Label42.Text(),
            w.Label47.Text(), w.Label48.Text(), w.Label49.Text(), w.Label50.Text()};
  }

  std::vector<int> ListWidths() const {
    std::vector<int> out;
    for (int c = 0; c < window->StringGrid1.ColCount(); ++c) out.push_back(window->StringGrid1.ColWidth(c));
    return out;
  }

  Cells ListRow(int row) const { return window->StringGrid1.Cells().Row(row); }

  ProgramFolder folder;
};

const std::vector<int> kMotorWidths = {20, 130, 40, 40, 40, 40, 60, 60, 60, 60, 60,
                                       60, 60,  30, 30, 30, 30, 30, 50, 50, 60};
const std::vector<int> kLoopWidths = {20, 130, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 50, 50, 60};

// ---- motor look-up ----

TEST_F(MainWindowSelectionTest, StartUpShowsTheDirectOnLineRecordOf5_5kWOnBothTabs) {
  EXPECT_EQ(DirectOnLineShown(), (Cells{"26", "SW-4-0", "TR-5-1N/3", "26", "EA53", "SA53", "50", "3.5"}));
  EXPECT_EQ(StarDeltaShown(),
            (Cells{"26", "SW-4-0", "", "", "TR-5-1N/3", "26", "EA53", "SA53", "50", "3.5", "", "", "", ""}));
}

TEST_F(MainWindowSelectionTest, VoltageLeakageAndTheVoltageGroupRunTheLookUp) {
  TQel_Wirmap& w = *window;
  const Cells at400 = {"13", "SW-0", "TR-0N/3", "15", "EA33", "SA32", "30", "2"};
  Press(w.RadioButton2);
  EXPECT_EQ(DirectOnLineShown(), at400);

  Press(w.CheckBox2);
  EXPECT_EQ(DirectOnLineShown(), (Cells{"13", "SW-0", "TR-0N/3", "15", "EG33", "SG32", "30", "2"}))
      << "the earth-leakage breaker lines";
  Press(w.CheckBox2);
  EXPECT_EQ(DirectOnLineShown(), at400);

  Press(w.RadioButton1);
  EXPECT_EQ(w.Label13.Text(), "26");

  // A click on the group itself looks up whatever the buttons now say.
  w.RadioButton1.SetChecked(false);
  w.RadioButton2.SetChecked(true);
  testing::MouseClick(w.GroupBox2.Handle());
  testing::WaitUntil([&] { return w.Label13.Text() == "13"; }, 2000);
  EXPECT_EQ(DirectOnLineShown(), at400);
}

TEST_F(MainWindowSelectionTest, TypingOrChoosingAnOutputRunsTheLookUp) {
  TQel_Wirmap& w = *window;
  Type(w.ComboBox1, "7.5");
  EXPECT_EQ(w.ComboBox1.Text(), "7.5");
  EXPECT_EQ(DirectOnLineShown(), (Cells{"34", "SW-4-1", "TR-5-1N/3", "34", "EA103", "SA103", "60", "5.5"}));

  Type(w.ComboBox1, "7.50");
  EXPECT_EQ(DirectOnLineShown(), kNothing) << "a trailing zero finds no record";

  Choose(w.ComboBox1, "110");
  EXPECT_EQ(w.ComboBox1.Text(), "110");
  EXPECT_EQ(DirectOnLineShown(), (Cells{"436", "SW-N11", "TR-N12/3", "436", "EA803", "SA803", "700", "250"}));
}

TEST_F(MainWindowSelectionTest, TabChangesRefillTheOutputsKeepTheTextAndSetTheListWidths) {
  TQel_Wirmap& w = *window;
  EXPECT_EQ(ListWidths(), kMotorWidths);

  ChooseTab(1);
  EXPECT_EQ(w.ComboBox1.Items(),
            (Cells{"5.5", "7.5", "11", "15", "18.5", "22", "30", "37", "45", "55", "75", "90", "110", "132", "160"}));
  EXPECT_EQ(w.ComboBox1.Text(), "5.5");
  EXPECT_EQ(StarDeltaShown(),
            (Cells{"27", "SC-05", "SC-03", "SC-06", "TR-0N/3", "16", "EA54", "SA54", "40", "3.6", "2.1", "2.2", "2.3",
                   "2.4"}));
  EXPECT_EQ(ListWidths(), kMotorWidths);

  Choose(w.ComboBox1, "160");
  Press(w.RadioButton2);
  EXPECT_EQ(StarDeltaShown(), (Cells{"315", "SC-N6", "SC-N4", "SC-N7", "TR-N6/3", "182", "EA603", "SA603", "500",
                                     "150", "60", "61", "38", "22"}));

  ChooseTab(0);
  EXPECT_EQ(w.ComboBox1.Items().size(), 21u);
  EXPECT_EQ(w.ComboBox1.Text(), "160") << "a star-delta output stays in the box";
  EXPECT_EQ(DirectOnLineShown(), kNothing) << "and finds no direct-on-line record";

  Type(w.ComboBox1, "0.4");
  ChooseTab(1);
  EXPECT_EQ(w.ComboBox1.Text(), "0.4");
  EXPECT_EQ(StarDeltaShown(), kNothingStarDelta);

  ChooseTab(2);
  EXPECT_EQ(ListWidths(), kLoopWidths);
  ChooseTab(0);
  EXPECT_EQ(ListWidths(), kMotorWidths);
  EXPECT_EQ(w.ComboBox1.Items().front(), "0.1");
  EXPECT_EQ(DirectOnLineShown(), (Cells{"1.6", "SW-03", "TR-0N/3", "1.7", "EA33", "SA33", "3", "2"}));
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
  EXPECT_EQ(w.Label74.Text(), "TAG　No.作成ください") << "not built at start-up";
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

// ---- the rows written into the circuit list ----

TEST_F(MainWindowSelectionTest, TheStartUpSelectionWritesADirectOnLineRow) {
  TQel_Wirmap& w = *window;
  Press(w.Button3);
  EXPECT_EQ(ListRow(1), (Cells{"1", "名称を記入ください", "直", "5.5", "200", "26", "SW-4-0", B, B, "TR-5-1N/3", "26",
                               "SA53", "50", "3.5", B, B, B, B, B, "", ""}));
  EXPECT_EQ(w.StringGrid1.Row(), 2);
  EXPECT_EQ(w.Edit2.Text(), "2");
  EXPECT_EQ(w.WritePosition, 2);
}

TEST_F(MainWindowSelectionTest, AReversingRowWithEarthLeakageAt400V) {
  TQel_Wirmap& w = *window;
  w.Edit1.SetText("ﾎﾟﾝﾌﾟ");
  Press(w.RadioButton2);
  Press(w.CheckBox2);
  Press(w.CheckBox3);
  Press(w.Button3);
  EXPECT_EQ(ListRow(1), (Cells{"1", "ﾎﾟﾝﾌﾟ", "可逆漏", "5.5", "400", "13", "SW-0", B, B, "TR-0N/3", "15", "SG32", "30",
                               "2", B, B, B, B, B, "", ""}));
  EXPECT_FALSE(w.CheckBox3.Checked()) << "the drawing options are unticked for the next row";
  EXPECT_FALSE(w.CheckBox4.Checked());
}

TEST_F(MainWindowSelectionTest, AFeedRowOnTheEaLineHasNoStarter) {
  TQel_Wirmap& w = *window;
  Press(w.CheckBox1);
  Press(w.CheckBox4);
  Press(w.Button3);
  EXPECT_EQ(ListRow(1), (Cells{"1", "名称を記入ください", "送り", "5.5", "200", "26", B, B, B, B, B, "EA53", "50", "3.5",
                               B, B, B, B, B, "", ""}));
}

TEST_F(MainWindowSelectionTest, AStarDeltaRowCarriesEveryContactorAndWireSize) {
  TQel_Wirmap& w = *window;
  ChooseTab(1);
  Choose(w.ComboBox1, "30");
  Press(w.RadioButton2);
  Press(w.Button3);
  EXPECT_EQ(ListRow(1), (Cells{"1", "名称を記入ください", "☆⊿", "30", "400", "62", "SC-N1", "SC-4-0", "SC-N2", "TR-N2/3",
                               "36", "SA104", "100", "14", "5.5", "5.6", "2", "1.25", "", "", ""}));
}

// The star-delta and instrumentation pages make their controls the first
// time they are shown: what the handlers set on them until then - a table
// switch's look-up, a loop function, its devices, a tag - is what the
// windows show, and a list loaded meanwhile changes nothing there.
TEST_F(MainWindowSelectionTest, PagesFirstShownAfterATableSwitchAndAListLoadShowWhatWasSetOnThem) {
  TQel_Wirmap& w = *window;
  ASSERT_TRUE(w.Label7.WindowHeld());
  ASSERT_TRUE(w.ComboBox19.WindowHeld());
  const std::string header(kTable, std::string_view(kTable).find("\r\n") + 2);
  ReplaceFileContents(folder.File("Data\\mel.dat"),
                      header + "\"直入 200V 5.5kW\",\"1 200 5.5\",31,\"SW-M5\",\"\",\"\",\"TR-M5\",32,\"EM53\",\"SM53\","
                               "55,4.5,\"\",\"\",\"\",\"\",\"EGM53\",\"SGM53\"\r\n");
  Run([&] { w.mel1Click(); }, {DialogScript::Press(IDOK)});
  w.ComboBox19.SetItemIndex(2);  // "Ai>C"
  w.ComboBox19Change();
  w.ComboBox20.SetItemIndex(1);
  w.ComboBox2.SetItemIndex(0);  // "T 温度"
  w.ComboBox2Change();
  Press(w.Button3);
  const std::string path = folder.File("list.txt");
  Run([&] { w.save1Click(); }, {DialogScript::File(path, 1)});
  Run([&] { w.load1Click(); }, {DialogScript::File(path, 1)});
  EXPECT_TRUE(w.Label7.WindowHeld());

  w.PageControl1.SetActivePage(1);  // by code: no look-up of its own
  ASSERT_FALSE(w.Label7.WindowHeld());
  Cells shown;
  for (win::Label* l : {&w.Label7, &w.Label29, &w.Label45, &w.Label31, &w.Label33, &w.Label37, &w.Label38,
                        &w.Label40, &w.Label42, &w.Label47})
    shown.push_back(testing::TextOf(l->Handle()));
  EXPECT_EQ(shown, (Cells{"31", "SW-M5", "", "TR-M5", "32", "EM53", "SM53", "55", "4.5", ""}));
  EXPECT_TRUE(GetWindowLongW(w.Label29.Handle(), GWL_STYLE) & WS_VISIBLE);

  w.PageControl1.SetActivePage(2);
  const HWND function = w.ComboBox19.Handle(), receiving = w.ComboBox20.Handle();
  EXPECT_EQ(SendMessageW(function, CB_GETCOUNT, 0, 0), 12);
  EXPECT_EQ(SendMessageW(function, CB_GETCURSEL, 0, 0), 2);
  EXPECT_EQ(testing::TextOf(function), "Ai>C");
  // Showing the page locks the device lists on their empty first entry.
  EXPECT_EQ(SendMessageW(receiving, CB_GETCOUNT, 0, 0), 6);
  EXPECT_EQ(SendMessageW(receiving, CB_GETCURSEL, 0, 0), 0);
  EXPECT_FALSE(IsWindowEnabled(receiving));
  EXPECT_EQ(SendMessageW(w.ComboBox21.Handle(), CB_GETCOUNT, 0, 0), 0);
  EXPECT_EQ(testing::TextOf(w.ComboBox2.Handle()), "T 温度");
  EXPECT_EQ(testing::TextOf(w.ComboBox3.Handle()), "Z その他");
  EXPECT_EQ(testing::TextOf(w.Label74.Handle()), "TZ-001");
  // The keyboard goes through the boxes in the order they were made.
  EXPECT_EQ(testing::ChildrenOf(w.TabSheet3.Handle(), L"ComboBox"),
            (std::vector<HWND>{function, receiving, w.ComboBox21.Handle(), w.ComboBox2.Handle(), w.ComboBox3.Handle(),
                               w.ComboBox4.Handle(), w.ComboBox5.Handle(), w.ComboBox6.Handle()}));
  EXPECT_EQ(ListRow(1)[1], "名称を記入ください") << "the loaded list";
}

TEST_F(MainWindowSelectionTest, TheRowIsTheLookUpsEvenWhenALabelWasChangedSince) {
  TQel_Wirmap& w = *window;
  // A label is only a view: what it shows never flows back into the list.
  w.Label13.SetText("999");
  w.Label7.SetText("999");
  Press(w.Button3);
  EXPECT_EQ(ListRow(1)[5], "26");
}

TEST_F(MainWindowSelectionTest, ALoopWithoutADeviceIsRefusedAndThePositionMovesOn) {
  TQel_Wirmap& w = *window;
  ChooseTab(2);
  Choose(w.ComboBox19, "Ai>C");
  const auto seen = Run([&] { Press(w.Button3); }, {DialogScript::Press(IDOK)});
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].text, "種類を選んでください。");
  EXPECT_EQ(seen[0].caption, win::Application::Instance().Title());
  EXPECT_EQ(ListRow(1), Cells(21)) << "nothing written";
  EXPECT_EQ(w.Edit2.Text(), "2");
}

TEST_F(MainWindowSelectionTest, ALoopRowCarriesItsFunctionDeviceAndTag) {
  TQel_Wirmap& w = *window;
  ChooseTab(2);
  w.Edit1.SetText("反応槽温度");
  Choose(w.ComboBox19, "Ai>C");
  Choose(w.ComboBox20, "Ai-T 計測信号(温度)");
  Choose(w.ComboBox2, "T 温度");
  Choose(w.ComboBox3, "IC 表示制御");
  Press(w.Button3);
  EXPECT_EQ(ListRow(1), (Cells{"1", "反応槽温度", B, B, B, B, B, B, B, B, B, B, B, B, B, B, B, B, "Ai>C", "Ai-T",
                               "TIC-001"}));
}

TEST_F(MainWindowSelectionTest, AReserveRow) {
  Press(window->Button7);
  EXPECT_EQ(ListRow(1), (Cells{"1", "SP", B, B, B, B, B, B, B, B, B, B, B, B, B, B, B, B, "", "", ""}));
  EXPECT_EQ(window->WritePosition, 2);
}

TEST_F(MainWindowSelectionTest, WritingTheLastRowAddsOneAndTellsTheUser) {
  TQel_Wirmap& w = *window;
  win::StringGrid& grid = w.StringGrid1;
  ClickRow(20);
  EXPECT_EQ(w.Edit2.Text(), "20");
  const auto seen = Run([&] { Press(w.Button7); }, {DialogScript::Press(IDOK)});
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].caption, "操作 Error");
  EXPECT_EQ(seen[0].text, "行数が足りません行の追加してください。\n\r\n\r - メニュー＞行追加");
  EXPECT_EQ(ListRow(20)[1], "SP");
  EXPECT_EQ(grid.RowCount(), 22);
  EXPECT_EQ(grid.Row(), 21) << "the new row is selected";
  EXPECT_EQ(w.WritePosition, 21);
}

TEST_F(MainWindowSelectionTest, RowsAreInsertedAtASelectedRangeAndDeletedFromTheMenu) {
  TQel_Wirmap& w = *window;
  win::StringGrid& grid = w.StringGrid1;
  for (int i = 0; i < 5; ++i) Press(w.Button7);
  ClickRow(2);
  ClickRow(4, true);
  EXPECT_EQ(grid.Selection().Top, 2);
  EXPECT_EQ(grid.Selection().Bottom, 4) << "the range survives the write-position mirror";
  EXPECT_EQ(w.WritePosition, 4);
  Press(w.Button1);
  auto numbers = [&] {
    Cells out;
    for (int r = 1; r <= 8; ++r) out.push_back(grid.Cells().Cell(0, r));
    return out;
  };
  EXPECT_EQ(numbers(), (Cells{"1", "", "", "", "2", "3", "4", "5"})) << "the old rows moved down unchanged";
  EXPECT_EQ(grid.RowCount(), 24);

  ClickRow(6);
  ClickRow(7, true);
  SendMessageW(w.Handle(), WM_COMMAND, TQel_Wirmap::kN6, 0);
  EXPECT_EQ(numbers(), (Cells{"1", "", "", "", "2", "5", "", ""}));
  EXPECT_EQ(grid.RowCount(), 22);
  EXPECT_EQ(w.WritePosition, 7);
}

TEST_F(MainWindowSelectionTest, DeletingEveryDataRowLeavesOneEmptyRowAndPosition1) {
  TQel_Wirmap& w = *window;
  for (int i = 0; i < 3; ++i) Press(w.Button3);
  ClickRow(1);
  ClickRow(w.StringGrid1.RowCount() - 1, true);
  EXPECT_EQ(w.WritePosition, 20);
  Press(w.Button4);
  EXPECT_EQ(w.StringGrid1.RowCount(), 2);
  EXPECT_EQ(ListRow(1), Cells(21));
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

// ---- list files ----

TEST_F(MainWindowSelectionTest, EveryTextFormatLoadsBackTheListItSaved) {
  TQel_Wirmap& w = *window;
  w.Edit1.SetText("P \"1\", 2");  // a blank, quotes and a comma in one name
  Press(w.Button3);
  Press(w.Button7);
  const Grid written = w.StringGrid1.Cells();
  ASSERT_EQ(written.Cell(1, 1), "P") << "the blank ends the name as the row text is split";

  for (int filter : {1, 2, 3}) {
    w.SaveDialog1.FilterIndex = filter;
    const std::string path = folder.File("list" + std::to_string(filter) + ".txt");
    Run([&] { w.save1Click(); }, {DialogScript::File(path, filter)});
    w.StringGrid1.Cells().ClearAll();
    const auto seen = Run([&] { w.load1Click(); }, {DialogScript::File(path, filter)});
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_TRUE(testing::SameCells(w.StringGrid1.Cells(), written)) << "filter " << filter;
  }
  EXPECT_EQ(w.WritePosition, 3) << "saving and loading leave the position alone";
}

TEST_F(MainWindowSelectionTest, TheHtmlPageIsWrittenWhateverTheTypedExtension) {
  TQel_Wirmap& w = *window;
  Press(w.Button3);
  const std::string path = folder.File("page.txt");
  Run([&] { w.save1Click(); }, {DialogScript::File(path, 4)});
  const std::string saved = ReadWholeFile(path);
  EXPECT_EQ(saved.rfind("<!DOCTYPE HTML", 0), 0u);
  EXPECT_NE(saved.find("名称を記入ください"), std::string::npos);
  EXPECT_NE(saved.find("TR-5-1N/3"), std::string::npos);
}

TEST_F(MainWindowSelectionTest, OpeningANameThatIsNotThereKeepsTheDialogOpen) {
  TQel_Wirmap& w = *window;
  // The dialog answers a missing file itself and stays open; the script
  // then cancels it.
  HWND open = nullptr;
  bool openAfterNotice = false;
  const auto seen = Run([&] { w.load1Click(); },
                        {[&](const testing::DialogSeen& d) {
                           open = d.hwnd;
                           testing::AnswerFileDialog(d.hwnd, folder.File("無い.txt"), 1);
                         },
                         [&](const testing::DialogSeen& d) {
                           testing::PressButton(d.hwnd, IDOK);
                           testing::WaitUntil([&] { return !IsWindowVisible(d.hwnd); }, 5000);
                           openAfterNotice = IsWindowVisible(open) != FALSE;
                           testing::PressButton(open, IDCANCEL);
                         }});
  ASSERT_EQ(seen.size(), 2u) << "the open dialog and its notice";
  EXPECT_NE(seen[1].hwnd, open);
  EXPECT_TRUE(openAfterNotice);
}

TEST_F(MainWindowSelectionTest, ACellEditedInTheMaintenanceViewShowsAtTheNextLookUpWithoutSaving) {
  TQel_Wirmap& w = *window;
  SendMessageW(w.Handle(), WM_COMMAND, TQel_Wirmap::kN7, 0);
  Press(w.CheckBox5);
  ASSERT_TRUE(w.StringGrid2.Editing());
  w.StringGrid2.SetRow(1);  // the record of 5.5 kW at 200 V
  w.StringGrid2.SetCol(2);
  w.StringGrid2.ShowEditor();
  ASSERT_TRUE(w.StringGrid2.EditorVisible());
  SendMessageW(w.StringGrid2.EditorHandle(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"99.9"));
  SendMessageW(w.StringGrid2.EditorHandle(), WM_KEYDOWN, VK_RETURN, 0);
  EXPECT_EQ(w.Label13.Text(), "26") << "the labels change only at the next look-up";
  Press(w.RadioButton1);
  EXPECT_EQ(w.Label13.Text(), "99.9");
  EXPECT_EQ(ReadWholeFile(folder.File("Data\\fd.dat")), kTable) << "nothing was saved";
}

}  // namespace
}  // namespace qel

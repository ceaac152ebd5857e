// The main window built in this process, in a program folder of its own,
// and driven through its controls, menus and dialogs.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "app/Qel_Wirmap.h"
#include "base/file_io.h"
#include "list/StrGrdIO.h"
#include "tests/support/main_window_fixture.h"
#include "win32/application.h"
#include "win32/text.h"

namespace qel {
namespace {

using testing::DialogScript;
using testing::ProgramFolder;
using testing::SameCells;

class MainWindowTest : public testing::MainWindowFixture {
 protected:
  // The tick as the real menu shows it.
  bool Ticked(UINT id) const {
    return (GetMenuState(GetMenu(window->Handle()), id, MF_BYCOMMAND) & MF_CHECKED) != 0;
  }
  std::vector<bool> TableTicks() const {
    return {Ticked(TQel_Wirmap::kFuji1), Ticked(TQel_Wirmap::kMel1), Ticked(TQel_Wirmap::kDataload1)};
  }

  static Grid Delivered(const std::string& name) { return testing::DeliveredTable(name); }
};

// ---- start-up ----

TEST_F(MainWindowTest, TheWindowAsItOpens) {
  ProgramFolder folder;
  Start(folder);
  TQel_Wirmap& w = *window;
  RECT r;
  GetWindowRect(w.Handle(), &r);
  EXPECT_EQ(r.right - r.left, 628);
  EXPECT_EQ(r.bottom - r.top, 527);
  EXPECT_EQ(r.left, (GetSystemMetrics(SM_CXSCREEN) - 628) / 2) << "centred";
  EXPECT_EQ(w.Text(), "Qｅｌ_Ｗｉｒｍａｐ  Pelvane");
  EXPECT_EQ(testing::ClassOf(w.Handle()), L"TQel_Wirmap");

  EXPECT_TRUE(w.RadioButton1.Checked());
  EXPECT_FALSE(w.RadioButton2.Checked());
  EXPECT_EQ(w.ComboBox1.Text(), "5.5");
  EXPECT_EQ(w.ComboBox1.Items(), (std::vector<std::string>{"0.1", "0.2", "0.4", "0.75", "1.5", "2.2", "3.7",
                                                          "5.5", "7.5", "11",  "15",  "18.5", "22",  "30",
                                                          "37",  "45",  "55", "75",  "90",  "110", "132"}));
  EXPECT_EQ(w.ComboBox1.DropDownCount(), 21);
  EXPECT_EQ(w.Edit1.Text(), "名称を記入ください");
  EXPECT_TRUE(w.CheckBox1.Checked());
  EXPECT_FALSE(w.CheckBox2.Checked());
  EXPECT_EQ(w.PageControl1.ActivePageIndex(), 0);
  EXPECT_EQ(w.Edit2.Text(), "1");
  EXPECT_FALSE(w.Edit2.Visible());
  EXPECT_EQ(w.WritePosition, 1);
  EXPECT_EQ(w.Panel9.Text(), "閉じる");
  EXPECT_EQ(w.Panel9.Width(), 81);
  EXPECT_EQ(w.Panel5.Width(), 10);
  EXPECT_FALSE(w.Splitter2.Visible());

  EXPECT_EQ(w.ComboBox19.ItemCount(), 12);
  EXPECT_EQ(w.ComboBox19.ItemIndex(), -1);
  EXPECT_FALSE(w.ComboBox20.Enabled());
  EXPECT_FALSE(w.ComboBox21.Enabled());
  EXPECT_EQ(w.ComboBox2.Text(), "X その他");
  EXPECT_EQ(w.ComboBox3.Text(), "Z その他");
  EXPECT_EQ(w.ComboBox4.Text(), "0 *100");
  EXPECT_EQ(w.ComboBox4.Items().back(), " ");
  EXPECT_EQ(w.ComboBox5.Text(), "0 *10");
  EXPECT_EQ(w.ComboBox6.Text(), "1");
  EXPECT_EQ(w.Label74.Text(), "TAG　No.作成ください");
}


// The version, legend and type selection windows are made the first time
// they are shown, and show then what they showed when made at start-up.
TEST_F(MainWindowTest, EachSecondaryWindowIsMadeWhenFirstShown) {
  ProgramFolder folder;
  Start(folder);
  TQel_Wirmap& w = *window;
  w.Show();
  EXPECT_FALSE(w.AboutBox.Made() || w.LINE.Made() || w.AcadTool_Frame.Made());

  w.About1Click();
  ASSERT_TRUE(w.AboutBox.Made());
  EXPECT_TRUE(IsWindowVisible(w.AboutBox->Handle()));
  EXPECT_EQ(w.AboutBox->Text(), "バージョン情報");

  w.PageControl1.SetActivePage(1);
  testing::MouseClick(w.GroupBox9.Handle());
  ASSERT_TRUE(testing::WaitUntil([&] { return w.LINE.Made() && IsWindowVisible(w.LINE->Handle()); }));
  RECT line, main;
  GetWindowRect(w.LINE->Handle(), &line);
  GetWindowRect(w.Handle(), &main);
  EXPECT_NEAR((line.left + line.right) / 2, (main.left + main.right) / 2, 1) << "centred over the main window";
  EXPECT_NEAR((line.top + line.bottom) / 2, (main.top + main.bottom) / 2, 1);

  // The choice was made at start-up: Label57 said so before the window existed.
  const std::string sentence = w.Label57.Text();
  w.AutoCadToolS1Click();
  ASSERT_TRUE(w.AcadTool_Frame.Made());
  const HWND list = w.AcadTool_Frame->AcadTypeList.Handle();
  EXPECT_TRUE(IsWindowVisible(w.AcadTool_Frame->Handle()));
  EXPECT_EQ(SendMessageW(list, CB_GETCOUNT, 0, 0), 12);
  const std::string chosen = testing::TextOf(list);
  EXPECT_EQ(sentence, "Auto Cadは " + chosen + " が有効です。");
  EXPECT_EQ(w.Label57.Text(), sentence);
  EXPECT_EQ(SendMessageW(list, CB_GETCURSEL, 0, 0), w.AcadTypeChoice1.ItemIndex());
  EXPECT_NE(testing::TextOf(w.AcadTool_Frame->IsInstedCaption.Handle()), "IsInsted");
  w.AboutBox->Hide();
  w.LINE->Hide();
  w.AcadTool_Frame->Hide();
}
TEST_F(MainWindowTest, TheCircuitListIsSetUp) {
  ProgramFolder folder;
  Start(folder);
  win::StringGrid& g = window->StringGrid1;
  EXPECT_EQ(g.ColCount(), 21);
  EXPECT_EQ(g.RowCount(), 21);
  EXPECT_EQ(g.DefaultRowHeight(), 15);
  EXPECT_EQ(g.RowHeight(0), 15);
  EXPECT_EQ(g.FixedRows(), 1);
  EXPECT_EQ(g.FixedCols(), 1);
  EXPECT_EQ(g.Cells().Row(0),
            (std::vector<std::string>{"No.", "NAME", "START", "kW", "V", "A", "88(MS)", "6(☆)", "19(M⊿)", "49(TH)",
                                      "49(A)", "MCB", "MCB(Trip)", "A.B", "C.D", "E.F", "G", "H", "I/F", "Type",
                                      "Tag"}));
  std::vector<int> widths;
  for (int c = 0; c < 21; ++c) widths.push_back(g.ColWidth(c));
  EXPECT_EQ(widths, (std::vector<int>{20, 130, 40, 40, 40, 40, 60, 60, 60, 60, 60, 60, 60, 30, 30, 30, 30, 30, 50,
                                      50, 60}));
  for (int r = 1; r < 21; ++r) EXPECT_EQ(g.Cells().Row(r), std::vector<std::string>(21)) << "row " << r;
  EXPECT_TRUE(g.Editing());
  EXPECT_EQ(window->StringGridIO1.TargetGrid, &g.Cells());
  EXPECT_FALSE(window->StringGridIO1.Stretch);
  EXPECT_EQ(window->StringGridIO2.TargetGrid, &window->StringGrid2.Cells());
  EXPECT_FALSE(window->StringGridIO2.Stretch);
}

TEST_F(MainWindowTest, FirstStartLoadsTheFujiTableAndTicksNothing) {
  ProgramFolder folder;
  EXPECT_TRUE(Start(folder).empty()) << "no message";
  EXPECT_EQ(window->Label63.Text(), "準拠データは err です");
  EXPECT_EQ(TableTicks(), (std::vector<bool>{false, false, false}));
  EXPECT_TRUE(SameCells(window->StringGrid2.Cells(), Delivered("fd.dat")));
  EXPECT_FALSE(SameCells(Delivered("fd.dat"), Delivered("mel.dat"))) << "the two editions must differ for this test";
  EXPECT_EQ(window->ProgramFolder(), folder.Path());
  EXPECT_FALSE(folder.IniContents()) << "nothing is written at start-up";
}

TEST_F(MainWindowTest, ARememberedTableIsLoadedAndTicked) {
  ProgramFolder folder;
  folder.WriteIni("mel.dat");
  Start(folder);
  EXPECT_EQ(window->Label63.Text(), "準拠データは mel.dat です");
  EXPECT_EQ(TableTicks(), (std::vector<bool>{false, true, false}));
  EXPECT_TRUE(SameCells(window->StringGrid2.Cells(), Delivered("mel.dat")));
}

TEST_F(MainWindowTest, ARememberedTableThatIsGoneIsReportedWithoutFallBack) {
  ProgramFolder folder;
  folder.WriteIni("mine.sdt");
  const auto seen = Start(folder, {DialogScript::Press(IDOK)});
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].text, "データが開けませんでした。");
  EXPECT_EQ(seen[0].caption, "ﾌｧｲﾙ ｴﾗｰ");
  EXPECT_EQ(window->Label63.Text(), "準拠データは mine.sdt です");
  EXPECT_EQ(TableTicks(), (std::vector<bool>{false, false, true}));
  EXPECT_EQ(window->StringGrid2.Cells().Cell(1, 1), "") << "the table stays empty";
}

TEST_F(MainWindowTest, AMissingFujiTableAtFirstStartIsReported) {
  ProgramFolder folder(std::vector<std::string>{});
  const auto seen = Start(folder, {DialogScript::Press(IDOK)});
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].text, "fd.datが開けませんでした。");
  EXPECT_EQ(seen[0].caption, "ﾌｧｲﾙ ｴﾗｰ");
  EXPECT_EQ(window->Label63.Text(), "準拠データは err です");
  EXPECT_TRUE(IsWindow(window->Handle())) << "start-up goes on";
}

TEST_F(MainWindowTest, AProgramFolderLongerThanMaxPathIsKeptWhole) {
  ProgramFolder folder(std::vector<std::string>{});
  std::string deep = folder.Path();
  while (deep.size() <= MAX_PATH + 40) {
    deep += "\\" + std::string(50, 'd');
    CreateDirectoryW(win::Wide(deep).c_str(), nullptr);
  }
  testing::CurrentDirectory cd(deep);
  wchar_t probe[MAX_PATH];
  if (GetCurrentDirectoryW(MAX_PATH, probe) <= MAX_PATH) GTEST_SKIP() << "the system refused the long folder";
  DialogScript script(GetCurrentProcessId(), {DialogScript::Press(IDOK)});  // no fd.dat there
  window = std::make_unique<TQel_Wirmap>();
  script.Finish();
  EXPECT_EQ(window->ProgramFolder(), deep);
  EXPECT_EQ(window->OpenDialog2.InitialDir, deep + "\\Data");
}

// ---- switching tables ----

TEST_F(MainWindowTest, SwitchingConfirmedLoadsTicksAndRemembers) {
  ProgramFolder folder;
  Start(folder);
  auto seen = Run([&] { SendMessageW(window->Handle(), WM_COMMAND, TQel_Wirmap::kMel1, 0); },
                  {DialogScript::Press(IDOK)});
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].text, "データ切替えますか？");
  EXPECT_EQ(seen[0].caption, "操作確認");
  EXPECT_EQ(TableTicks(), (std::vector<bool>{false, true, false}));
  EXPECT_EQ(window->Label63.Text(), "三菱電機　器具に準拠");
  EXPECT_TRUE(SameCells(window->StringGrid2.Cells(), Delivered("mel.dat")));
  ASSERT_TRUE(folder.IniContents());
  EXPECT_NE(folder.IniContents()->find("dt_name=mel.dat"), std::string::npos) << *folder.IniContents();

  // The first start ticked nothing, so fuji asks too.
  seen = Run([&] { window->fuji1Click(); }, {DialogScript::Press(IDOK)});
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(TableTicks(), (std::vector<bool>{true, false, false}));
  EXPECT_EQ(window->Label63.Text(), "富士電機　器具に準拠");
  EXPECT_NE(folder.IniContents()->find("dt_name=fd.dat"), std::string::npos);
}

TEST_F(MainWindowTest, SwitchingCancelledChangesNothing) {
  ProgramFolder folder;
  Start(folder);
  window->N7Click();
  window->CheckBox5.SetChecked(true);
  window->CheckBox5Click();
  const auto seen = Run([&] { window->mel1Click(); }, {DialogScript::Press(IDCANCEL)});
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(TableTicks(), (std::vector<bool>{false, false, false}));
  EXPECT_EQ(window->Label63.Text(), "準拠データは err です");
  EXPECT_TRUE(SameCells(window->StringGrid2.Cells(), Delivered("fd.dat")));
  EXPECT_FALSE(folder.IniContents());
  EXPECT_FALSE(window->CheckBox5.Checked()) << "editing is switched off before the question";
  EXPECT_FALSE(window->StringGrid2.Editing());
}

TEST_F(MainWindowTest, ChoosingTheTickedTableAsksNothing) {
  ProgramFolder folder;
  folder.WriteIni("fd.dat");
  Start(folder);
  const auto seen = Run([&] { window->fuji1Click(); }, {});
  EXPECT_TRUE(seen.empty());
  EXPECT_EQ(TableTicks(), (std::vector<bool>{true, false, false}));
}

TEST_F(MainWindowTest, AFailedSwitchTicksTheOtherEditionAndKeepsTheName) {
  ProgramFolder folder({"fd.dat"});
  Start(folder);
  const auto seen = Run([&] { window->mel1Click(); }, {DialogScript::Press(IDOK), DialogScript::Press(IDOK)});
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen[1].text, "mel.datが開けませんでした。");
  EXPECT_EQ(seen[1].caption, "ﾌｧｲﾙ ｴﾗｰ");
  EXPECT_EQ(TableTicks(), (std::vector<bool>{true, false, false}));
  EXPECT_EQ(window->Tables().TableName(), "err");
  EXPECT_EQ(window->Label63.Text(), "準拠データは err です");
  EXPECT_FALSE(folder.IniContents());
}

TEST_F(MainWindowTest, WithoutAReadmeFolderTheChoiceIsSimplyNotRemembered) {
  ProgramFolder folder({"fd.dat", "mel.dat"}, false);
  Start(folder);
  Run([&] { window->mel1Click(); }, {DialogScript::Press(IDOK)});
  EXPECT_EQ(TableTicks(), (std::vector<bool>{false, true, false}));
  EXPECT_FALSE(testing::FileExists(folder.File("Readme")));
  EXPECT_FALSE(testing::FileExists(folder.IniPath()));
}

TEST_F(MainWindowTest, AUserTableIsLoadedFromAnyFolder) {
  ProgramFolder folder;
  ProgramFolder elsewhere(std::vector<std::string>{});
  elsewhere.AddTable("mel.dat", "会社.sdt");
  Start(folder);
  const std::string path = elsewhere.File("Data\\会社.sdt");
  const auto seen = Run([&] { window->dataload1Click(); }, {DialogScript::File(path, 0)});
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].caption, "ファイル名を指定してください。");
  EXPECT_EQ(TableTicks(), (std::vector<bool>{false, false, true}));
  EXPECT_EQ(window->Label63.Text(), path + " User 器具に準拠");
  EXPECT_TRUE(SameCells(window->StringGrid2.Cells(), Delivered("mel.dat")));
  EXPECT_NE(folder.IniContents().value_or("").find("dt_name=会社.sdt"), std::string::npos);
}

TEST_F(MainWindowTest, AnUnreadableUserTableUnticksAllThree) {
  ProgramFolder folder;
  folder.AddTable("mel.dat", "使用中.sdt");
  Start(folder);
  // The file is there, so the dialog hands it on, but another program
  // holds it open without sharing.
  const HANDLE held = CreateFileW(win::Wide(folder.File("Data\\使用中.sdt")).c_str(), GENERIC_READ, 0, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  const auto seen = Run([&] { window->dataload1Click(); },
                        {DialogScript::File(folder.File("Data\\使用中.sdt"), 0), DialogScript::Press(IDOK)});
  CloseHandle(held);
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen[1].text, "ファイルが開けませんでした。");
  EXPECT_EQ(TableTicks(), (std::vector<bool>{false, false, false}));
  EXPECT_FALSE(folder.IniContents());
}

TEST_F(MainWindowTest, CancellingTheUserTableDialogLeavesUserDataTicked) {
  ProgramFolder folder;
  folder.WriteIni("fd.dat");
  Start(folder);
  Run([&] { window->dataload1Click(); }, {DialogScript::Press(IDCANCEL)});
  EXPECT_EQ(TableTicks(), (std::vector<bool>{false, false, true}));
  EXPECT_TRUE(SameCells(window->StringGrid2.Cells(), Delivered("fd.dat")));
}

// ---- the maintenance view ----

TEST_F(MainWindowTest, TheMaintenanceViewOpensEditsAndCloses) {
  ProgramFolder folder;
  Start(folder);
  TQel_Wirmap& w = *window;
  SendMessageW(w.Handle(), WM_COMMAND, TQel_Wirmap::kN7, 0);
  EXPECT_EQ(w.Panel5.Width(), 410);
  EXPECT_TRUE(w.Splitter2.Visible());
  EXPECT_EQ(w.Panel10.GetBounds(), (win::Bounds{0, 0, 410, 30})) << "the button strip on top";
  const win::Bounds grid = w.StringGrid2.GetBounds();
  EXPECT_EQ(grid.x, 0);
  EXPECT_EQ(grid.y, 30);
  EXPECT_EQ(grid.w, 410);
  EXPECT_EQ(grid.h, w.Panel5.Height() - 30) << "the table fills the rest";
  std::vector<int> widths;
  for (int c = 0; c < w.StringGrid2.ColCount(); ++c) widths.push_back(w.StringGrid2.ColWidth(c));
  EXPECT_EQ(widths, (std::vector<int>{20, 60, 30, 90, 50, 50, 80, 60, 70, 90, 25, 25, 25, 25, 25, 25, 70, 90}));
  EXPECT_EQ(w.StringGrid2.FixedCols(), 2);
  EXPECT_EQ(w.StringGrid2.FixedRows(), 1);
  EXPECT_EQ(w.StringGrid2.RowCount(), 73);
  EXPECT_EQ(w.StringGrid2.DefaultRowHeight(), 15);
  EXPECT_FALSE(w.StringGrid2.Editing());

  SendMessageW(w.CheckBox5.Handle(), BM_CLICK, 0, 0);
  EXPECT_TRUE(w.StringGrid2.Editing());
  EXPECT_TRUE(w.StringGrid2.ColSizing());
  SendMessageW(w.CheckBox5.Handle(), BM_CLICK, 0, 0);
  EXPECT_FALSE(w.StringGrid2.Editing());
  EXPECT_FALSE(w.StringGrid2.ColSizing());

  SendMessageW(w.CheckBox5.Handle(), BM_CLICK, 0, 0);
  SendMessageW(w.Button6.Handle(), BM_CLICK, 0, 0);
  EXPECT_EQ(w.Panel5.Width(), 10);
  EXPECT_FALSE(w.Splitter2.Visible());
  EXPECT_EQ(w.Panel10.GetBounds().x, 15);
  EXPECT_EQ(w.StringGrid2.GetBounds().x, 15);
  EXPECT_FALSE(w.StringGrid2.Editing());
  EXPECT_FALSE(w.CheckBox5.Checked());
}

TEST_F(MainWindowTest, SavingATableWithTheSecondFilterAddsDat) {
  ProgramFolder folder;
  Start(folder);
  window->N7Click();
  SendMessageW(window->CheckBox5.Handle(), BM_CLICK, 0, 0);
  const auto seen = Run([&] { SendMessageW(window->Button5.Handle(), BM_CLICK, 0, 0); },
                        {DialogScript::File(folder.File("Data\\自作"), 2)});
  ASSERT_EQ(seen.size(), 1u);
  const std::string saved = folder.File("Data\\自作.dat");
  ASSERT_TRUE(testing::FileExists(saved));
  const std::string text = ReadWholeFile(saved);
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 73) << "every row of the table";
  Grid back(kEquipmentColCount, kEquipmentRowCount);
  TStringGridIO io;
  io.TargetGrid = &back;
  io.ParseText(text, ",", true);
  EXPECT_TRUE(SameCells(back, window->StringGrid2.Cells()));
  EXPECT_NE(folder.IniContents().value_or("").find("dt_name=自作.dat"), std::string::npos);
  EXPECT_EQ(window->Tables().TableName(), "自作.dat");
  EXPECT_FALSE(window->CheckBox5.Checked());
  EXPECT_EQ(window->Label63.Text(), "準拠データは err です") << "saving does not change the label";
}

// ---- list files ----

TEST_F(MainWindowTest, SavingTheListFollowsTheChosenFilter) {
  ProgramFolder folder;
  Start(folder);
  window->StringGrid1.Cells().SetCell(1, 1, "ﾎﾟﾝﾌﾟ");
  window->StringGrid1.Cells().SetCell(3, 1, "5.5");
  const std::string header =
      "No.,NAME,START,kW,V,A,88(MS),6(☆),19(M⊿),49(TH),49(A),MCB,MCB(Trip),A.B,C.D,E.F,G,H,I/F,Type,Tag";
  auto lines = [](const std::string& text) {
    std::vector<std::string> out;
    for (std::size_t at = 0; at < text.size();) {
      const std::size_t end = text.find("\r\n", at);
      out.push_back(text.substr(at, end - at));
      at = end + 2;
    }
    return out;
  };

  Run([&] { window->save1Click(); }, {DialogScript::File(folder.File("comma.txt"), 2)});
  auto comma = lines(ReadWholeFile(folder.File("comma.txt")));
  ASSERT_EQ(comma.size(), 21u);
  EXPECT_EQ(comma[0], header);
  EXPECT_EQ(comma[1], ",ﾎﾟﾝﾌﾟ,,5.5,,,,,,,,,,,,,,,,,");

  Run([&] { window->save1Click(); }, {DialogScript::File(folder.File("tabs"), 1)});
  auto tabs = lines(ReadWholeFile(folder.File("tabs.txt")));
  ASSERT_EQ(tabs.size(), 21u) << "the default extension was added";
  EXPECT_EQ(tabs[2], std::string(20, '\t'));

  Run([&] { window->save1Click(); }, {DialogScript::File(folder.File("quoted.csv"), 3)});
  EXPECT_EQ(lines(ReadWholeFile(folder.File("quoted.csv")))[1].substr(0, 18), "\"\",\"ﾎﾟﾝﾌﾟ\",\"\",5.5,")
      << "numbers bare, other cells quoted";

  Run([&] { window->save1Click(); }, {DialogScript::File(folder.File("page.txt"), 4)});
  EXPECT_EQ(ReadWholeFile(folder.File("page.txt")).rfind("<!DOCTYPE HTML", 0), 0u) << "HTML whatever the name";
}

TEST_F(MainWindowTest, LoadingAListFollowsTheChosenFilter) {
  ProgramFolder folder;
  Start(folder);
  ReplaceFileContents(folder.File("in.csv"), "\"No.\",\"名前\"\r\n1,\"ﾓｰﾀ\"\r\n");
  const auto seen = Run([&] { window->load1Click(); }, {DialogScript::File(folder.File("in.csv"), 3)});
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].caption, "ファイル名を指定してください。");
  const Grid& g = window->StringGrid1.Cells();
  EXPECT_EQ(g.Cell(20, 0), "名前") << "a short line puts its last field into the last column";
  EXPECT_EQ(g.Cell(0, 1), "1");
  EXPECT_EQ(g.Cell(20, 1), "ﾓｰﾀ");
  EXPECT_EQ(g.RowCount(), 21) << "loading never resizes the list";

  Run([&] { window->load1Click(); }, {DialogScript::File(folder.File("in.csv"), 2)});
  EXPECT_EQ(g.Cell(20, 1), "\"ﾓｰﾀ\"") << "comma mode keeps the quotes";
}

TEST_F(MainWindowTest, AnExcelFailureReachesTheGeneralErrorHandler) {
  ProgramFolder folder;
  Start(folder);
  window->StringGridIO1.AutomationFactory = [](const std::string& progId) -> std::shared_ptr<Dispatch> {
    throw AutomationError("クラス文字列が無効です: " + progId);
  };
  SendMessageW(window->Handle(), WM_COMMAND, TQel_Wirmap::kExcel1, 0);
  EXPECT_EQ(win::Application::Instance().LastShownError(), "クラス文字列が無効です: Excel.Application");
  EXPECT_TRUE(IsWindow(window->Handle())) << "the program goes on";
}

// ---- hints ----

TEST_F(MainWindowTest, TheStatusBarShowsHintsOnlyWhileHint2IsTicked) {
  ProgramFolder folder;
  Start(folder);
  TQel_Wirmap& w = *window;
  auto& app = win::Application::Instance();
  auto moveOver = [&](win::Wnd& control) {
    PostMessageW(control.Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(1, 1));
    app.ProcessMessages();
    return w.StatusBar1.SimpleText();
  };
  EXPECT_TRUE(Ticked(TQel_Wirmap::kHint2));
  EXPECT_EQ(moveOver(w.Button3), "下記リストの選択位置に書出します。");
  EXPECT_EQ(moveOver(w.Label15), "電動機出力値での標準的な型式です。") << "a label takes its group's hint";
  EXPECT_EQ(moveOver(w.RadioButton2), "電源区分は　ヨシ！");
  EXPECT_EQ(moveOver(w.Label12), "") << "neither the label nor its panel has a hint";

  SendMessageW(w.Handle(), WM_COMMAND, TQel_Wirmap::kHint2, 0);
  EXPECT_FALSE(Ticked(TQel_Wirmap::kHint2));
  EXPECT_EQ(moveOver(w.Button4), "") << "unticked: the text stays as it was";
  EXPECT_EQ(moveOver(w.Panel9), "");

  SendMessageW(w.Handle(), WM_COMMAND, TQel_Wirmap::kHint2, 0);
  EXPECT_EQ(moveOver(w.Button4), "選択行を削除します。");

  HMENU bar = GetMenu(w.Handle());
  SendMessageW(w.Handle(), WM_MENUSELECT, MAKEWPARAM(TQel_Wirmap::kExit1, 0),
               reinterpret_cast<LPARAM>(GetSubMenu(bar, 0)));
  EXPECT_EQ(w.StatusBar1.SimpleText(), "このプログラムの終了です。データは保存しましたか？");
}

TEST_F(MainWindowTest, TheMenusHoldEveryEntry) {
  ProgramFolder folder;
  Start(folder);
  HMENU bar = GetMenu(window->Handle());
  ASSERT_EQ(GetMenuItemCount(bar), 5);
  auto caption = [](HMENU menu, UINT item, UINT by) {
    wchar_t buf[128] = {};
    GetMenuStringW(menu, item, buf, 128, by);
    return win::Narrow(buf);
  };
  std::vector<std::string> tops;
  for (int i = 0; i < 5; ++i) tops.push_back(caption(bar, static_cast<UINT>(i), MF_BYPOSITION));
  EXPECT_EQ(tops, (std::vector<std::string>{"ﾌｧｲﾙ(&F)", "編集(&E)", "作図(&D)", "ﾍﾙﾌﾟ(&H)", "ﾋﾝﾄ(&?)"}));
  EXPECT_EQ(caption(bar, TQel_Wirmap::kExcel1, MF_BYCOMMAND), "Excel に保存(&F)");
  EXPECT_EQ(caption(bar, TQel_Wirmap::kDataload1, MF_BYCOMMAND), "User Data");
  EXPECT_EQ(caption(bar, TQel_Wirmap::kAutoCadToolS1, MF_BYCOMMAND), "AutoCadTool 選択(&S)");
  EXPECT_EQ(GetMenuItemCount(GetSubMenu(bar, 1)), 8) << "N7, fuji, mel, separator, User Data, separator, N5, N6";
  EXPECT_EQ(GetMenuItemCount(GetSubMenu(bar, 3)), 1) << "help2 is hidden";
  EXPECT_EQ(GetMenuState(bar, TQel_Wirmap::kHelp2, MF_BYCOMMAND), static_cast<UINT>(-1));
}

// The drawing menu: the DXF and PDF entries after the AutoCAD one, everything
// else where it was, and their hints in the status bar (hints are on).
TEST_F(MainWindowTest, TheDrawingMenuHoldsTheDxfEntries) {
  ProgramFolder folder;
  Start(folder);
  HMENU drawing = GetSubMenu(GetMenu(window->Handle()), 2);
  std::vector<std::string> entries;
  for (int i = 0; i < GetMenuItemCount(drawing); ++i) {
    wchar_t buf[128] = {};
    GetMenuStringW(drawing, static_cast<UINT>(i), buf, 128, MF_BYPOSITION);
    const bool separator = (GetMenuState(drawing, static_cast<UINT>(i), MF_BYPOSITION) & MF_SEPARATOR) != 0;
    entries.push_back(separator ? "-" : std::to_string(GetMenuItemID(drawing, i)) + " " + win::Narrow(buf));
  }
  EXPECT_EQ(entries, (std::vector<std::string>{"121 VISIOで作図(&V)", "122 ACADで作図(&A)", "124 DXFで作図(&X)",
                                               "126 PDFで保存(&F)...", "125 作図プレビュー(&P)", "-", "123 AutoCadTool 選択(&S)"}));
  auto hint = [&](UINT id) {
    SendMessageW(window->Handle(), WM_MENUSELECT, MAKEWPARAM(id, 0), reinterpret_cast<LPARAM>(drawing));
    return window->StatusBar1.SimpleText();
  };
  EXPECT_EQ(hint(TQel_Wirmap::kDXFX), "作図をDXFファイルに保存します。");
  EXPECT_EQ(hint(TQel_Wirmap::kDrawingPreview), "作図を画面で確認します。");
  EXPECT_EQ(hint(TQel_Wirmap::kPdfF), "作図をPDFファイルに保存します。");
  EXPECT_EQ(hint(TQel_Wirmap::kACADA), "ACadLT97 に作図します。");
}

// ---- closing ----

TEST_F(MainWindowTest, ExitClosesWithoutAQuestion) {
  ProgramFolder folder;
  Start(folder);
  window->StringGrid1.Cells().SetCell(1, 1, "未保存");
  const HWND hwnd = window->Handle();
  const auto seen = Run(
      [&] {
        SendMessageW(hwnd, WM_COMMAND, TQel_Wirmap::kExit1, 0);
        win::Application::Instance().ProcessMessages();
      },
      {});
  EXPECT_TRUE(seen.empty());
  EXPECT_FALSE(IsWindow(hwnd));
}

TEST_F(MainWindowTest, ThePanelButtonCloses) {
  ProgramFolder folder;
  Start(folder);
  const HWND hwnd = window->Handle();
  SendMessageW(window->Panel9.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  SendMessageW(window->Panel9.Handle(), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  win::Application::Instance().ProcessMessages();
  EXPECT_FALSE(IsWindow(hwnd));
}

}  // namespace
}  // namespace qel

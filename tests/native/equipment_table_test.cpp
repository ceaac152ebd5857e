#include <gtest/gtest.h>

#include <deque>
#include <map>

#include "base/paths.h"
#include "selection/equipment_table.h"

namespace qel {
namespace {

TEST(FindEquipmentRow, FirstExactMatchFromRowZeroOrThePastTheEndIndex) {
  Grid t(kEquipmentColCount, kEquipmentRowCount);
  t.SetCell(1, 0, "header");
  t.SetCell(1, 5, "1 200 5.5");
  t.SetCell(1, 9, "1 200 5.5");
  EXPECT_EQ(FindEquipmentRow(t, "1 200 5.5"), 5);
  EXPECT_EQ(FindEquipmentRow(t, "header"), 0) << "the header row is searched like any other";
  EXPECT_EQ(FindEquipmentRow(t, "1 200 5.5 "), kEquipmentRowCount) << "a trailing blank finds nothing";
  EXPECT_EQ(FindEquipmentRow(t, "1 200 5.50"), kEquipmentRowCount) << "a trailing zero finds nothing";
  EXPECT_EQ(FindEquipmentRow(t, "1 200  5.5"), kEquipmentRowCount);
  EXPECT_EQ(t.Cell(3, FindEquipmentRow(t, "nothing")), "") << "cells past the end read empty";
}

TEST(Paths, NamesAndExtensionsStepOverTwoByteCharacters) {
  EXPECT_EQ(paths::FileName("C:\\表\\能.sdt"), "能.sdt");
  EXPECT_EQ(paths::FileName("表"), "表") << "the 5C trail byte of 表 is no folder delimiter";
  EXPECT_EQ(paths::ChangeExtension("C:\\data\\mine", ".dat"), "C:\\data\\mine.dat");
  EXPECT_EQ(paths::ChangeExtension("C:\\data\\mine.sdt", ".dat"), "C:\\data\\mine.dat");
  EXPECT_EQ(paths::ChangeExtension("C:\\v1.2\\mine", ".sdt"), "C:\\v1.2\\mine.sdt") << "a dot in a folder is no extension";
  EXPECT_EQ(paths::ChangeExtension("C:\\d\\表", ".sdt"), "C:\\d\\表.sdt");
  EXPECT_EQ(paths::Join("C:\\prog", "Data"), "C:\\prog\\Data");
  EXPECT_EQ(paths::Join("C:\\", "Data"), "C:\\Data");
  EXPECT_EQ(paths::Join("C:\\表", "Data"), "C:\\表\\Data") << "表 ends in 5C but is not a delimiter";
}

// A main window stand-in that records what the table logic asks of it.
class FakeHost : public EquipmentTableHost {
 public:
  std::map<std::string, bool> readable;  // path -> loads
  std::string remembered = "err";
  std::vector<std::string> events;
  std::deque<bool> confirmAnswers;
  std::optional<std::string> userChoice;
  std::optional<TableSaveChoice> saveChoice;
  TableMenuTicks ticks;
  std::string label;

  bool LoadTableFile(const std::string& path) override {
    events.push_back("load " + path);
    return readable.count(path) && readable[path];
  }
  void SaveTableFile(const std::string& path) override { events.push_back("save " + path); }
  void ShowFileError(const std::string& text) override { events.push_back("error " + text); }
  bool Confirm(const std::string& text) override {
    events.push_back("ask " + text);
    bool answer = confirmAnswers.empty() ? true : confirmAnswers.front();
    if (!confirmAnswers.empty()) confirmAnswers.pop_front();
    return answer;
  }
  void RunMotorLookUp() override { events.push_back("lookup"); }
  std::string ReadRememberedName() override { return remembered; }
  void RememberName(const std::string& name) override {
    remembered = name;
    events.push_back("remember " + name);
  }
  void ShowMenuTicks(const TableMenuTicks& t) override { ticks = t; }
  void ShowTableLabel(const std::string& text) override { label = text; }
  void SwitchEditingOff() override { events.push_back("editing off"); }
  void LayOutTableGrid() override { events.push_back("layout"); }
  std::optional<std::string> ChooseUserTable() override { return userChoice; }
  std::optional<TableSaveChoice> ChooseTableSaveName() override { return saveChoice; }
};

const std::string kFolder = "C:\\Qel";
const std::string kFd = "C:\\Qel\\Data\\fd.dat";
const std::string kMel = "C:\\Qel\\Data\\mel.dat";

TEST(TableStartUp, NothingRememberedLoadsFujiButTicksNothing) {
  FakeHost host;
  host.readable[kFd] = true;
  EquipmentTables tables(host, kFolder);
  tables.StartUp();
  EXPECT_EQ(host.events, (std::vector<std::string>{"load " + kFd, "layout"}));
  EXPECT_EQ(host.ticks, TableMenuTicks{});
  EXPECT_EQ(host.label, "準拠データは err です");
  EXPECT_EQ(tables.TableName(), "err");
}

TEST(TableStartUp, FailuresAreReportedWithoutAFallBack) {
  FakeHost none;
  EquipmentTables a(none, kFolder);
  a.StartUp();
  EXPECT_EQ(none.events, (std::vector<std::string>{"load " + kFd, "error fd.datが開けませんでした。"}));

  FakeHost gone;
  gone.remembered = "mine.sdt";
  gone.readable[kFd] = true;
  EquipmentTables b(gone, kFolder);
  b.StartUp();
  EXPECT_EQ(gone.events, (std::vector<std::string>{"load C:\\Qel\\Data\\mine.sdt", "error データが開けませんでした。"}));
  EXPECT_EQ(gone.label, "準拠データは mine.sdt です");
  EXPECT_TRUE(gone.ticks.userData) << "the remembered user table stays ticked";
}

TEST(TableStartUp, TicksFollowTheRememberedName) {
  for (auto [name, fuji, mel, user] : std::vector<std::tuple<std::string, bool, bool, bool>>{
           {"fd.dat", true, false, false}, {"mel.dat", false, true, false}, {"x.sdt", false, false, true},
           {"", false, false, false}, {"FD.DAT", false, false, true}}) {
    FakeHost host;
    host.remembered = name;
    EquipmentTables tables(host, kFolder);
    tables.StartUp();
    EXPECT_EQ(host.ticks, (TableMenuTicks{fuji, mel, user})) << name;
  }
}

TEST(TableSwitch, FromNothingTickedAsksThenLoadsAndRemembers) {
  FakeHost host;
  host.readable[kFd] = true;
  EquipmentTables tables(host, kFolder);
  tables.StartUp();
  host.events.clear();
  tables.SwitchToFuji();
  EXPECT_EQ(host.events, (std::vector<std::string>{"editing off", "ask データ切替えますか？", "load " + kFd, "lookup",
                                                   "remember fd.dat"}));
  EXPECT_EQ(host.ticks, (TableMenuTicks{true, false, false}));
  EXPECT_EQ(host.label, "富士電機　器具に準拠");
  host.events.clear();
  tables.SwitchToFuji();
  EXPECT_EQ(host.events, (std::vector<std::string>{"editing off"})) << "the ticked edition is not asked again";
}

TEST(TableSwitch, CancelChangesNothingAndAFailedLoadTicksTheOtherEdition) {
  FakeHost host;
  host.remembered = "fd.dat";
  host.readable[kFd] = true;
  EquipmentTables tables(host, kFolder);
  tables.StartUp();
  host.confirmAnswers = {false};
  tables.SwitchToMel();
  EXPECT_EQ(host.ticks, (TableMenuTicks{true, false, false}));
  EXPECT_EQ(host.events.back(), "ask データ切替えますか？");

  tables.SwitchToMel();  // mel.dat is not readable
  EXPECT_EQ(host.events.back(), "error mel.datが開けませんでした。");
  EXPECT_EQ(host.ticks, (TableMenuTicks{true, false, false}));
  EXPECT_EQ(tables.TableName(), "fd.dat");
  EXPECT_EQ(host.label, "準拠データは fd.dat です");
}

TEST(UserTable, TicksBeforeTheDialogAndRemembersOnlyTheFileName) {
  FakeHost host;
  host.readable[kFd] = true;
  EquipmentTables tables(host, kFolder);
  tables.StartUp();
  tables.LoadUserTable();  // cancelled
  EXPECT_EQ(host.ticks, (TableMenuTicks{false, false, true}));
  host.userChoice = "D:\\work\\表データ.SDT";
  host.readable[*host.userChoice] = true;
  tables.LoadUserTable();
  EXPECT_EQ(host.label, "D:\\work\\表データ.SDT User 器具に準拠");
  EXPECT_EQ(host.remembered, "表データ.SDT");
  host.userChoice = "D:\\broken.SDT";
  tables.LoadUserTable();
  EXPECT_EQ(host.events.back(), "error ファイルが開けませんでした。");
  EXPECT_EQ(host.ticks, TableMenuTicks{});
  EXPECT_EQ(tables.TableName(), "表データ.SDT");
}

TEST(TableSave, TheChosenFilterDecidesTheExtension) {
  FakeHost host;
  EquipmentTables tables(host, kFolder);
  host.saveChoice = TableSaveChoice{"C:\\Qel\\Data\\mine", 2};
  tables.SaveTable();
  EXPECT_EQ(host.events, (std::vector<std::string>{"save C:\\Qel\\Data\\mine.dat", "remember mine.dat", "editing off"}));
  host.saveChoice = TableSaveChoice{"C:\\Qel\\Data\\mine.dat", 1};
  tables.SaveTable();
  EXPECT_EQ(host.remembered, "mine.sdt");
  host.events.clear();
  host.saveChoice.reset();
  tables.SaveTable();
  EXPECT_EQ(host.events, (std::vector<std::string>{"editing off"})) << "cancel only switches editing off";
}

}  // namespace
}  // namespace qel

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "acad/a_cad.h"
#include "tests/support/fake_acad_link.h"

namespace qel {
namespace {

using Texts = std::vector<std::string>;

// A fresh module wired to a recording link, an empty list and a chosen
// type-window index.
class AcadCommands : public ::testing::Test {
 protected:
  void SetUp() override {
    AcadSetUp(link, list, [this] { return typeIndex; });
    AcadSetProgramFolder("C:\\tools");
    AcadSetDrawingBaseName("C:\\work\\plant");
  }
  void TearDown() override { AcadTearDown(); }
  Texts Sent(const std::function<void()>& op) {
    link.commands.clear();
    op();
    return link.commands;
  }

  testing::FakeAcadLink link;
  Grid list{21, 2};
  int typeIndex = 2;
};

TEST_F(AcadCommands, PrimitivesAreTypedExactly) {
  EXPECT_EQ(Sent([] { AcadLine(60, 230, 60, 200); }), Texts{"._LINE 60,230 60,200\r\r"});
  EXPECT_EQ(Sent([] { AcadLine(-5, 0, 1000, -20); }), Texts{"._LINE -5,0 1000,-20\r\r"});
  EXPECT_EQ(Sent([] { AcadRectangle(50, 60, 75, 70); }), Texts{"_rectang 50,60 75,70\r"});
  EXPECT_EQ(Sent([] { AcadText(66, 45, "5.5 kW"); }), (Texts{"_TEXT\r", "66,45 0 5.5 kW\r\x03"}));
  EXPECT_EQ(Sent([] { AcadText(66, 45, ""); }), (Texts{"_TEXT\r", "66,45 0 \r\x03"}));
  EXPECT_EQ(Sent([] { AcadTextCentered(60, 45, "5.5 kW"); }), (Texts{"_TEXT\r", "J C\r", "60,45 0 5.5 kW\r\r"}));
  EXPECT_EQ(Sent([] { AcadTextCentered(60, 50, "ポンプ"); }),
            (Texts{"_TEXT\r", "J C\r", "60,50 0 \x83\x7C\x83\x93\x83\x76\r\r"}));
}

TEST_F(AcadCommands, InsertWordFollowsTheChosenEntry) {
  const Texts lt97{"\x03\x03._insert \x8D\x95\x8A\xDB\r60,230\r\r\r\r"};  // 黒丸 in Shift-JIS
  EXPECT_EQ(Sent([] { AcadInsertBlock(91, 60, 230); }), lt97);
  const std::pair<int, const char*> words[] = {{-1, "._insert "}, {0, "._insert "}, {1, "._insert "},
                                               {2, "._insert "},  {3, "-insert "},  {9, "-insert "},
                                               {11, "-insert "}};
  for (auto [index, word] : words) {
    typeIndex = index;
    EXPECT_EQ(Sent([] { AcadInsertBlock(1, 100, 200); }),
              Texts{std::string("\x03\x03") + word + "1P_MCB01\r100,200\r\r\r\r"})
        << index;
  }
  typeIndex = 9;  // AutoCAD 2000
  EXPECT_EQ(Sent([] { AcadInsertBlock(0, 60, 250); }), Texts{"\x03\x03-insert \r60,250\r\r\r\r"});
  EXPECT_EQ(Sent([] { AcadInsertBlock(19, 60, 250); }), Texts{"\x03\x03-insert \r60,250\r\r\r\r"});
}

TEST(AcadBlockName, SymbolTable) {
  const std::pair<int, const char*> table[] = {
      {1, "1P_MCB01"}, {2, "1P_MG_SW01"}, {3, "TH"},       {4, "1P_ELB01"},
      {11, "RY_A\x90\xDA\x93\x5F" "01"},  {12, "LS_A\x90\xDA\x93\x5F" "01"},  // 接点
      {21, "RY-DO"},   {22, "TR-DO"},     {29, "DO-BOX"},  {31, "cont"},    {32, "BOX"},   {35, "BOX"},
      {39, "BOX"},     {301, "BOX"},      {304, "BOX"},    {309, "BOX"},    {41, "DO-BOX"}, {51, "MY-RY"},
      {52, "BOX"},     {61, "DO-BOX"},    {71, "ACM"},     {81, "MY-RY"},   {88, "BOX"},   {91, "\x8D\x95\x8A\xDB"},
      {92, "\x92\x5B\x8E\x71"},  // 端子
      {0, ""},         {19, ""},          {36, ""},        {305, ""},       {44, ""},      {-1, ""}};
  for (auto [code, name] : table) EXPECT_EQ(AcadBlockName(code), name) << code;
}

TEST_F(AcadCommands, SettingsOpenAndSave) {
  EXPECT_EQ(Sent(AcadOsModeOff), Texts{"_OsMode 0\r"});
  EXPECT_EQ(Sent(AcadSetTextStyle), Texts{"-style STANDARD\rtxt,extfont\r2.5 0.8 0 N N N\r"});
  EXPECT_EQ(Sent(AcadLineTypeCenter), Texts{"-LineType S Center\r\x03"});
  EXPECT_EQ(Sent(AcadLineTypeByLayer), Texts{"-LineType S ByLayer\r\x03"});
  EXPECT_EQ(Sent(AcadOpenTemplate),
            (Texts{"\x03\x03._filedia 0\r", "._open\r", "C:\\tools\\Data\\Qel-Acad.DWG\r", "._filedia 1\r"}));
  EXPECT_EQ(Sent([] { AcadSavePage(2); }),
            (Texts{"\x03\x03._filedia 0\r", "._SaveAS R14 C:\\work\\plant2.DWG\r", "._filedia 1\r"}));
  EXPECT_EQ(Sent([] { AcadSavePage(10); })[1], "._SaveAS R14 C:\\work\\plant10.DWG\r");
}

// A blank would reach AutoCAD as Enter in the middle of a file name.
TEST_F(AcadCommands, PathsWithABlankGoInQuotes) {
  AcadSetProgramFolder("C:\\Program Files\\Qel");
  AcadSetDrawingBaseName("C:\\My Documents\\plant");
  EXPECT_EQ(Sent(AcadOpenTemplate)[2], "\"C:\\Program Files\\Qel\\Data\\Qel-Acad.DWG\"\r");
  EXPECT_EQ(Sent([] { AcadSavePage(1); })[1], "._SaveAS R14 \"C:\\My Documents\\plant1.DWG\"\r");
  // A full-width blank (81 40) is a character of the name, not an Enter.
  AcadSetDrawingBaseName("C:\\\x95\x5C\x81\x40plant");
  EXPECT_EQ(Sent([] { AcadSavePage(3); })[1], "._SaveAS R14 C:\\\x95\x5C\x81\x40plant3.DWG\r");
}

TEST_F(AcadCommands, LaunchCallsTheComponentInOrderAndSendsNothing) {
  EXPECT_TRUE(Sent([] { EXPECT_TRUE(AcadLaunch()); }).empty());
  EXPECT_EQ(link.calls, (Texts{"GetSDIMode", "ExecuteAcad", "SetSDIMode false"}));
}

// An AutoCAD that ends or never appears while starting: the job sends
// nothing and says so once, since no delivery report will ever come.
TEST_F(AcadCommands, AFailedLaunchEndsTheJobWithAMessage) {
  link.launches = false;
  list.SetCell(1, 1, "M1");
  std::vector<std::string> told;
  auto tell = [&](const std::string& text, const std::string& caption) { told.push_back(caption + "|" + text); };
  link.commands.clear();
  EXPECT_TRUE(AcadDrawToFile("D:\\out\\panel.DWG", [](const std::string&) { return false; },
                             [](const std::string&, const std::string&) { return true; }, tell));
  EXPECT_TRUE(link.commands.empty());
  EXPECT_EQ(told, Texts{"AutoCAD|AutoCAD を起動できませんでした。作図を中止しました。"});
  EXPECT_EQ(link.calls.back(), "ExecuteAcad") << "the SDI setting of a program that is not there is left alone";
}

TEST(AcadPlanDrawing, BaseNameAndQuestion) {
  struct Case {
    const char* chosen;
    const char* base;
    const char* question;
  };
  const Case cases[] = {
      {"C:\\work\\plant.dwg", "C:\\work\\plant", "同名ファイルがあります = plant 実行しますか ?"},
      {"C:\\work\\plant", "C:\\work\\plant", "同名ファイルがあります = plant 実行しますか ?"},
      {"C:\\work\\a.b.DWG", "C:\\work\\a.b", "同名ファイルがあります = a.b 実行しますか ?"},
      {"C:\\v1.2\\plant", "C:\\v1.2\\plant", "同名ファイルがあります = plant 実行しますか ?"},
      {"C:\\\x95\x5C.dwg", "C:\\\x95\x5C", "同名ファイルがあります = 表 実行しますか ?"},  // 表 ends in 5C
  };
  for (const Case& c : cases) {
    const AcadDrawingPlan plan = AcadPlanDrawing(c.chosen);
    EXPECT_EQ(plan.baseName, c.base) << c.chosen;
    EXPECT_EQ(plan.pageOneFile, std::string(c.base) + "1.dwg") << c.chosen;
    EXPECT_EQ(plan.overwriteQuestion, c.question) << c.chosen;
  }
}

TEST_F(AcadCommands, DrawToFileAsksOnlyWhenPageOneExists) {
  std::vector<std::string> looked, asked;
  bool answer = false;
  bool exists = true;
  auto fileExists = [&](const std::string& p) { looked.push_back(p); return exists; };
  auto askYesNo = [&](const std::string& text, const std::string& caption) {
    asked.push_back(caption + "|" + text);
    return answer;
  };
  link.commands.clear();
  EXPECT_FALSE(AcadDrawToFile("D:\\out\\panel.DWG", fileExists, askYesNo));
  EXPECT_EQ(looked, Texts{"D:\\out\\panel1.dwg"});
  EXPECT_EQ(asked, Texts{"確認|同名ファイルがあります = panel 実行しますか ?"});
  EXPECT_TRUE(link.commands.empty()) << "No: nothing is drawn";
  EXPECT_EQ(AcadDrawingBaseName(), "D:\\out\\panel");

  answer = true;
  EXPECT_TRUE(AcadDrawToFile("D:\\out\\panel.DWG", fileExists, askYesNo));
  ASSERT_FALSE(link.commands.empty());
  EXPECT_EQ(link.commands.back(), "._filedia 1\r");
  EXPECT_EQ(link.commands[link.commands.size() - 2], "._SaveAS R14 D:\\out\\panel1.DWG\r");

  exists = false;
  asked.clear();
  EXPECT_TRUE(AcadDrawToFile("D:\\out\\other", fileExists, askYesNo));
  EXPECT_TRUE(asked.empty());
}

}  // namespace
}  // namespace qel

// The AutoCAD link library's text rules and decisions, without windows.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "acadlink/AcadCtrl.h"
#include "acadlink/AcadFunc.h"
#include "acadlink/AcadUnit.h"
#include "acadlink/AcadVInf.h"

namespace qel {
namespace {

TEST(AcadUnquotePath, QuotesAroundTheWholeTextOnly) {
  struct Case {
    const char* in;
    const char* out;
  } cases[] = {
      {"\"C:\\Program Files\\ACLT\\aclt.exe\"", "C:\\Program Files\\ACLT\\aclt.exe"},
      {"  C:\\ACAD\\acad.exe  ", "C:\\ACAD\\acad.exe"},
      {"\" C:\\ACAD \"", "C:\\ACAD"},
      // A shell command with a quoted argument keeps its inner quotes, so it
      // names no program file.
      {"\"C:\\R13\\acad.exe\" \"%1\"", "C:\\R13\\acad.exe\" \"%1"},
      {"\"C:\\R13\\acad.exe\" %1", "\"C:\\R13\\acad.exe\" %1"},
      {"\"", "\""},
      {"", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(UnquotePath(c.in), c.out) << c.in;
}

TEST(AcadEditionNames, PrefixIgnoresCaseRestIsExact) {
  struct Case {
    const char* name;
    int edition;
  } cases[] = {
      {"AutoCAD LT2000", 4}, {"autocad lt2000", 4},  {"AutoCAD LT 2000", 0}, {"AutoCAD LT2000I", 0},
      {"AutoCAD LT2000i", 5}, {"AUTOCAD LT95", 1},   {"AutoCAD LT98", 3},     {"AutoCAD 2000", 9},
      {"autocad 2002", 11},  {"AutoCAD r14", 0},     {"AutoCAD R13", 7},      {"AutoCAD", 0},
      {"NOACAD", 0},         {"", 0},
  };
  for (const Case& c : cases) EXPECT_EQ(AcadEditionFromName(c.name), c.edition) << c.name;
  EXPECT_EQ(GetAcadEditionName(0), "");
  EXPECT_EQ(GetAcadEditionName(10), "AutoCAD 2000i");
  EXPECT_EQ(GetAcadEditionName(12), "");
}

TEST(AcadTypes, OrdinalsMapToEditions) {
  EXPECT_EQ(EditionOfAcadType(atACAD2000), 9);
  EXPECT_EQ(EditionOfAcadType(atACLT2002), 6);
  EXPECT_EQ(EditionOfAcadType(atResv2), 0);
  EXPECT_EQ(EditionOfAcadType(atResv4), 0);
  EXPECT_EQ(AcadTypeOfEdition(7), atACAD13);
  EXPECT_EQ(AcadTypeOfEdition(0), atNOACAD);
  EXPECT_EQ(AcadTypeOfEdition(12), atNOACAD);
}

TEST(AcadPathList, SharedFolderDroppedInEveryForm) {
  const std::string shared = "C:\\Program Files\\Common Files\\Autodesk Shared";
  const std::string shortForm = "C:\\PROGRA~1\\COMMON~1\\AUTODE~1";
  struct Case {
    const char* path;
    const char* cleaned;
  } cases[] = {
      {"C:\\Windows;C:\\Program Files\\Common Files\\Autodesk Shared;D:\\bin", "C:\\Windows;D:\\bin"},
      {"c:\\program files\\common files\\autodesk shared\\;C:\\x", "C:\\x"},
      {"C:\\PROGRA~1\\COMMON~1\\AUTODE~1;C:\\x", "C:\\x"},
      {" C:\\x\\ ; C:\\ ;\"C:\\Program Files\\Common Files\\Autodesk Shared\"", "C:\\x;C:\\"},
      {"\"C:\\a;b\";C:\\y", "\"C:\\a;b\";C:\\y"},
      // The second byte of "表" is 0x5C: not a trailing backslash.
      {"C:\\表;C:\\Autodesk Shared2", "C:\\表;C:\\Autodesk Shared2"},
      {"", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(CleanPathList(c.path, shared, shortForm), c.cleaned) << c.path;
}

TEST(AcadDelivery, WholeTextIsOnePayloadWithItsZero) {
  const std::string payload = CopyDataPayload("\x03\x03._filedia 0\r");
  ASSERT_EQ(payload.size(), 15u);
  EXPECT_EQ(payload.substr(0, 3), std::string("\x03\x03.", 3));
  EXPECT_EQ(payload[13], '\r');
  EXPECT_EQ(payload[14], '\0');
}

TEST(AcadDelivery, LineModeSplitsAtCarriageReturnsWithGrowingAllowance) {
  struct Case {
    std::string text;
    std::vector<std::string> lines;
    std::vector<int> polls;
    std::string remainder;
  } cases[] = {
      {"-style STANDARD\rtxt,extfont\r2.5 0.8 0 N N N\r",
       {"-style STANDARD\r", "txt,extfont\r", "2.5 0.8 0 N N N\r"},
       {33, 57, 89},
       ""},
      {"line\r\n0,0\r\n", {"line\r", "0,0\r"}, {13, 23}, ""},
      {"a\rtail", {"a\r"}, {5}, "tail"},
      {"no return", {}, {}, "no return"},
  };
  for (const Case& c : cases) {
    const CommandLines split = SplitCommandLines(c.text);
    std::vector<std::string> lines;
    std::vector<int> polls;
    for (const CommandLine& l : split.lines) {
      lines.push_back(l.text);
      polls.push_back(l.polls);
    }
    EXPECT_EQ(lines, c.lines) << c.text;
    EXPECT_EQ(polls, c.polls) << c.text;
    EXPECT_EQ(split.remainder, c.remainder) << c.text;
  }
}

TEST(AcadVersion, MinorAndBuildRunTogether) {
  EXPECT_EQ(AcadVersionText(0x000F0000, 0x000600C8, false), "15.06");
  EXPECT_EQ(AcadVersionText(0x000F0000, 0x000600C8, true), "15.06.200");
  EXPECT_EQ(AcadVersionText(0x000F0000, 0x00000000, false), "15.00");
  EXPECT_EQ(AcadVersionText(0x000E0001, 0x000A0003, true), "14.110.3");
}

TEST(AcadWatchTimer, HalfTheIntervalRoundedDown) {
  struct Case {
    int requested, stored, period;
  } cases[] = {{500, 500, 250}, {501, 501, 250}, {1, 1, 0}, {0, 0, 0}, {-40, 0, 0}};
  for (const Case& c : cases) {
    EXPECT_EQ(StoredInterval(c.requested), c.stored) << c.requested;
    EXPECT_EQ(WatchTimerPeriod(StoredInterval(c.requested)), c.period) << c.requested;
  }
}

TEST(AcadPromptText, BarePromptParamAndEnterQuestions) {
  EXPECT_TRUE(IsBareCommandPrompt("Command: "));
  EXPECT_TRUE(IsBareCommandPrompt("command: "));
  EXPECT_TRUE(IsBareCommandPrompt("COMMAND: "));
  EXPECT_TRUE(IsBareCommandPrompt("ｺﾏﾝﾄﾞ: "));
  EXPECT_FALSE(IsBareCommandPrompt("ｺﾏﾝﾄﾞ:"));
  EXPECT_FALSE(IsBareCommandPrompt("Command:"));
  EXPECT_FALSE(IsBareCommandPrompt("Command: line"));
  EXPECT_EQ(std::string("ｺﾏﾝﾄﾞ: ").size(), 7u);

  EXPECT_EQ(PromptParam("Command: _line"), "_line");
  EXPECT_EQ(PromptParam("command: x"), "x");
  EXPECT_EQ(PromptParam("ｺﾏﾝﾄﾞ: 線分"), "線分");
  EXPECT_EQ(PromptParam("Specify first point:"), "Specify first point:");

  struct Case {
    const char* prompt;
    bool asks;
  } cases[] = {
      {"Press RETURN to continue:", true},   {"  press return for more:  ", true},
      {"Name [Enter] for list:", true},     {"Name [ENTER]:", true},
      {" RETURN to go on:", false},          {"[ENTER]:", false},
      {"Press RETURN to continue", false},   {"", false},
  };
  for (const Case& c : cases) EXPECT_EQ(PromptAsksForEnter(c.prompt), c.asks) << c.prompt;
}

// Runs the watch over successive (frame, bar) prompts and records which
// events each tick raises: C change, W wait, M wait message, E enter.
std::vector<std::string> Watch(PromptWatch& w, const std::vector<std::pair<std::string, std::string>>& ticks,
                               PromptWatch::Listeners l, const std::string& waitMessage = "") {
  std::vector<std::string> out;
  bool phase = false;
  for (const auto& [p, b] : ticks) {
    const PromptWatch::Decision d = w.Tick(p, b, l, csCMDLINE, phase, waitMessage, nullptr);
    std::string events;
    if (d.raiseCmdChange) events += "C";
    if (d.raiseCmdWait) events += "W";
    if (d.raiseWaitMessage) events += "M";
    if (d.answerEnter) events += "E";
    out.push_back(events);
    phase = !phase;
  }
  return out;
}

TEST(AcadPromptWatch, WaitFiresOnceOnTheThirdIdleCheck) {
  PromptWatch w;
  PromptWatch::Listeners l;
  l.cmdChange = l.cmdWait = true;
  const std::pair<std::string, std::string> idle{"Command: ", "Command: "};
  const std::pair<std::string, std::string> busy{"Specify first point: ", "Specify first point: "};
  EXPECT_EQ(Watch(w, {idle, idle, idle, idle, idle, busy, idle, idle, idle}, l),
            (std::vector<std::string>{"C", "", "W", "", "", "C", "C", "", "W"}));
}

TEST(AcadPromptWatch, EveryFormOfTheBarePromptAndDifferingWindows) {
  struct Case {
    std::string frame, bar;
    bool idle, changed;
  } cases[] = {
      {"Command: ", "Command: ", true, true},
      {"command: ", "command: ", true, true},
      {"ｺﾏﾝﾄﾞ: ", "ｺﾏﾝﾄﾞ: ", true, true},
      {"ｺﾏﾝﾄﾞ:", "ｺﾏﾝﾄﾞ:", false, true},
      {"Command: ", "", false, false},
      {"Command: ", "Specify first point: ", false, false},
  };
  PromptWatch::Listeners l;
  l.cmdChange = true;
  for (const Case& c : cases) {
    PromptWatch w;
    const PromptWatch::Decision d = w.Tick(c.frame, c.bar, l, csCMDLINE, false, "", nullptr);
    EXPECT_EQ(d.idle, c.idle) << c.frame << "|" << c.bar;
    EXPECT_EQ(d.changed, c.changed) << c.frame << "|" << c.bar;
  }
}

TEST(AcadPromptWatch, InputWindowCountsOnlyOnPhaseWithAllWindows) {
  PromptWatch w;
  PromptWatch::Listeners l;
  l.cmdChange = true;
  int reads = 0;
  std::string input = "a";
  auto read = [&] {
    ++reads;
    return input;
  };
  EXPECT_TRUE(w.Tick("Command: ", "Command: ", l, csALLCHECK, true, "", read).changed);
  input = "ab";
  EXPECT_FALSE(w.Tick("Command: ", "Command: ", l, csALLCHECK, false, "", read).changed);
  EXPECT_TRUE(w.Tick("Command: ", "Command: ", l, csALLCHECK, true, "", read).changed);
  EXPECT_FALSE(w.Tick("Command: ", "Command: ", l, csCMDLINE, true, "", read).changed);
  EXPECT_EQ(reads, 2);
}

TEST(AcadPromptWatch, WaitMessageAndAutomaticEnter) {
  PromptWatch w;
  PromptWatch::Listeners onlyMessage;
  onlyMessage.waitMessage = true;
  // A new prompt holding the text is reported once; the same one again is not.
  EXPECT_EQ(Watch(w, {{"Command: Select objects:", "x"}, {"Command: Select objects:", "y"}, {"Command: ", "Command: "}},
                  onlyMessage, "objects"),
            (std::vector<std::string>{"M", "", ""}));

  PromptWatch e;
  PromptWatch::Listeners enter;
  enter.autoEnter = true;
  const std::pair<std::string, std::string> press{"Press RETURN to continue:", "Press RETURN to continue:"};
  EXPECT_EQ(Watch(e, {press, press}, enter), (std::vector<std::string>{"E", ""}));
  e.ForgetPrompt();  // what the component does after answering
  EXPECT_EQ(Watch(e, {press}, enter), (std::vector<std::string>{"E"}));
}

}  // namespace
}  // namespace qel

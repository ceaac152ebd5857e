#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "acad/a_cad.h"
#include "tests/support/fake_acad_link.h"

namespace qel {
namespace {

using Lines = std::vector<std::string>;

bool StartsWith(const std::string& s, const std::string& p) { return s.compare(0, p.size(), p) == 0; }
bool EndsWith(const std::string& s, const std::string& p) {
  return s.size() >= p.size() && s.compare(s.size() - p.size(), p.size(), p) == 0;
}
std::string Middle(const std::string& s, std::size_t head, std::size_t tail) {
  return s.substr(head, s.size() - head - tail);
}

// Reads the recorded command texts back as one line per drawing action, so
// that the expectations below read like the drawing recipe:
//   "L 60,230 60,200" line, "R 50,60 75,70" rectangle, "I ACM 55,60" insert,
//   "T 66,200 MCCB1" left text, "C 60,55 ACM F-1" centred text, and
//   "OPEN path", "SAVE path", "OSMODE", "STYLE", "FRAME", "BUS".
// A text of no known form comes out as "? " + the text, so a wrong byte
// anywhere fails the comparison.
Lines Decode(const std::vector<std::string>& c) {
  Lines out;
  std::size_t i = 0;
  auto at = [&](std::size_t k) { return i + k < c.size() ? c[i + k] : std::string(); };
  // "x,y 0 text" + ending, as both text commands give their point.
  auto pointAndText = [](const std::string& s, std::size_t tail) {
    const std::string body = Middle(s, 0, tail);
    const std::size_t blank = body.find(' ');
    if (blank == std::string::npos || body.compare(blank, 3, " 0 ") != 0) return "? " + s;
    return body.substr(0, blank) + " " + body.substr(blank + 3);
  };
  while (i < c.size()) {
    const std::string& s = c[i];
    if (s == "\x03\x03._filedia 0\r" && at(1) == "._open\r" && EndsWith(at(2), "\r") && at(3) == "._filedia 1\r") {
      out.push_back("OPEN " + Middle(at(2), 0, 1));
      i += 4;
    } else if (s == "\x03\x03._filedia 0\r" && StartsWith(at(1), "._SaveAS R14 ") && EndsWith(at(1), "\r") &&
               at(2) == "._filedia 1\r") {
      out.push_back("SAVE " + Middle(at(1), 13, 1));
      i += 3;
    } else if (s == "-LineType S Center\r\x03" && at(1) == "._LINE 32,240 415,240\r\r" &&
               at(2) == "._LINE 32,90 415,90\r\r" && at(3) == "-LineType S ByLayer\r\x03") {
      out.push_back("FRAME");
      i += 4;
    } else if (s == "_TEXT\r" && at(1) == "J C\r" && EndsWith(at(2), "\r\r")) {
      out.push_back("C " + pointAndText(at(2), 2));
      i += 3;
    } else if (s == "_TEXT\r" && EndsWith(at(1), "\r\x03")) {
      out.push_back("T " + pointAndText(at(1), 2));
      i += 2;
    } else {
      if (s == "_OsMode 0\r") {
        out.push_back("OSMODE");
      } else if (s == "-style STANDARD\rtxt,extfont\r2.5 0.8 0 N N N\r") {
        out.push_back("STYLE");
      } else if (s == "\x03\x03._LINE 50,230 400,230\r\r") {
        out.push_back("BUS");
      } else if (StartsWith(s, "._LINE ") && EndsWith(s, "\r\r")) {
        out.push_back("L " + Middle(s, 7, 2));
      } else if (StartsWith(s, "_rectang ") && EndsWith(s, "\r")) {
        out.push_back("R " + Middle(s, 9, 1));
      } else if (StartsWith(s, "\x03\x03._insert ") && EndsWith(s, "\r\r\r\r") && s.find('\r') < s.size() - 4) {
        const std::string body = Middle(s, 11, 4);
        const std::size_t cr = body.find('\r');
        out.push_back("I " + body.substr(0, cr) + " " + body.substr(cr + 1));
      } else {
        out.push_back("? " + s);
      }
      ++i;
    }
  }
  return out;
}

// One list row: NAME, START, kW, V, 88(MS), 6(☆), 19(M⊿), 49(TH), 49(A),
// MCB, MCB(Trip), I/F, Type, Tag.
void PutRow(Grid& list, int row, const std::string& name, const std::string& start, const std::string& io = "",
            const std::string& type = "", const std::string& tag = "") {
  const std::vector<std::pair<int, std::string>> cells = {
      {1, name},   {2, start},   {3, "7.5"}, {4, "200"}, {6, "MS3"}, {7, "STAR3"}, {8, "DELTA3"},
      {9, "TH3"},  {10, "15"},   {11, "SA53"}, {12, "30"}, {18, io}, {19, type},  {20, tag}};
  for (const auto& [col, text] : cells) list.SetCell(col, row, text);
}

class AcadLayout : public ::testing::Test {
 protected:
  void SetUp() override {
    AcadSetUp(link, list, [] { return 2; });  // AutoCAD LT97: "._insert "
    AcadSetProgramFolder("C:\\tools");
    AcadSetDrawingBaseName("C:\\work\\plant");
    PutRow(list, 3, "P-3", "直", "", "", "T03");
  }
  void TearDown() override { AcadTearDown(); }
  Lines Drawn(const std::function<void()>& op) {
    link.commands.clear();
    op();
    return Decode(link.commands);
  }
  // The page events of a whole job, and (optionally) each circuit's marker.
  Lines Pages(bool withMarkers) {
    Lines out;
    for (const std::string& l : Drawn(AcadMakeDrawing)) {
      const bool page = StartsWith(l, "OPEN") || StartsWith(l, "SAVE") || l == "STYLE" || l == "OSMODE" ||
                        l == "FRAME" || l == "BUS" || StartsWith(l, "T 50,232 ");
      const bool marker = (StartsWith(l, "T ") && l.find(",200 MCCB") != std::string::npos) ||
                          (StartsWith(l, "C ") && l.find(" Tag, ") != std::string::npos);
      if (page || (withMarkers && marker)) out.push_back(l);
    }
    return out;
  }

  testing::FakeAcadLink link;
  Grid list{21, 101};
};

TEST_F(AcadLayout, EveryRecipeDrawsItsCoordinatesAndLabels) {
  const Lines head = {"I 黒丸 100,230", "L 100,230 100,200"};
  const Lines labels = {"T 106,200 MCCB3", "T 106,195 SA53", "T 106,190 30"};
  const Lines motorFoot = {"L 100,89 100,70", "I ACM 95,60", "C 100,55 ACM F-3", "C 100,50 P-3", "C 100,45 7.5 kW"};
  auto join = [](std::initializer_list<Lines> parts) {
    Lines all;
    for (const Lines& p : parts) all.insert(all.end(), p.begin(), p.end());
    return all;
  };
  const Lines direct = join({head, {"I 1P_MCB01 100,200"}, labels,
                             {"L 100,193 100,160", "I 1P_MG_SW01 100,160", "T 106,160 88-3", "T 106,155 MS3",
                              "L 100,153 100,144", "I TH 100,140", "T 106,145 49-3", "T 106,140 TH3", "T 106,135 15 A",
                              "L 100,140 100,91", "I 端子 100,90"},
                             motorFoot});
  struct Recipe {
    const char* name;
    std::function<void()> draw;
    Lines expected;
  };
  const Recipe recipes[] = {
      {"direct", [] { AcadDrawMotorDirect(3, 1, 100); }, direct},
      {"reversing", [] { AcadDrawMotorReversing(3, 4, 100); },
       join({head, {"I 1P_ELB01 100,200"}, labels,
             {"L 100,193 100,160", "I 1P_MG_SW01 100,160", "T 106,160 88F-3", "T 106,155 MS3", "I 黒丸 100,170",
              "L 100,170 120,170", "L 120,170 120,160", "I 1P_MG_SW01 120,160", "T 126,160 88R-3", "T 126,155 MS3",
              "L 120,153 120,145", "L 120,145 100,145", "I 黒丸 100,145", "L 100,153 100,134", "I TH 100,130",
              "T 106,135 49-3", "T 106,130 TH3", "T 106,125 15 A", "L 100,130 100,91", "I 端子 100,90"},
             motorFoot})},
      {"star-delta", [] { AcadDrawMotorStarDelta(3, 1, 100); },
       join({direct,
             {"I 1P_MG_SW01 110,120", "T 116,125 19-3", "T 116,120 DELTA3", "I 黒丸 100,125", "L 100,125 110,125",
              "L 110,125 110,120", "L 110,113 110,91", "I 端子 110,90", "L 110,89 110,65", "L 105,65 110,65",
              "I 1P_MG_SW01 120,105", "T 126,105 16-3", "T 126,100 STAR3", "I 黒丸 120,110", "L 118,110 122,110",
              "L 118,110 118,108", "L 122,110 122,108", "L 120,110 120,105", "L 120,98 120,95", "L 110,95 120,95",
              "I 黒丸 110,95"}})},
      {"feeder", [] { AcadDrawFeeder(3, 4, 100); },
       join({head, {"I 1P_ELB01 100,200"}, labels,
             {"L 100,193 100,91", "I 端子 100,90", "L 100,89 100,70", "R 90,60 115,70", "C 100,55 Panel No.3",
              "C 100,50 P-3", "C 100,45 7.5 kW"}})},
      {"digital input", [] { AcadDrawDigitalInput(3, 12, 88, 100); },
       {"I LS_A接点01 100,250", "L 100,247 100,241", "I 端子 100,240", "L 100,239 100,205", "I BOX 100,200",
        "C 100,270 Tag, T03", "C 100,260 P-3", "C 100,200 PLC"}},
      {"digital output", [] { AcadDrawDigitalOutput(3, 22, 100); },
       {"I TR-DO 100,125", "L 100,125 100,91", "I 端子 100,90", "L 100,89 100,70", "C 100,150 Tag, T03",
        "C 100,140 P-3"}},
      {"analogue input", [] { AcadDrawAnalogInput(3, 33, 31, 100); },
       {"I BOX 100,250", "L 100,245 100,241", "I 端子 100,240", "L 100,239 100,205", "I cont 100,200",
        "C 100,270 Tag, T03", "C 100,260 P-3", "T 100,250 Press", "T 100,200 C"}},
      {"analogue output", [] { AcadDrawAnalogOutput(3, 44, 100); },
       {"I DO-BOX 100,125", "L 100,125 100,91", "I 端子 100,90", "L 100,89 100,70", "C 100,150 Tag, T03",
        "C 100,140 P-3", "T 100,130 4-20mA"}},
      {"word input", [] { AcadDrawWordInput(3, 51, 100); },
       {"I BOX 100,250", "L 100,245 100,241", "I 端子 100,240", "L 100,239 100,205", "I MY-RY 100,200",
        "T 100,250 BCD", "C 100,270 Tag, T03", "C 100,260 P-3", "T 100,200 Ry"}},
      {"word output", [] { AcadDrawWordOutput(3, 0, 100); },
       {"I DO-BOX 100,125", "L 100,125 100,91", "I 端子 100,90", "L 100,89 100,70", "C 100,150 Tag, T03",
        "C 100,140 P-3", "T 100,130 Wo-"}},
  };
  for (const Recipe& r : recipes) EXPECT_EQ(Drawn(r.draw), r.expected) << r.name;
}

// Which recipe, breaker, device, receiver and labels each row kind gets:
// the blocks one row in slot 1 inserts ("BUS" where the supply bus is
// drawn), then the device and receiver labels of the column.
TEST_F(AcadLayout, RowKindPicksTheRecipe) {
  struct Case {
    const char* start;
    const char* io;
    const char* type;
    std::string drawn;
  };
  const Case cases[] = {
      {"直", "", "", "BUS|黒丸|1P_MCB01|1P_MG_SW01|TH|端子|ACM"},
      {"可逆", "", "", "BUS|黒丸|1P_MCB01|1P_MG_SW01|黒丸|1P_MG_SW01|黒丸|TH|端子|ACM"},
      {"☆⊿", "", "", "BUS|黒丸|1P_MCB01|1P_MG_SW01|TH|端子|ACM|1P_MG_SW01|黒丸|端子|1P_MG_SW01|黒丸|黒丸"},
      {"送り", "", "", "BUS|黒丸|1P_MCB01|端子"},
      {"直漏", "", "", "BUS|黒丸|1P_ELB01|1P_MG_SW01|TH|端子|ACM"},
      {"可逆漏", "", "", "BUS|黒丸|1P_ELB01|1P_MG_SW01|黒丸|1P_MG_SW01|黒丸|TH|端子|ACM"},
      {"☆⊿漏", "", "", "BUS|黒丸|1P_ELB01|1P_MG_SW01|TH|端子|ACM|1P_MG_SW01|黒丸|端子|1P_MG_SW01|黒丸|黒丸"},
      {"送り漏", "", "", "BUS|黒丸|1P_ELB01|端子"},
      {" ", "Di>Ry", "Di-A", "RY_A接点01|端子|MY-RY|Ry"},
      {" ", "Di>Ry", "Di-LS", "LS_A接点01|端子|MY-RY|Ry"},
      {" ", "Di>PLC", "Di-", "|端子|BOX|PLC"},  // type code 19: the empty block name
      {" ", "Do", "Do-Ry", "RY-DO|端子"},
      {" ", "Do", "Do-", "DO-BOX|端子"},
      {" ", "Do", "Ao-4", "|端子"},
      {" ", "Ai>C", "Ai-T", "BOX|端子|cont|Temp|C"},
      {" ", "Ai>PLC", "Ai-F", "BOX|端子|BOX|Flow|PLC"},
      {" ", "Ai>PEN", "Ai-P", "BOX|端子|BOX|Press|Pen"},
      {" ", "Ai>1", "Ai-L", "BOX|端子|BOX|Lebel|1-5V"},
      {" ", "Ai>4", "Ai-", "BOX|端子|BOX|AI|4-20mA"},
      {" ", "Ai>4", "Di-A", "BOX|端子|BOX|AI|4-20mA"},  // a hand-edited type: the generic device
      {" ", "Ao", "Ao-1", "DO-BOX|端子|1-5V"},
      {" ", "Ao", "Ao-4", "DO-BOX|端子|4-20mA"},
      {" ", "Ao", "Ao-", "DO-BOX|端子|Ao-"},
      {" ", "Ao", "", "DO-BOX|端子|AO"},
      {" ", "Wi>Ry", "Wi-B", "BOX|端子|MY-RY|BCD|Ry"},
      {" ", "Wi>PLC", "Wi-B", "BOX|端子|BOX|BCD|Wi BCD"},
      {" ", "Wo", "Wo-B", "DO-BOX|端子|Wo BCD"},
      {" ", "Wo", "", "DO-BOX|端子|Wo-"},
      {" ", "", "", ""},  // reserve row: nothing, the slot stays empty
  };
  for (const Case& c : cases) {
    Grid one(21, 2);
    PutRow(one, 1, "SP", c.start, c.io, c.type, "T01");
    AcadSetUp(link, one, [] { return 2; });
    std::string drawn;
    for (const std::string& l : Drawn(AcadDrawList)) {
      if (l == "BUS") drawn += "|BUS";
      if (StartsWith(l, "I ")) drawn += "|" + l.substr(2, l.rfind(' ') - 2);
      for (const char* label : {"T 60,250 ", "T 60,200 ", "T 60,130 ", "C 60,200 "})
        if (StartsWith(l, label)) drawn += "|" + l.substr(9);
    }
    EXPECT_EQ(drawn, c.drawn.empty() ? "" : "|" + c.drawn) << c.start << c.io << c.type;
  }
}

TEST_F(AcadLayout, MixedListOverTwoPages) {
  PutRow(list, 1, "M1", "直");
  PutRow(list, 2, "D2", " ", "Di>Ry", "Di-A", "T02");
  PutRow(list, 3, "D3", " ", "Do", "Do-Ry", "T03");
  PutRow(list, 4, "F4", "送り漏");
  PutRow(list, 5, "A5", " ", "Ai>4", "Ai-", "T05");
  PutRow(list, 6, "W6", " ", "Wo", "Wo-B", "T06");
  PutRow(list, 7, "S7", "☆⊿");
  PutRow(list, 8, "SP", " ");  // a reserve row ends the page: no frame lines on the next
  PutRow(list, 9, "A9", " ", "Ao", "Ao-1", "T09");  // first on its page: no supply bus
  PutRow(list, 10, "R10", "可逆漏");
  PutRow(list, 11, "W11", " ", "Wi>PLC", "Wi-B", "T11");
  PutRow(list, 12, "A12", " ", "Ai>C", "Ai-T", "T12");
  PutRow(list, 14, "after a gap", "直");  // row 13 has no NAME: the drawing ends there
  const Lines expected = {"OPEN C:\\tools\\Data\\Qel-Acad.DWG",
                          "OSMODE",
                          "FRAME",
                          "STYLE",
                          "BUS",
                          "T 50,232 AC 200V",
                          "T 66,200 MCCB1",
                          "C 100,270 Tag, T02",
                          "C 140,150 Tag, T03",
                          "T 186,200 MCCB4",
                          "C 220,270 Tag, T05",
                          "C 260,150 Tag, T06",
                          "T 306,200 MCCB7",
                          "SAVE C:\\work\\plant1.DWG",
                          "OPEN C:\\tools\\Data\\Qel-Acad.DWG",
                          "STYLE",
                          "C 60,150 Tag, T09",
                          "T 106,200 MCCB10",
                          "C 140,270 Tag, T11",
                          "C 180,270 Tag, T12",
                          "SAVE C:\\work\\plant2.DWG"};
  EXPECT_EQ(Pages(true), expected);
  EXPECT_EQ(link.calls, (Lines{"GetSDIMode", "ExecuteAcad", "SetSDIMode false"}));
}

TEST_F(AcadLayout, PageBreaks) {
  const Lines start = {"OPEN C:\\tools\\Data\\Qel-Acad.DWG", "OSMODE", "FRAME", "STYLE"};
  const Lines nextPage = {"SAVE C:\\work\\plant1.DWG", "OPEN C:\\tools\\Data\\Qel-Acad.DWG", "STYLE"};
  auto fill = [&](int rows, int reserveRow) {
    list.ClearAll();
    for (int r = 1; r <= rows; ++r) PutRow(list, r, r == reserveRow ? "SP" : "M", r == reserveRow ? " " : "直");
  };
  auto with = [](Lines a, const Lines& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
  };
  fill(0, 0);
  EXPECT_EQ(Pages(false), with(start, {"SAVE C:\\work\\plant1.DWG"})) << "empty list: page 1 all the same";
  fill(8, 0);
  EXPECT_EQ(Pages(false), with(start, {"BUS", "T 50,232 AC 200V", "SAVE C:\\work\\plant1.DWG"}));
  fill(9, 0);
  EXPECT_EQ(Pages(false), with(with(start, {"BUS", "T 50,232 AC 200V"}),
                               with(nextPage, {"FRAME", "BUS", "T 50,232 AC 200V", "SAVE C:\\work\\plant2.DWG"})));
  fill(9, 8);
  EXPECT_EQ(Pages(false), with(with(start, {"BUS", "T 50,232 AC 200V"}),
                               with(nextPage, {"BUS", "T 50,232 AC 200V", "SAVE C:\\work\\plant2.DWG"})));
  fill(9, 1);  // a reserve row first: no bus on page 1 although motors follow
  EXPECT_EQ(Pages(false), with(start, with(nextPage, {"FRAME", "BUS", "T 50,232 AC 200V",
                                                      "SAVE C:\\work\\plant2.DWG"})));
}

TEST_F(AcadLayout, RowsAfter79AreNeverDrawn) {
  for (int r = 1; r <= 100; ++r) PutRow(list, r, "M", "直");
  Lines saves, markers;
  for (const std::string& l : Pages(true)) {
    if (StartsWith(l, "SAVE ")) saves.push_back(l.substr(5));
    if (l.find("MCCB") != std::string::npos) markers.push_back(l);
  }
  EXPECT_EQ(saves, (Lines{"C:\\work\\plant1.DWG", "C:\\work\\plant2.DWG", "C:\\work\\plant3.DWG",
                          "C:\\work\\plant4.DWG", "C:\\work\\plant5.DWG", "C:\\work\\plant6.DWG",
                          "C:\\work\\plant7.DWG", "C:\\work\\plant8.DWG", "C:\\work\\plant9.DWG",
                          "C:\\work\\plant10.DWG"}));
  ASSERT_EQ(markers.size(), 79u);
  EXPECT_EQ(markers[72], "T 66,200 MCCB73");
  EXPECT_EQ(markers.back(), "T 306,200 MCCB79");
}

// A cell with the cancel byte, CR, LF or a lone lead byte stays one text:
// those bytes are typed as blanks, never as keys that end the text.
TEST_F(AcadLayout, CellTextsAreTypedAsOneText) {
  PutRow(list, 1, "M1\x03._LINE 0,0 400,300 ", "直");
  list.SetCell(9, 1, "TH\r\n3");
  list.SetCell(11, 1, "SA\x81");
  Lines texts;
  for (const std::string& l : Drawn(AcadMakeDrawing))
    if (StartsWith(l, "C 60,50 ") || StartsWith(l, "T 66,140 ") || StartsWith(l, "T 66,195 ") || StartsWith(l, "?"))
      texts.push_back(l);
  EXPECT_EQ(texts, (Lines{"T 66,195 SA ", "T 66,140 TH  3", "C 60,50 M1 ._LINE 0,0 400,300 "}));
}

// A link that lets the list change under the job, as the main window's
// message loop may while a text is being typed: rows deleted, then the
// whole grid replaced (a list opened).
class ChangingLink : public testing::FakeAcadLink {
 public:
  Grid* list = nullptr;
  bool SendCommand(const std::string& text, int sendNo) override {
    FakeAcadLink::SendCommand(text, sendNo);
    if (commands.size() == 12) list->DeleteRows(1, 3);
    if (commands.size() == 40) *list = Grid(21, 2);
    return true;
  }
};

TEST_F(AcadLayout, AJobDrawsTheListAsItWasWhenItStarted) {
  PutRow(list, 1, "M1", "直");
  PutRow(list, 2, "F2", "送り");
  PutRow(list, 3, "D3", " ", "Di>Ry", "Di-A", "T03");
  PutRow(list, 4, "M4", "可逆");
  const Lines untouched = Drawn(AcadMakeDrawing);
  ChangingLink changing;
  changing.list = &list;
  AcadSetUp(changing, list, [] { return 2; });
  AcadMakeDrawing();
  EXPECT_EQ(Decode(changing.commands), untouched);
  EXPECT_EQ(list.RowCount(), 2) << "the list did change meanwhile";
  EXPECT_EQ(untouched.back(), "SAVE C:\\work\\plant1.DWG");
  EXPECT_EQ(std::count(untouched.begin(), untouched.end(), "C 60,50 M1") +
                std::count(untouched.begin(), untouched.end(), "C 140,270 Tag, T03"),
            2);
}

}  // namespace
}  // namespace qel

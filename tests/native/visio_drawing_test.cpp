#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <regex>
#include <string>
#include <vector>

#include "list/circuit_list.h"
#include "visio/e_visio_2.h"

namespace qel {
namespace {

// A Visio stand-in for the call sequence: every get, put and method call
// becomes one log line "object.Member(args)", where an object is named by
// the call that returned it ("app" for the application). Texts are shown in
// single quotes, integers bare, by-reference arguments with "&", and
// floating-point coordinates converted back to millimetres with "mm".
struct Log {
  std::vector<std::string> lines;
  std::string failOn;  // a call whose line starts with this fails
  std::string failText = "Visio says no";
  // Every call as its kind and argument types: "call Pages.Item(i4&)".
  std::vector<std::string> kinds;
  std::function<void()> beforeEachCall;
};

// The type a Variant crosses as: "i4", "r8", "bstr", "object"; "i4&" for a
// typed reference and "variant&" for a reference to a variant.
std::string TypeOf(const Variant& v) {
  if (v.IsByRef() && !v.IsByRefTyped()) return "variant&";
  std::string t = v.IsInt() ? "i4" : v.IsDouble() ? "r8" : v.IsText() ? "bstr" : v.IsObject() ? "object" : "?";
  return v.IsByRefTyped() ? t + "&" : t;
}

class Recorder;
std::string NameOf(const Variant& v);

std::string Show(const Variant& v) {
  std::string s = v.IsByRef() ? "&" : "";
  if (v.IsObject()) return s + NameOf(v);
  if (v.IsText()) return s + "'" + v.AsText() + "'";
  if (v.IsInt()) return s + std::to_string(v.AsInt());
  if (v.IsDouble()) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%gmm", v.AsDouble() * 25.4);
    return s + buf;
  }
  if (v.IsEmpty()) return s + "(empty)";
  return s + v.Describe();
}

class Recorder : public Dispatch {
 public:
  Recorder(std::shared_ptr<Log> log, std::string name) : log_(std::move(log)), name_(std::move(name)) {}
  const std::string& Name() const { return name_; }

  Variant Get(const std::string& member, Args args) override {
    Kind("get", member, args, "");
    return Record(member, args, "");
  }
  void Put(const std::string& member, const Variant& value, Args args) override {
    Kind("put", member, args, " = " + TypeOf(value));
    Record(member, args, " = " + Show(value));
  }
  Variant Call(const std::string& member, Args& args) override {
    Kind("call", member, args, "");
    return Record(member, args, "");
  }

 private:
  void Kind(const char* kind, const std::string& member, const Args& args, const std::string& put) {
    if (log_->beforeEachCall) log_->beforeEachCall();
    std::string line = std::string(kind) + " " + member;
    if (!args.empty() || std::string(kind) == "call") {
      line += "(";
      for (std::size_t i = 0; i < args.size(); ++i) line += (i ? "," : "") + TypeOf(args[i]);
      line += ")";
    }
    log_->kinds.push_back(line + put);
  }
  Variant Record(const std::string& member, const Args& args, const std::string& put) {
    std::string call = member;
    if (!args.empty()) {
      call += "(";
      for (std::size_t i = 0; i < args.size(); ++i) call += (i ? "," : "") + Show(args[i]);
      call += ")";
    }
    const std::string line = name_ + "." + call + put;
    if (!log_->failOn.empty() && line.rfind(log_->failOn, 0) == 0) throw AutomationError(log_->failText);
    log_->lines.push_back(line);
    return Variant(std::shared_ptr<Dispatch>(std::make_shared<Recorder>(log_, call)));
  }
  std::shared_ptr<Log> log_;
  std::string name_;
};

std::string NameOf(const Variant& v) { return static_cast<const Recorder&>(*v.AsObject()).Name(); }

struct Messages : VisioMessageSink {
  std::vector<std::string> shown;
  void ShowVisioMessage(const std::string& text) override { shown.push_back(text); }
};

// A module connected to a recording Visio with the documents open, its own
// calls so far forgotten.
struct Session {
  std::shared_ptr<Log> log = std::make_shared<Log>();
  VisioModule module{[this](const std::string&) { return std::make_shared<Recorder>(log, "app"); }};
  Messages messages;
  bool openFailed = true;

  Session() {
    module.SetProgramFolder("C:\\Qel");
    module.VisioStart(messages);
    module.VisioOpenDocuments(openFailed, messages);
    log->lines.clear();
  }
  std::vector<std::string> Draw(const Grid& list) {
    module.VisioDrawList(list);
    return log->lines;
  }
};

// One entry per shape, in order: "page master x,y" for a drop and
// "page line x1,y1-x2,y2" for a line, with the formulas written into it
// after it; an added page as "page name".
std::vector<std::string> Shapes(const std::vector<std::string>& lines) {
  static const std::regex drop(R"(Item\(&(\d+)\)\.Drop\(&masters\('([^']*)'\),([\d.]+)mm,([\d.]+)mm\))");
  static const std::regex line(R"(Item\(&(\d+)\)\.DrawLine\(([\d.]+)mm,([\d.]+)mm,([\d.]+)mm,([\d.]+)mm\))");
  static const std::regex formula(R"(Cells\('Prop\.Row_\d'\)\.Formula = '(.*)')");
  static const std::regex page(R"(add\.name = '(.*)')");
  std::vector<std::string> out;
  std::smatch m;
  for (const std::string& l : lines) {
    if (std::regex_match(l, m, drop)) out.push_back(m.str(1) + " " + m.str(2) + " " + m.str(3) + "," + m.str(4));
    else if (std::regex_match(l, m, line))
      out.push_back(m.str(1) + " line " + m.str(2) + "," + m.str(3) + "-" + m.str(4) + "," + m.str(5));
    else if (std::regex_match(l, m, formula) && !out.empty()) out.back() += " " + m.str(1);
    else if (std::regex_match(l, m, page)) out.push_back("page " + m.str(1));
  }
  return out;
}
bool Has(const std::vector<std::string>& lines, const std::string& line) {
  return std::find(lines.begin(), lines.end(), line) != lines.end();
}
int CountOf(const std::vector<std::string>& lines, const std::string& part) {
  int n = 0;
  for (const std::string& l : lines) n += l.find(part) != std::string::npos;
  return n;
}

// Rows as the list writer leaves them: "" is an empty cell, " " a blank one.
std::vector<std::string> Motor(const char* no, const char* name, const char* start, const char* kw, const char* amps49) {
  return {no,    name,  start, kw, "200", "15", "SC-5-1", " ", " ", "TR-5-1", amps49,
          "SA33", "15A", "2.0", " ", " ",  " ",  " ",      " ", "", ""};
}
std::vector<std::string> StarDelta(const char* no, const char* name) {
  return {no,      name,   "☆⊿", "37", "400", "70", "SC-N2", "SC-N1", "SC-N2S", "TR-N3", "48",
          "SA103", "100A", "38", "22", "14",  "8",  "5.5",   "",      "",       ""};
}
std::vector<std::string> Loop(const char* no, const char* name, const char* function, const char* type) {
  return {no, name, " ", " ", " ", " ", " ", " ", " ", " ", " ", " ", " ", " ", " ", " ", " ", " ", function, type, "T1"};
}
std::vector<std::string> Reserve(const char* no) {
  return {no, "SP", " ", " ", " ", " ", " ", " ", " ", " ", " ", " ", " ", " ", " ", " ", " ", " ", "", "", ""};
}

Grid ListOf(const std::vector<std::vector<std::string>>& rows, int extraRows = 1) {
  Grid g(21, static_cast<int>(rows.size()) + 1 + extraRows);
  g.SetRow(0, ListHeaders());
  for (std::size_t i = 0; i < rows.size(); ++i) g.SetRow(static_cast<int>(i) + 1, rows[i]);
  return g;
}

// ---- connection ----

TEST(VisioConnection, StartsAndOpensTheTwoDocumentsFromTheDataFolder) {
  auto log = std::make_shared<Log>();
  VisioModule module([&](const std::string& progId) {
    log->lines.push_back("create " + progId);
    return std::make_shared<Recorder>(log, "app");
  });
  module.SetProgramFolder("C:\\Qel");
  Messages messages;
  bool failed = true;
  module.VisioStart(messages);
  module.VisioOpenDocuments(failed, messages);
  EXPECT_EQ(log->lines, (std::vector<std::string>{
                            "create Visio.Application",
                            "app.Documents",
                            "app.FormatResult(&'1 mm','mm','mm','#.00 mm')",
                            "app.Documents",
                            "Documents.Open('C:\\Qel\\Data\\qel-ms.vss')",
                            "app.Documents('C:\\Qel\\Data\\qel-ms.vss')",
                            "app.Documents",
                            "Documents.Open('C:\\Qel\\Data\\qel-ms.vsd')",
                        }));
  EXPECT_FALSE(failed);
  EXPECT_TRUE(messages.shown.empty());
  EXPECT_EQ(NameOf(module.StencilDoc()), "Documents('C:\\Qel\\Data\\qel-ms.vss')");
}

TEST(VisioConnection, FailuresShowTheirMessagesInTurn) {
  const std::string start = "Visioを起動できません.";
  const std::string quit = "Visioを quit できません.";
  const std::string open = "ファイルを開けません。\n\r２重オープンできません。";
  struct Case {
    std::string failOn;
    std::vector<std::string> messages;
    std::string lastCall;
  };
  const Case cases[] = {
      {"app.Documents", {start, open}, "app.quit"},  // the Documents get fails everywhere
      {"app.FormatResult", {start}, "Documents.Open('C:\\Qel\\Data\\qel-ms.vsd')"},
      {"Documents.Open('C:\\Qel\\Data\\qel-ms.vsd')", {open}, "app.quit"},
      {"app.Documents('", {open}, "app.quit"},
  };
  for (const Case& c : cases) {
    auto log = std::make_shared<Log>();
    log->failOn = c.failOn;
    VisioModule module([&](const std::string&) { return std::make_shared<Recorder>(log, "app"); });
    module.SetProgramFolder("C:\\Qel");
    Messages messages;
    bool failed = false;
    module.VisioStart(messages);
    module.VisioOpenDocuments(failed, messages);
    EXPECT_EQ(messages.shown, c.messages) << c.failOn;
    EXPECT_EQ(failed, c.messages.back() == open) << c.failOn;
    ASSERT_FALSE(log->lines.empty());
    EXPECT_EQ(log->lines.back(), c.lastCall) << c.failOn;
  }
}

TEST(VisioConnection, WithoutVisioAllThreeMessagesAndTheOldObjectStays) {
  Messages messages;
  bool failed = false;
  VisioModule none;  // no automation factory installed: creation fails
  none.SetProgramFolder("C:\\Qel");
  none.VisioStart(messages);
  none.VisioOpenDocuments(failed, messages);
  EXPECT_EQ(messages.shown, (std::vector<std::string>{"Visioを起動できません.", "Visioを quit できません.",
                                                      "ファイルを開けません。\n\r２重オープンできません。"}));
  EXPECT_TRUE(failed);

  // A later start whose creation fails keeps the object of the earlier one.
  auto log = std::make_shared<Log>();
  bool available = true;
  VisioModule module([&](const std::string&) -> std::shared_ptr<Dispatch> {
    if (!available) throw AutomationError("class not registered");
    return std::make_shared<Recorder>(log, "first");
  });
  module.VisioStart(messages);
  available = false;
  module.VisioStart(messages);
  EXPECT_EQ(NameOf(module.VisioApp()), "first");
}

// ---- drawing ----

TEST(VisioDrawing, OneDirectOnLineMotorRowCallByCall) {
  Session s;
  ASSERT_FALSE(s.openFailed);
  const auto lines = s.Draw(ListOf({Motor("7", "P-1", "直", "3.7", "4.2")}));
  const std::vector<std::string> expected = {
      // the bus
      "app.ActiveDocument", "ActiveDocument.Pages", "Pages.Item(&1)",
      "Item(&1).DrawLine(30mm,220mm,400mm,220mm)",
      "Documents('C:\\Qel\\Data\\qel-ms.vss').masters('line')",
      "app.ActiveDocument", "ActiveDocument.Pages", "Pages.Item(&1)",
      "Item(&1).Drop(&masters('line'),50mm,213.5mm)",
      "Documents('C:\\Qel\\Data\\qel-ms.vss').masters('1P-MCB')",
      "app.ActiveDocument", "ActiveDocument.Pages", "Pages.Item(&1)",
      "Item(&1).Drop(&masters('1P-MCB'),50mm,200mm)",
      "Drop(&masters('1P-MCB'),50mm,200mm).Cells('Prop.Row_2')", "Cells('Prop.Row_2').Formula = '\"MCCB1\"'",
      "Drop(&masters('1P-MCB'),50mm,200mm).Cells('Prop.Row_3')", "Cells('Prop.Row_3').Formula = '\"SA33\"'",
      "Drop(&masters('1P-MCB'),50mm,200mm).Cells('Prop.Row_4')", "Cells('Prop.Row_4').Formula = '\"15A\"'",
      "app.ActiveDocument", "ActiveDocument.Pages", "Pages.Item(&1)",
      "Item(&1).DrawLine(50mm,157mm,50mm,200mm)",
      "Documents('C:\\Qel\\Data\\qel-ms.vss').masters('1P-MgSW')",
      "app.ActiveDocument", "ActiveDocument.Pages", "Pages.Item(&1)",
      "Item(&1).Drop(&masters('1P-MgSW'),50mm,150mm)",
      "Drop(&masters('1P-MgSW'),50mm,150mm).Cells('Prop.Row_2')", "Cells('Prop.Row_2').Formula = '\"88-1\"'",
      "Drop(&masters('1P-MgSW'),50mm,150mm).Cells('Prop.Row_3')", "Cells('Prop.Row_3').Formula = '\"SC-5-1\"'",
      "Drop(&masters('1P-MgSW'),50mm,150mm).Cells('Prop.Row_4')", "Cells('Prop.Row_4').Formula = '\" \"'",
      "app.ActiveDocument", "ActiveDocument.Pages", "Pages.Item(&1)",
      "Item(&1).DrawLine(50mm,137mm,50mm,150mm)",
      "Documents('C:\\Qel\\Data\\qel-ms.vss').masters('1P-TH')",
      "app.ActiveDocument", "ActiveDocument.Pages", "Pages.Item(&1)",
      "Item(&1).Drop(&masters('1P-TH'),50mm,130mm)",
      "Drop(&masters('1P-TH'),50mm,130mm).Cells('Prop.Row_2')", "Cells('Prop.Row_2').Formula = '\"49-1\"'",
      "Drop(&masters('1P-TH'),50mm,130mm).Cells('Prop.Row_3')", "Cells('Prop.Row_3').Formula = '\"TR-5-1\"'",
      "Drop(&masters('1P-TH'),50mm,130mm).Cells('Prop.Row_4')", "Cells('Prop.Row_4').Formula = '\"4.2A\"'",
      "app.ActiveDocument", "ActiveDocument.Pages", "Pages.Item(&1)",
      "Item(&1).DrawLine(50mm,70mm,50mm,130mm)",
      "Documents('C:\\Qel\\Data\\qel-ms.vss').masters('motor')",
      "app.ActiveDocument", "ActiveDocument.Pages", "Pages.Item(&1)",
      "Item(&1).Drop(&masters('motor'),50mm,60mm)",
      "Drop(&masters('motor'),50mm,60mm).Cells('Prop.Row_2')", "Cells('Prop.Row_2').Formula = '\"ACM F-1\"'",
      "Drop(&masters('motor'),50mm,60mm).Cells('Prop.Row_3')", "Cells('Prop.Row_3').Formula = '\"P-1\"'",
      "Drop(&masters('motor'),50mm,60mm).Cells('Prop.Row_4')", "Cells('Prop.Row_4').Formula = '\"3.7kw\"'",
      "Documents('C:\\Qel\\Data\\qel-ms.vss').masters('terminal')",
      "app.ActiveDocument", "ActiveDocument.Pages", "Pages.Item(&1)",
      "Item(&1).Drop(&masters('terminal'),50mm,90mm)",
  };
  EXPECT_EQ(lines, expected);
  EXPECT_EQ(NameOf(s.module.CurrentMaster()), "masters('terminal')");
  EXPECT_EQ(NameOf(s.module.LastShape()), "Drop(&masters('terminal'),50mm,90mm)");
}

TEST(VisioDrawing, ReversingStarDeltaAndFeederColumns) {
  Session s;
  const auto shapes = Shapes(s.Draw(ListOf({Motor("1", "R", "可逆漏", "", ""), StarDelta("2", "Y"),
                                            Motor("3", "F", "送り", "11", " ")})));
  const std::vector<std::string> expected = {
      "1 line 30,220-400,220",
      "1 line 50,213.5",
      R"(1 1P-ELB 50,200 "ELCB1" "SA33" "15A")",
      "1 line 50,157-50,200",
      R"(1 1P-MgSW 50,150 "88F-1" "SC-5-1" "")",
      "1 FR-LINE 50,143",
      R"(1 1P-MgSW 70,150 "88R-1" "SC-5-1" "")",
      "1 line 50,137-50,150",
      R"(1 1P-TH 50,130 "49-1" "TR-5-1" "A")",  // empty 49(A)
      "1 line 50,70-50,130",
      R"(1 motor 50,60 "ACM F-1" "R" "kw")",  // empty kW
      "1 terminal 50,90",
      // star-delta in slot 2: no bus
      "1 line 90,213.5",
      R"(1 1P-MCB 90,200 "MCCB2" "SA103" "100A")",
      "1 line 90,157-90,200",
      R"(1 1P-MgSW 90,150 "88-2" "SC-N2" " ")",
      "1 line 90,137-90,150",
      R"(1 1P-TH 90,130 "49-2" "TR-N3" "48A")",
      "1 line 90,70-90,130",
      R"(1 motor 90,60 "ACM F-2" "Y" "37kw")",
      R"(1 1P-MgSW 100,115 "19-2" "SC-N2S" "")",
      R"(1 1P-MgSW 110,105 "6-2" "SC-N1" "")",
      "1 DELTA 90,122",
      "1 line 100,115-100,70",
      "1 line 100,70-95,65",
      "1 STAR 110,113.5",
      "1 STAR-LINE 100,103",
      "1 terminal 100,90",
      "1 terminal 90,90",
      // feeder in slot 3
      "1 line 130,213.5",
      R"(1 1P-MCB 130,200 "MCCB3" "SA33" "15A")",
      "1 line 130,70-130,200",
      R"(1 panel 130,60 "Panel No.3" "F" "11kw")",
      "1 terminal 130,90",
  };
  EXPECT_EQ(shapes, expected);
}

TEST(VisioDrawing, InstrumentationColumns) {
  Session s;
  // An unlisted type code drops its row kind's generic symbol.
  const auto shapes = Shapes(s.Draw(ListOf({Loop("1", "TI-1", "Ai>PEN", "Ai-T"), Loop("2", "LS-1", "Di>Ry", "Di-"),
                                            Loop("3", "V\"1", "Ao", "Ao-4"), Loop("4", "X-1", "Di>PLC", "Do-Ry")})));
  const std::vector<std::string> expected = {
      "1 Ai-T 50,250",  // a sensor gets no texts
      "1 line 50,210-50,250",
      R"(1 PEN 50,200 "TI-1" "Ai-T" "")",
      "1 terminal 50,240",
      R"(1 Di-A 90,250 "LS-1" "Di-" "")",
      "1 line 90,210-90,250",
      R"(1 ISO-Ry-R 90,200 "LS-1" "Di-" "")",
      "1 terminal 90,240",
      R"(1 Ao-4 130,130 "V""1" "Ao-4" "")",  // the quote doubled
      "1 line 130,80-130,130",
      "1 terminal 130,90",
      R"(1 Di-A 170,250 "X-1" "Do-Ry" "")",
      "1 line 170,210-170,250",
      R"(1 PLC 170,200 "X-1" "Do-Ry" "")",
      "1 terminal 170,240",
  };
  EXPECT_EQ(shapes, expected);
  EXPECT_EQ(CountOf(s.log->lines, ".masters("), 11);
}

// The field master by type code and the receiving master by row kind;
// output loops have no receiving symbol.
TEST(VisioDrawing, InstrumentationMastersByKindAndType) {
  const std::vector<std::vector<std::string>> cases = {
      {"Di>Ry", "Di-A", "Di-A", "line", "ISO-Ry-R", "terminal"},  {"Di>PLC", "Di-LS", "Di-LS", "line", "PLC", "terminal"},
      {"Do", "Do-Ry", "Do-Ry", "line", "terminal"},              {"Do", "Do-Tr", "Do-Tr", "line", "terminal"},
      {"Do", "Do-", "Do-", "line", "terminal"},                  {"Ai>C", "Ai-F", "Ai-F", "line", "IND", "terminal"},
      {"Ai>PLC", "Ai-P", "Ai-P", "line", "PLC", "terminal"},    {"Ai>1", "Ai-L", "Ai-L", "line", "Ai-1", "terminal"},
      {"Ai>4", "Ai-", "Ai-", "line", "Ai-4", "terminal"},        {"Ao", "Ao-1", "Ao-1", "line", "terminal"},
      {"Ao", "Ao-", "Ao-", "line", "terminal"},                  {"Wi>Ry", "Wi-B", "Wi-B", "line", "ISO-Ry-R", "terminal"},
      {"Wi>PLC", "Wi-B", "Wi-B", "line", "PLC", "terminal"},    {"Wo", "Wo-B", "Wo-B", "line", "terminal"},
  };
  for (const auto& c : cases) {
    Session s;
    std::vector<std::string> masters;
    for (const std::string& shape : Shapes(s.Draw(ListOf({Loop("1", "N", c[0].c_str(), c[1].c_str())}))))
      masters.push_back(shape.substr(2, shape.find(' ', 2) - 2));
    EXPECT_EQ(masters, std::vector<std::string>(c.begin() + 2, c.end())) << c[0] << " " << c[1];
  }
}

TEST(VisioDrawing, PagesSlotsAndWhereTheDrawingEnds) {
  const auto feeders = [](int n) {
    std::vector<std::vector<std::string>> rows;
    for (int i = 1; i <= n; ++i) rows.push_back(Motor("0", ("F" + std::to_string(i)).c_str(), "送り", "1", " "));
    return rows;
  };
  {  // an empty list: no call at all
    Session s;
    EXPECT_TRUE(s.Draw(ListOf({})).empty());
  }
  {  // eight rows fill page 1 and add none
    Session s;
    const auto lines = s.Draw(ListOf(feeders(8)));
    EXPECT_EQ(CountOf(lines, ".add"), 0);
    EXPECT_EQ(CountOf(lines, "Item(&2)"), 0);
    EXPECT_TRUE(Has(lines, "Item(&1).Drop(&masters('panel'),330mm,60mm)"));
  }
  {  // a ninth row adds "dwg2" and starts it in slot 1 with its own bus
    Session s;
    const auto lines = s.Draw(ListOf(feeders(9)));
    const auto add = std::find(lines.begin(), lines.end(), "Pages.add");
    ASSERT_NE(add, lines.end());
    EXPECT_EQ(*(add - 2), "app.ActiveDocument");
    const auto shapes = Shapes(lines);
    const auto page2 = std::find(shapes.begin(), shapes.end(), "page dwg2");
    ASSERT_EQ(shapes.end() - page2, 7);
    EXPECT_EQ(page2[1], "2 line 30,220-400,220");
    EXPECT_EQ(page2[3], R"(2 1P-MCB 50,200 "MCCB9" "SA33" "15A")");
  }
  {  // 85 rows: rows 1 to 79 on ten pages, the last with seven columns
    Session s;
    const auto lines = s.Draw(ListOf(feeders(85)));
    EXPECT_EQ(CountOf(lines, "Pages.add"), 9);
    EXPECT_TRUE(Has(lines, "add.name = 'dwg10'"));
    EXPECT_TRUE(Has(lines, "Cells('Prop.Row_2').Formula = '\"Panel No.79\"'"));
    EXPECT_EQ(CountOf(lines, "Panel No.80"), 0);
    EXPECT_TRUE(Has(lines, "Item(&10).Drop(&masters('panel'),290mm,60mm)"));
    EXPECT_EQ(CountOf(lines, "Item(&10).Drop(&masters('panel'),330mm"), 0);
  }
  {  // an empty NAME ends the drawing although rows follow
    Session s;
    auto rows = feeders(4);
    rows[2][1] = "";
    const auto lines = s.Draw(ListOf(rows));
    EXPECT_EQ(CountOf(lines, ".Drop(&masters('panel')"), 2);
  }
}

TEST(VisioDrawing, SlotOneDecidesTheBusAndEveryRowTakesItsSlot) {
  struct Case {
    std::vector<std::string> first;
    int buses;
  };
  const Case cases[] = {
      {Motor("1", "M", "直", "1", "1"), 1},
      {Motor("1", "F", "送り漏", "1", "1"), 1},
      {Reserve("1"), 0},
      {Loop("1", "L", "Do", "Do-Ry"), 0},
      {Motor("1", "?", "直 ", "1", "1"), 0},  // matches no code: an empty slot
  };
  for (const Case& c : cases) {
    Session s;
    // No. says 5; the texts still use the row index 2.
    const auto lines = s.Draw(ListOf({c.first, Motor("5", "M2", "直", "1", "1")}));
    EXPECT_EQ(CountOf(lines, "DrawLine(30mm,220mm,400mm,220mm)"), c.buses) << c.first[1];
    EXPECT_TRUE(Has(lines, "Item(&1).Drop(&masters('1P-MCB'),90mm,200mm)")) << c.first[1];
    EXPECT_TRUE(Has(lines, "Cells('Prop.Row_2').Formula = '\"MCCB2\"'")) << c.first[1];
  }
}

TEST(VisioDrawing, AVisioErrorStopsAtThatCallAndGoesUp) {
  Session s;
  s.log->failOn = "Documents('C:\\Qel\\Data\\qel-ms.vss').masters('1P-TH')";
  s.log->failText = "マスタがありません";
  try {
    s.module.VisioDrawList(ListOf({Motor("1", "M", "直", "1", "1"), Motor("2", "M", "直", "1", "1")}));
    FAIL() << "the error must reach the caller";
  } catch (const AutomationError& e) {
    EXPECT_STREQ(e.what(), "マスタがありません");
  }
  EXPECT_EQ(s.log->lines.back(), "Item(&1).DrawLine(50mm,137mm,50mm,150mm)");
  EXPECT_EQ(NameOf(s.module.LastShape()), "DrawLine(50mm,137mm,50mm,150mm)");
  EXPECT_EQ(NameOf(s.module.CurrentMaster()), "masters('1P-MgSW')");
}

// ---- what crosses to Visio ----

// Each operation as it is invoked, in the order first used: values read
// are gets, and so is adding a page (no arguments, its value used); a call
// with arguments and quit are methods, and the by-reference
// arguments are typed as Visio declares them.
TEST(VisioCalls, KindsAndArgumentTypes) {
  Session s;
  s.log->kinds.clear();
  std::vector<std::vector<std::string>> rows;
  for (int i = 1; i <= 9; ++i) rows.push_back(Motor("0", "F", "送り", "1", " "));
  s.module.VisioStart(s.messages);
  s.module.VisioOpenDocuments(s.openFailed, s.messages);
  s.Draw(ListOf(rows));
  s.module.VisioQuit(s.messages);
  std::vector<std::string> firstUses;
  for (const std::string& k : s.log->kinds)
    if (!Has(firstUses, k)) firstUses.push_back(k);
  EXPECT_EQ(firstUses, (std::vector<std::string>{
                           "get Documents",
                           "call FormatResult(bstr&,bstr,bstr,bstr)",
                           "call Open(bstr)",
                           "call Documents(bstr)",
                           "get ActiveDocument",
                           "get Pages",
                           "call Item(i4&)",
                           "call DrawLine(r8,r8,r8,r8)",
                           "call masters(bstr)",
                           "call Drop(variant&,r8,r8)",
                           "call Cells(bstr)",
                           "put Formula = bstr",
                           "get add",
                           "put name = bstr",
                           "call quit()",
                       }));
}

// Control bytes and a lead byte without its trail byte reach Visio as
// blanks: a cancel byte or a line break would end the text, and a lone lead
// byte would take the closing quote into its character, so that Visio
// refused the formula and the rows after it were never drawn.
TEST(VisioDrawing, CellTextsAreMadeDrawable) {
  Session s;
  const auto shapes = Shapes(s.Draw(ListOf({Loop("1", "M1\x03._LINE 0,0 400,300 ", "Di>Ry", "Di-"),
                                            Loop("2", "A\r\nB\x82", "Do", "Do-Ry"),
                                            Loop("3", "\x82\"q", "Wo", "Wo-B")})));
  const std::vector<std::string> expected = {
      R"(1 Di-A 50,250 "M1 ._LINE 0,0 400,300 " "Di-" "")",
      "1 line 50,210-50,250",
      R"(1 ISO-Ry-R 50,200 "M1 ._LINE 0,0 400,300 " "Di-" "")",
      "1 terminal 50,240",
      R"(1 Do-Ry 90,130 "A  B " "Do-Ry" "")",
      "1 line 90,80-90,130",
      "1 terminal 90,90",
      R"(1 Wo-B 130,130 " ""q" "Wo-B" "")",
      "1 line 130,80-130,130",
      "1 terminal 130,90",
  };
  EXPECT_EQ(shapes, expected);
}

// Every call lets messages through, so the user may edit, delete or load
// rows while the drawing runs; it still draws the list as it was when it
// started, and reads nothing of the rows freed meanwhile.
TEST(VisioDrawing, DrawsTheListAsItWasWhenItStarted) {
  Session s;
  Grid list = ListOf({Loop("1", "LS-1", "Di>Ry", "Di-"), Loop("2", "LS-2", "Di>PLC", "Di-LS")});
  s.log->beforeEachCall = [&] {
    list.SetCell(1, 1, "EDITED");
    list.DeleteRows(2, list.RowCount() - 2);
  };
  const auto shapes = Shapes(s.Draw(list));
  EXPECT_EQ(list.RowCount(), 2) << "the edits did happen";
  const std::vector<std::string> expected = {
      R"(1 Di-A 50,250 "LS-1" "Di-" "")", "1 line 50,210-50,250", R"(1 ISO-Ry-R 50,200 "LS-1" "Di-" "")",
      "1 terminal 50,240",              R"(1 Di-LS 90,250 "LS-2" "Di-LS" "")", "1 line 90,210-90,250",
      R"(1 PLC 90,200 "LS-2" "Di-LS" "")", "1 terminal 90,240",
  };
  EXPECT_EQ(shapes, expected);
}

}  // namespace
}  // namespace qel

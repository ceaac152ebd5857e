#include "acad/a_cad.h"

#include <utility>

#include "acad/page_layout.h"
#include "base/paths.h"

namespace qel {

namespace {

struct ModuleState {
  AcadLinkApi* link = nullptr;
  const Grid* list = nullptr;
  std::function<int()> typeListIndex;
  std::string programFolder;
  std::string drawingBaseName;
};

ModuleState& State() {
  static ModuleState state;
  return state;
}

std::string Num(int n) { return std::to_string(n); }
std::string Point(int x, int y) { return Num(x) + "," + Num(y); }

// The drawing steps typed as today's command texts, one SendCommand each.
class CommandSteps : public DrawingSteps {
 public:
  // A failed start ends the layout at once: every later text would go nowhere.
  struct LaunchFailed {};
  void Launch() override {
    if (!AcadLaunch()) throw LaunchFailed{};
  }
  void OpenTemplate() override { AcadOpenTemplate(); }
  void OsModeOff() override { AcadOsModeOff(); }
  void SetTextStyle() override { AcadSetTextStyle(); }
  void LineTypeCenter() override { AcadLineTypeCenter(); }
  void LineTypeByLayer() override { AcadLineTypeByLayer(); }
  void SavePage(int page) override { AcadSavePage(page); }
  void Line(Meaning, int x1, int y1, int x2, int y2) override { AcadLine(x1, y1, x2, y2); }
  void LineAfterCancel(Meaning, int x1, int y1, int x2, int y2) override {
    AcadSend("\x03\x03._LINE " + Point(x1, y1) + " " + Point(x2, y2) + "\r\r");
  }
  void Rectangle(Meaning, int x1, int y1, int x2, int y2) override { AcadRectangle(x1, y1, x2, y2); }
  void Text(Meaning, int x, int y, const std::string& text) override { AcadText(x, y, text); }
  void TextCentered(Meaning, int x, int y, const std::string& text) override { AcadTextCentered(x, y, text); }
  void InsertBlock(Meaning, int symbol, int x, int y) override { AcadInsertBlock(symbol, x, y); }
};

// The layout over the list set up, typed into AutoCAD. The single recipes
// read the list in place; a whole job works on a copy (AcadMakeDrawing).
template <typename Draw>
void WithCommandLayout(const Grid& list, Draw draw) {
  CommandSteps steps;
  PageLayout layout(steps, list);
  draw(layout);
}

const Grid& SetUpList() {
  static const Grid empty;
  return State().list ? *State().list : empty;
}

// A copy of the list as it is now, for a job that lets messages through
// while it types: a row deleted or a list opened meanwhile cannot touch it.
Grid SnapshotOfList() {
  Grid copy = SetUpList();
  copy.SetOnChange(nullptr);
  return copy;
}

}  // namespace

// ---- module state ----

void AcadSetUp(AcadLinkApi& link, const Grid& list, std::function<int()> typeListIndex) {
  ModuleState& s = State();
  s.link = &link;
  s.list = &list;
  s.typeListIndex = std::move(typeListIndex);
}

void AcadTearDown() {
  ModuleState& s = State();
  s.link = nullptr;
  s.list = nullptr;
  s.typeListIndex = nullptr;
}

void AcadSetProgramFolder(const std::string& folder) { State().programFolder = folder; }
const std::string& AcadProgramFolder() { return State().programFolder; }
std::string AcadTemplatePath() { return State().programFolder + "\\Data\\" + "Qel-Acad.DWG"; }
void AcadSetDrawingBaseName(const std::string& baseName) { State().drawingBaseName = baseName; }
const std::string& AcadDrawingBaseName() { return State().drawingBaseName; }

// ---- the command vocabulary ----

void AcadSend(const std::string& text) {
  if (AcadLinkApi* link = State().link) link->SendCommand(text, 0);
}

std::string AcadCommandPath(const std::string& path) {
  // 0x20 is never the second byte of a two-byte character, so a plain
  // search finds exactly the blanks AutoCAD would take as Enter.
  if (path.find(' ') == std::string::npos) return path;
  return "\"" + path + "\"";
}

void AcadOsModeOff() { AcadSend("_OsMode 0\r"); }
void AcadSetTextStyle() { AcadSend("-style STANDARD\rtxt,extfont\r2.5 0.8 0 N N N\r"); }
void AcadLineTypeCenter() { AcadSend("-LineType S Center\r\x03"); }
void AcadLineTypeByLayer() { AcadSend("-LineType S ByLayer\r\x03"); }

void AcadOpenTemplate() {
  AcadSend("\x03\x03._filedia 0\r");
  AcadSend("._open\r");
  AcadSend(AcadCommandPath(AcadTemplatePath()) + "\r");
  AcadSend("._filedia 1\r");
}

void AcadSavePage(int page) {
  AcadSend("\x03\x03._filedia 0\r");
  AcadSend("._SaveAS R14 " + AcadCommandPath(State().drawingBaseName + Num(page) + ".DWG") + "\r");
  AcadSend("._filedia 1\r");
}

bool AcadLaunch() {
  AcadLinkApi* link = State().link;
  if (!link) return false;
  link->GetSDIMode();  // also keeps the user's setting for later
  if (!link->ExecuteAcad()) return false;
  link->SetSDIMode(false);
  return true;
}

void AcadLine(int x1, int y1, int x2, int y2) {
  AcadSend("._LINE " + Point(x1, y1) + " " + Point(x2, y2) + "\r\r");
}

void AcadRectangle(int x1, int y1, int x2, int y2) {
  AcadSend("_rectang " + Point(x1, y1) + " " + Point(x2, y2) + "\r");
}

// The text is taken into the last command before the first one is sent:
// sending lets messages through, which may change whatever `text` refers to.
void AcadText(int x, int y, const std::string& text) {
  std::string placed = Point(x, y) + " 0 " + text + "\r\x03";
  AcadSend("_TEXT\r");
  AcadSend(placed);
}

void AcadTextCentered(int x, int y, const std::string& text) {
  std::string placed = Point(x, y) + " 0 " + text + "\r\r";
  AcadSend("_TEXT\r");
  AcadSend("J C\r");
  AcadSend(placed);
}

std::string AcadBlockName(int symbol) {
  switch (symbol) {
    case 1: return "1P_MCB01";
    case 2: return "1P_MG_SW01";
    case 3: return "TH";
    case 4: return "1P_ELB01";
    case 11: return "RY_A接点01";
    case 12: return "LS_A接点01";
    case 21: return "RY-DO";
    case 22: return "TR-DO";
    case 29: return "DO-BOX";
    case 31: return "cont";
    case 32: case 33: case 34: case 35: return "BOX";
    case 39: return "BOX";
    case 301: case 302: case 303: case 304: case 309: return "BOX";
    case 41: return "DO-BOX";
    case 51: return "MY-RY";
    case 52: return "BOX";
    case 61: return "DO-BOX";
    case 71: return "ACM";
    case 81: return "MY-RY";
    case 88: return "BOX";
    case 91: return "黒丸";
    case 92: return "端子";
    default: return "";
  }
}

std::string AcadInsertWord(int typeListIndex) { return typeListIndex <= 2 ? "._insert " : "-insert "; }

void AcadInsertBlock(int symbol, int x, int y) {
  const auto& indexOf = State().typeListIndex;
  const int index = indexOf ? indexOf() : 0;
  AcadSend("\x03\x03" + AcadInsertWord(index) + AcadBlockName(symbol) + "\r" + Point(x, y) + "\r\r\r\r");
}

// ---- the page layout ----

void AcadDrawFrameLines() { WithCommandLayout(SetUpList(), [](PageLayout& l) { l.DrawFrameLines(); }); }
void AcadDrawSupplyBus(int row) { WithCommandLayout(SetUpList(), [&](PageLayout& l) { l.DrawSupplyBus(row); }); }
void AcadDrawMotorDirect(int row, int breaker, int x) {
  WithCommandLayout(SetUpList(), [&](PageLayout& l) { l.DrawMotorDirect(row, breaker, x); });
}
void AcadDrawMotorReversing(int row, int breaker, int x) {
  WithCommandLayout(SetUpList(), [&](PageLayout& l) { l.DrawMotorReversing(row, breaker, x); });
}
void AcadDrawMotorStarDelta(int row, int breaker, int x) {
  WithCommandLayout(SetUpList(), [&](PageLayout& l) { l.DrawMotorStarDelta(row, breaker, x); });
}
void AcadDrawFeeder(int row, int breaker, int x) {
  WithCommandLayout(SetUpList(), [&](PageLayout& l) { l.DrawFeeder(row, breaker, x); });
}
void AcadDrawDigitalInput(int row, int typeCode, int receiver, int x) {
  WithCommandLayout(SetUpList(), [&](PageLayout& l) { l.DrawDigitalInput(row, typeCode, receiver, x); });
}
void AcadDrawDigitalOutput(int row, int typeCode, int x) {
  WithCommandLayout(SetUpList(), [&](PageLayout& l) { l.DrawDigitalOutput(row, typeCode, x); });
}
void AcadDrawAnalogInput(int row, int typeCode, int rowKind, int x) {
  WithCommandLayout(SetUpList(), [&](PageLayout& l) { l.DrawAnalogInput(row, typeCode, rowKind, x); });
}
void AcadDrawAnalogOutput(int row, int typeCode, int x) {
  WithCommandLayout(SetUpList(), [&](PageLayout& l) { l.DrawAnalogOutput(row, typeCode, x); });
}
void AcadDrawWordInput(int row, int rowKind, int x) {
  WithCommandLayout(SetUpList(), [&](PageLayout& l) { l.DrawWordInput(row, rowKind, x); });
}
void AcadDrawWordOutput(int row, int typeCode, int x) {
  WithCommandLayout(SetUpList(), [&](PageLayout& l) { l.DrawWordOutput(row, typeCode, x); });
}

void AcadDrawList() {
  const Grid list = SnapshotOfList();
  WithCommandLayout(list, [](PageLayout& l) { l.DrawList(); });
}

bool AcadMakeDrawing() {
  const Grid list = SnapshotOfList();
  try {
    WithCommandLayout(list, [](PageLayout& l) { l.MakeDrawing(); });
  } catch (const CommandSteps::LaunchFailed&) {
    return false;
  }
  return true;
}

// ---- the drawing command of the main window ----

std::vector<std::pair<std::string, std::string>> AcadSaveFilter() {
  return {{"DWGﾌｧｲﾙ (*.DWG)", "*.DWG"}, {"すべてのﾌｧｲﾙ (*.*)", "*.*"}};
}

AcadDrawingPlan AcadPlanDrawing(const std::string& chosenPath) {
  AcadDrawingPlan plan;
  plan.baseName = paths::ChangeExtension(chosenPath, "");
  plan.pageOneFile = plan.baseName + "1.dwg";
  plan.overwriteQuestion = "同名ファイルがあります = " + paths::FileName(plan.baseName) + " 実行しますか ?";
  return plan;
}

bool AcadDrawToFile(const std::string& chosenPath, const std::function<bool(const std::string&)>& fileExists,
                    const std::function<bool(const std::string&, const std::string&)>& askYesNo,
                    const std::function<void(const std::string&, const std::string&)>& tell) {
  const AcadDrawingPlan plan = AcadPlanDrawing(chosenPath);
  AcadSetDrawingBaseName(plan.baseName);
  if (fileExists(plan.pageOneFile) && !askYesNo(plan.overwriteQuestion, kAcadOverwriteCaption)) return false;
  if (!AcadMakeDrawing() && tell) tell(kAcadLaunchFailedMessage, kAcadLaunchFailedCaption);
  return true;
}

}  // namespace qel

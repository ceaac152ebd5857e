#include "acad/a_cad.h"

#include <utility>

#include "base/cp932.h"
#include "base/paths.h"
#include "list/list_aux.h"

namespace qel {

namespace {

// List columns the drawing reads.
constexpr int kColName = 1;
constexpr int kColKw = 3;
constexpr int kColVolt = 4;
constexpr int kColMs = 6;
constexpr int kColStar = 7;
constexpr int kColDelta = 8;
constexpr int kColThermal = 9;
constexpr int kColHeater = 10;
constexpr int kColBreaker = 11;
constexpr int kColTrip = 12;
constexpr int kColTag = 20;

// Page geometry.
constexpr int kSlotsPerPage = 8;
constexpr int kFirstX = 60;
constexpr int kSlotWidth = 40;
constexpr int kRowLimit = 80;  // rows 1..79 are drawn, never 80 and later

// Symbol codes the layout passes besides the row's own codes.
constexpr int kMcb = 1;
constexpr int kContactor = 2;
constexpr int kThermal = 3;
constexpr int kElb = 4;
constexpr int kMotor = 71;
constexpr int kRelayReceiver = 81;
constexpr int kPlcReceiver = 88;
constexpr int kDot = 91;
constexpr int kTerminal = 92;

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

const std::string& Cell(int col, int row) {
  static const std::string empty;
  const Grid* list = State().list;
  return list ? list->Cell(col, row) : empty;
}

// The three texts every instrumentation column carries: tag and name
// centred above the device (`top` is the tag's y), nothing else.
void DrawLoopCaption(int row, int x, int top) {
  AcadTextCentered(x, top, "Tag, " + Cell(kColTag, row));
  AcadTextCentered(x, top - 10, Cell(kColName, row));
}

// Breaker with its three labels: the head of every motor and feeder column.
void DrawBreakerHead(int row, int breaker, int x) {
  AcadInsertBlock(kDot, x, 230);
  AcadLine(x, 230, x, 200);
  AcadInsertBlock(breaker, x, 200);
  AcadText(x + 6, 200, "MCCB" + Num(row));
  AcadText(x + 6, 195, Cell(kColBreaker, row));
  AcadText(x + 6, 190, Cell(kColTrip, row));
}

// Terminal at y 90 and the motor below it.
void DrawMotorFoot(int row, int x, int lineFrom) {
  AcadLine(x, lineFrom, x, 91);
  AcadInsertBlock(kTerminal, x, 90);
  AcadLine(x, 89, x, 70);
  AcadInsertBlock(kMotor, x - 5, 60);
  AcadTextCentered(x, 55, "ACM F-" + Num(row));
  AcadTextCentered(x, 50, Cell(kColName, row));
  AcadTextCentered(x, 45, Cell(kColKw, row) + " kW");
}

void DrawThermal(int row, int x, int y) {
  AcadInsertBlock(kThermal, x, y);
  AcadText(x + 6, y + 5, "49-" + Num(row));
  AcadText(x + 6, y, Cell(kColThermal, row));
  AcadText(x + 6, y - 5, Cell(kColHeater, row) + " A");
}

// Terminal at y 90 and the open wire below an output device at y 125.
void DrawOutputWire(int x) {
  AcadLine(x, 125, x, 91);
  AcadInsertBlock(kTerminal, x, 90);
  AcadLine(x, 89, x, 70);
}

// Wire from an input device down through the terminal at y 240 to the
// receiver at y 200.
void DrawInputWire(int x, int lineFrom, int receiver) {
  AcadLine(x, lineFrom, x, 241);
  AcadInsertBlock(kTerminal, x, 240);
  AcadLine(x, 239, x, 205);
  AcadInsertBlock(receiver, x, 200);
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
  AcadSend(AcadCommandPath(State().programFolder + "\\Data\\" + "Qel-Acad.DWG") + "\r");
  AcadSend("._filedia 1\r");
}

void AcadSavePage(int page) {
  AcadSend("\x03\x03._filedia 0\r");
  AcadSend("._SaveAS R14 " + AcadCommandPath(State().drawingBaseName + Num(page) + ".DWG") + "\r");
  AcadSend("._filedia 1\r");
}

void AcadLaunch() {
  AcadLinkApi* link = State().link;
  if (!link) return;
  link->GetSDIMode();  // also keeps the user's setting for later
  link->ExecuteAcad();
  link->SetSDIMode(false);
}

void AcadLine(int x1, int y1, int x2, int y2) {
  AcadSend("._LINE " + Point(x1, y1) + " " + Point(x2, y2) + "\r\r");
}

void AcadRectangle(int x1, int y1, int x2, int y2) {
  AcadSend("_rectang " + Point(x1, y1) + " " + Point(x2, y2) + "\r");
}

void AcadText(int x, int y, const std::string& text) {
  AcadSend("_TEXT\r");
  AcadSend(Point(x, y) + " 0 " + text + "\r\x03");
}

void AcadTextCentered(int x, int y, const std::string& text) {
  AcadSend("_TEXT\r");
  AcadSend("J C\r");
  AcadSend(Point(x, y) + " 0 " + text + "\r\r");
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

void AcadDrawFrameLines() {
  AcadLineTypeCenter();
  AcadSend("._LINE 32,240 415,240\r\r");
  AcadSend("._LINE 32,90 415,90\r\r");
  AcadLineTypeByLayer();
}

void AcadDrawSupplyBus(int row) {
  AcadSend("\x03\x03._LINE 50,230 400,230\r\r");
  AcadText(50, 232, "AC " + Cell(kColVolt, row) + "V");
}

void AcadDrawMotorDirect(int row, int breaker, int x) {
  DrawBreakerHead(row, breaker, x);
  AcadLine(x, 193, x, 160);
  AcadInsertBlock(kContactor, x, 160);
  AcadText(x + 6, 160, "88-" + Num(row));
  AcadText(x + 6, 155, Cell(kColMs, row));
  AcadLine(x, 153, x, 144);
  DrawThermal(row, x, 140);
  DrawMotorFoot(row, x, 140);
}

void AcadDrawMotorReversing(int row, int breaker, int x) {
  DrawBreakerHead(row, breaker, x);
  // Forward contactor in the main line, reverse contactor beside it,
  // joined above and below by dots.
  AcadLine(x, 193, x, 160);
  AcadInsertBlock(kContactor, x, 160);
  AcadText(x + 6, 160, "88F-" + Num(row));
  AcadText(x + 6, 155, Cell(kColMs, row));
  AcadInsertBlock(kDot, x, 170);
  AcadLine(x, 170, x + 20, 170);
  AcadLine(x + 20, 170, x + 20, 160);
  AcadInsertBlock(kContactor, x + 20, 160);
  AcadText(x + 26, 160, "88R-" + Num(row));
  AcadText(x + 26, 155, Cell(kColMs, row));
  AcadLine(x + 20, 153, x + 20, 145);
  AcadLine(x + 20, 145, x, 145);
  AcadInsertBlock(kDot, x, 145);
  AcadLine(x, 153, x, 134);
  DrawThermal(row, x, 130);
  DrawMotorFoot(row, x, 130);
}

void AcadDrawMotorStarDelta(int row, int breaker, int x) {
  AcadDrawMotorDirect(row, breaker, x);
  // Delta contactor beside the main line, to the motor's second terminal.
  AcadInsertBlock(kContactor, x + 10, 120);
  AcadText(x + 16, 125, "19-" + Num(row));
  AcadText(x + 16, 120, Cell(kColDelta, row));
  AcadInsertBlock(kDot, x, 125);
  AcadLine(x, 125, x + 10, 125);
  AcadLine(x + 10, 125, x + 10, 120);
  AcadLine(x + 10, 113, x + 10, 91);
  AcadInsertBlock(kTerminal, x + 10, 90);
  AcadLine(x + 10, 89, x + 10, 65);
  AcadLine(x + 5, 65, x + 10, 65);
  // Star contactor closing the star point.
  AcadInsertBlock(kContactor, x + 20, 105);
  AcadText(x + 26, 105, "16-" + Num(row));
  AcadText(x + 26, 100, Cell(kColStar, row));
  AcadInsertBlock(kDot, x + 20, 110);
  AcadLine(x + 18, 110, x + 22, 110);
  AcadLine(x + 18, 110, x + 18, 108);
  AcadLine(x + 22, 110, x + 22, 108);
  AcadLine(x + 20, 110, x + 20, 105);
  AcadLine(x + 20, 98, x + 20, 95);
  AcadLine(x + 10, 95, x + 20, 95);
  AcadInsertBlock(kDot, x + 10, 95);
}

void AcadDrawFeeder(int row, int breaker, int x) {
  DrawBreakerHead(row, breaker, x);
  AcadLine(x, 193, x, 91);
  AcadInsertBlock(kTerminal, x, 90);
  AcadLine(x, 89, x, 70);
  AcadRectangle(x - 10, 60, x + 15, 70);
  AcadTextCentered(x, 55, "Panel No." + Num(row));
  AcadTextCentered(x, 50, Cell(kColName, row));
  AcadTextCentered(x, 45, Cell(kColKw, row) + " kW");
}

void AcadDrawDigitalInput(int row, int typeCode, int receiver, int x) {
  AcadInsertBlock(typeCode, x, 250);
  DrawInputWire(x, 247, receiver);
  DrawLoopCaption(row, x, 270);
  AcadTextCentered(x, 200, receiver == kRelayReceiver ? "Ry" : receiver == kPlcReceiver ? "PLC" : "");
}

void AcadDrawDigitalOutput(int row, int typeCode, int x) {
  AcadInsertBlock(typeCode, x, 125);
  DrawOutputWire(x);
  DrawLoopCaption(row, x, 150);
}

void AcadDrawAnalogInput(int row, int typeCode, int rowKind, int x) {
  int device = 309;  // a type code edited by hand gets the generic device
  std::string deviceLabel = "AI";
  switch (typeCode) {
    case 31: device = 301; deviceLabel = "Temp"; break;
    case 32: device = 302; deviceLabel = "Flow"; break;
    case 33: device = 303; deviceLabel = "Press"; break;
    case 34: device = 304; deviceLabel = "Lebel"; break;
    default: break;
  }
  std::string receiverLabel;
  switch (rowKind) {
    case 31: receiverLabel = "C"; break;
    case 32: receiverLabel = "PLC"; break;
    case 33: receiverLabel = "Pen"; break;
    case 34: receiverLabel = "1-5V"; break;
    case 35: receiverLabel = "4-20mA"; break;
    default: break;
  }
  AcadInsertBlock(device, x, 250);
  DrawInputWire(x, 245, rowKind);
  DrawLoopCaption(row, x, 270);
  AcadText(x, 250, deviceLabel);
  AcadText(x, 200, receiverLabel);
}

void AcadDrawAnalogOutput(int row, int typeCode, int x) {
  AcadInsertBlock(41, x, 125);
  DrawOutputWire(x);
  DrawLoopCaption(row, x, 150);
  AcadText(x, 130, typeCode == 41 ? "1-5V" : typeCode == 44 ? "4-20mA" : typeCode == 49 ? "Ao-" : "AO");
}

void AcadDrawWordInput(int row, int rowKind, int x) {
  AcadInsertBlock(52, x, 250);
  DrawInputWire(x, 245, rowKind);
  AcadText(x, 250, "BCD");
  DrawLoopCaption(row, x, 270);
  AcadText(x, 200, rowKind == 51 ? "Ry" : rowKind == 52 ? "Wi BCD" : "");
}

void AcadDrawWordOutput(int row, int typeCode, int x) {
  AcadInsertBlock(61, x, 125);
  DrawOutputWire(x);
  DrawLoopCaption(row, x, 150);
  AcadText(x, 130, typeCode == 61 ? "Wo BCD" : "Wo-");
}

void AcadDrawList() {
  const Grid empty;
  const Grid& list = State().list ? *State().list : empty;
  int page = 1;
  int slot = 1;
  int row = 1;
  int rowKind = kDefaultRowKind;
  while (!Cell(kColName, row).empty()) {
    const RowClass cls = ClassifyRow(list, row);
    rowKind = cls.rowKind;
    if (slot == 1 && rowKind < 10) AcadDrawSupplyBus(row);
    const int x = kFirstX + kSlotWidth * (slot - 1);
    switch (rowKind) {
      case 1: AcadDrawMotorDirect(row, kMcb, x); break;
      case 2: AcadDrawMotorReversing(row, kMcb, x); break;
      case 3: AcadDrawMotorStarDelta(row, kMcb, x); break;
      case 4: AcadDrawFeeder(row, kMcb, x); break;
      case 5: AcadDrawMotorDirect(row, kElb, x); break;
      case 6: AcadDrawMotorReversing(row, kElb, x); break;
      case 7: AcadDrawMotorStarDelta(row, kElb, x); break;
      case 8: AcadDrawFeeder(row, kElb, x); break;
      case 11: AcadDrawDigitalInput(row, cls.typeCode, kRelayReceiver, x); break;
      case 12: AcadDrawDigitalInput(row, cls.typeCode, kPlcReceiver, x); break;
      case 21: AcadDrawDigitalOutput(row, cls.typeCode, x); break;
      case 31: case 32: case 33: case 34: case 35: AcadDrawAnalogInput(row, cls.typeCode, rowKind, x); break;
      case 41: AcadDrawAnalogOutput(row, cls.typeCode, x); break;
      case 51: case 52: AcadDrawWordInput(row, rowKind, x); break;
      case 61: AcadDrawWordOutput(row, cls.typeCode, x); break;
      default: break;  // a reserve or unknown row keeps its slot empty
    }
    ++row;
    ++slot;
    if (slot > kSlotsPerPage) {
      if (!Cell(kColName, row).empty()) {
        AcadSavePage(page);
        AcadOpenTemplate();
        AcadSetTextStyle();
        ++page;
        if (rowKind != kDefaultRowKind) AcadDrawFrameLines();
      }
      slot = 1;
    }
    if (row >= kRowLimit) break;
  }
  AcadSavePage(page);
}

void AcadMakeDrawing() {
  AcadLaunch();
  AcadOpenTemplate();
  AcadOsModeOff();
  AcadDrawFrameLines();
  AcadSetTextStyle();
  AcadDrawList();
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
                    const std::function<bool(const std::string&, const std::string&)>& askYesNo) {
  const AcadDrawingPlan plan = AcadPlanDrawing(chosenPath);
  AcadSetDrawingBaseName(plan.baseName);
  if (fileExists(plan.pageOneFile) && !askYesNo(plan.overwriteQuestion, kAcadOverwriteCaption)) return false;
  AcadMakeDrawing();
  return true;
}

}  // namespace qel

#include "acad/page_layout.h"

#include "base/cp932.h"
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

std::string Num(int n) { return std::to_string(n); }

}  // namespace

std::string PageLayout::Cell(int col, int row) const { return cp932::DrawableText(list_.Cell(col, row)); }

// The three texts every instrumentation column carries: tag and name
// centred above the device (`top` is the tag's y), nothing else.
void PageLayout::DrawLoopCaption(int row, int x, int top) {
  steps_.TextCentered(Meaning::CircuitText, x, top, "Tag, " + Cell(kColTag, row));
  steps_.TextCentered(Meaning::CircuitText, x, top - 10, Cell(kColName, row));
}

// Breaker with its three labels: the head of every motor and feeder column.
void PageLayout::DrawBreakerHead(int row, int breaker, int x) {
  steps_.InsertBlock(Meaning::Symbol, kDot, x, 230);
  steps_.Line(Meaning::MainWiring, x, 230, x, 200);
  steps_.InsertBlock(Meaning::Symbol, breaker, x, 200);
  steps_.Text(Meaning::CircuitText, x + 6, 200, "MCCB" + Num(row));
  steps_.Text(Meaning::CircuitText, x + 6, 195, Cell(kColBreaker, row));
  steps_.Text(Meaning::CircuitText, x + 6, 190, Cell(kColTrip, row));
}

// Terminal at y 90 and the motor below it.
void PageLayout::DrawMotorFoot(int row, int x, int lineFrom) {
  steps_.Line(Meaning::MainWiring, x, lineFrom, x, 91);
  steps_.InsertBlock(Meaning::Symbol, kTerminal, x, 90);
  steps_.Line(Meaning::MainWiring, x, 89, x, 70);
  steps_.InsertBlock(Meaning::Symbol, kMotor, x - 5, 60);
  steps_.TextCentered(Meaning::CircuitText, x, 55, "ACM F-" + Num(row));
  steps_.TextCentered(Meaning::CircuitText, x, 50, Cell(kColName, row));
  steps_.TextCentered(Meaning::CircuitText, x, 45, Cell(kColKw, row) + " kW");
}

void PageLayout::DrawThermal(int row, int x, int y) {
  steps_.InsertBlock(Meaning::Symbol, kThermal, x, y);
  steps_.Text(Meaning::CircuitText, x + 6, y + 5, "49-" + Num(row));
  steps_.Text(Meaning::CircuitText, x + 6, y, Cell(kColThermal, row));
  steps_.Text(Meaning::CircuitText, x + 6, y - 5, Cell(kColHeater, row) + " A");
}

// Terminal at y 90 and the open wire below an output device at y 125.
void PageLayout::DrawOutputWire(int x) {
  steps_.Line(Meaning::SignalWiring, x, 125, x, 91);
  steps_.InsertBlock(Meaning::Symbol, kTerminal, x, 90);
  steps_.Line(Meaning::SignalWiring, x, 89, x, 70);
}

// Wire from an input device down through the terminal at y 240 to the
// receiver at y 200.
void PageLayout::DrawInputWire(int x, int lineFrom, int receiver) {
  steps_.Line(Meaning::SignalWiring, x, lineFrom, x, 241);
  steps_.InsertBlock(Meaning::Symbol, kTerminal, x, 240);
  steps_.Line(Meaning::SignalWiring, x, 239, x, 205);
  steps_.InsertBlock(Meaning::Symbol, receiver, x, 200);
}

void PageLayout::DrawFrameLines() {
  steps_.LineTypeCenter();
  steps_.Line(Meaning::Frame, 32, 240, 415, 240);
  steps_.Line(Meaning::Frame, 32, 90, 415, 90);
  steps_.LineTypeByLayer();
}

void PageLayout::DrawSupplyBus(int row) {
  steps_.LineAfterCancel(Meaning::SupplyBus, 50, 230, 400, 230);
  steps_.Text(Meaning::CircuitText, 50, 232, "AC " + Cell(kColVolt, row) + "V");
}

void PageLayout::DrawMotorDirect(int row, int breaker, int x) {
  DrawBreakerHead(row, breaker, x);
  steps_.Line(Meaning::MainWiring, x, 193, x, 160);
  steps_.InsertBlock(Meaning::Symbol, kContactor, x, 160);
  steps_.Text(Meaning::CircuitText, x + 6, 160, "88-" + Num(row));
  steps_.Text(Meaning::CircuitText, x + 6, 155, Cell(kColMs, row));
  steps_.Line(Meaning::MainWiring, x, 153, x, 144);
  DrawThermal(row, x, 140);
  DrawMotorFoot(row, x, 140);
}

void PageLayout::DrawMotorReversing(int row, int breaker, int x) {
  DrawBreakerHead(row, breaker, x);
  // Forward contactor in the main line, reverse contactor beside it,
  // joined above and below by dots.
  steps_.Line(Meaning::MainWiring, x, 193, x, 160);
  steps_.InsertBlock(Meaning::Symbol, kContactor, x, 160);
  steps_.Text(Meaning::CircuitText, x + 6, 160, "88F-" + Num(row));
  steps_.Text(Meaning::CircuitText, x + 6, 155, Cell(kColMs, row));
  steps_.InsertBlock(Meaning::Symbol, kDot, x, 170);
  steps_.Line(Meaning::MainWiring, x, 170, x + 20, 170);
  steps_.Line(Meaning::MainWiring, x + 20, 170, x + 20, 160);
  steps_.InsertBlock(Meaning::Symbol, kContactor, x + 20, 160);
  steps_.Text(Meaning::CircuitText, x + 26, 160, "88R-" + Num(row));
  steps_.Text(Meaning::CircuitText, x + 26, 155, Cell(kColMs, row));
  steps_.Line(Meaning::MainWiring, x + 20, 153, x + 20, 145);
  steps_.Line(Meaning::MainWiring, x + 20, 145, x, 145);
  steps_.InsertBlock(Meaning::Symbol, kDot, x, 145);
  steps_.Line(Meaning::MainWiring, x, 153, x, 134);
  DrawThermal(row, x, 130);
  DrawMotorFoot(row, x, 130);
}

void PageLayout::DrawMotorStarDelta(int row, int breaker, int x) {
  DrawMotorDirect(row, breaker, x);
  // Delta contactor beside the main line, to the motor's second terminal.
  steps_.InsertBlock(Meaning::Symbol, kContactor, x + 10, 120);
  steps_.Text(Meaning::CircuitText, x + 16, 125, "19-" + Num(row));
  steps_.Text(Meaning::CircuitText, x + 16, 120, Cell(kColDelta, row));
  steps_.InsertBlock(Meaning::Symbol, kDot, x, 125);
  steps_.Line(Meaning::MainWiring, x, 125, x + 10, 125);
  steps_.Line(Meaning::MainWiring, x + 10, 125, x + 10, 120);
  steps_.Line(Meaning::MainWiring, x + 10, 113, x + 10, 91);
  steps_.InsertBlock(Meaning::Symbol, kTerminal, x + 10, 90);
  steps_.Line(Meaning::MainWiring, x + 10, 89, x + 10, 65);
  steps_.Line(Meaning::MainWiring, x + 5, 65, x + 10, 65);
  // Star contactor closing the star point.
  steps_.InsertBlock(Meaning::Symbol, kContactor, x + 20, 105);
  steps_.Text(Meaning::CircuitText, x + 26, 105, "16-" + Num(row));
  steps_.Text(Meaning::CircuitText, x + 26, 100, Cell(kColStar, row));
  steps_.InsertBlock(Meaning::Symbol, kDot, x + 20, 110);
  steps_.Line(Meaning::MainWiring, x + 18, 110, x + 22, 110);
  steps_.Line(Meaning::MainWiring, x + 18, 110, x + 18, 108);
  steps_.Line(Meaning::MainWiring, x + 22, 110, x + 22, 108);
  steps_.Line(Meaning::MainWiring, x + 20, 110, x + 20, 105);
  steps_.Line(Meaning::MainWiring, x + 20, 98, x + 20, 95);
  steps_.Line(Meaning::MainWiring, x + 10, 95, x + 20, 95);
  steps_.InsertBlock(Meaning::Symbol, kDot, x + 10, 95);
}

void PageLayout::DrawFeeder(int row, int breaker, int x) {
  DrawBreakerHead(row, breaker, x);
  steps_.Line(Meaning::MainWiring, x, 193, x, 91);
  steps_.InsertBlock(Meaning::Symbol, kTerminal, x, 90);
  steps_.Line(Meaning::MainWiring, x, 89, x, 70);
  steps_.Rectangle(Meaning::Symbol, x - 10, 60, x + 15, 70);
  steps_.TextCentered(Meaning::CircuitText, x, 55, "Panel No." + Num(row));
  steps_.TextCentered(Meaning::CircuitText, x, 50, Cell(kColName, row));
  steps_.TextCentered(Meaning::CircuitText, x, 45, Cell(kColKw, row) + " kW");
}

void PageLayout::DrawDigitalInput(int row, int typeCode, int receiver, int x) {
  steps_.InsertBlock(Meaning::Symbol, typeCode, x, 250);
  DrawInputWire(x, 247, receiver);
  DrawLoopCaption(row, x, 270);
  steps_.TextCentered(Meaning::CircuitText, x, 200, receiver == kRelayReceiver ? "Ry" : receiver == kPlcReceiver ? "PLC" : "");
}

void PageLayout::DrawDigitalOutput(int row, int typeCode, int x) {
  steps_.InsertBlock(Meaning::Symbol, typeCode, x, 125);
  DrawOutputWire(x);
  DrawLoopCaption(row, x, 150);
}

void PageLayout::DrawAnalogInput(int row, int typeCode, int rowKind, int x) {
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
  steps_.InsertBlock(Meaning::Symbol, device, x, 250);
  DrawInputWire(x, 245, rowKind);
  DrawLoopCaption(row, x, 270);
  steps_.Text(Meaning::CircuitText, x, 250, deviceLabel);
  steps_.Text(Meaning::CircuitText, x, 200, receiverLabel);
}

void PageLayout::DrawAnalogOutput(int row, int typeCode, int x) {
  steps_.InsertBlock(Meaning::Symbol, 41, x, 125);
  DrawOutputWire(x);
  DrawLoopCaption(row, x, 150);
  steps_.Text(Meaning::CircuitText, x, 130, typeCode == 41 ? "1-5V" : typeCode == 44 ? "4-20mA" : typeCode == 49 ? "Ao-" : "AO");
}

void PageLayout::DrawWordInput(int row, int rowKind, int x) {
  steps_.InsertBlock(Meaning::Symbol, 52, x, 250);
  DrawInputWire(x, 245, rowKind);
  steps_.Text(Meaning::CircuitText, x, 250, "BCD");
  DrawLoopCaption(row, x, 270);
  steps_.Text(Meaning::CircuitText, x, 200, rowKind == 51 ? "Ry" : rowKind == 52 ? "Wi BCD" : "");
}

void PageLayout::DrawWordOutput(int row, int typeCode, int x) {
  steps_.InsertBlock(Meaning::Symbol, 61, x, 125);
  DrawOutputWire(x);
  DrawLoopCaption(row, x, 150);
  steps_.Text(Meaning::CircuitText, x, 130, typeCode == 61 ? "Wo BCD" : "Wo-");
}

void PageLayout::DrawList() {
  int page = 1;
  int slot = 1;
  int row = 1;
  int rowKind = kDefaultRowKind;
  while (!list_.Cell(kColName, row).empty()) {
    const RowClass cls = ClassifyRow(list_, row);
    rowKind = cls.rowKind;
    if (slot == 1 && rowKind < 10) DrawSupplyBus(row);
    const int x = kFirstX + kSlotWidth * (slot - 1);
    switch (rowKind) {
      case 1: DrawMotorDirect(row, kMcb, x); break;
      case 2: DrawMotorReversing(row, kMcb, x); break;
      case 3: DrawMotorStarDelta(row, kMcb, x); break;
      case 4: DrawFeeder(row, kMcb, x); break;
      case 5: DrawMotorDirect(row, kElb, x); break;
      case 6: DrawMotorReversing(row, kElb, x); break;
      case 7: DrawMotorStarDelta(row, kElb, x); break;
      case 8: DrawFeeder(row, kElb, x); break;
      case 11: DrawDigitalInput(row, cls.typeCode, kRelayReceiver, x); break;
      case 12: DrawDigitalInput(row, cls.typeCode, kPlcReceiver, x); break;
      case 21: DrawDigitalOutput(row, cls.typeCode, x); break;
      case 31: case 32: case 33: case 34: case 35: DrawAnalogInput(row, cls.typeCode, rowKind, x); break;
      case 41: DrawAnalogOutput(row, cls.typeCode, x); break;
      case 51: case 52: DrawWordInput(row, rowKind, x); break;
      case 61: DrawWordOutput(row, cls.typeCode, x); break;
      default: break;  // a reserve or unknown row keeps its slot empty
    }
    ++row;
    ++slot;
    if (slot > kSlotsPerPage) {
      if (!list_.Cell(kColName, row).empty()) {
        steps_.SavePage(page);
        steps_.OpenTemplate();
        steps_.SetTextStyle();
        ++page;
        if (rowKind != kDefaultRowKind) DrawFrameLines();
      }
      slot = 1;
    }
    if (row >= kRowLimit) break;
  }
  steps_.SavePage(page);
}

std::string UndrawnRowsNote(const Grid& list) {
  auto named = [&](int row) { return !list.Cell(kColName, row).empty(); };
  int end = 1;  // the row the drawing stops at
  while (end < kRowLimit && named(end)) ++end;
  bool leftOut = false;
  for (int row = end; row < list.RowCount() && !leftOut; ++row) leftOut = named(row);
  if (!leftOut) return "";
  if (end == kRowLimit)
    return "行 " + Num(kRowLimit) + " 以降は作図していません（作図するのは行 " + Num(kRowLimit - 1) + " までです）。";
  return "行 " + Num(end) + " の名称が空のため、行 " + Num(end + 1) + " 以降は作図していません。";
}

void PageLayout::MakeDrawing() {
  steps_.Launch();
  steps_.OpenTemplate();
  steps_.OsModeOff();
  DrawFrameLines();
  steps_.SetTextStyle();
  DrawList();
}

}  // namespace qel

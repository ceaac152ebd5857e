#include "visio/e_visio_2.h"

#include <algorithm>
#include <stdexcept>

#include "base/cp932.h"
#include "base/paths.h"
#include "list/circuit_list.h"
#include "list/list_aux.h"

namespace qel {

namespace {

constexpr double kMmPerInch = 25.4;

// Visio takes inches; every position of the layout is in millimetres.
Variant Inches(double mm) { return Variant(mm / kMmPerInch); }

// A Visio text constant. A quote inside is doubled, Visio's way of writing
// it, so that a name holding one shows as typed instead of being refused.
// Control bytes and a lone lead byte become blanks first: a lead byte just
// before the closing quote would take the quote into its character when the
// text is converted to Unicode, and Visio would refuse the formula.
std::string TextFormula(const std::string& cellText) {
  const std::string text = cp932::DrawableText(cellText);
  std::string formula = "\"";
  for (char c : text) {
    formula += c;
    // A quote byte is never the second byte of a two-byte character.
    if (c == '"') formula += '"';
  }
  return formula + "\"";
}

int ListColumn(const char* name) {
  const std::vector<std::string>& headers = ListHeaders();
  const auto it = std::find(headers.begin(), headers.end(), name);
  if (it == headers.end()) throw std::logic_error(std::string("circuit list has no column ") + name);
  return static_cast<int>(it - headers.begin());
}

bool IsMotorOrFeeder(int kind) { return kind >= 1 && kind <= 8; }
bool IsInputLoop(int kind) { return kind == 11 || kind == 12 || (kind >= 31 && kind <= 35) || kind == 51 || kind == 52; }
bool IsOutputLoop(int kind) { return kind == 21 || kind == 41 || kind == 61; }
bool IsAnalogueInput(int kind) { return kind >= 31 && kind <= 35; }

// The field device of an instrumentation row by its type code. A code that
// is not one of its row kind's (a hand-edited "Type" cell) gets the row
// kind's generic symbol, so the column shows what kind of loop it is rather
// than whatever master happened to be fetched last.
const char* FieldMaster(int kind, int type) {
  switch (kind) {
    case 11: case 12:
      return type == 12 ? "Di-LS" : "Di-A";
    case 21:
      return type == 21 ? "Do-Ry" : type == 22 ? "Do-Tr" : "Do-";
    case 31: case 32: case 33: case 34: case 35:
      switch (type) {
        case 31: return "Ai-T";
        case 32: return "Ai-F";
        case 33: return "Ai-P";
        case 34: return "Ai-L";
        default: return "Ai-";
      }
    case 41:
      return type == 41 ? "Ao-1" : type == 44 ? "Ao-4" : "Ao-";
    case 51: case 52:
      return "Wi-B";
    default:  // 61
      return "Wo-B";
  }
}

// The receiving device of an input loop by its row kind.
const char* ReceivingMaster(int kind) {
  switch (kind) {
    case 11: case 51: return "ISO-Ry-R";
    case 12: case 32: case 52: return "PLC";
    case 31: return "IND";
    case 33: return "PEN";
    case 34: return "Ai-1";
    case 35: return "Ai-4";
    default: return nullptr;
  }
}

}  // namespace

// One VisioDrawList call: the row, slot and page it is at, and the steps
// every column recipe is made of. Nothing Visio returns is kept from one
// step to the next except CurrentMaster and LastShape, so each step walks
// from the application object again.
class VisioModule::Drawing {
 public:
  // The list is copied: every automation call waits in a message loop, in
  // which the user may edit, delete or load rows, and the drawing must show
  // the list as it was when the command was given.
  Drawing(VisioModule& module, const Grid& list) : m_(module), list_(list) {}

  void Run() {
    while (true) {
      if (Cell(colName_).empty()) return;
      const RowClass rc = ClassifyRow(list_, r_);
      DrawColumn(rc.rowKind, rc.typeCode);
      ++r_;
      ++s_;
      if (s_ > kVisioColumnsPerPage) {
        ++p_;
        s_ = 1;
        // A page is added only when a row is there to fill it.
        if (!Cell(colName_).empty()) AddPage();
      }
      if (r_ > kVisioLastDrawnRow) return;
    }
  }

 private:
  std::string Cell(int col) const { return list_.Cell(col, r_); }
  double X() const { return 50.0 + 40.0 * (s_ - 1); }
  std::string R() const { return std::to_string(r_); }

  std::shared_ptr<Dispatch> Pages() {
    return m_.App()->Get("ActiveDocument").AsObject()->Get("Pages").AsObject();
  }
  std::shared_ptr<Dispatch> Page() {
    Args index{Variant(static_cast<std::int32_t>(p_)).ByRefTyped()};
    return Pages()->Call("Item", index).AsObject();
  }
  void AddPage() {
    // No arguments and the value used: method or property get, as every such call.
    std::shared_ptr<Dispatch> page = Pages()->Get("add").AsObject();
    page->Put("name", Variant("dwg" + std::to_string(p_)));
  }
  void Line(double x1, double y1, double x2, double y2) {
    Args args{Inches(x1), Inches(y1), Inches(x2), Inches(y2)};
    m_.lastShape_ = Page()->Call("DrawLine", args);
  }
  void Place(const char* master, double x, double y) {
    Args name{Variant(master)};
    m_.currentMaster_ = m_.stencilDoc_.AsObject()->Call("masters", name);
    Args args{Variant(m_.currentMaster_).ByRef(), Inches(x), Inches(y)};
    m_.lastShape_ = Page()->Call("Drop", args);
  }
  void Text(const char* cellName, const std::string& text) {
    Args name{Variant(cellName)};
    m_.lastShape_.AsObject()->Call("Cells", name).AsObject()->Put("Formula", Variant(TextFormula(text)));
  }
  // The three texts of the shape placed last. Row_3 and Row_4 are given as
  // list columns (-1: none) with a suffix, so that each cell is read just
  // before its formula is written.
  void Texts(const std::string& row2, int col3, int col4, const char* suffix4 = "") {
    Text("Prop.Row_2", row2);
    Text("Prop.Row_3", Cell(col3));
    Text("Prop.Row_4", (col4 >= 0 ? Cell(col4) : std::string()) + suffix4);
  }

  void DrawColumn(int kind, int type) {
    if (IsMotorOrFeeder(kind)) {
      DrawMotorOrFeeder(kind);
    } else if (IsInputLoop(kind) || IsOutputLoop(kind)) {
      DrawLoop(kind, type);
    }
    // Any other kind (reserve, unrecognised) leaves its slot empty.
  }

  void DrawMotorOrFeeder(int kind) {
    const double x = X();
    const bool earthLeakage = kind >= 5;
    const int method = earthLeakage ? kind - 4 : kind;  // 1 direct, 2 reversing, 3 star-delta, 4 feed
    if (s_ == 1) Line(30, 220, 400, 220);  // the bus across the page
    Place("line", x, 213.5);
    Place(earthLeakage ? "1P-ELB" : "1P-MCB", x, 200);
    Texts((earthLeakage ? "ELCB" : "MCCB") + R(), colMcb_, colMcbTrip_);
    if (method == 4) {
      Line(x, 70, x, 200);
      Place("panel", x, 60);
      Texts("Panel No." + R(), colName_, colKw_, "kw");
    } else {
      Line(x, 157, x, 200);
      Place("1P-MgSW", x, 150);
      if (method == 2) {
        Texts("88F-" + R(), colMs_, -1);
        Place("FR-LINE", x, 143);
        Place("1P-MgSW", x + 20, 150);
        Texts("88R-" + R(), colMs_, -1);
      } else {
        Texts("88-" + R(), colMs_, -1, " ");
      }
      Line(x, 137, x, 150);
      Place("1P-TH", x, 130);
      Texts("49-" + R(), colTh_, colThA_, "A");
      Line(x, 70, x, 130);
      Place("motor", x, 60);
      Texts("ACM F-" + R(), colName_, colKw_, "kw");
      if (method == 3) {
        Place("1P-MgSW", x + 10, 115);
        Texts("19-" + R(), colDelta_, -1);
        Place("1P-MgSW", x + 20, 105);
        Texts("6-" + R(), colStar_, -1);
        Place("DELTA", x, 122);
        Line(x + 10, 115, x + 10, 70);
        Line(x + 10, 70, x + 5, 65);
        Place("STAR", x + 20, 113.5);
        Place("STAR-LINE", x + 10, 103);
        Place("terminal", x + 10, 90);
      }
    }
    Place("terminal", x, 90);
  }

  void DrawLoop(int kind, int type) {
    const double x = X();
    const bool input = IsInputLoop(kind);
    const double fieldY = input ? 250 : 130;
    Place(FieldMaster(kind, type), x, fieldY);
    if (!IsAnalogueInput(kind)) Texts(Cell(colName_), colType_, -1);
    if (input) {
      Line(x, 210, x, 250);
      Place(ReceivingMaster(kind), x, 200);
      Texts(Cell(colName_), colType_, -1);
      Place("terminal", x, 240);
    } else {
      Line(x, 80, x, 130);
      Place("terminal", x, 90);
    }
  }

  VisioModule& m_;
  const Grid list_;
  int r_ = 1;
  int s_ = 1;
  int p_ = 1;

  const int colName_ = ListColumn("NAME");
  const int colKw_ = ListColumn("kW");
  const int colMs_ = ListColumn("88(MS)");
  const int colStar_ = ListColumn("6(☆)");
  const int colDelta_ = ListColumn("19(M⊿)");
  const int colTh_ = ListColumn("49(TH)");
  const int colThA_ = ListColumn("49(A)");
  const int colMcb_ = ListColumn("MCB");
  const int colMcbTrip_ = ListColumn("MCB(Trip)");
  const int colType_ = ListColumn("Type");
};

std::string VisioModule::DataFile(const char* name) const {
  return paths::Join(paths::Join(programFolder_, "Data"), name);
}

void VisioModule::VisioStart(VisioMessageSink& messages) {
  try {
    visioApp_ = Variant(factory_ ? factory_("Visio.Application") : CreateAutomationObject("Visio.Application"));
    App()->Get("Documents");
    Args args{Variant(formatValue_).ByRefTyped(), Variant("mm"), Variant("mm"), Variant("#.00 mm")};
    formatResult_ = App()->Call("FormatResult", args);
    formatValue_ = args[0];
  } catch (const AutomationError&) {
    messages.ShowVisioMessage(kVisioStartFailedMessage);
  }
}

void VisioModule::VisioOpenDocuments(bool& VisioOpenFailed, VisioMessageSink& messages) {
  VisioOpenFailed = false;
  try {
    const std::string stencil = DataFile("qel-ms.vss");
    Args openStencil{Variant(stencil)};
    App()->Get("Documents").AsObject()->Call("Open", openStencil);
    Args lookUp{Variant(stencil)};
    stencilDoc_ = App()->Call("Documents", lookUp);
    // Opened last, the drawing document is the one Visio draws on.
    Args openDrawing{Variant(DataFile("qel-ms.vsd"))};
    App()->Get("Documents").AsObject()->Call("Open", openDrawing);
  } catch (const AutomationError&) {
    VisioOpenFailed = true;
    VisioQuit(messages);
    messages.ShowVisioMessage(kVisioOpenFailedMessage);
  }
}

void VisioModule::VisioQuit(VisioMessageSink& messages) {
  try {
    App()->Call("quit");
  } catch (const AutomationError&) {
    messages.ShowVisioMessage(kVisioQuitFailedMessage);
  }
}

void VisioModule::VisioDrawList(const Grid& list) { Drawing(*this, list).Run(); }

}  // namespace qel

#pragma once
// The drawing steps the page layout is made of. The layout decides what goes
// where and says it as these steps; an output decides how a step is carried
// out: typed into AutoCAD's command line, or added as entities to a page
// drawing. Both outputs must give the same pages for the same list.
#include <string>

namespace qel {

// What a drawing step draws. The AutoCAD job draws everything alike; the
// DXF pages put each on a layer of its own, so that a reader can tell them
// apart, switch them off or plot them differently.
enum class Meaning {
  SupplyBus,      // the bus line the motor and feeder circuits hang from
  MainWiring,     // motor and feeder circuits' wires
  SignalWiring,   // instrumentation loops' wires
  Symbol,         // inserted symbols and drawn boxes
  CircuitText,    // labels, names, tags and the bus caption
  Frame,          // the centre lines framing the page's rows
  Sheet,          // border and title block of the sheet
};

class DrawingSteps {
 public:
  virtual ~DrawingSteps() = default;

  virtual void Launch() = 0;          // before anything else
  virtual void OpenTemplate() = 0;    // a fresh page from the template drawing
  virtual void OsModeOff() = 0;
  virtual void SetTextStyle() = 0;    // STANDARD: txt / extfont, 2.5 high, width 0.8
  virtual void LineTypeCenter() = 0;  // for the entities drawn after it
  virtual void LineTypeByLayer() = 0;
  virtual void SavePage(int page) = 0;

  virtual void Line(Meaning m, int x1, int y1, int x2, int y2) = 0;
  // A line begun after cancelling whatever command may still be pending.
  virtual void LineAfterCancel(Meaning m, int x1, int y1, int x2, int y2) = 0;
  virtual void Rectangle(Meaning m, int x1, int y1, int x2, int y2) = 0;
  virtual void Text(Meaning m, int x, int y, const std::string& text) = 0;          // left-aligned at (x, y)
  virtual void TextCentered(Meaning m, int x, int y, const std::string& text) = 0;  // centred on (x, y)
  virtual void InsertBlock(Meaning m, int symbol, int x, int y) = 0;  // a symbol code, see AcadBlockName
};

}  // namespace qel

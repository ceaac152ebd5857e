#pragma once
// The drawing steps the page layout is made of. The layout decides what goes
// where and says it as these steps; an output decides how a step is carried
// out: typed into AutoCAD's command line, or added as entities to a page
// drawing. Both outputs must give the same pages for the same list.
#include <string>

namespace qel {

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

  virtual void Line(int x1, int y1, int x2, int y2) = 0;
  // A line begun after cancelling whatever command may still be pending.
  virtual void LineAfterCancel(int x1, int y1, int x2, int y2) = 0;
  virtual void Rectangle(int x1, int y1, int x2, int y2) = 0;
  virtual void Text(int x, int y, const std::string& text) = 0;          // left-aligned at (x, y)
  virtual void TextCentered(int x, int y, const std::string& text) = 0;  // centred on (x, y)
  virtual void InsertBlock(int symbol, int x, int y) = 0;                // a symbol code, see AcadBlockName
};

}  // namespace qel

#pragma once
// The single-line diagram's page layout: rows 1 to 79 of the circuit list,
// eight circuits to a page, each circuit drawn by the recipe of its row
// kind. It is the one place that decides what is drawn where; it says it as
// DrawingSteps, so that every output draws the same pages.
#include "acad/drawing_steps.h"
#include "base/grid.h"

namespace qel {

// What the drawing leaves out of this list, said for the user: the rows
// below the first row with an empty NAME, or the rows from 80 on. Empty when
// every row with a NAME is drawn.
std::string UndrawnRowsNote(const Grid& list);

class PageLayout {
 public:
  // The list must stay unchanged while the layout runs: a job hands it a
  // copy of its own, since an output may let window messages through.
  PageLayout(DrawingSteps& steps, const Grid& list) : steps_(steps), list_(list) {}

  void DrawFrameLines();
  void DrawSupplyBus(int row);
  void DrawMotorDirect(int row, int breaker, int x);
  void DrawMotorReversing(int row, int breaker, int x);
  void DrawMotorStarDelta(int row, int breaker, int x);
  void DrawFeeder(int row, int breaker, int x);
  void DrawDigitalInput(int row, int typeCode, int receiver, int x);
  void DrawDigitalOutput(int row, int typeCode, int x);
  void DrawAnalogInput(int row, int typeCode, int rowKind, int x);
  void DrawAnalogOutput(int row, int typeCode, int x);
  void DrawWordInput(int row, int rowKind, int x);
  void DrawWordOutput(int row, int typeCode, int x);
  // Rows 1 to 79, eight to a page, each page saved; stops at the first row
  // with an empty NAME.
  void DrawList();
  // The whole job: launch, template, settings, first frame lines, the list.
  void MakeDrawing();

 private:
  // A cell as it is drawn: control bytes and lone lead bytes made blanks,
  // so that every cell stays one text whatever was typed or loaded into it.
  std::string Cell(int col, int row) const;
  void DrawLoopCaption(int row, int x, int top);
  void DrawBreakerHead(int row, int breaker, int x);
  void DrawMotorFoot(int row, int x, int lineFrom);
  void DrawThermal(int row, int x, int y);
  void DrawOutputWire(int x);
  void DrawInputWire(int x, int lineFrom, int receiver);

  DrawingSteps& steps_;
  const Grid& list_;
};

}  // namespace qel

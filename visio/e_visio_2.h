#pragma once
// e_visio_2: drawing the circuit list in Visio through late-bound
// automation. VisioStart creates Visio, VisioOpenDocuments opens the
// stencil and the drawing document from the program's Data folder, and
// VisioDrawList lays every list row out as a column of stencil masters,
// eight columns a page. Nothing here touches a window: the messages go to a
// sink the caller supplies, and the Visio errors met while drawing are
// thrown on to the caller as AutomationError with Visio's own description.
#include <string>

#include "base/dispatch.h"
#include "base/grid.h"

namespace qel {

// Where the module's three messages go; the main window shows each in a
// plain message box with an OK button and returns when it is closed.
class VisioMessageSink {
 public:
  virtual ~VisioMessageSink() = default;
  virtual void ShowVisioMessage(const std::string& text) = 0;
};

// The texts the user sees.
inline constexpr char kVisioStartFailedMessage[] = "Visioを起動できません.";
inline constexpr char kVisioQuitFailedMessage[] = "Visioを quit できません.";
// Line feed before carriage return: the order the message has always had.
inline constexpr char kVisioOpenFailedMessage[] = "ファイルを開けません。\n\r２重オープンできません。";

// Columns and pages of the drawing.
inline constexpr int kVisioColumnsPerPage = 8;
inline constexpr int kVisioLastDrawnRow = 79;

class VisioModule {
 public:
  // `factory` creates the Visio application object; without one the
  // program's default automation factory is used.
  explicit VisioModule(DispatchFactory factory = {}) : factory_(std::move(factory)) {}

  // The folder under which Data lies, handed over when the main window is
  // created (the current directory at that moment).
  void SetProgramFolder(std::string folder) { programFolder_ = std::move(folder); }
  const std::string& ProgramFolder() const { return programFolder_; }

  // Creates a new Visio instance, reads its Documents and asks it to format
  // "1 mm"; any failure shows the start message. VisioApp keeps its previous
  // object when the creation itself fails.
  void VisioStart(VisioMessageSink& messages);

  // Opens the stencil, looks it up as StencilDoc and opens the drawing
  // document, which becomes Visio's active document. `VisioOpenFailed`
  // belongs to the caller: it is set false first and true when any of the
  // three steps fails, in which case Visio is told to quit and the two-line
  // message follows.
  void VisioOpenDocuments(bool& VisioOpenFailed, VisioMessageSink& messages);

  // Asks Visio to quit; shows the quit message when it cannot.
  void VisioQuit(VisioMessageSink& messages);

  // Draws rows 1 to 79 of the circuit list until the first row with an
  // empty NAME. Errors Visio raises end the drawing at that call and are
  // thrown on; the shapes already placed stay. The drawing works on a copy
  // of the list taken when it starts, so edits made meanwhile (the calls
  // let messages through) change nothing of it.
  void VisioDrawList(const Grid& list);

  // The module state, kept from one command to the next.
  const Variant& VisioApp() const { return visioApp_; }
  const Variant& StencilDoc() const { return stencilDoc_; }
  const Variant& CurrentMaster() const { return currentMaster_; }
  const Variant& LastShape() const { return lastShape_; }
  const Variant& FormatValue() const { return formatValue_; }
  const Variant& FormatResultAnswer() const { return formatResult_; }

 private:
  class Drawing;
  std::shared_ptr<Dispatch> App() const { return visioApp_.AsObject(); }
  std::string DataFile(const char* name) const;

  DispatchFactory factory_;
  std::string programFolder_;
  Variant visioApp_;
  Variant stencilDoc_;
  Variant currentMaster_;
  Variant lastShape_;
  Variant formatValue_{"1 mm"};  // passed by reference, so Visio may change it
  Variant formatResult_;
};

}  // namespace qel

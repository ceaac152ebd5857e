#pragma once
// The decisions of the AutoCAD link component that need no window: the
// published enumerations, the mapping between TAcadType and edition
// numbers, the watch timer's period, and the prompt watch. Portable; the
// component itself (TAcadControl) is in AcadCtrl_win.h and only gathers
// window texts and acts on what is decided here.
#include <functional>
#include <string>
#include <string_view>

#include "acadlink/AcadLinkApi.h"

namespace qel {

enum TCmdSearch : int { csALLCHECK = 0, csCMDLINE = 1, csNOCHECK = 2 };
enum TShowState : int { ssNORMAL = 0, ssMINIMIZE = 1, ssMAXIMIZE = 2 };
enum TDxfVersion : int { dvDXFNA = 0, dvDXFR12 = 1, dvDXFR13 = 2, dvDXFR14 = 3, dvDXF2000 = 4 };
enum TAttOutType : int { atCDFOUT = 0, atSDFOUT = 1, atDXXOUT = 2 };

// TAcadType ordinal -> internal edition number (reserved values give 0).
int EditionOfAcadType(TAcadType type);
// Edition number -> TAcadType (0 and unknown numbers give atNOACAD).
TAcadType AcadTypeOfEdition(int edition);

// The stored Interval for a requested one (negative values become 0).
int StoredInterval(int requested);
// The timer period for an Interval: half of it, rounded down; 0 means the
// timer does not run.
int WatchTimerPeriod(int interval);
// The show code handed to the start of AutoCAD: 1 minimised, 2 maximised, 0.
int ShowCodeOf(TShowState state);

// AutoCAD's bare command prompt: "Command: " in any ASCII case, or the
// Japanese prompt in exactly its one form.
bool IsBareCommandPrompt(std::string_view prompt);
// The prompt without its "Command: " / Japanese prefix; unchanged when it
// has neither.
std::string PromptParam(std::string_view prompt);
// Whether a prompt asks for Enter: trimmed and in upper case it holds
// " RETURN " or "[ENTER]" after its first character and ends with ":".
bool PromptAsksForEnter(std::string_view prompt);

// The prompt watch of one timer tick, as a small state machine: it keeps
// the remembered prompt, input text, wait count and reported wait message,
// and tells the component which events to raise.
class PromptWatch {
 public:
  struct Listeners {
    bool cmdChange = false;    // OnAcadCmdChange assigned
    bool cmdWait = false;      // OnAcadCmdWait assigned
    bool waitMessage = false;  // OnWaitMessage assigned
    bool autoEnter = false;    // AutoEnter
  };
  struct Decision {
    bool changed = false;
    bool idle = false;
    std::string param;
    bool raiseCmdChange = false;
    bool raiseCmdWait = false;
    bool raiseWaitMessage = false;
    bool answerEnter = false;  // AutoEnter should answer this prompt
  };

  // Whether the watch has anything to do for these listeners.
  static bool Wanted(const Listeners& l) { return l.cmdChange || l.cmdWait || l.waitMessage || l.autoEnter; }

  // One tick: frame prompt P, bar prompt B; the input window is read
  // through readInput only when all windows are watched on this phase.
  Decision Tick(const std::string& framePrompt, const std::string& barPrompt, const Listeners& listeners,
                TCmdSearch search, bool phase, const std::string& waitMessage,
                const std::function<std::string()>& readInput);

  void Reset();                // everything forgotten
  void ForgetTexts();          // prompt and input forgotten
  void ForgetPrompt() { lastPrompt_.clear(); }
  void ForgetWaitMessage() { lastWaitMessage_.clear(); }
  int WaitCount() const { return waitCount_; }

 private:
  std::string lastPrompt_;
  std::string lastInput_;
  std::string lastWaitMessage_;
  int waitCount_ = 0;
};

}  // namespace qel

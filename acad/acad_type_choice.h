#pragma once
// What the AutoCAD type selection window decides, apart from its controls:
// the list of editions, which one is chosen at start, and the texts of its
// two status labels and of the main window's AutoCAD sentence. The window
// (TAcadTool_Frame) only copies these into its controls.
#include <string>
#include <vector>

#include "acadlink/AcadLinkApi.h"

namespace qel {

class AcadTypeChoice {
 public:
  explicit AcadTypeChoice(AcadLinkApi& link) : link_(link) {}

  // Once, when the window is made: switches the component's watch timer
  // off, lists every edition the component names, chooses the newest
  // installed AutoCAD LT (else the newest full AutoCAD, else "NOACAD") and
  // applies that choice. The sentence then reads "... が有効です。"
  // whether or not the chosen edition can be started.
  void FormCreate();
  // The user picked the entry at `index` (ignored outside the list).
  void AcadTypeListChange(int index);

  const std::vector<std::string>& Entries() const { return entries_; }
  int ItemIndex() const { return itemIndex_; }
  const std::string& SelectedEntry() const;
  const std::string& IsInstedCaption() const { return installed_; }
  const std::string& IsCanExeCaption() const { return canExecute_; }
  const std::string& StatusSentence() const { return sentence_; }  // for Label57

 private:
  void ApplySelection();

  AcadLinkApi& link_;
  std::vector<std::string> entries_;
  int itemIndex_ = -1;
  std::string installed_ = "IsInsted";
  std::string canExecute_ = "IsCanExe";
  std::string sentence_;
};

// The main window's AutoCAD sentence for an entry that can or cannot start.
std::string AcadStatusSentence(const std::string& entry, bool usable);

}  // namespace qel

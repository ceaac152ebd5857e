#include "acad/acad_type_choice.h"

#include <algorithm>

namespace qel {

namespace {
const char kNoAcad[] = "NOACAD";
}

std::string AcadStatusSentence(const std::string& entry, bool usable) {
  // The unusable form starts "Auto Cad", an ideographic space and a blank.
  return usable ? "Auto Cadは " + entry + " が有効です。" : "Auto Cad\u3000 " + entry + " が無効です。";
}

const std::string& AcadTypeChoice::SelectedEntry() const {
  static const std::string none;
  return itemIndex_ >= 0 && itemIndex_ < static_cast<int>(entries_.size()) ? entries_[itemIndex_] : none;
}

void AcadTypeChoice::FormCreate() {
  link_.SetEnabled(false);  // the component's watch timer is not used here
  entries_.assign(1, kNoAcad);
  for (int t = link_.MinAcadType(); t <= link_.MaxAcadType(); ++t) {
    link_.SetAcadType(static_cast<TAcadType>(t));
    const std::string name = link_.GetAcadTypeName();
    // Reserved values have no name; a name already listed (NOACAD, should
    // the component's range start there) is not listed twice.
    if (!name.empty() && std::find(entries_.begin(), entries_.end(), name) == entries_.end()) entries_.push_back(name);
  }

  TAcadType chosen = link_.FindInstalledAclt();
  if (chosen == atNOACAD) chosen = link_.FindInstalledAcad();
  link_.SetAcadType(chosen);
  const std::string name = link_.GetAcadTypeName();
  const auto found = std::find(entries_.begin(), entries_.end(), name);
  itemIndex_ = name.empty() || found == entries_.end() ? 0 : static_cast<int>(found - entries_.begin());

  ApplySelection();
  sentence_ = AcadStatusSentence(SelectedEntry(), true);
}

void AcadTypeChoice::AcadTypeListChange(int index) {
  if (index < 0 || index >= static_cast<int>(entries_.size())) return;
  itemIndex_ = index;
  ApplySelection();
}

void AcadTypeChoice::ApplySelection() {
  const std::string& entry = SelectedEntry();
  link_.SetAcadType(link_.AcadTypeFromName(entry));
  installed_ = link_.IsInstalled() ? "Install OK!" : "Install NG!";
  const bool usable = link_.CanExecute();
  canExecute_ = usable ? "Exec OK!" : "Exec NG!";
  sentence_ = AcadStatusSentence(entry, usable);
}

}  // namespace qel

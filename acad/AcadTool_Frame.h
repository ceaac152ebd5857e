#pragma once
// The AutoCAD type selection window: the user picks which edition the
// drawing drives. The main window decides the first choice at start-up and
// makes this window the first time its menu entry shows it (without
// modality); closing only hides it and the choice stays in force. Windows
// only: the decisions live in AcadTypeChoice, this window copies them into
// its controls.
#include <functional>
#include <memory>
#include <string>

#include "acad/acad_type_choice.h"
#include "win32/controls.h"
#include "win32/form.h"

namespace qel {

class TAcadTool_Frame : public win::Form {
 public:
  // `link` is the main window's AcadControl1; `setLabel57` writes the main
  // window's AutoCAD sentence. Both must outlive the window.
  // This one decides the first choice itself (FormCreate).
  TAcadTool_Frame(AcadLinkApi& link, std::function<void(const std::string&)> setLabel57);
  // Shows a choice already decided (AcadTypeChoice::FormCreate has run)
  // and changes it from then on; `decided` must outlive the window.
  TAcadTool_Frame(AcadTypeChoice& decided, std::function<void(const std::string&)> setLabel57);
  ~TAcadTool_Frame() override;

  win::ComboBox AcadTypeList;  // the twelve entries; its index picks the insert word
  win::Label IsInstedCaption;  // "Install OK!" / "Install NG!"
  win::Label IsCanExe;         // "Exec OK!" / "Exec NG!"

  void FormCreate();
  void AcadTypeListChange();

 private:
  void Build();
  void ShowChoice();

  std::unique_ptr<AcadTypeChoice> own_;  // when the window decides itself
  AcadTypeChoice& choice_;
  bool decided_;
  std::function<void(const std::string&)> setLabel57_;
};

}  // namespace qel

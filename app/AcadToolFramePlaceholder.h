#pragma once
// Stands in the place of the AutoCAD type selection window until that
// window is built: a hidden form of the same class, made last at start-up.
#include "win32/form.h"

namespace qel {

class TAcadTool_Frame : public win::Form {
 public:
  TAcadTool_Frame();
  ~TAcadTool_Frame() override;
};

}  // namespace qel

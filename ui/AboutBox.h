#pragma once
// The version information window. It lives hidden from start-up on and is
// shown from the help menu; closing it only hides it.
#include "win32/form.h"

namespace qel {

class TAboutBox : public win::Form {
 public:
  TAboutBox();
  ~TAboutBox() override;
};

}  // namespace qel

#pragma once
// The wiring legend window: the picture of a star-delta starter with the
// legend points of the wire sizes. Hidden from start-up on; closing hides it.
#include "win32/form.h"

namespace qel {

class TLINE : public win::Form {
 public:
  TLINE();
  ~TLINE() override;
};

}  // namespace qel

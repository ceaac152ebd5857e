#include "ui/Line.h"

namespace qel {

TLINE::TLINE() {
  Create({.className = "TLINE", .caption = "LINE", .width = 416, .height = 406, .hideOnClose = true,
          .style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU});
}

TLINE::~TLINE() { DestroyHandle(); }

}  // namespace qel

#include "app/AcadToolFramePlaceholder.h"

namespace qel {

TAcadTool_Frame::TAcadTool_Frame() {
  Create({.className = "TAcadTool_Frame", .caption = "AutoCadTool", .width = 400, .height = 300, .hideOnClose = true,
          .style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU});
}

TAcadTool_Frame::~TAcadTool_Frame() { DestroyHandle(); }

}  // namespace qel

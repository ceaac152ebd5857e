#include "ui/AboutBox.h"

namespace qel {

TAboutBox::TAboutBox() {
  Create({.className = "TAboutBox", .caption = "バージョン情報", .width = 304, .height = 242, .hideOnClose = true,
          .style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_DLGFRAME});
}

TAboutBox::~TAboutBox() { DestroyHandle(); }

}  // namespace qel

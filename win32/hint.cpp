#include "win32/hint.h"

#include "base/cp932.h"
#include "win32/wnd.h"

namespace qel::win {

std::string LongHint(std::string_view hint) {
  // "|" (7C) is also the second byte of two-byte characters such as "ポ".
  for (std::size_t i = 0; i < hint.size(); i += cp932::CharLength(hint, i))
    if (hint[i] == '|') return std::string(hint.substr(i + 1));
  return std::string(hint);
}

std::string HintOf(HWND hwnd) {
  for (HWND h = hwnd; h; h = GetParent(h)) {
    if (Wnd* w = Wnd::FromHandle(h); w && !w->Hint().empty()) return w->Hint();
    // GetParent of a top-level window is its owner: another form.
    if (!(GetWindowLongPtrW(h, GWL_STYLE) & WS_CHILD)) break;
  }
  return {};
}

}  // namespace qel::win

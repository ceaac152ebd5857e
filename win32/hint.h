#pragma once
// Hints: the texts the status bar shows for the control under the mouse.
#include <string>
#include <string_view>

#include <windows.h>

namespace qel::win {

// The long part of a hint: the text after its first "|", or the whole
// hint when it has none.
std::string LongHint(std::string_view hint);

// The hint of the window, or of its nearest enclosing window of the same
// form that has one; empty when none has.
std::string HintOf(HWND hwnd);

}  // namespace qel::win

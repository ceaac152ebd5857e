#pragma once
#include <windows.h>

namespace qel::excel_standin {

// The window showing the active sheet; hidden until a client (or a person's
// start) makes it visible.
HWND CreateViewWindow(HINSTANCE instance);

}  // namespace qel::excel_standin

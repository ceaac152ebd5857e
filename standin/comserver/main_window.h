#pragma once
// The top-level window every stand-in shows: a class of its own, a title,
// and a File menu with one "save" entry and Exit.
#include <windows.h>

namespace qel::standin {

// Registers the window class `className` (arrow cursor, window-coloured
// background, `classStyle`) and creates an overlapping window of it, not yet
// shown.
HWND CreateMainWindow(HINSTANCE instance, const wchar_t* className, WNDPROC proc, const wchar_t* title, int width,
                      int height, UINT classStyle = 0);

// Gives `window` a File menu: `saveLabel` (command `saveId`), a separator,
// and Exit (command `exitId`).
void SetFileMenu(HWND window, UINT saveId, const wchar_t* saveLabel, UINT exitId);

}  // namespace qel::standin

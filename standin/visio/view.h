#pragma once
// The stand-in's window: a list of the open documents' pages on the left,
// the chosen page drawn on the right, and a menu that saves the pages as SVG.
#include <windows.h>

namespace qel::visio_standin {

HWND CreateViewWindow(HINSTANCE instance);
// Documents or pages changed: refill the page list and repaint.
void RefreshView(HWND window);

}  // namespace qel::visio_standin

#pragma once
// A drawing page turned into GDI calls: the preview's canvas paints with it
// on the screen and printing paints with it on paper, so that a print is
// what the preview shows.
#include <windows.h>

#include "dxf/preview_geometry.h"

namespace qel {

// Paints the page's strokes and texts onto `dc` through `view` (drawing
// units to the device's pixels). The background is left as it is. Lines
// are never thinner than `thinnestPixels`: a pixel is the thinnest line
// on a screen, but on paper a 600 dpi pixel all but vanishes.
void PaintPreviewPage(HDC dc, const dxf::PreviewPage& page, const dxf::View& view, int thinnestPixels = 1);

}  // namespace qel

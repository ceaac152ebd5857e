// Painting through a bitmap the size of the window's client area, copied to
// the screen in one go, so that scrolling, zooming and dragging do not
// flicker.
#pragma once

#include <windows.h>

#include <algorithm>

namespace qel::win {

// Calls paint(dc) on a memory DC of the size of `area` (whose top-left is
// 0,0) and copies the result to `target`.
template <class PaintFn>
void PaintOffScreen(HDC target, const RECT& area, PaintFn&& paint) {
  HDC memory = CreateCompatibleDC(target);
  HBITMAP bitmap = CreateCompatibleBitmap(target, std::max(1L, area.right), std::max(1L, area.bottom));
  HGDIOBJ old = SelectObject(memory, bitmap);
  paint(memory);
  BitBlt(target, 0, 0, area.right, area.bottom, memory, 0, 0, SRCCOPY);
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
}

}  // namespace qel::win

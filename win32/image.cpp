#include "win32/image.h"

namespace qel::win {

void Image::Create(const CreateArgs& a) { CreateHandle(a, RegisterOwnClass(L"QelImage", 0), 0); }

void Image::SetBitmap(HBITMAP bitmap) {
  bitmap_ = bitmap;
  icon_ = nullptr;
  if (hwnd_) InvalidateRect(hwnd_, nullptr, TRUE);
}

void Image::SetIcon(HICON icon) {
  icon_ = icon;
  bitmap_ = nullptr;
  if (hwnd_) InvalidateRect(hwnd_, nullptr, TRUE);
}

void Image::Paint(HDC dc) const {
  RECT area;
  GetClientRect(hwnd_, &area);
  FillRect(dc, &area, GetSysColorBrush(COLOR_BTNFACE));
  if (icon_) {
    DrawIconEx(dc, 0, 0, icon_, area.right, area.bottom, 0, nullptr, DI_NORMAL);
  } else if (bitmap_) {
    BITMAP info{};
    GetObjectW(bitmap_, sizeof info, &info);
    HDC source = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(source, bitmap_);
    BitBlt(dc, 0, 0, info.bmWidth, info.bmHeight, source, 0, 0, SRCCOPY);
    SelectObject(source, old);
    DeleteDC(source);
  }
}

LRESULT Image::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_ERASEBKGND:
      return 1;  // painted whole in WM_PAINT, without flicker
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd_, &ps);
      Paint(dc);
      EndPaint(hwnd_, &ps);
      return 0;
    }
    case WM_PRINTCLIENT:
      Paint(reinterpret_cast<HDC>(wp));
      return 0;
    default:
      return Wnd::WndProc(msg, wp, lp);
  }
}

}  // namespace qel::win

#pragma once
// What a window's client area shows, drawn into a bitmap of the test's own
// through WM_PRINTCLIENT, so that pixels can be read whatever covers the
// window on the screen.
#include <windows.h>

namespace qel::testing {

class ClientPicture {
 public:
  explicit ClientPicture(HWND hwnd) {
    RECT client{};
    GetClientRect(hwnd, &client);
    HDC screen = GetDC(nullptr);
    dc_ = CreateCompatibleDC(screen);
    bitmap_ = CreateCompatibleBitmap(screen, client.right, client.bottom);
    ReleaseDC(nullptr, screen);
    old_ = SelectObject(dc_, bitmap_);
    SendMessageW(hwnd, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc_), PRF_CLIENT | PRF_ERASEBKGND);
  }
  ~ClientPicture() {
    SelectObject(dc_, old_);
    DeleteObject(bitmap_);
    DeleteDC(dc_);
  }
  ClientPicture(const ClientPicture&) = delete;
  ClientPicture& operator=(const ClientPicture&) = delete;

  COLORREF At(int x, int y) const { return GetPixel(dc_, x, y); }
  bool Dark(int x, int y) const {
    const COLORREF c = At(x, y);
    return GetRValue(c) < 100 && GetGValue(c) < 100 && GetBValue(c) < 100;
  }

 private:
  HDC dc_;
  HBITMAP bitmap_;
  HGDIOBJ old_;
};

}  // namespace qel::testing

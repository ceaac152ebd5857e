#pragma once
// A picture area: draws a bitmap at its natural size from the top-left
// corner, or an icon stretched to the whole area. With nothing to show it
// stays an empty area of the window's face colour.
#include "win32/wnd.h"

namespace qel::win {

class Image : public Wnd {
 public:
  void Create(const CreateArgs& a);
  // The image does not own what it shows; the caller keeps it alive.
  void SetBitmap(HBITMAP bitmap);
  void SetIcon(HICON icon);
  HBITMAP Bitmap() const { return bitmap_; }
  HICON Icon() const { return icon_; }

 protected:
  LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  void Paint(HDC dc) const;
  HBITMAP bitmap_ = nullptr;
  HICON icon_ = nullptr;
};

}  // namespace qel::win

#pragma once
// Pictures kept inside the program as raw JPEG data, turned into bitmaps
// that a window can draw. The decoding itself is base/jpeg_image's; this
// side finds the bytes and builds the GDI bitmap.
#include <string>
#include <string_view>

#include <windows.h>

#include "base/jpeg_image.h"

namespace qel {

// A GDI bitmap that is deleted with its owner.
class OwnedBitmap {
 public:
  OwnedBitmap() = default;
  explicit OwnedBitmap(HBITMAP bitmap) : bitmap_(bitmap) {}
  ~OwnedBitmap() { Reset(); }
  OwnedBitmap(OwnedBitmap&& other) noexcept : bitmap_(other.Release()) {}
  OwnedBitmap& operator=(OwnedBitmap&& other) noexcept {
    if (this != &other) {
      Reset();
      bitmap_ = other.Release();
    }
    return *this;
  }
  OwnedBitmap(const OwnedBitmap&) = delete;
  OwnedBitmap& operator=(const OwnedBitmap&) = delete;

  HBITMAP Get() const { return bitmap_; }
  explicit operator bool() const { return bitmap_ != nullptr; }
  HBITMAP Release() {
    HBITMAP b = bitmap_;
    bitmap_ = nullptr;
    return b;
  }
  void Reset() {
    if (bitmap_) DeleteObject(bitmap_);
    bitmap_ = nullptr;
  }

 private:
  HBITMAP bitmap_ = nullptr;
};

// The bytes of an RCDATA resource of `module`; they live as long as the
// module. Throws std::runtime_error when there is no such resource.
std::string_view RawResource(HMODULE module, int id);

// A 24-bit top-down DIB section with the pixels of `image` (rows padded
// to four bytes, as GDI wants them). Throws std::runtime_error when the
// picture is empty or GDI cannot make the bitmap.
OwnedBitmap BitmapFromRgb(const RgbImage& image);

// A picture as the window gets it: the bitmap, or the reason there is none.
struct LoadedPicture {
  OwnedBitmap bitmap;
  std::string error;  // CP932; empty when the bitmap is there
};

// Decodes JPEG bytes into a bitmap. Never throws: a damaged picture gives
// no bitmap and an error text naming what libjpeg found wrong.
LoadedPicture PictureFromJpeg(std::string_view jpeg);

// The wiring legend picture compiled into this program.
std::string_view LegendJpeg();

}  // namespace qel

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ui/legend_picture.h"
#include "win32/text.h"

namespace qel {
namespace {

using ::testing::HasSubstr;

// Reads pixels back through GDI, the way the window draws them.
class PixelReader {
 public:
  explicit PixelReader(HBITMAP bitmap) : dc_(CreateCompatibleDC(nullptr)) { old_ = SelectObject(dc_, bitmap); }
  ~PixelReader() {
    SelectObject(dc_, old_);
    DeleteDC(dc_);
  }
  COLORREF At(int x, int y) const { return GetPixel(dc_, x, y); }
  bool Dark(int x, int y) const {
    const COLORREF c = At(x, y);
    return GetRValue(c) < 100 && GetGValue(c) < 100 && GetBValue(c) < 100;
  }
  bool Light(int x, int y) const {
    const COLORREF c = At(x, y);
    return GetRValue(c) > 220 && GetGValue(c) > 220 && GetBValue(c) > 220;
  }

 private:
  HDC dc_;
  HGDIOBJ old_;
};

DIBSECTION Describe(HBITMAP bitmap) {
  DIBSECTION dib{};
  EXPECT_EQ(GetObjectW(bitmap, sizeof dib, &dib), static_cast<int>(sizeof dib)) << "a DIB section";
  return dib;
}

TEST(LegendResource, IsTheDeliveredJpegFile) {
  const std::string_view jpeg = LegendJpeg();
  ASSERT_GT(jpeg.size(), 1000u);
  EXPECT_EQ(static_cast<unsigned char>(jpeg[0]), 0xFF);
  EXPECT_EQ(static_cast<unsigned char>(jpeg[1]), 0xD8);
  EXPECT_EQ(static_cast<unsigned char>(jpeg[jpeg.size() - 2]), 0xFF);
  EXPECT_EQ(static_cast<unsigned char>(jpeg[jpeg.size() - 1]), 0xD9);
  // Byte for byte the file in data/, reached through Wine's Z: drive.
  std::string path = std::string("Z:") + QEL_SOURCE_DIR + "/data/legend.jpg";
  for (char& c : path) c = c == '/' ? '\\' : c;
  HANDLE file = CreateFileW(win::Wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE) << path;
  std::string onDisk(jpeg.size() + 16, '\0');
  DWORD read = 0;
  ReadFile(file, onDisk.data(), static_cast<DWORD>(onDisk.size()), &read, nullptr);
  CloseHandle(file);
  onDisk.resize(read);
  EXPECT_TRUE(onDisk == jpeg) << "resource " << jpeg.size() << " bytes, file " << read << " bytes";
}

TEST(LegendResource, AMissingResourceIsAnError) {
  EXPECT_THROW(RawResource(GetModuleHandleW(nullptr), 4711), std::runtime_error);
}

TEST(LegendPicture, DecodesToA279By379BitmapWithTheDrawing) {
  LoadedPicture picture = PictureFromJpeg(LegendJpeg());
  ASSERT_TRUE(picture.bitmap) << picture.error;
  EXPECT_EQ(picture.error, "");
  const DIBSECTION dib = Describe(picture.bitmap.Get());
  EXPECT_EQ(dib.dsBm.bmWidth, 279);
  EXPECT_EQ(dib.dsBm.bmHeight, 379);
  EXPECT_EQ(dib.dsBm.bmBitsPixel, 24);

  const PixelReader px(picture.bitmap.Get());
  // Background in the corners, wires where the drawing has them (the lead
  // between MCCB and 88, the main lead to the motor, the thermal relay tap,
  // the lead below 19, the X.Y.Z lead, the motor circle, the resistor SR).
  EXPECT_TRUE(px.Light(3, 3));
  EXPECT_TRUE(px.Light(275, 375));
  EXPECT_TRUE(px.Dark(57, 70));
  EXPECT_TRUE(px.Dark(58, 220));
  EXPECT_TRUE(px.Dark(180, 159));
  EXPECT_TRUE(px.Dark(121, 265));
  EXPECT_TRUE(px.Dark(150, 299));
  EXPECT_TRUE(px.Dark(90, 363));
  EXPECT_TRUE(px.Dark(230, 192));
  EXPECT_TRUE(px.Light(236, 192)) << "inside SR";
}

TEST(LegendPicture, BitmapKeepsColoursRowOrderAndRowPadding) {
  // 5 pixels wide: 15 bytes of a row padded to 16.
  RgbImage image;
  image.width = 5;
  image.height = 3;
  for (int y = 0; y < 3; ++y) {
    for (int x = 0; x < 5; ++x) {
      image.pixels.push_back(static_cast<unsigned char>(10 + x * 40));  // R by column
      image.pixels.push_back(static_cast<unsigned char>(20 + y * 100));  // G by row
      image.pixels.push_back(static_cast<unsigned char>(x == y ? 255 : 3));  // B on the diagonal
    }
  }
  OwnedBitmap bitmap = BitmapFromRgb(image);
  ASSERT_TRUE(bitmap);
  const DIBSECTION dib = Describe(bitmap.Get());
  EXPECT_EQ(dib.dsBm.bmWidthBytes, 16);
  const auto* bits = static_cast<const unsigned char*>(dib.dsBm.bmBits);
  ASSERT_NE(bits, nullptr);
  // Second row, fourth pixel, in memory: blue, green, red.
  EXPECT_EQ(bits[16 + 3 * 3], 3);
  EXPECT_EQ(bits[16 + 3 * 3 + 1], 120);
  EXPECT_EQ(bits[16 + 3 * 3 + 2], 130);
  const PixelReader px(bitmap.Get());
  for (int y = 0; y < 3; ++y) {
    for (int x = 0; x < 5; ++x) {
      EXPECT_EQ(px.At(x, y), RGB(10 + x * 40, 20 + y * 100, x == y ? 255 : 3)) << x << "," << y;
    }
  }
}

TEST(LegendPicture, AnInconsistentImageIsRefused) {
  RgbImage image;
  image.width = 4;
  image.height = 4;
  image.pixels.assign(4 * 4 * 3 - 1, 0);
  EXPECT_THROW(BitmapFromRgb(image), std::runtime_error);
  EXPECT_THROW(BitmapFromRgb(RgbImage{}), std::runtime_error);
}

TEST(LegendPicture, ADamagedPictureGivesAnErrorTextAndNoBitmap) {
  const std::string_view legend = LegendJpeg();
  LoadedPicture half = PictureFromJpeg(legend.substr(0, legend.size() / 2));
  EXPECT_FALSE(half.bitmap);
  EXPECT_THAT(half.error, HasSubstr("配線凡例の画像"));
  EXPECT_THAT(half.error, HasSubstr("Premature end of JPEG file"));

  LoadedPicture empty = PictureFromJpeg({});
  EXPECT_FALSE(empty.bitmap);
  EXPECT_THAT(empty.error, HasSubstr("Empty input file"));

  std::string noStart(legend);
  noStart[0] = noStart[1] = '\0';
  LoadedPicture notJpeg = PictureFromJpeg(noStart);
  EXPECT_FALSE(notJpeg.bitmap);
  EXPECT_THAT(notJpeg.error, HasSubstr("Not a JPEG file"));
}

}  // namespace
}  // namespace qel

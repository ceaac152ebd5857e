#include "ui/legend_picture.h"

#include <cstring>
#include <exception>
#include <stdexcept>

#include "res/resource_ids.h"

namespace qel {

std::string_view RawResource(HMODULE module, int id) {
  HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(id), RT_RCDATA);
  if (!found) throw std::runtime_error("リソース " + std::to_string(id) + " がありません。");
  HGLOBAL loaded = LoadResource(module, found);
  const void* data = loaded ? LockResource(loaded) : nullptr;
  if (!data) throw std::runtime_error("リソース " + std::to_string(id) + " を読めません。");
  return {static_cast<const char*>(data), SizeofResource(module, found)};
}

OwnedBitmap BitmapFromRgb(const RgbImage& image) {
  if (image.width <= 0 || image.height <= 0 ||
      image.pixels.size() != static_cast<std::size_t>(image.width) * image.height * 3) {
    throw std::runtime_error("画像の大きさが正しくありません。");
  }
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = image.width;
  info.bmiHeader.biHeight = -image.height;  // negative: the first row is the top one
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  OwnedBitmap bitmap(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!bitmap || !bits) throw std::runtime_error("画像用のビットマップを作成できません。");

  const std::size_t stride = (static_cast<std::size_t>(image.width) * 3 + 3) & ~std::size_t{3};
  auto* out = static_cast<unsigned char*>(bits);
  const unsigned char* in = image.pixels.data();
  for (int y = 0; y < image.height; ++y) {
    unsigned char* row = out + stride * static_cast<std::size_t>(y);
    for (int x = 0; x < image.width; ++x, in += 3) {
      // A DIB keeps each pixel as blue, green, red.
      row[x * 3] = in[2];
      row[x * 3 + 1] = in[1];
      row[x * 3 + 2] = in[0];
    }
    std::memset(row + image.width * 3, 0, stride - static_cast<std::size_t>(image.width) * 3);
  }
  GdiFlush();
  return bitmap;
}

LoadedPicture PictureFromJpeg(std::string_view jpeg) {
  LoadedPicture result;
  try {
    const RgbImage image = DecodeJpeg(reinterpret_cast<const unsigned char*>(jpeg.data()), jpeg.size());
    result.bitmap = BitmapFromRgb(image);
  } catch (const JpegError& e) {
    result.error = std::string("配線凡例の画像が壊れています。(") + e.what() + ")";
  } catch (const std::exception& e) {
    result.error = std::string("配線凡例の画像を表示できません。(") + e.what() + ")";
  }
  return result;
}

std::string_view LegendJpeg() { return RawResource(GetModuleHandleW(nullptr), IDR_LEGEND_JPEG); }

}  // namespace qel

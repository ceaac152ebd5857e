#pragma once
// Decoding of JPEG pictures (the wiring legend) into plain RGB pixels. Kept
// free of windows.h so that the decoding, and its handling of damaged files,
// is tested natively; the window only copies the pixels into a bitmap.
#include <cstddef>
#include <stdexcept>
#include <vector>

namespace qel {

// Pixels row by row from the top, three bytes per pixel in the order R, G, B,
// with no padding between rows: pixels.size() == width * height * 3.
struct RgbImage {
  int width = 0;
  int height = 0;
  std::vector<unsigned char> pixels;
};

// A picture that cannot be decoded; what() is libjpeg's own explanation.
class JpegError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Decodes a whole JPEG file held in memory. Throws JpegError for empty,
// damaged or truncated input rather than returning a partly made-up picture.
RgbImage DecodeJpeg(const unsigned char* data, std::size_t size);

}  // namespace qel

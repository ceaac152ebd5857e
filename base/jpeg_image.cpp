#include "base/jpeg_image.h"

#include <csetjmp>
#include <cstdio>  // jpeglib.h uses FILE and size_t without including anything
#include <string>

#include <jpeglib.h>
// After jpeglib.h, which it depends on: the message codes of the warnings.
#include <jerror.h>

namespace qel {
namespace {

// libjpeg's own error handler prints and calls exit(). Ours leaves the library
// with longjmp back into the function that made the failing call. To keep that
// well-defined, the functions that call setjmp hold nothing but plain C data,
// and every C++ object (the pixel vector, the exception) lives in DecodeJpeg,
// whose frame a longjmp never crosses.
struct ErrorManager {
  jpeg_error_mgr pub;  // first, so that libjpeg's pointer to it is ours too
  std::jmp_buf resume;
  char message[JMSG_LENGTH_MAX];
};

void ErrorExit(j_common_ptr cinfo) {
  auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
  (*cinfo->err->format_message)(cinfo, err->message);
  std::longjmp(err->resume, 1);
}

// libjpeg decodes on after warnings, filling in grey where data is missing.
// A legend that is half grey would mislead, so warnings saying that the data
// ran out are failures; the harmless ones (stray bytes between markers, unknown
// JFIF versions and the like) are only counted. Nothing is ever printed.
void EmitMessage(j_common_ptr cinfo, int msg_level) {
  if (msg_level >= 0) return;  // trace output
  const int code = cinfo->err->msg_code;
  if (code == JWRN_JPEG_EOF || code == JWRN_HIT_MARKER) {
    (*cinfo->err->error_exit)(cinfo);
  }
  ++cinfo->err->num_warnings;
}

struct Decoder {
  jpeg_decompress_struct cinfo{};  // zeroed, so destroying it is safe even if creating failed
  ErrorManager err{};
  bool created = false;

  Decoder() = default;
  Decoder(const Decoder&) = delete;
  Decoder& operator=(const Decoder&) = delete;
  ~Decoder() {
    if (created) jpeg_destroy_decompress(&cinfo);
  }
};

// Both return false after a libjpeg error, with the message in dec->err.
bool StartDecoding(Decoder* dec, const unsigned char* data, std::size_t size) {
  dec->cinfo.err = jpeg_std_error(&dec->err.pub);
  dec->err.pub.error_exit = ErrorExit;
  dec->err.pub.emit_message = EmitMessage;
  if (setjmp(dec->err.resume)) return false;
  jpeg_create_decompress(&dec->cinfo);
  dec->created = true;
  // libjpeg reports empty input itself ("Empty input file").
  jpeg_mem_src(&dec->cinfo, data, static_cast<unsigned long>(size));
  jpeg_read_header(&dec->cinfo, TRUE);
  dec->cinfo.out_color_space = JCS_RGB;
  jpeg_calc_output_dimensions(&dec->cinfo);
  return true;
}

bool ReadPixels(Decoder* dec, unsigned char* pixels, std::size_t row_bytes) {
  if (setjmp(dec->err.resume)) return false;
  jpeg_start_decompress(&dec->cinfo);
  while (dec->cinfo.output_scanline < dec->cinfo.output_height) {
    JSAMPROW row = pixels + dec->cinfo.output_scanline * row_bytes;
    jpeg_read_scanlines(&dec->cinfo, &row, 1);
  }
  // Reads on to the end marker, so that a file cut short after its last
  // scanline is noticed too.
  jpeg_finish_decompress(&dec->cinfo);
  return true;
}

// A damaged header can claim up to 65500 x 65500 pixels (12 GB of RGB); refuse
// that before allocating rather than exhausting memory on a broken file.
constexpr std::size_t kMaxPixels = std::size_t{64} * 1024 * 1024;

}  // namespace

RgbImage DecodeJpeg(const unsigned char* data, std::size_t size) {
  Decoder dec;
  if (!StartDecoding(&dec, data, size)) throw JpegError(dec.err.message);

  const std::size_t width = dec.cinfo.output_width;
  const std::size_t height = dec.cinfo.output_height;
  if (dec.cinfo.output_components != 3) {
    throw JpegError("JPEG decoded to " + std::to_string(dec.cinfo.output_components) +
                    " components per pixel instead of RGB");
  }
  if (width == 0 || height == 0 || width > kMaxPixels / height) {
    throw JpegError("JPEG picture of " + std::to_string(width) + " x " + std::to_string(height) +
                    " pixels is too large to show");
  }

  RgbImage image;
  image.width = static_cast<int>(width);
  image.height = static_cast<int>(height);
  image.pixels.resize(width * height * 3);
  if (!ReadPixels(&dec, image.pixels.data(), width * 3)) throw JpegError(dec.err.message);
  return image;
}

}  // namespace qel

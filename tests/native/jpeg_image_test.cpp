#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <ostream>
#include <random>
#include <string>
#include <vector>

#include <jpeglib.h>

#include "base/jpeg_image.h"

namespace qel {
namespace {

using Bytes = std::vector<unsigned char>;
using ::testing::HasSubstr;

Bytes ReadLegend() {
  const std::string path = std::string(QEL_SOURCE_DIR) + "/data/legend.jpg";
  std::ifstream in(path, std::ios::binary);
  Bytes bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (bytes.empty()) ADD_FAILURE() << "cannot read " << path;
  return bytes;
}

RgbImage Decode(const Bytes& bytes) { return DecodeJpeg(bytes.data(), bytes.size()); }

struct Rgb {
  int r, g, b;
};

Rgb PixelAt(const RgbImage& image, int x, int y) {
  const std::size_t i = (static_cast<std::size_t>(y) * image.width + x) * 3;
  return {image.pixels[i], image.pixels[i + 1], image.pixels[i + 2]};
}

bool IsDark(Rgb p) { return p.r < 100 && p.g < 100 && p.b < 100; }
bool IsLight(Rgb p) { return p.r > 220 && p.g > 220 && p.b > 220; }

// Pictures with known content, encoded here with libjpeg's compressor, so that
// colours, channel order and row order can be checked exactly.
enum class Kind { kBaseline, kProgressive, kGrayscale };

Bytes Encode(int width, int height, const std::vector<Rgb>& rgb, Kind kind) {
  jpeg_compress_struct cinfo;
  jpeg_error_mgr jerr;
  cinfo.err = jpeg_std_error(&jerr);
  jpeg_create_compress(&cinfo);
  unsigned char* out = nullptr;
  unsigned long out_size = 0;
  jpeg_mem_dest(&cinfo, &out, &out_size);
  cinfo.image_width = static_cast<JDIMENSION>(width);
  cinfo.image_height = static_cast<JDIMENSION>(height);
  const bool gray = kind == Kind::kGrayscale;
  cinfo.input_components = gray ? 1 : 3;
  cinfo.in_color_space = gray ? JCS_GRAYSCALE : JCS_RGB;
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, 100, TRUE);
  for (int c = 0; c < cinfo.num_components; ++c) {
    cinfo.comp_info[c].h_samp_factor = 1;  // full colour resolution: sharp colour edges
    cinfo.comp_info[c].v_samp_factor = 1;
  }
  if (kind == Kind::kProgressive) jpeg_simple_progression(&cinfo);
  jpeg_start_compress(&cinfo, TRUE);
  std::vector<unsigned char> row(static_cast<std::size_t>(width) * 3);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const Rgb p = rgb[static_cast<std::size_t>(y) * width + x];
      if (gray) {
        row[x] = static_cast<unsigned char>(p.r);
      } else {
        row[x * 3] = static_cast<unsigned char>(p.r);
        row[x * 3 + 1] = static_cast<unsigned char>(p.g);
        row[x * 3 + 2] = static_cast<unsigned char>(p.b);
      }
    }
    JSAMPROW rows[1] = {row.data()};
    jpeg_write_scanlines(&cinfo, rows, 1);
  }
  jpeg_finish_compress(&cinfo);
  Bytes bytes(out, out + out_size);
  jpeg_destroy_compress(&cinfo);
  std::free(out);
  return bytes;
}

// 37 x 23 (odd sizes, so the last blocks are partial): red top left, green
// top right, blue bottom left, white bottom right.
constexpr int kW = 37;
constexpr int kH = 23;
std::vector<Rgb> Quadrants() {
  std::vector<Rgb> rgb;
  for (int y = 0; y < kH; ++y) {
    for (int x = 0; x < kW; ++x) {
      const bool left = x < 18;
      const bool top = y < 11;
      rgb.push_back(top ? (left ? Rgb{255, 0, 0} : Rgb{0, 255, 0})
                        : (left ? Rgb{0, 0, 255} : Rgb{255, 255, 255}));
    }
  }
  return rgb;
}

void ExpectNear(Rgb got, Rgb want, const char* where) {
  EXPECT_NEAR(got.r, want.r, 24) << where;
  EXPECT_NEAR(got.g, want.g, 24) << where;
  EXPECT_NEAR(got.b, want.b, 24) << where;
}

void ExpectQuadrants(const RgbImage& image) {
  ASSERT_EQ(image.width, kW);
  ASSERT_EQ(image.height, kH);
  ASSERT_EQ(image.pixels.size(), static_cast<std::size_t>(kW * kH * 3));
  ExpectNear(PixelAt(image, 4, 4), {255, 0, 0}, "top left");
  ExpectNear(PixelAt(image, 32, 4), {0, 255, 0}, "top right");
  ExpectNear(PixelAt(image, 4, 19), {0, 0, 255}, "bottom left");
  ExpectNear(PixelAt(image, 32, 19), {255, 255, 255}, "bottom right");
  ExpectNear(PixelAt(image, kW - 1, kH - 1), {255, 255, 255}, "last pixel");
}

// Offset of the first marker segment with the given code before the scan
// data, or npos.
std::size_t FindMarker(const Bytes& jpeg, unsigned char code) {
  std::size_t i = 2;
  while (i + 4 <= jpeg.size() && jpeg[i] == 0xFF) {
    if (jpeg[i + 1] == code) return i;
    if (jpeg[i + 1] == 0xDA) break;
    i += 2 + (static_cast<std::size_t>(jpeg[i + 2]) << 8 | jpeg[i + 3]);
  }
  return std::string::npos;
}

// ---- the delivered legend picture ----

TEST(JpegLegend, DecodesAtTheSizeOfItsWindowArea) {
  const RgbImage image = Decode(ReadLegend());
  EXPECT_EQ(image.width, 279);
  EXPECT_EQ(image.height, 379);
  EXPECT_EQ(image.pixels.size(), 279u * 379u * 3u);
}

TEST(JpegLegend, IsBlackLinesOnWhite) {
  const RgbImage image = Decode(ReadLegend());
  ASSERT_EQ(image.pixels.size(), 279u * 379u * 3u);
  // The corners are background.
  EXPECT_TRUE(IsLight(PixelAt(image, 3, 3)));
  EXPECT_TRUE(IsLight(PixelAt(image, 275, 3)));
  EXPECT_TRUE(IsLight(PixelAt(image, 3, 375)));
  EXPECT_TRUE(IsLight(PixelAt(image, 275, 375)));
  // Wires of the drawing: the main lead between MCCB and 88 (A) and down to
  // the motor (C), the tap after the thermal relay, the lead below 19, the
  // X.Y.Z lead, the bottom of the motor circle and the resistor SR.
  EXPECT_TRUE(IsDark(PixelAt(image, 57, 70)));
  EXPECT_TRUE(IsDark(PixelAt(image, 58, 220)));
  EXPECT_TRUE(IsDark(PixelAt(image, 180, 159)));
  EXPECT_TRUE(IsDark(PixelAt(image, 121, 265)));
  EXPECT_TRUE(IsDark(PixelAt(image, 150, 299)));
  EXPECT_TRUE(IsDark(PixelAt(image, 90, 363)));
  EXPECT_TRUE(IsDark(PixelAt(image, 230, 192)));
  // ... with background right beside them: inside SR, between the leads.
  EXPECT_TRUE(IsLight(PixelAt(image, 236, 192)));
  EXPECT_TRUE(IsLight(PixelAt(image, 90, 170)));

  std::size_t dark = 0;
  for (std::size_t i = 0; i < image.pixels.size(); i += 3) {
    if (image.pixels[i] + image.pixels[i + 1] + image.pixels[i + 2] < 3 * 128) ++dark;
  }
  const double fraction = static_cast<double>(dark) / (279.0 * 379.0);
  EXPECT_GT(fraction, 0.03) << "a drawing, not an empty page";
  EXPECT_LT(fraction, 0.25) << "lines on a light background, not the reverse";
}

// ---- pictures of known content ----

TEST(JpegDecode, KeepsChannelOrderAndRowsTopDown) {
  ExpectQuadrants(Decode(Encode(kW, kH, Quadrants(), Kind::kBaseline)));
}

TEST(JpegDecode, ReadsProgressivePictures) {
  ExpectQuadrants(Decode(Encode(kW, kH, Quadrants(), Kind::kProgressive)));
}

TEST(JpegDecode, GivesGrayPicturesAsRgb) {
  std::vector<Rgb> shades;
  for (int y = 0; y < kH; ++y) {
    for (int x = 0; x < kW; ++x) shades.push_back(y < 11 ? Rgb{40, 40, 40} : Rgb{200, 200, 200});
  }
  const RgbImage image = Decode(Encode(kW, kH, shades, Kind::kGrayscale));
  ASSERT_EQ(image.pixels.size(), static_cast<std::size_t>(kW * kH * 3));
  ExpectNear(PixelAt(image, 10, 3), {40, 40, 40}, "top");
  ExpectNear(PixelAt(image, 10, 20), {200, 200, 200}, "bottom");
}

TEST(JpegDecode, StrayBytesBetweenSegmentsAreOnlyAWarning) {
  const Bytes good = Encode(kW, kH, Quadrants(), Kind::kBaseline);
  Bytes stray = good;
  const std::size_t dqt = FindMarker(stray, 0xDB);
  ASSERT_NE(dqt, std::string::npos);
  stray.insert(stray.begin() + static_cast<std::ptrdiff_t>(dqt), {0x00, 0x00, 0x00});
  ::testing::internal::CaptureStderr();
  const RgbImage image = Decode(stray);
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "") << "warnings are never printed";
  EXPECT_EQ(image.pixels, Decode(good).pixels);
}

// ---- damaged input ----

TEST(JpegDecodeErrors, EmptyInput) {
  const unsigned char one = 0xFF;
  EXPECT_THROW(DecodeJpeg(nullptr, 0), JpegError);
  try {
    DecodeJpeg(&one, 0);
    FAIL() << "empty input decoded";
  } catch (const JpegError& e) {
    EXPECT_STREQ(e.what(), "Empty input file");
  }
}

TEST(JpegDecodeErrors, RandomBytes) {
  std::mt19937 rng(20240611);
  for (int n = 0; n < 300; ++n) {
    Bytes junk(1 + rng() % 3000);
    for (auto& b : junk) b = static_cast<unsigned char>(rng());
    // Every third one looks like a JPEG for its first bytes, to get past the
    // signature check into the marker parser.
    if (n % 3 == 0 && junk.size() >= 3) {
      junk[0] = 0xFF;
      junk[1] = 0xD8;
      junk[2] = 0xFF;
    }
    EXPECT_THROW(Decode(junk), JpegError) << "case " << n << ", " << junk.size() << " bytes";
  }
  try {
    Decode(Bytes{'G', 'I', 'F', '8', '9', 'a'});
    FAIL() << "not a JPEG, decoded";
  } catch (const JpegError& e) {
    EXPECT_THAT(e.what(), HasSubstr("Not a JPEG file"));
  }
}

TEST(JpegDecodeErrors, HalfOfThePictureIsReportedNotPaddedSilently) {
  Bytes legend = ReadLegend();
  ASSERT_GT(legend.size(), 1000u);
  legend.resize(legend.size() / 2);
  ::testing::internal::CaptureStderr();
  try {
    Decode(legend);
    ADD_FAILURE() << "half a picture decoded";
  } catch (const JpegError& e) {
    EXPECT_THAT(e.what(), HasSubstr("Premature end of JPEG file"));
  }
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
}

TEST(JpegDecodeErrors, EveryShorterCutIsReported) {
  const Bytes legend = ReadLegend();
  ASSERT_GT(legend.size(), 1000u);
  std::vector<std::size_t> cuts = {1, 2, 3, legend.size() - 2, legend.size() - 1};
  for (std::size_t cut = 5; cut < legend.size(); cut += 97) cuts.push_back(cut);
  for (std::size_t cut : cuts) {
    const Bytes part(legend.begin(), legend.begin() + static_cast<std::ptrdiff_t>(cut));
    EXPECT_THROW(Decode(part), JpegError) << "cut to " << cut << " of " << legend.size() << " bytes";
  }
}

TEST(JpegDecodeErrors, ScanCutShortBeforeAProperEndMarker) {
  Bytes legend = ReadLegend();
  legend.resize(legend.size() / 2);
  legend.push_back(0xFF);
  legend.push_back(0xD9);
  EXPECT_THROW(Decode(legend), JpegError);
}

struct HeaderDamage {
  const char* what;
  unsigned char marker;  // segment to damage; 0 for the file start
  std::size_t offset;    // from the segment's 0xFF
  std::vector<unsigned char> bytes;
};

void PrintTo(const HeaderDamage& damage, std::ostream* os) { *os << damage.what; }

class JpegDamagedHeader : public ::testing::TestWithParam<HeaderDamage> {};

TEST_P(JpegDamagedHeader, Throws) {
  const HeaderDamage& damage = GetParam();
  Bytes jpeg = ReadLegend();
  ASSERT_EQ(Decode(jpeg).width, 279) << "the undamaged picture decodes";
  const std::size_t at = damage.marker == 0 ? 0 : FindMarker(jpeg, damage.marker);
  ASSERT_NE(at, std::string::npos) << damage.what;
  for (std::size_t i = 0; i < damage.bytes.size(); ++i) jpeg.at(at + damage.offset + i) = damage.bytes[i];
  EXPECT_THROW(Decode(jpeg), JpegError) << damage.what;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, JpegDamagedHeader,
    ::testing::Values(
        HeaderDamage{"start of image zeroed", 0, 0, {0x00, 0x00}},
        HeaderDamage{"frame of 0 x 0 pixels", 0xC0, 5, {0x00, 0x00, 0x00, 0x00}},
        HeaderDamage{"frame claiming 65000 x 65000 pixels", 0xC0, 5, {0xFD, 0xE8, 0xFD, 0xE8}},
        HeaderDamage{"sample precision 3", 0xC0, 4, {0x03}},
        HeaderDamage{"frame without components", 0xC0, 9, {0x00}},
        HeaderDamage{"Huffman table counting more codes than it has", 0xC4, 5,
                     {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}},
        HeaderDamage{"quantisation table hidden as an application segment", 0xDB, 1, {0xEF}},
        HeaderDamage{"scan naming a component the frame lacks", 0xDA, 5, {0x09}}));

TEST(JpegDecodeErrors, RandomDamageNeverCrashes) {
  const Bytes legend = ReadLegend();
  ASSERT_GT(legend.size(), 1000u);
  std::mt19937 rng(7);
  int thrown = 0;
  for (int n = 0; n < 300; ++n) {
    Bytes damaged = legend;
    const int flips = 1 + static_cast<int>(rng() % 4);
    for (int f = 0; f < flips; ++f) {
      // Mostly the first kilobyte, where the tables live.
      const std::size_t at = (n % 2 == 0 ? rng() % 1024 : rng() % damaged.size());
      damaged[at] = static_cast<unsigned char>(rng());
    }
    try {
      const RgbImage image = Decode(damaged);
      ASSERT_GT(image.width, 0);
      ASSERT_GT(image.height, 0);
      ASSERT_EQ(image.pixels.size(), static_cast<std::size_t>(image.width) * image.height * 3);
    } catch (const JpegError& e) {
      EXPECT_STRNE(e.what(), "");
      ++thrown;
    }
  }
  EXPECT_GT(thrown, 0) << "some of this damage must be noticed";
}

}  // namespace
}  // namespace qel

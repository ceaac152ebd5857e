#pragma once
// The drawing pages as one PDF file: every page of the preview geometry on
// an A3 landscape sheet, one drawing unit to the millimetre, the strokes as
// vector paths and the texts as real text in an embedded Japanese TrueType
// font (only the glyphs used go in), so that a reader without Japanese
// fonts shows the page the same and can search and copy the names.
// Written with libharu.
#include <stdexcept>
#include <string>
#include <vector>

#include "dxf/preview_geometry.h"

namespace qel::pdf {

// The sheet: A3 landscape in millimetres (drawing units).
inline constexpr double kSheetWidthMm = 420;
inline constexpr double kSheetHeightMm = 297;
// A stroke of width 0 (the thinnest line on screen) is printed this wide.
inline constexpr double kThinLineMm = 0.25;

// The PDF could not be made; the text (CP932) says why for the user.
class PdfError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct FontFile {
  std::string path;  // a .ttf, or a .ttc with the font's index in it
  int index = 0;     // for a .ttc
};

// The whole PDF file. `title` (CP932) becomes the document title; the pages
// are labelled 1, 2, ... Throws PdfError when the font cannot be read or
// embedded or libharu fails.
std::string PdfDocument(const std::vector<dxf::PreviewPage>& pages, const FontFile& font, const std::string& title);

// Code page 932 text as UTF-8 (what libharu's Unicode font encoding
// takes); bytes that are no character become "?".
std::string Utf8FromCp932(const std::string& text);

}  // namespace qel::pdf

#include "pdf/pdf_pages.h"

#include <hpdf.h>
#include <hpdf_font.h>
#include <hpdf_streams.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <memory>
#include <numbers>
#include <vector>

#include "base/cp932.h"

namespace qel::pdf {

namespace {

constexpr double kPointsPerMm = 72 / 25.4;

// libharu reports errors through a callback and carries on; the first one
// is kept and turned into an exception by our code, never thrown through
// libharu's C frames.
struct ErrorSlot {
  HPDF_STATUS code = HPDF_OK;
  HPDF_STATUS detail = 0;
};

void OnHaruError(HPDF_STATUS code, HPDF_STATUS detail, void* user) {
  auto* slot = static_cast<ErrorSlot*>(user);
  if (slot->code == HPDF_OK) {
    slot->code = code;
    slot->detail = detail;
  }
}

std::string Hex(HPDF_STATUS code) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "0x%04X", static_cast<unsigned>(code));
  return buf;
}

std::uint32_t Big32(const std::string& b, size_t at) {
  return at + 4 > b.size() ? 0
                           : (std::uint32_t{static_cast<unsigned char>(b[at])} << 24) |
                                 (std::uint32_t{static_cast<unsigned char>(b[at + 1])} << 16) |
                                 (std::uint32_t{static_cast<unsigned char>(b[at + 2])} << 8) |
                                 std::uint32_t{static_cast<unsigned char>(b[at + 3])};
}

// libharu believes a font file's table directory and reads wherever it
// points (a damaged or foreign file ends the program inside it), so the
// directory is checked first: a TrueType signature, and every table inside
// the file.
bool LooksLikeTrueType(const FontFile& font) {
  std::ifstream in(font.path, std::ios::binary | std::ios::ate);
  if (!in) return false;
  const std::uint64_t size = static_cast<std::uint64_t>(in.tellg());
  in.seekg(0);
  std::string head(static_cast<size_t>(std::min<std::uint64_t>(size, 64 * 1024)), '\0');
  in.read(head.data(), static_cast<std::streamsize>(head.size()));
  size_t directory = 0;
  if (head.compare(0, 4, "ttcf") == 0) {
    if (font.index < 0 || static_cast<std::uint32_t>(font.index) >= Big32(head, 8)) return false;
    directory = Big32(head, 12 + 4 * static_cast<size_t>(font.index));
  }
  const std::uint32_t version = Big32(head, directory);
  if (version != 0x00010000 && version != 0x74727565 /* "true" */) return false;
  if (directory + 6 > head.size()) return false;
  const size_t tables = (static_cast<unsigned char>(head[directory + 4]) << 8) | static_cast<unsigned char>(head[directory + 5]);
  if (tables == 0 || directory + 12 + 16 * tables > head.size()) return false;
  for (size_t t = 0; t < tables; ++t) {
    const size_t record = directory + 12 + 16 * t;
    if (std::uint64_t{Big32(head, record + 8)} + Big32(head, record + 12) > size) return false;
  }
  return true;
}

struct DocDeleter {
  void operator()(HPDF_Doc doc) const { HPDF_Free(doc); }
};

class Writer {
 public:
  Writer() : doc_(HPDF_New(OnHaruError, &error_)) {
    if (!doc_) throw PdfError("PDFを作れません (libharu)");
  }

  void Check(const char* what) const {
    if (error_.code != HPDF_OK)
      throw PdfError(std::string("PDFを作れません: ") + what + " (libharu " + Hex(error_.code) + ")");
  }

  void LoadFont(const FontFile& file) {
    if (!LooksLikeTrueType(file)) throw PdfError("フォントを読めません = " + file.path + " (TrueType ではありません)");
    HPDF_UseUTFEncodings(doc_.get());
    const bool collection = file.path.size() > 4 && (file.path.ends_with(".ttc") || file.path.ends_with(".TTC"));
    const char* name = collection
                           ? HPDF_LoadTTFontFromFile2(doc_.get(), file.path.c_str(), static_cast<HPDF_UINT>(file.index), HPDF_TRUE)
                           : HPDF_LoadTTFontFromFile(doc_.get(), file.path.c_str(), HPDF_TRUE);
    if (error_.code == HPDF_TTF_CANNOT_EMBEDDING_FONT)
      throw PdfError("このフォントは埋め込みが許されていません = " + file.path);
    if (!name || error_.code != HPDF_OK)
      throw PdfError("フォントを読めません = " + file.path + " (libharu " + Hex(error_.code) + ")");
    font_ = HPDF_GetFont(doc_.get(), name, "UTF-8");
    Check("font");
    RewriteToUnicode();
  }

  void Info(const std::string& title) {
    HPDF_SetCompressionMode(doc_.get(), HPDF_COMP_ALL);
    // Info strings go through the current encoder, which turns UTF-8 into
    // the UTF-16 that PDF's text strings take.
    HPDF_SetCurrentEncoder(doc_.get(), "UTF-8");
    HPDF_SetInfoAttr(doc_.get(), HPDF_INFO_TITLE, Utf8FromCp932(title).c_str());
    HPDF_SetInfoAttr(doc_.get(), HPDF_INFO_CREATOR, "Qel-Wirmap");
    HPDF_AddPageLabel(doc_.get(), 0, HPDF_PAGE_NUM_STYLE_DECIMAL, 1, nullptr);
    Check("document information");
  }

  void Page(const dxf::PreviewPage& content) {
    HPDF_Page page = HPDF_AddPage(doc_.get());
    HPDF_Page_SetWidth(page, static_cast<HPDF_REAL>(kSheetWidthMm * kPointsPerMm));
    HPDF_Page_SetHeight(page, static_cast<HPDF_REAL>(kSheetHeightMm * kPointsPerMm));
    // From here on one unit is one millimetre, the origin the sheet's lower
    // left corner, as in the drawing.
    HPDF_Page_Concat(page, static_cast<HPDF_REAL>(kPointsPerMm), 0, 0, static_cast<HPDF_REAL>(kPointsPerMm), 0, 0);
    Strokes(page, content);
    Texts(page, content);
    Check("page");
  }

  std::string Bytes() {
    HPDF_SaveToStream(doc_.get());
    Check("save");
    std::string out(HPDF_GetStreamSize(doc_.get()), '\0');
    HPDF_UINT32 size = static_cast<HPDF_UINT32>(out.size());
    HPDF_ReadFromStream(doc_.get(), reinterpret_cast<HPDF_BYTE*>(out.data()), &size);
    out.resize(size);
    Check("save");
    return out;
  }

 private:
  static HPDF_REAL R(double v) { return static_cast<HPDF_REAL>(v); }
  static void Rgb(unsigned rgb, double& r, double& g, double& b) {
    r = ((rgb >> 16) & 0xFF) / 255.0;
    g = ((rgb >> 8) & 0xFF) / 255.0;
    b = (rgb & 0xFF) / 255.0;
  }

  void Strokes(HPDF_Page page, const dxf::PreviewPage& content) {
    double width = -1;
    int color = -1;
    for (const dxf::Stroke& stroke : content.strokes) {
      if (stroke.points.empty()) continue;
      double r, g, b;
      Rgb(dxf::PaperColor(stroke.color), r, g, b);
      const double w = stroke.width > 0 ? stroke.width : kThinLineMm;
      const dxf::Point first = stroke.points.front();
      bool dot = true;
      for (const dxf::Point& p : stroke.points) dot = dot && p.x == first.x && p.y == first.y;
      if (dot) {  // a dot of a dashed line: a filled disc as wide as the line
        HPDF_Page_SetRGBFill(page, R(r), R(g), R(b));
        HPDF_Page_Circle(page, R(first.x), R(first.y), R(w / 2));
        HPDF_Page_Fill(page);
        continue;
      }
      if (w != width) {
        HPDF_Page_SetLineWidth(page, R(w));
        // A wide polyline (the junction dot is one) ends and turns round,
        // as a pen of that width does; thin lines end square at their ends.
        HPDF_Page_SetLineCap(page, stroke.width > 0 ? HPDF_ROUND_END : HPDF_BUTT_END);
        HPDF_Page_SetLineJoin(page, stroke.width > 0 ? HPDF_ROUND_JOIN : HPDF_MITER_JOIN);
        width = w;
      }
      if (stroke.color != color) {
        HPDF_Page_SetRGBStroke(page, R(r), R(g), R(b));
        color = stroke.color;
      }
      HPDF_Page_MoveTo(page, R(first.x), R(first.y));
      for (size_t i = 1; i < stroke.points.size(); ++i)
        HPDF_Page_LineTo(page, R(stroke.points[i].x), R(stroke.points[i].y));
      HPDF_Page_Stroke(page);
    }
  }

  void Texts(HPDF_Page page, const dxf::PreviewPage& content) {
    bool open = false;
    double size = -1;
    for (const dxf::PlacedText& text : content.texts) {
      const std::string utf8 = Utf8FromCp932(cp932::DrawableText(text.text));
      if (utf8.empty() || text.height <= 0) continue;
      if (!open) {
        HPDF_Page_BeginText(page);
        open = true;
      }
      if (text.height != size) {
        HPDF_Page_SetFontAndSize(page, font_, R(text.height));
        size = text.height;
      }
      double r, g, b;
      Rgb(dxf::PaperColor(text.color), r, g, b);
      HPDF_Page_SetRGBFill(page, R(r), R(g), R(b));
      // The text's own width along its baseline, narrowed by the width factor.
      const HPDF_TextWidth measured =
          HPDF_Font_TextWidth(font_, reinterpret_cast<const HPDF_BYTE*>(utf8.data()), static_cast<HPDF_UINT>(utf8.size()));
      const double span = measured.width / 1000.0 * text.height * text.widthFactor;
      const double back = text.anchor == dxf::TextAnchor::Left ? 0 : text.anchor == dxf::TextAnchor::Centre ? span / 2 : span;
      const double turn = text.rotation * std::numbers::pi / 180;
      const double c = std::cos(turn), s = std::sin(turn);
      // The matrix scales x by the width factor and turns the baseline;
      // the font size gives the height.
      HPDF_Page_SetTextMatrix(page, R(c * text.widthFactor), R(s * text.widthFactor), R(-s), R(c),
                              R(text.at.x - back * c), R(text.at.y - back * s));
      HPDF_Page_ShowText(page, utf8.c_str());
    }
    if (open) HPDF_Page_EndText(page);
  }

  // With the UTF-8 encoding each character's code is its Unicode value, so
  // the map from codes back to text is the identity. libharu 2.3.0 writes
  // that map with the operators of an encoding CMap (begincidrange), which
  // a ToUnicode map may not use: readers then guess or give up. It is
  // written again here as plain ranges, one per high byte, leaving out the
  // surrogates.
  void RewriteToUnicode() {
    const HPDF_Dict map = static_cast<HPDF_FontAttr>(font_->attr)->cmap_stream;
    if (!map || !map->stream) throw PdfError("PDFを作れません: no ToUnicode map (libharu)");
    std::string text =
        "/CIDInit /ProcSet findresource begin\n12 dict begin\nbegincmap\n"
        "/CIDSystemInfo << /Registry (Adobe) /Ordering (UCS) /Supplement 0 >> def\n"
        "/CMapName /Adobe-Identity-UCS def\n/CMapType 2 def\n"
        "1 begincodespacerange\n<0000> <FFFF>\nendcodespacerange\n";
    std::vector<int> highs;
    for (int high = 0; high < 256; ++high)
      if (high < 0xD8 || high > 0xDF) highs.push_back(high);
    char line[40];
    for (size_t i = 0; i < highs.size(); i += 100) {
      const size_t n = std::min<size_t>(100, highs.size() - i);
      text += std::to_string(n) + " beginbfrange\n";
      for (size_t k = i; k < i + n; ++k) {
        std::snprintf(line, sizeof line, "<%02X00> <%02XFF> <%02X00>\n", highs[k], highs[k], highs[k]);
        text += line;
      }
      text += "endbfrange\n";
    }
    text += "endcmap\nCMapName currentdict /CMap defineresource pop\nend\nend\n";
    HPDF_MemStream_FreeData(map->stream);
    if (HPDF_Stream_Write(map->stream, reinterpret_cast<const HPDF_BYTE*>(text.data()),
                          static_cast<HPDF_UINT>(text.size())) != HPDF_OK)
      Check("ToUnicode map");
  }

  ErrorSlot error_;
  std::unique_ptr<std::remove_pointer_t<HPDF_Doc>, DocDeleter> doc_;
  HPDF_Font font_ = nullptr;
};

}  // namespace

std::string PdfDocument(const std::vector<dxf::PreviewPage>& pages, const FontFile& font, const std::string& title) {
  Writer writer;
  writer.LoadFont(font);
  writer.Info(title);
  for (const dxf::PreviewPage& page : pages) writer.Page(page);
  return writer.Bytes();
}

}  // namespace qel::pdf

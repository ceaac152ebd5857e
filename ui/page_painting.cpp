#include "ui/page_painting.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <tuple>

#include "base/cp932.h"
#include "win32/text.h"

namespace qel {

namespace {

// Far-off points are pulled in to keep GDI's arithmetic well inside int.
constexpr double kFarthestPixel = 1e7;
// Texts smaller than this cannot be read; they are not drawn.
constexpr double kSmallestTextPixels = 3;
constexpr int kCrispTextPixels = 12;

COLORREF PenColor(int aci) {
  const unsigned rgb = dxf::PaperColor(aci);
  return RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

POINT Pixel(const dxf::View& view, dxf::Point world) {
  const dxf::Point s = view.ToScreen(world);
  return {static_cast<LONG>(std::lround(std::clamp(s.x, -kFarthestPixel, kFarthestPixel))),
          static_cast<LONG>(std::lround(std::clamp(s.y, -kFarthestPixel, kFarthestPixel)))};
}

// GDI objects made for one painting and deleted with it.
class PaintObjects {
 public:
  ~PaintObjects() {
    for (auto& [key, pen] : pens_) DeleteObject(pen);
    for (auto& [key, font] : fonts_) DeleteObject(font);
    for (auto& [key, brush] : brushes_) DeleteObject(brush);
  }
  HBRUSH Brush(COLORREF color) {
    HBRUSH& brush = brushes_[color];
    if (!brush) brush = CreateSolidBrush(color);
    return brush;
  }
  HPEN Pen(int width, COLORREF color) {
    HPEN& pen = pens_[{width, color}];
    if (!pen) pen = CreatePen(PS_SOLID, width, color);
    return pen;
  }
  // A Japanese font `height` pixels high (character height, as a drawing
  // text's height is) and `width` pixels its average character width, its
  // baseline turned by `rotation` degrees.
  HFONT Font(int height, int width, double rotation) {
    const int escapement = static_cast<int>(std::lround(rotation * 10)) % 3600;
    HFONT& font = fonts_[{height, width, escapement}];
    if (!font)
      font = CreateFontW(-height, width, escapement, escapement, FW_NORMAL, FALSE, FALSE, FALSE, SHIFTJIS_CHARSET,
                         OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                         // Small texts blur when smoothed ("MCCB" read as "UCCB"): below a
                         // dozen pixels the glyphs are drawn hinted to whole pixels.
                         height < kCrispTextPixels ? NONANTIALIASED_QUALITY : ANTIALIASED_QUALITY,
                         FIXED_PITCH | FF_MODERN,
                         win::Wide("ＭＳ ゴシック").c_str());
    return font;
  }

 private:
  std::map<std::pair<int, COLORREF>, HPEN> pens_;
  std::map<COLORREF, HBRUSH> brushes_;
  std::map<std::tuple<int, int, int>, HFONT> fonts_;
};

}  // namespace

void PaintPreviewPage(HDC dc, const dxf::PreviewPage& page, const dxf::View& view, int thinnestPixels) {
  PaintObjects objects;
  std::vector<POINT> points;
  for (const dxf::Stroke& stroke : page.strokes) {
    if (stroke.points.empty()) continue;
    const int width = std::max(std::max(1, thinnestPixels), static_cast<int>(std::lround(stroke.width * view.scale)));
    SelectObject(dc, objects.Pen(width, PenColor(stroke.color)));
    points.clear();
    for (const dxf::Point& p : stroke.points) points.push_back(Pixel(view, p));
    if (stroke.filled) {
      SelectObject(dc, objects.Brush(PenColor(stroke.color)));
      Polygon(dc, points.data(), static_cast<int>(points.size()));
      continue;
    }
    if (points.size() == 2 && points[0].x == points[1].x && points[0].y == points[1].y) ++points[1].x;  // a dot
    Polyline(dc, points.data(), static_cast<int>(points.size()));
  }
  SetBkMode(dc, TRANSPARENT);
  for (const dxf::PlacedText& text : page.texts) {
    // On a device whose dots are not square, a text along the page takes
    // its height from the dots down and its width from the dots across; a
    // text turned upright the other way round.
    const bool upright = std::fmod(std::abs(text.rotation) + 45, 180) >= 90;
    const double alongScale = upright ? view.stretchY : 1, acrossScale = upright ? 1 : view.stretchY;
    const double pixels = text.height * view.scale * acrossScale;
    if (pixels < kSmallestTextPixels || text.text.empty()) continue;
    const int height = static_cast<int>(std::lround(pixels));
    const int width = std::max(1, static_cast<int>(std::lround(height * text.widthFactor / 2 * alongScale / acrossScale)));
    SelectObject(dc, objects.Font(height, width, text.rotation));
    const UINT across = text.anchor == dxf::TextAnchor::Left     ? TA_LEFT
                        : text.anchor == dxf::TextAnchor::Centre ? TA_CENTER
                                                                 : TA_RIGHT;
    SetTextAlign(dc, across | TA_BASELINE | TA_NOUPDATECP);
    SetTextColor(dc, PenColor(text.color));
    const POINT at = Pixel(view, text.at);
    const std::wstring wide = win::Wide(cp932::DrawableText(text.text));
    TextOutW(dc, at.x, at.y, wide.c_str(), static_cast<int>(wide.size()));
  }
  // The pens, brushes and fonts are deleted with `objects`: none may stay selected.
  SelectObject(dc, GetStockObject(BLACK_PEN));
  SelectObject(dc, GetStockObject(WHITE_BRUSH));
  SelectObject(dc, GetStockObject(SYSTEM_FONT));
}

}  // namespace qel

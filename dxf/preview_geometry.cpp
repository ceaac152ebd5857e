#include "dxf/preview_geometry.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace qel::dxf {

namespace {

constexpr double kEpsilon = 1e-9;
// A pattern this much finer than the line would only fill the screen with
// pieces no one can tell apart from a solid line.
constexpr double kMostRepeats = 10000;
// Inserts nested deeper than this are taken for a block that inserts itself.
constexpr int kDeepestInsert = 16;

double Radians(double degrees) { return degrees * std::numbers::pi / 180; }
double Distance(Point a, Point b) { return std::hypot(b.x - a.x, b.y - a.y); }
Point Between(Point a, Point b, double t) { return {a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t}; }

double PathLength(const std::vector<Point>& points) {
  double length = 0;
  for (size_t i = 1; i < points.size(); ++i) length += Distance(points[i - 1], points[i]);
  return length;
}

// The pattern walked along a run of points; the pattern carries on over
// the corners, as a dashed polyline does.
std::vector<std::vector<Point>> DashRun(const std::vector<Point>& points, const std::vector<double>& pattern) {
  double period = 0;
  for (double element : pattern) period += std::abs(element);
  const double length = PathLength(points);
  if (points.size() < 2 || period <= kEpsilon || length / period > kMostRepeats) return {points};

  std::vector<std::vector<Point>> runs;
  std::vector<Point> run;
  size_t element = 0;
  double left = std::abs(pattern[0]);  // of the current element
  auto next = [&] {
    element = (element + 1) % pattern.size();
    left = std::abs(pattern[element]);
  };
  for (size_t i = 1; i < points.size(); ++i) {
    const Point from = points[i - 1], to = points[i];
    const double segment = Distance(from, to);
    double done = 0;
    while (true) {
      if (pattern[element] == 0) {  // a dot uses no length
        const Point at = segment > 0 ? Between(from, to, done / segment) : from;
        runs.push_back({at, at});
        next();
        continue;
      }
      const bool drawn = pattern[element] > 0;
      const double step = std::min(left, segment - done);
      if (drawn && run.empty()) run.push_back(segment > 0 ? Between(from, to, done / segment) : from);
      done += step;
      left -= step;
      if (drawn) run.push_back(segment > 0 ? Between(from, to, done / segment) : to);
      if (left <= kEpsilon) {
        if (drawn) runs.push_back(std::move(run));
        run.clear();
        next();
      }
      if (done >= segment - kEpsilon) break;
    }
  }
  if (run.size() >= 2) runs.push_back(std::move(run));
  return runs;
}

// At least as many pieces and points as DashRun makes of the run, counted
// without making them.
size_t DashRunSize(const std::vector<Point>& points, const std::vector<double>& pattern) {
  double period = 0;
  for (double element : pattern) period += std::abs(element);
  const double length = PathLength(points);
  if (points.size() < 2 || period <= kEpsilon || length / period > kMostRepeats) return 1 + points.size();
  const double periods = std::ceil(length / period) + 1;
  return static_cast<size_t>(periods) * pattern.size() + points.size();
}

// The points of an arc about `centre`, from `start` turning `sweep` degrees
// (anticlockwise when positive), in chords of at most kChordDegrees.
std::vector<Point> ArcPoints(Point centre, double radius, double start, double sweep) {
  const int chords = std::max(1, static_cast<int>(std::ceil(std::abs(sweep) / kChordDegrees)));
  std::vector<Point> points;
  points.reserve(static_cast<size_t>(chords) + 1);
  for (int k = 0; k <= chords; ++k) {
    const double angle = Radians(start + sweep * k / chords);
    points.push_back({centre.x + radius * std::cos(angle), centre.y + radius * std::sin(angle)});
  }
  return points;
}

// A polyline's vertices with its bulged segments turned into chords.
std::vector<Point> PolylinePoints(const Entity& e) {
  std::vector<Point> out;
  const size_t n = e.points.size();
  if (n == 0) return out;
  out.push_back(e.points[0]);
  const size_t segments = e.closed ? n : n - 1;
  for (size_t i = 0; i < segments; ++i) {
    const Point from = e.points[i], to = e.points[(i + 1) % n];
    const double bulge = i < e.bulges.size() ? e.bulges[i] : 0;
    if (std::abs(bulge) < kEpsilon || Distance(from, to) < kEpsilon) {
      out.push_back(to);
      continue;
    }
    // The centre lies off the chord's midpoint, along its normal, by
    // (1 - bulge^2) / (4 bulge) chord lengths; the included angle is
    // 4 atan(bulge).
    const double offset = (1 - bulge * bulge) / (4 * bulge);
    const Point centre{(from.x + to.x) / 2 - offset * (to.y - from.y), (from.y + to.y) / 2 + offset * (to.x - from.x)};
    const double start = std::atan2(from.y - centre.y, from.x - centre.x) * 180 / std::numbers::pi;
    const double sweep = 4 * std::atan(bulge) * 180 / std::numbers::pi;
    std::vector<Point> arc = ArcPoints(centre, Distance(centre, from), start, sweep);
    arc.back() = to;  // exactly the next vertex, whatever the rounding
    out.insert(out.end(), arc.begin() + 1, arc.end());
  }
  return out;
}

// What an entity inside an insert takes from it.
struct Context {
  Affine transform;
  std::string layer;     // the insert's layer, for entities on layer 0; empty at the top
  std::string linetype;  // the insert's resolved linetype, for BYBLOCK
  int color = 7;         // the insert's resolved colour, for BYBLOCK
  int depth = 0;
};

// Every entity visited, through inserts too, and every piece and point of
// the runs counts against the budget; once it is spent nothing more is
// visited, so that a block inserting itself four times over, or a pattern
// of a thousand dots in a hundredth of a unit, costs no more than a page
// may. Counting only, it makes nothing.
class Flattener {
 public:
  Flattener(const Drawing& drawing, size_t budget, bool countOnly)
      : drawing_(drawing), budget_(budget), countOnly_(countOnly) {}

  void Entities(const std::vector<Entity>& entities, const Context& context) {
    for (const Entity& e : entities) {
      if (!Spend(1)) return;
      Add(e, context);
    }
  }

  PreviewPage page;
  size_t used = 0;

 private:
  const Layer* FindLayer(const std::string& name) const {
    for (const Layer& l : drawing_.layers)
      if (SameName(l.name, name)) return &l;
    return nullptr;
  }

  std::string LayerOf(const Entity& e, const Context& c) const {
    return !c.layer.empty() && e.layer == "0" ? c.layer : e.layer;
  }

  std::string LinetypeOf(const Entity& e, const Context& c) const {
    if (SameName(e.linetype, "BYBLOCK")) return c.linetype;
    if (SameName(e.linetype, "BYLAYER") || e.linetype.empty()) {
      const Layer* layer = FindLayer(LayerOf(e, c));
      return layer ? layer->linetype : "CONTINUOUS";
    }
    return e.linetype;
  }

  int ColorOf(const Entity& e, const Context& c) const {
    if (e.color == 0) return c.color;
    if (e.color == 256) {
      const Layer* layer = FindLayer(LayerOf(e, c));
      return layer ? std::abs(layer->color) : 7;  // a negative colour is a layer switched off
    }
    return e.color;
  }

  bool Spend(size_t amount) {
    if (used > budget_) return false;
    used = amount > budget_ - used ? budget_ + 1 : used + amount;
    return used <= budget_;
  }

  void AddRun(const std::vector<Point>& local, const Entity& e, const Context& c) {
    const Linetype* linetype = drawing_.FindLinetype(LinetypeOf(e, c));
    static const std::vector<double> kSolid;
    const std::vector<double>& pattern = linetype ? linetype->dashes : kSolid;
    if (!Spend(DashRunSize(local, pattern)) || countOnly_) return;
    const int color = ColorOf(e, c);
    const double width = e.width * c.transform.LengthScale();
    for (const std::vector<Point>& run : DashRun(local, pattern)) {
      Stroke stroke{{}, width, color};
      stroke.points.reserve(run.size());
      for (const Point& p : run) stroke.points.push_back(c.transform.Apply(p));
      page.strokes.push_back(std::move(stroke));
    }
  }

  void Add(const Entity& e, const Context& c) {
    switch (e.kind) {
      case EntityKind::Line:
        if (e.points.size() >= 2) AddRun({e.points[0], e.points[1]}, e, c);
        break;
      case EntityKind::Polyline:
        if (!e.points.empty()) AddRun(PolylinePoints(e), e, c);
        break;
      case EntityKind::Circle:
        if (!e.points.empty()) AddRun(ArcPoints(e.points[0], e.radius, 0, 360), e, c);
        break;
      case EntityKind::Arc:
        if (!e.points.empty()) {
          double sweep = std::fmod(e.endAngle - e.startAngle, 360.0);
          if (sweep <= kEpsilon) sweep += 360;
          AddRun(ArcPoints(e.points[0], e.radius, e.startAngle, sweep), e, c);
        }
        break;
      case EntityKind::Solid:
        if (e.points.size() >= 3) {
          std::vector<Point> outline = e.points;
          outline.push_back(e.points[0]);
          const size_t first = page.strokes.size();
          AddRun(outline, e, c);
          for (size_t i = first; i < page.strokes.size(); ++i) page.strokes[i].filled = true;
        }
        break;
      case EntityKind::AttDef:
        break;  // a definition shows only through an insert's values
      case EntityKind::Text: {
        if (e.points.empty() || countOnly_) break;
        PlacedText placed = PlaceText(e);
        const Affine& t = c.transform;
        const double xScale = std::hypot(t.a, t.b), yScale = std::hypot(t.c, t.d);
        placed.at = t.Apply(placed.at);
        placed.height *= yScale;
        if (yScale > kEpsilon) placed.widthFactor *= xScale / yScale;
        placed.rotation += t.AngleDegrees();
        placed.color = ColorOf(e, c);
        page.texts.push_back(std::move(placed));
        break;
      }
      case EntityKind::Insert: {
        const Block* block = drawing_.FindBlock(e.text);
        if (!block || e.points.empty() || c.depth >= kDeepestInsert) break;
        Context inner;
        inner.transform = c.transform.After(InsertTransform(e, *block));
        inner.layer = LayerOf(e, c);
        inner.linetype = LinetypeOf(e, c);
        inner.color = ColorOf(e, c);
        inner.depth = c.depth + 1;
        Entities(block->entities, inner);
        // Attribute values stand where they are, not in the block's frame.
        Entities(e.attributes, c);
        break;
      }
    }
  }

  const Drawing& drawing_;
  const size_t budget_;
  const bool countOnly_;
};

}  // namespace

Affine Affine::After(const Affine& in) const {
  return {a * in.a + c * in.b, b * in.a + d * in.b, a * in.c + c * in.d,
          b * in.c + d * in.d, a * in.e + c * in.f + e, b * in.e + d * in.f + f};
}

double Affine::LengthScale() const { return std::sqrt(std::abs(a * d - b * c)); }

double Affine::AngleDegrees() const { return std::atan2(b, a) * 180 / std::numbers::pi; }

Affine InsertTransform(const Entity& insert, const Block& block) {
  const double turn = Radians(insert.rotation);
  const double cosT = std::cos(turn), sinT = std::sin(turn);
  Affine t{cosT * insert.scaleX, sinT * insert.scaleX, -sinT * insert.scaleY, cosT * insert.scaleY, 0, 0};
  const Point at = insert.points.empty() ? Point{} : insert.points[0];
  const Point base = t.Apply(block.base);
  t.e = at.x - base.x;
  t.f = at.y - base.y;
  return t;
}

std::vector<std::pair<Point, Point>> DashPieces(Point a, Point b, const std::vector<double>& pattern) {
  std::vector<std::pair<Point, Point>> pieces;
  for (const std::vector<Point>& run : DashRun({a, b}, pattern)) pieces.emplace_back(run.front(), run.back());
  return pieces;
}

PlacedText PlaceText(const Entity& e) {
  PlacedText t;
  t.text = e.text;
  t.height = e.height;
  t.widthFactor = e.widthFactor > 0 ? e.widthFactor : 1;
  t.rotation = e.rotation;
  const Point insertion = e.points.empty() ? Point{} : e.points[0];
  if (e.hAlign == 0 && e.vAlign == 0) {
    t.at = insertion;
    return t;
  }
  t.at = e.alignment;
  switch (e.hAlign) {
    case 0: t.anchor = TextAnchor::Left; break;
    case 2: t.anchor = TextAnchor::Right; break;
    case 3: case 5:  // aligned and fit span the two points: centred between them
      t.anchor = TextAnchor::Centre;
      t.at = Between(insertion, e.alignment, 0.5);
      break;
    default: t.anchor = TextAnchor::Centre; break;
  }
  double drop = 0;  // from the alignment point down to the baseline
  if (e.vAlign == 3) drop = e.height;
  else if (e.vAlign == 2 || e.hAlign == 4) drop = e.height / 2;
  const double turn = Radians(e.rotation);
  t.at.x += drop * std::sin(turn);
  t.at.y -= drop * std::cos(turn);
  return t;
}

PreviewPage FlattenPage(const Drawing& page) {
  Flattener flattener(page, kFlattenBudget, false);
  flattener.Entities(page.entities, Context{});
  return std::move(flattener.page);
}

size_t FlattenCost(const Drawing& drawing, const std::vector<Entity>& entities, size_t budget) {
  Flattener counter(drawing, budget, true);
  counter.Entities(entities, Context{});
  return counter.used;
}

bool WithinFlattenBudget(const Drawing& drawing) {
  if (FlattenCost(drawing, drawing.entities) > kFlattenBudget) return false;
  for (const Block& b : drawing.blocks)
    if (FlattenCost(drawing, b.entities) > kFlattenBudget) return false;
  return true;
}

void Extents::Add(Point p) {
  if (empty) {
    minX = maxX = p.x;
    minY = maxY = p.y;
    empty = false;
    return;
  }
  minX = std::min(minX, p.x);
  maxX = std::max(maxX, p.x);
  minY = std::min(minY, p.y);
  maxY = std::max(maxY, p.y);
}

Extents PageExtents(const PreviewPage& page) {
  Extents extents;
  for (const Stroke& s : page.strokes)
    for (const Point& p : s.points) extents.Add(p);
  for (const PlacedText& t : page.texts) {
    const double width = TextWidth(t.text, t.height, t.widthFactor);
    const double left = t.anchor == TextAnchor::Left ? 0 : t.anchor == TextAnchor::Centre ? -width / 2 : -width;
    const double turn = Radians(t.rotation);
    const double cosT = std::cos(turn), sinT = std::sin(turn);
    for (double x : {left, left + width})
      for (double y : {0.0, t.height}) extents.Add({t.at.x + x * cosT - y * sinT, t.at.y + x * sinT + y * cosT});
  }
  return extents;
}

View FitView(const Extents& extents, int width, int height, int margin) {
  const double roomX = width - 2.0 * margin, roomY = height - 2.0 * margin;
  View view{1, width / 2.0, height / 2.0};
  if (extents.empty || roomX <= 0 || roomY <= 0) return view;
  const double spanX = extents.maxX - extents.minX, spanY = extents.maxY - extents.minY;
  if (spanX > kEpsilon && spanY > kEpsilon) view.scale = std::min(roomX / spanX, roomY / spanY);
  else if (spanX > kEpsilon) view.scale = roomX / spanX;
  else if (spanY > kEpsilon) view.scale = roomY / spanY;
  const double centreX = (extents.minX + extents.maxX) / 2, centreY = (extents.minY + extents.maxY) / 2;
  view.offsetX = width / 2.0 - centreX * view.scale;
  view.offsetY = height / 2.0 + centreY * view.scale;
  return view;
}

View ZoomAbout(const View& view, double factor, double sx, double sy, double fittedScale) {
  const Point fixed = view.ToWorld({sx, sy});
  View zoomed = view;
  zoomed.scale = std::clamp(view.scale * factor, fittedScale / 20, fittedScale * 200);
  zoomed.offsetX = sx - fixed.x * zoomed.scale;
  zoomed.offsetY = sy + fixed.y * zoomed.scale;
  return zoomed;
}

PaperPlacement PlaceOnPaper(const Extents& sheet, const Paper& paper) {
  constexpr double kMillimetresPerInch = 25.4;
  constexpr double kSlackMillimetres = 1;  // A3 is 297 x 420 mm, or 842 x 1191 points rounded
  const double perMillimetre = paper.dpi / kMillimetresPerInch;
  const double spanX = sheet.maxX - sheet.minX, spanY = sheet.maxY - sheet.minY;
  if (!sheet.empty && paper.width / perMillimetre + kSlackMillimetres >= spanX &&
      paper.height / perMillimetre + kSlackMillimetres >= spanY) {
    View view{perMillimetre, 0, 0};
    view.offsetX = (paper.width - spanX * perMillimetre) / 2 - paper.printableX - sheet.minX * perMillimetre;
    view.offsetY = (paper.height - spanY * perMillimetre) / 2 - paper.printableY + sheet.maxY * perMillimetre;
    return {view, false};
  }
  return {FitView(sheet, static_cast<int>(paper.printableWidth), static_cast<int>(paper.printableHeight), 0), true};
}

unsigned PaperColor(int aci) {
  switch (aci) {
    case 1: return 0xFF0000;
    case 2: return 0xB0A000;
    case 3: return 0x00A000;
    case 4: return 0x00A0A0;
    case 5: return 0x0000FF;
    case 6: return 0xC000C0;
    case 8: return 0x808080;
    case 9: return 0xC0C0C0;
    case 7: return 0x000000;
    default: return aci > 9 && aci < 256 ? 0x606060 : 0x000000;
  }
}

}  // namespace qel::dxf

// Reading drawing files: a check of the raw groups against what the file
// can hold, then dxflib's parser into a Drawing, every number and text
// kept within bounds.
#include "dxf/dxf_io.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <string_view>

#include <dxflib/dl_creationadapter.h>
#include <dxflib/dl_dxf.h>

#include "base/cp932.h"

namespace qel::dxf {
namespace {

constexpr double kPi = 3.14159265358979323846;

bool InRange(double v) { return std::isfinite(v) && std::fabs(v) <= kLargestCoordinate; }

// Names and texts as the pages can carry them.
std::string Drawable(const std::string& s) { return cp932::DrawableText(s); }

// Collects what dxflib reports into a Drawing: entities go into the block
// being defined, or into the model space outside block definitions. A
// number out of range or one record too many is noted; dxflib reads on to
// the end (it cannot be stopped cleanly), and the file is refused after.
class Reader : public DL_CreationAdapter {
 public:
  explicit Reader(Drawing& d) : d_(d) {}

  DxfReadProblem problem = DxfReadProblem::None;

  void addLayer(const DL_LayerData& data) override {
    if (!Count()) return;
    Layer l;
    l.name = Drawable(data.name);
    l.color = attributes.getColor();
    l.linetype = Drawable(attributes.getLinetype());
    d_.layers.push_back(l);
  }
  // dxflib hands a table record over when the next one begins, but reports
  // its dash lengths as it reads them: a linetype's dashes come before the
  // linetype. They wait here for it; without that every pattern was lost
  // and centre lines came out solid.
  void addLinetype(const DL_LinetypeData& data) override {
    if (!Count()) return;
    Linetype l{Drawable(data.name), Drawable(data.description), std::move(pendingDashes_)};
    pendingDashes_.clear();
    if (l.dashes.size() > static_cast<size_t>(std::max(0, data.numberOfDashes)))
      l.dashes.resize(static_cast<size_t>(std::max(0, data.numberOfDashes)));
    d_.linetypes.push_back(std::move(l));
  }
  void addLinetypeDash(double length) override {
    if (Numbers({length}) && Count()) pendingDashes_.push_back(length);
  }
  void addTextStyle(const DL_StyleData& data) override {
    if (!Numbers({data.fixedTextHeight, data.widthFactor, data.obliqueAngle}) || !Count()) return;
    TextStyle s;
    s.name = Drawable(data.name);
    s.font = Drawable(data.primaryFontFile);
    s.bigFont = Drawable(data.bigFontFile);
    s.height = data.fixedTextHeight;
    s.widthFactor = data.widthFactor > 0 ? data.widthFactor : 1;
    s.oblique = data.obliqueAngle;
    s.generation = data.textGenerationFlags;
    s.vertical = (data.flags & 4) != 0;
    d_.styles.push_back(s);
  }
  void addBlock(const DL_BlockData& data) override {
    FinishPolyline();
    block_ = nullptr;
    skipping_ = false;
    const std::string name = UpperAscii(data.name);
    if (name.empty() || name == "*MODEL_SPACE") return;  // its entities are the model space's
    if (IsPaperSpace(name)) {
      skipping_ = true;
      return;
    }
    if (!Numbers({data.bpx, data.bpy}) || !Count()) {
      skipping_ = true;
      return;
    }
    d_.blocks.push_back(Block{Drawable(data.name), Point{data.bpx, data.bpy}, {}});
    block_ = &d_.blocks.back();
  }
  void endBlock() override {
    FinishPolyline();
    block_ = nullptr;
    skipping_ = false;
  }
  void Finish() { FinishPolyline(); }

  void addLine(const DL_LineData& data) override {
    if (!Numbers({data.x1, data.y1, data.x2, data.y2})) return;
    Entity e = Base(EntityKind::Line);
    e.points = {{data.x1, data.y1}, {data.x2, data.y2}};
    Put(std::move(e));
  }
  void addCircle(const DL_CircleData& data) override {
    if (!Numbers({data.cx, data.cy, data.radius})) return;
    Entity e = Base(EntityKind::Circle);
    e.points = {{data.cx, data.cy}};
    e.radius = data.radius;
    Put(std::move(e));
  }
  void addArc(const DL_ArcData& data) override {
    if (!Numbers({data.cx, data.cy, data.radius, data.angle1, data.angle2})) return;
    Entity e = Base(EntityKind::Arc);
    e.points = {{data.cx, data.cy}};
    e.radius = data.radius;
    e.startAngle = data.angle1;
    e.endAngle = data.angle2;
    Put(std::move(e));
  }
  // dxflib hands over no constant width: it is taken from the raw groups.
  // The entity is reported when the next one begins, so the width seen
  // before that next group 0 belongs to it.
  void processCodeValuePair(unsigned int code, const std::string& value) override {
    if (code == 0) {
      endedWidth_ = width_;
      width_ = 0;
      FinishAttDef();
      inAttDef_ = value == "ATTDEF";
      if (inAttDef_) {
        attDef_ = Entity{};
        attDef_.kind = EntityKind::AttDef;
      }
    } else if (code == 43) {
      width_ = std::atof(value.c_str());
    }
    if (inAttDef_) AttDefGroup(code, value);
  }
  // The sheet's limits and the linetype scale come with the template.
  void setVariableVector(const std::string& key, double v1, double v2, double, int) override {
    if ((key == "$LIMMIN" || key == "$LIMMAX") && !Numbers({v1, v2})) return;
    if (key == "$LIMMIN") d_.limitsMin = {v1, v2};
    else if (key == "$LIMMAX") d_.limitsMax = {v1, v2};
  }
  void setVariableDouble(const std::string& key, double value, int) override {
    if (key == "$LTSCALE" && Numbers({value}) && value > 0) d_.ltscale = value;
  }
  void addSolid(const DL_SolidData& data) override {
    if (!Numbers({data.x[0], data.y[0], data.x[1], data.y[1], data.x[2], data.y[2], data.x[3], data.y[3]})) return;
    Entity e = Base(EntityKind::Solid);
    // The file crosses the last two corners; kept here in outline order.
    e.points = {{data.x[0], data.y[0]}, {data.x[1], data.y[1]}, {data.x[3], data.y[3]}, {data.x[2], data.y[2]}};
    if (data.x[2] == data.x[3] && data.y[2] == data.y[3]) e.points.pop_back();  // a triangle
    Put(std::move(e));
  }
  // An insert's attribute values follow it in the file.
  void addAttribute(const DL_AttributeData& data) override {
    if (skipping_) return;
    std::vector<Entity>& list = block_ ? block_->entities : d_.entities;
    if (list.empty() || list.back().kind != EntityKind::Insert) return;
    const bool aligned = !std::isnan(data.apx);
    if (!Numbers({data.ipx, data.ipy, aligned ? data.apx : 0, aligned ? data.apy : 0, data.height,
                  data.xScaleFactor, data.angle}) ||
        !Count())
      return;
    Entity e = Base(EntityKind::Text);
    e.points = {{data.ipx, data.ipy}};
    e.alignment = aligned ? Point{data.apx, data.apy} : Point{data.ipx, data.ipy};
    e.height = data.height;
    e.widthFactor = data.xScaleFactor > 0 ? data.xScaleFactor : 1;
    e.hAlign = data.hJustification;
    e.vAlign = data.vJustification;
    e.text = Drawable(data.text);
    e.tag = Drawable(data.tag);
    e.style = data.style.empty() ? "STANDARD" : Drawable(data.style);
    e.rotation = data.angle * 180.0 / kPi;
    list.back().attributes.push_back(std::move(e));
  }
  void addPolyline(const DL_PolylineData& data) override {
    if (inPoly_) FinishPolyline();
    Numbers({endedWidth_});
    poly_ = Base(EntityKind::Polyline);
    poly_.closed = (data.flags & 1) != 0;
    poly_.width = endedWidth_;
    inPoly_ = true;
    // LWPOLYLINE tells its vertex count; an old POLYLINE ends with SEQEND.
    polyLeft_ = data.number;
    polyOpenEnded_ = data.number == 0;
  }
  void addVertex(const DL_VertexData& data) override {
    if (!inPoly_) return;
    if (!Numbers({data.x, data.y, data.bulge}) || !Count()) return;
    poly_.points.push_back({data.x, data.y});
    poly_.bulges.push_back(data.bulge);
    if (!polyOpenEnded_ && --polyLeft_ == 0) FinishPolyline();
  }
  void endSequence() override { FinishPolyline(); }
  void addText(const DL_TextData& data) override {
    // No alignment point reads as NaN: the insertion point stands in for it.
    const bool aligned = !std::isnan(data.apx);
    if (!Numbers({data.ipx, data.ipy, aligned ? data.apx : 0, aligned ? data.apy : 0, data.height,
                  data.xScaleFactor, data.angle}))
      return;
    Entity e = Base(EntityKind::Text);
    e.points = {{data.ipx, data.ipy}};
    e.alignment = aligned ? Point{data.apx, data.apy} : Point{data.ipx, data.ipy};
    e.height = data.height;
    e.widthFactor = data.xScaleFactor;
    e.hAlign = data.hJustification;
    e.vAlign = data.vJustification;
    e.text = Drawable(data.text);
    e.style = data.style.empty() ? "STANDARD" : Drawable(data.style);
    e.rotation = data.angle * 180.0 / kPi;
    Put(std::move(e));
  }
  void addInsert(const DL_InsertData& data) override {
    if (!Numbers({data.ipx, data.ipy, data.sx, data.sy, data.angle})) return;
    Entity e = Base(EntityKind::Insert);
    e.points = {{data.ipx, data.ipy}};
    e.text = Drawable(data.name);
    e.scaleX = data.sx;
    e.scaleY = data.sy;
    e.rotation = data.angle;
    Put(std::move(e));
  }

 private:
  Entity Base(EntityKind kind) {
    Entity e;
    e.kind = kind;
    DL_Attributes a = getAttributes();
    e.layer = a.getLayer().empty() ? "0" : Drawable(a.getLayer());
    e.linetype = a.getLinetype().empty() ? "BYLAYER" : Drawable(a.getLinetype());
    e.color = a.getColor();
    return e;
  }
  static bool IsPaperSpace(const std::string& upperName) {
    if (upperName.rfind("*PAPER_SPACE", 0) != 0) return false;
    for (size_t i = 12; i < upperName.size(); ++i)
      if (upperName[i] < '0' || upperName[i] > '9') return false;
    return true;
  }
  // False, noting the problem, when a number is not finite or out of range.
  bool Numbers(std::initializer_list<double> values) {
    for (double v : values) {
      if (InRange(v)) continue;
      if (problem == DxfReadProblem::None) problem = DxfReadProblem::NumberOutOfRange;
      return false;
    }
    return true;
  }
  // One more record (an entity, a vertex, a table record, a dash); false
  // once there are too many.
  bool Count() {
    if (++records_ <= kMostDxfRecords) return true;
    if (problem == DxfReadProblem::None) problem = DxfReadProblem::TooManyEntities;
    return false;
  }
  void Put(Entity e) {
    if (inPoly_) FinishPolyline();
    if (skipping_ || !Count()) return;
    (block_ ? block_->entities : d_.entities).push_back(std::move(e));
  }
  void FinishPolyline() {
    if (!inPoly_) return;
    inPoly_ = false;
    polyOpenEnded_ = false;
    Entity e = std::move(poly_);
    poly_ = Entity{};
    if (!skipping_ && e.points.size() >= 2) (block_ ? block_->entities : d_.entities).push_back(std::move(e));
  }

  // dxflib does not read attribute definitions: their groups are taken
  // here as they come.
  void AttDefGroup(unsigned code, const std::string& value) {
    const double v = std::atof(value.c_str());
    Entity& e = attDef_;
    if (e.points.empty()) e.points = {{0, 0}};
    switch (code) {
      case 1: e.text = value; break;
      case 2: e.tag = value; break;
      case 3: e.prompt = value; break;
      case 6: e.linetype = value; break;
      case 7: e.style = value; break;
      case 8: e.layer = value; break;
      case 62: e.color = std::atoi(value.c_str()); break;
      case 10: e.points[0].x = v; break;
      case 20: e.points[0].y = v; break;
      case 11: e.alignment.x = v; break;
      case 21: e.alignment.y = v; break;
      case 40: e.height = v; break;
      case 41: e.widthFactor = v > 0 ? v : 1; break;
      case 50: e.rotation = v; break;
      case 72: e.hAlign = std::atoi(value.c_str()); break;
      case 74: e.vAlign = std::atoi(value.c_str()); break;
      default: break;
    }
  }
  void FinishAttDef() {
    if (!inAttDef_) return;
    inAttDef_ = false;
    Entity& e = attDef_;
    if (e.points.empty()) e.points = {{0, 0}};
    const bool sound = Numbers({e.points[0].x, e.points[0].y, e.alignment.x, e.alignment.y, e.height, e.widthFactor,
                                e.rotation});
    for (std::string* text : {&e.text, &e.tag, &e.prompt, &e.linetype, &e.style, &e.layer}) *text = Drawable(*text);
    if (block_ && !skipping_ && sound && Count()) block_->entities.push_back(std::move(attDef_));
    attDef_ = Entity{};
  }

  Drawing& d_;
  Block* block_ = nullptr;
  Entity attDef_;
  bool inAttDef_ = false;
  bool skipping_ = false;
  std::vector<double> pendingDashes_;
  Entity poly_;
  bool inPoly_ = false;
  bool polyOpenEnded_ = false;
  unsigned polyLeft_ = 0;
  double width_ = 0, endedWidth_ = 0;
  size_t records_ = 0;
};

// A DXF file starts with group code 0 and SECTION (after optional comments);
// anything else, a binary DWG above all, is refused before dxflib sees it.
bool LooksLikeDxf(std::string_view text) {
  const std::string head(text.substr(0, 511));
  size_t pos = 0;
  auto nextLine = [&](std::string& line) {
    if (pos >= head.size()) return false;
    size_t end = head.find('\n', pos);
    if (end == std::string::npos) end = head.size();
    line = head.substr(pos, end - pos);
    pos = end + 1;
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.pop_back();
    while (!line.empty() && line.front() == ' ') line.erase(0, 1);
    return true;
  };
  std::string code, value;
  while (nextLine(code) && nextLine(value)) {
    if (code == "999") continue;
    return code == "0" && value == "SECTION";
  }
  return false;
}

// A real number as DXF writes one: sign, digits, point, exponent. The C
// libraries read "nan" and "inf" differently (msvcrt takes them for 0,
// glibc for what they say), so such a value is refused on every system.
bool IsRealNumberText(std::string line) {
  while (!line.empty() && (line.back() == ' ' || line.back() == '\t')) line.pop_back();
  size_t i = line.find_first_not_of(" \t");
  if (i == std::string::npos) return false;
  if (line[i] == '+' || line[i] == '-') ++i;
  size_t digits = 0;
  for (; i < line.size() && std::isdigit(static_cast<unsigned char>(line[i])); ++i) ++digits;
  if (i < line.size() && line[i] == '.')
    for (++i; i < line.size() && std::isdigit(static_cast<unsigned char>(line[i])); ++i) ++digits;
  if (digits == 0) return false;
  if (i < line.size() && (line[i] == 'e' || line[i] == 'E')) {
    ++i;
    if (i < line.size() && (line[i] == '+' || line[i] == '-')) ++i;
    const size_t first = i;
    for (; i < line.size() && std::isdigit(static_cast<unsigned char>(line[i])); ++i) {}
    if (i == first) return false;
  }
  return i == line.size() && std::isfinite(std::strtod(line.c_str(), nullptr));
}

bool IsRealGroup(unsigned code) {
  return (code >= 10 && code <= 59) || (code >= 110 && code <= 149) || (code >= 210 && code <= 239) ||
         (code >= 460 && code <= 469) || (code >= 1010 && code <= 1059);
}

// dxflib sizes its arrays by the counts a file states before the items
// follow: an LWPOLYLINE's vertices, a SPLINE's knots, control and fit
// points, a LEADER's vertices. A count is checked here against the bytes
// left after it, at the fewest bytes an item can take (a point needs its
// x and y groups, "10\nx\n20\ny\n"). The groups are read as dxflib reads
// them, line by line; a line dxflib would cut in two, or a zero byte it
// would stop a line at, is refused rather than mirrored.
DxfReadProblem ScanCounts(std::string_view text) {
  if (text.size() > kLargestDxfFile) return DxfReadProblem::TooLarge;
  if (text.find('\0') != std::string_view::npos) return DxfReadProblem::BadLine;
  struct Counted {
    const char* entity;
    unsigned code;
    size_t leastBytes;
  };
  static const Counted kCounts[] = {{"LWPOLYLINE", 90, 10}, {"SPLINE", 72, 5}, {"SPLINE", 73, 10},
                                    {"SPLINE", 74, 10},     {"LEADER", 76, 10}};
  std::string entity;
  unsigned code = 0;
  bool codeLine = true;
  for (size_t pos = 0; pos < text.size();) {
    size_t end = text.find('\n', pos);
    if (end == std::string_view::npos) end = text.size();
    if (end - pos > kLongestDxfLine) return DxfReadProblem::BadLine;
    std::string line(text.substr(pos, end - pos));
    pos = end + 1;
    while (!line.empty() && line.back() == '\r') line.pop_back();
    // As dxflib converts them: strtol, cut to an int.
    const int number = static_cast<int>(std::strtol(line.c_str(), nullptr, 10));
    if (codeLine) {
      code = static_cast<unsigned>(number);
    } else if (code == 0) {
      entity = line;
    } else if (IsRealGroup(code)) {
      if (!IsRealNumberText(line)) return DxfReadProblem::NumberOutOfRange;
    } else {
      const size_t left = pos < text.size() ? text.size() - pos : 0;
      for (const Counted& c : kCounts)
        if (c.code == code && entity == c.entity && number > 0 &&
            static_cast<size_t>(number) > left / c.leastBytes)
          return DxfReadProblem::CountBeyondFile;
    }
    codeLine = !codeLine;
  }
  return DxfReadProblem::None;
}

}  // namespace

bool ReadDxfFile(const std::string& path, Drawing& out, std::string& error, DxfReadProblem* problem) {
  DxfReadProblem found = DxfReadProblem::None;
  auto fail = [&](DxfReadProblem p, const char* reason) {
    if (problem) *problem = p;
    error = reason;
    return false;
  };
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return fail(DxfReadProblem::Missing, "Cannot find the specified drawing file.");
  // Read whole for the checks, but never more than one byte past the limit.
  std::string text;
  char buf[65536];
  size_t n = 0;
  while (text.size() <= kLargestDxfFile && (n = std::fread(buf, 1, sizeof buf, f)) > 0) text.append(buf, n);
  std::fclose(f);
  if (!LooksLikeDxf(text))
    return fail(DxfReadProblem::NotDxf, "Invalid or incomplete drawing file (the stand-in reads DXF only).");
  switch (found = ScanCounts(text)) {
    case DxfReadProblem::TooLarge: return fail(found, "The drawing file is too large.");
    case DxfReadProblem::BadLine: return fail(found, "The drawing file has a line too long or a zero byte.");
    case DxfReadProblem::CountBeyondFile: return fail(found, "A count in the drawing file exceeds what the file holds.");
    case DxfReadProblem::NumberOutOfRange: return fail(found, "A number in the drawing file is not a finite number.");
    default: break;
  }
  text = std::string();
  Drawing d;
  Reader reader(d);
  DL_Dxf dxf;
  try {
    if (!dxf.in(path, &reader)) return fail(DxfReadProblem::Unreadable, "Cannot read the drawing file.");
  } catch (...) {
    return fail(DxfReadProblem::Unreadable, "Invalid or incomplete drawing file.");
  }
  reader.Finish();
  switch (reader.problem) {
    case DxfReadProblem::NumberOutOfRange:
      return fail(reader.problem, "A number in the drawing file is not finite or out of range.");
    case DxfReadProblem::TooManyEntities: return fail(reader.problem, "The drawing file has too many entities.");
    default: break;
  }
  d.AddDefaults();
  out = std::move(d);
  if (problem) *problem = DxfReadProblem::None;
  return true;
}

}  // namespace qel::dxf

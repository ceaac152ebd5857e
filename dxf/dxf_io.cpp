#include "dxf/dxf_io.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
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
    } else if (code == 43) {
      width_ = std::atof(value.c_str());
    }
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

  Drawing& d_;
  Block* block_ = nullptr;
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

#ifdef _WIN32
constexpr const char* kNullDevice = "NUL";
#else
constexpr const char* kNullDevice = "/dev/null";
#endif

// dxflib's file writer flushes its stream after every real number, some
// fifteen hundred writes to the system for a page. Its group writers are
// virtual, so the groups go into memory instead, in the same form: the
// group code right-aligned in three columns, reals with the trailing zeros
// cut down to one digit after the point.
class TextWriter : public DL_WriterA {
 public:
  TextWriter(std::string& out, DL_Codes::version version) : DL_WriterA(kNullDevice, version), out_(out) {
    out_.reserve(64 * 1024);
  }
  void dxfReal(int gc, double value) const override {
    char buf[512];
    std::snprintf(buf, sizeof buf, "%.16f", value);
    std::string v = buf;
    for (char& c : v)
      if (c == ',') c = '.';   // a locale with a decimal comma
    const size_t dot = v.find('.');
    if (dot != std::string::npos) {
      size_t end = v.find_last_not_of('0');
      v.resize(std::max(end, dot + 1) + 1);
    }
    dxfString(gc, v);
  }
  void dxfInt(int gc, int value) const override { dxfString(gc, std::to_string(value)); }
  void dxfHex(int gc, int value) const override {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%X", static_cast<unsigned>(value));
    dxfString(gc, std::string(buf));
  }
  void dxfString(int gc, const char* value) const override { dxfString(gc, std::string(value ? value : "")); }
  void dxfString(int gc, const std::string& value) const override {
    out_ += gc < 10 ? "  " : gc < 100 ? " " : "";
    out_ += std::to_string(gc);
    out_ += '\n';
    out_ += value;
    out_ += '\n';
  }

 private:
  std::string& out_;
};

int SafeColor(int c) { return c >= 0 && c <= 256 ? c : 256; }

DL_Attributes Attributes(const Entity& e) {
  return DL_Attributes(e.layer, SafeColor(e.color), -1, e.linetype, 1.0);
}

// dxflib's R12 entities carry no linetype of their own: it is added here
// after the entity's groups (before a polyline's vertices).
void R12Linetype(DL_WriterA& dw, const Entity& e, bool r12) {
  if (r12 && UpperAscii(e.linetype) != "BYLAYER") dw.dxfString(6, e.linetype);
}

void WriteEntity(DL_Dxf& dxf, DL_WriterA& dw, const Entity& e, bool r12) {
  DL_Attributes a = Attributes(e);
  switch (e.kind) {
    case EntityKind::Line:
      if (e.points.size() < 2) return;
      dxf.writeLine(dw, DL_LineData(e.points[0].x, e.points[0].y, 0, e.points[1].x, e.points[1].y, 0), a);
      break;
    case EntityKind::Polyline: {
      dxf.writePolyline(dw, DL_PolylineData(static_cast<int>(e.points.size()), 0, 0, e.closed ? 1 : 0), a);
      R12Linetype(dw, e, r12);
      if (e.width > 0 && r12) {   // an old POLYLINE has start and end widths only
        dw.dxfReal(40, e.width);
        dw.dxfReal(41, e.width);
      } else if (e.width > 0) {
        dw.dxfReal(43, e.width);
      }
      for (size_t i = 0; i < e.points.size(); ++i)
        dxf.writeVertex(dw, DL_VertexData(e.points[i].x, e.points[i].y, 0, i < e.bulges.size() ? e.bulges[i] : 0));
      dxf.writePolylineEnd(dw);
      return;
    }
    case EntityKind::Circle:
      dxf.writeCircle(dw, DL_CircleData(e.points[0].x, e.points[0].y, 0, e.radius), a);
      break;
    case EntityKind::Arc:
      dxf.writeArc(dw, DL_ArcData(e.points[0].x, e.points[0].y, 0, e.radius, e.startAngle, e.endAngle), a);
      break;
    case EntityKind::Text: {
      bool aligned = e.hAlign != 0 || e.vAlign != 0;
      Point ap = aligned ? e.alignment : Point{0, 0};
      dxf.writeText(dw, DL_TextData(e.points[0].x, e.points[0].y, 0, ap.x, ap.y, 0, e.height, e.widthFactor, 0,
                                    e.hAlign, e.vAlign, e.text, e.style, e.rotation * kPi / 180.0), a);
      break;
    }
    case EntityKind::Insert:
      dxf.writeInsert(dw, DL_InsertData(e.text, e.points[0].x, e.points[0].y, 0, e.scaleX, e.scaleY, 1, e.rotation,
                                        1, 1, 0, 0), a);
      break;
  }
  R12Linetype(dw, e, r12);
}

// dxflib's R2000 style writer keeps the font names in extended data only;
// the record is written here with the font and big font in their own codes.
void WriteStyle(DL_WriterA& dw, const TextStyle& s, bool r12) {
  dw.dxfString(0, "STYLE");
  if (!r12) {
    dw.handle();
    dw.dxfString(100, "AcDbSymbolTableRecord");
    dw.dxfString(100, "AcDbTextStyleTableRecord");
  }
  dw.dxfString(2, s.name);
  dw.dxfInt(70, s.vertical ? 4 : 0);
  dw.dxfReal(40, s.height);
  dw.dxfReal(41, s.widthFactor);
  dw.dxfReal(50, s.oblique);
  dw.dxfInt(71, s.generation);
  dw.dxfReal(42, s.height > 0 ? s.height : 2.5);
  dw.dxfString(3, s.font);
  dw.dxfString(4, s.bigFont);
}

bool IsSpecialLinetype(const std::string& name) {
  std::string u = UpperAscii(name);
  return u == "BYLAYER" || u == "BYBLOCK" || u == "CONTINUOUS";
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


std::string DxfText(const Drawing& drawing, DxfVersion version) {
  const bool r12 = version == DxfVersion::R12;
  const DL_Codes::version code = r12 ? DL_Codes::AC1009 : DL_Codes::AC1015;
  DL_Dxf dxf;
  // dxflib keeps the version it writes for in DL_Dxf, set only by out(),
  // which opens a file: the null device takes that file.
  std::unique_ptr<DL_WriterA> setsVersion(dxf.out(kNullDevice, code));
  std::string text;
  std::unique_ptr<DL_WriterA> dw = std::make_unique<TextWriter>(text, code);
  dxf.writeHeader(*dw);
  dw->dxfString(9, "$DWGCODEPAGE");
  dw->dxfString(3, "ANSI_932");
  if (!r12) {
    dw->dxfString(9, "$INSUNITS");
    dw->dxfInt(70, 4);   // millimetres
  }
  dw->sectionEnd();
  dw->sectionTables();
  dxf.writeVPort(*dw);

  std::vector<const Linetype*> linetypes;
  for (const Linetype& l : drawing.linetypes)
    if (!IsSpecialLinetype(l.name)) linetypes.push_back(&l);
  dw->tableLinetypes(static_cast<int>(linetypes.size()) + 3);
  dxf.writeLinetype(*dw, DL_LinetypeData("BYBLOCK", "", 0, 0, 0.0));
  dxf.writeLinetype(*dw, DL_LinetypeData("BYLAYER", "", 0, 0, 0.0));
  dxf.writeLinetype(*dw, DL_LinetypeData("CONTINUOUS", "Solid line", 0, 0, 0.0));
  for (const Linetype* l : linetypes) {
    std::vector<double> pattern = l->dashes;
    double length = 0;
    for (double v : pattern) length += std::fabs(v);
    dxf.writeLinetype(*dw, DL_LinetypeData(l->name, l->description, 0, static_cast<int>(pattern.size()), length,
                                           pattern.empty() ? nullptr : pattern.data()));
  }
  dw->tableEnd();

  dw->tableLayers(static_cast<int>(drawing.layers.size()));
  for (const Layer& l : drawing.layers)
    dxf.writeLayer(*dw, DL_LayerData(l.name, 0), DL_Attributes("", l.color, -1, l.linetype, 1.0));
  dw->tableEnd();

  dw->tableStyle(static_cast<int>(drawing.styles.size()));
  for (const TextStyle& s : drawing.styles) WriteStyle(*dw, s, r12);
  dw->tableEnd();

  dxf.writeView(*dw);
  dxf.writeUcs(*dw);
  dw->tableAppid(1);
  dxf.writeAppid(*dw, "ACAD");
  dw->tableEnd();
  dxf.writeDimStyle(*dw, 2.5, 0.625, 0.625, 0.625, 2.5);
  if (!r12) {   // R12 has no block records, layouts or objects
    dxf.writeBlockRecord(*dw);
    for (const Block& b : drawing.blocks) dxf.writeBlockRecord(*dw, b.name);
    dw->tableEnd();
  }
  dw->sectionEnd();

  dw->sectionBlocks();
  if (!r12) {
    dxf.writeBlock(*dw, DL_BlockData("*Model_Space", 0, 0.0, 0.0, 0.0));
    dxf.writeEndBlock(*dw, "*Model_Space");
    dxf.writeBlock(*dw, DL_BlockData("*Paper_Space", 0, 0.0, 0.0, 0.0));
    dxf.writeEndBlock(*dw, "*Paper_Space");
    dxf.writeBlock(*dw, DL_BlockData("*Paper_Space0", 0, 0.0, 0.0, 0.0));
    dxf.writeEndBlock(*dw, "*Paper_Space0");
  }
  for (const Block& b : drawing.blocks) {
    dxf.writeBlock(*dw, DL_BlockData(b.name, 0, b.base.x, b.base.y, 0.0));
    for (const Entity& e : b.entities) WriteEntity(dxf, *dw, e, r12);
    dxf.writeEndBlock(*dw, b.name);
  }
  dw->sectionEnd();

  dw->sectionEntities();
  for (const Entity& e : drawing.entities) WriteEntity(dxf, *dw, e, r12);
  dw->sectionEnd();

  if (!r12) {
    dxf.writeObjects(*dw);
    dxf.writeObjectsEnd(*dw);
  }
  dw->dxfEOF();
  return text;
}

bool WriteDxfFile(const std::string& path, const Drawing& drawing, std::string& error, DxfVersion version) {
  const std::string text = DxfText(drawing, version);
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) {
    error = "Cannot write the drawing file.";
    return false;
  }
  // A full disk shows in the write or at the latest in the close.
  const bool written = std::fwrite(text.data(), 1, text.size(), f) == text.size();
  if (std::fclose(f) != 0 || !written) {
    error = "Cannot write the drawing file in full.";
    return false;
  }
  return true;
}

}  // namespace qel::dxf

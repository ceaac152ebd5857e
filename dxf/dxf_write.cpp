// Writing a Drawing as a DXF file, R2000 or R12: every section written
// here through dxflib's group writer, with owners, handles and header
// values a reader needs to show the whole sheet.
#include "dxf/dxf_io.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <memory>

#include <dxflib/dl_dxf.h>

#include "dxf/preview_geometry.h"

namespace qel::dxf {
namespace {

constexpr double kPi = 3.14159265358979323846;

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

bool IsSpecialLinetype(const std::string& name) {
  std::string u = UpperAscii(name);
  return u == "BYLAYER" || u == "BYBLOCK" || u == "CONTINUOUS";
}

// Writes a drawing's sections group by group. Every R2000 object gets its
// handle from one counter, in file order, and names its owner, so that the
// same drawing gives the same bytes and a reader finds nothing to repair.
// R12 has neither handles nor owners.
class SectionWriter {
 public:
  SectionWriter(DL_WriterA& dw, const Drawing& d, bool r12) : dw_(dw), d_(d), r12_(r12) {}

  void Body() {
    Reserve();
    Tables();
    Blocks();
    Entities();
    if (!r12_) Objects();
  }
  unsigned NextHandle() const { return next_; }

 private:
  unsigned New() { return next_++; }
  void Handle(unsigned h, unsigned owner, int code = 5) {
    if (r12_) return;
    dw_.dxfHex(code, static_cast<int>(h));
    dw_.dxfHex(330, static_cast<int>(owner));
  }
  void Sub(const char* marker) {
    if (!r12_) dw_.dxfString(100, marker);
  }
  void Coord(int code, Point p) {
    dw_.dxfReal(code, p.x);
    dw_.dxfReal(code + 10, p.y);
    dw_.dxfReal(code + 20, 0.0);
  }

  // Handles that are named before their objects are written.
  void Reserve() {
    for (unsigned* h : {&vportTable_, &ltypeTable_, &layerTable_, &styleTable_, &viewTable_, &ucsTable_, &appidTable_,
                        &dimstyleTable_, &recordTable_, &modelRecord_, &paperRecord_, &rootDict_, &layoutDict_,
                        &modelLayout_, &paperLayout_, &plotStyleDict_, &plotStylePlaceholder_})
      *h = New();
    for (size_t i = 0; i < d_.styles.size(); ++i) styleHandles_.push_back(New());
    for (size_t i = 0; i < d_.blocks.size(); ++i) blockRecords_.push_back(New());
  }

  void TableBegin(const char* name, unsigned h, int count) {
    dw_.dxfString(0, "TABLE");
    dw_.dxfString(2, name);
    Handle(h, 0);
    Sub("AcDbSymbolTable");
    dw_.dxfInt(70, count);
  }
  void Record(const char* type, unsigned h, unsigned table, const char* marker) {
    dw_.dxfString(0, type);
    Handle(h, table, std::strcmp(type, "DIMSTYLE") == 0 ? 105 : 5);
    Sub("AcDbSymbolTableRecord");
    Sub(marker);
  }
  void TableEnd() { dw_.dxfString(0, "ENDTAB"); }

  void Tables() {
    dw_.sectionTables();
    // The view a reader opens with: the whole sheet.
    TableBegin("VPORT", vportTable_, 1);
    Record("VPORT", New(), vportTable_, "AcDbViewportTableRecord");
    dw_.dxfString(2, "*ACTIVE");
    dw_.dxfInt(70, 0);
    Coord(10, {0, 0});
    Coord(11, {1, 1});
    Coord(12, {(d_.limitsMin.x + d_.limitsMax.x) / 2, (d_.limitsMin.y + d_.limitsMax.y) / 2});
    const double spanX = d_.limitsMax.x - d_.limitsMin.x, spanY = d_.limitsMax.y - d_.limitsMin.y;
    dw_.dxfReal(40, spanY * 1.05);
    dw_.dxfReal(41, spanY > 0 ? spanX / spanY : 1.0);
    dw_.dxfReal(42, 50.0);
    dw_.dxfInt(71, 0);
    dw_.dxfInt(72, 100);
    TableEnd();

    std::vector<const Linetype*> linetypes;
    for (const Linetype& l : d_.linetypes)
      if (!IsSpecialLinetype(l.name)) linetypes.push_back(&l);
    TableBegin("LTYPE", ltypeTable_, static_cast<int>(linetypes.size()) + 3);
    const Linetype byBlock{"BYBLOCK", "", {}}, byLayer{"BYLAYER", "", {}}, continuous{"CONTINUOUS", "Solid line", {}};
    for (const Linetype* l : {&byBlock, &byLayer, &continuous}) WriteLinetype(*l);
    for (const Linetype* l : linetypes) WriteLinetype(*l);
    TableEnd();

    TableBegin("LAYER", layerTable_, static_cast<int>(d_.layers.size()));
    for (const Layer& l : d_.layers) {
      Record("LAYER", New(), layerTable_, "AcDbLayerTableRecord");
      dw_.dxfString(2, l.name);
      dw_.dxfInt(70, 0);
      dw_.dxfInt(62, l.color == 0 ? 7 : l.color);
      dw_.dxfString(6, l.linetype.empty() ? "CONTINUOUS" : l.linetype);
      if (!r12_) {
        dw_.dxfInt(370, l.lineweight);
        dw_.dxfHex(390, static_cast<int>(plotStylePlaceholder_));
      }
    }
    TableEnd();

    TableBegin("STYLE", styleTable_, static_cast<int>(d_.styles.size()));
    for (size_t i = 0; i < d_.styles.size(); ++i) {
      const TextStyle& s = d_.styles[i];
      Record("STYLE", styleHandles_[i], styleTable_, "AcDbTextStyleTableRecord");
      dw_.dxfString(2, s.name);
      dw_.dxfInt(70, s.vertical ? 4 : 0);
      dw_.dxfReal(40, s.height);
      dw_.dxfReal(41, s.widthFactor);
      dw_.dxfReal(50, s.oblique);
      dw_.dxfInt(71, s.generation);
      dw_.dxfReal(42, s.height > 0 ? s.height : 2.5);
      dw_.dxfString(3, s.font);
      dw_.dxfString(4, s.bigFont);
    }
    TableEnd();

    TableBegin("VIEW", viewTable_, 0);
    TableEnd();
    TableBegin("UCS", ucsTable_, 0);
    TableEnd();
    TableBegin("APPID", appidTable_, 1);
    Record("APPID", New(), appidTable_, "AcDbRegAppTableRecord");
    dw_.dxfString(2, "ACAD");
    dw_.dxfInt(70, 0);
    TableEnd();

    TableBegin("DIMSTYLE", dimstyleTable_, 1);
    Sub("AcDbDimStyleTable");
    Record("DIMSTYLE", New(), dimstyleTable_, "AcDbDimStyleTableRecord");
    dw_.dxfString(2, "STANDARD");
    dw_.dxfInt(70, 0);
    if (!r12_ && !styleHandles_.empty()) {   // the dimension texts' style: STANDARD, or the first
      size_t standard = 0;
      for (size_t i = 0; i < d_.styles.size(); ++i)
        if (SameName(d_.styles[i].name, "STANDARD")) standard = i;
      dw_.dxfHex(340, static_cast<int>(styleHandles_[standard]));
    }
    TableEnd();

    if (!r12_) {
      TableBegin("BLOCK_RECORD", recordTable_, static_cast<int>(d_.blocks.size()) + 2);
      BlockRecord(modelRecord_, "*Model_Space", modelLayout_);
      BlockRecord(paperRecord_, "*Paper_Space", paperLayout_);
      for (size_t i = 0; i < d_.blocks.size(); ++i) BlockRecord(blockRecords_[i], d_.blocks[i].name, 0);
      TableEnd();
    }
    dw_.sectionEnd();
  }

  void WriteLinetype(const Linetype& l) {
    Record("LTYPE", New(), ltypeTable_, "AcDbLinetypeTableRecord");
    dw_.dxfString(2, l.name);
    dw_.dxfInt(70, 0);
    dw_.dxfString(3, l.description);
    dw_.dxfInt(72, 65);
    dw_.dxfInt(73, static_cast<int>(l.dashes.size()));
    double length = 0;
    for (double v : l.dashes) length += std::fabs(v);
    dw_.dxfReal(40, length);
    for (double v : l.dashes) {
      dw_.dxfReal(49, v);
      if (!r12_) dw_.dxfInt(74, 0);
    }
  }

  void BlockRecord(unsigned h, const std::string& name, unsigned layout) {
    Record("BLOCK_RECORD", h, recordTable_, "AcDbBlockTableRecord");
    dw_.dxfString(2, name);
    if (layout) dw_.dxfHex(340, static_cast<int>(layout));
  }

  void Blocks() {
    dw_.sectionBlocks();
    if (!r12_) {
      BlockBegin(modelRecord_, "*Model_Space", {}, false);
      BlockEnd(modelRecord_);
      BlockBegin(paperRecord_, "*Paper_Space", {}, false);
      BlockEnd(paperRecord_);
    }
    for (size_t i = 0; i < d_.blocks.size(); ++i) {
      const Block& b = d_.blocks[i];
      bool attributes = false;
      for (const Entity& e : b.entities) attributes = attributes || e.kind == EntityKind::AttDef;
      const unsigned record = r12_ ? 0 : blockRecords_[i];
      BlockBegin(record, b.name, b.base, attributes);
      for (const Entity& e : b.entities) WriteEntity(e, record, true);
      BlockEnd(record);
    }
    dw_.sectionEnd();
  }

  void BlockBegin(unsigned record, const std::string& name, Point base, bool attributes) {
    dw_.dxfString(0, "BLOCK");
    Handle(New(), record);
    Sub("AcDbEntity");
    dw_.dxfString(8, "0");
    Sub("AcDbBlockBegin");
    dw_.dxfString(2, name);
    dw_.dxfInt(70, attributes ? 2 : 0);
    Coord(10, base);
    dw_.dxfString(3, name);
    dw_.dxfString(1, "");
  }
  void BlockEnd(unsigned record) {
    dw_.dxfString(0, "ENDBLK");
    Handle(New(), record);
    Sub("AcDbEntity");
    dw_.dxfString(8, "0");
    Sub("AcDbBlockEnd");
  }

  void Entities() {
    dw_.sectionEntities();
    for (const Entity& e : d_.entities) WriteEntity(e, modelRecord_, false);
    dw_.sectionEnd();
  }

  // The groups every entity starts with; gives its handle.
  unsigned Common(const char* type, const Entity& e, unsigned owner, const char* marker) {
    dw_.dxfString(0, type);
    const unsigned h = r12_ ? 0 : New();
    Handle(h, owner);
    Sub("AcDbEntity");
    dw_.dxfString(8, e.layer.empty() ? "0" : e.layer);
    if (UpperAscii(e.linetype) != "BYLAYER" && !e.linetype.empty()) dw_.dxfString(6, e.linetype);
    if (SafeColor(e.color) != 256) dw_.dxfInt(62, SafeColor(e.color));
    Sub(marker);
    return h;
  }

  void TextGroups(const Entity& e, const char* marker, bool attribute) {
    Coord(10, e.points.empty() ? Point{} : e.points[0]);
    dw_.dxfReal(40, e.height);
    dw_.dxfString(1, e.text);
    if (e.rotation != 0) dw_.dxfReal(50, e.rotation);
    dw_.dxfReal(41, e.widthFactor);
    dw_.dxfString(7, e.style);
    if (e.hAlign != 0) dw_.dxfInt(72, e.hAlign);
    if (e.hAlign != 0 || e.vAlign != 0) Coord(11, e.alignment);
    Sub(marker);
    if (attribute) {
      if (e.kind == EntityKind::AttDef) dw_.dxfString(3, e.prompt);
      dw_.dxfString(2, e.tag);
      dw_.dxfInt(70, 0);
      if (e.vAlign != 0) dw_.dxfInt(74, e.vAlign);
    } else if (e.vAlign != 0) {
      dw_.dxfInt(73, e.vAlign);
    }
  }

  void WriteEntity(const Entity& e, unsigned owner, bool inBlock) {
    switch (e.kind) {
      case EntityKind::Line:
        if (e.points.size() < 2) return;
        Common("LINE", e, owner, "AcDbLine");
        Coord(10, e.points[0]);
        Coord(11, e.points[1]);
        return;
      case EntityKind::Polyline:
        if (e.points.size() < 2) return;
        if (r12_ && inBlock) return ExplodedPolyline(e, owner);
        if (r12_) return OldPolyline(e, owner);
        Common("LWPOLYLINE", e, owner, "AcDbPolyline");
        dw_.dxfInt(90, static_cast<int>(e.points.size()));
        dw_.dxfInt(70, e.closed ? 1 : 0);
        if (e.width > 0) dw_.dxfReal(43, e.width);
        for (size_t i = 0; i < e.points.size(); ++i) {
          dw_.dxfReal(10, e.points[i].x);
          dw_.dxfReal(20, e.points[i].y);
          if (i < e.bulges.size() && e.bulges[i] != 0) dw_.dxfReal(42, e.bulges[i]);
        }
        return;
      case EntityKind::Circle:
      case EntityKind::Arc:
        if (e.points.empty()) return;
        Common(e.kind == EntityKind::Arc ? "ARC" : "CIRCLE", e, owner, "AcDbCircle");
        Coord(10, e.points[0]);
        dw_.dxfReal(40, e.radius);
        if (e.kind == EntityKind::Arc) {
          Sub("AcDbArc");
          dw_.dxfReal(50, e.startAngle);
          dw_.dxfReal(51, e.endAngle);
        }
        return;
      case EntityKind::Solid: {
        if (e.points.size() < 3) return;
        Common("SOLID", e, owner, "AcDbTrace");
        // Outline order to the file's order, which crosses the last two.
        const Point last = e.points.size() > 3 ? e.points[3] : e.points[2];
        Coord(10, e.points[0]);
        Coord(11, e.points[1]);
        Coord(12, last);
        Coord(13, e.points[2]);
        return;
      }
      case EntityKind::Text:
        Common("TEXT", e, owner, "AcDbText");
        TextGroups(e, "AcDbText", false);
        return;
      case EntityKind::AttDef:
        if (!inBlock) return;
        Common("ATTDEF", e, owner, "AcDbText");
        TextGroups(e, "AcDbAttributeDefinition", true);
        return;
      case EntityKind::Insert: {
        if (e.points.empty() || e.text.empty()) return;
        const unsigned h = Common("INSERT", e, owner, "AcDbBlockReference");
        if (!e.attributes.empty()) dw_.dxfInt(66, 1);
        dw_.dxfString(2, e.text);
        Coord(10, e.points[0]);
        if (e.scaleX != 1 || e.scaleY != 1) {
          dw_.dxfReal(41, e.scaleX);
          dw_.dxfReal(42, e.scaleY);
          dw_.dxfReal(43, 1.0);
        }
        if (e.rotation != 0) dw_.dxfReal(50, e.rotation);
        if (e.attributes.empty()) return;
        for (const Entity& a : e.attributes) {
          Common("ATTRIB", a, h, "AcDbText");
          TextGroups(a, "AcDbAttribute", true);
        }
        SequenceEnd(e, h);
        return;
      }
    }
  }

  void SequenceEnd(const Entity& e, unsigned owner) {
    dw_.dxfString(0, "SEQEND");
    Handle(New(), owner);
    Sub("AcDbEntity");
    dw_.dxfString(8, e.layer.empty() ? "0" : e.layer);
  }

  void OldPolyline(const Entity& e, unsigned owner) {
    Common("POLYLINE", e, owner, "AcDb2dPolyline");
    dw_.dxfInt(66, 1);
    Coord(10, {0, 0});
    dw_.dxfInt(70, e.closed ? 1 : 0);
    if (e.width > 0) {   // an old POLYLINE has start and end widths only
      dw_.dxfReal(40, e.width);
      dw_.dxfReal(41, e.width);
    }
    for (size_t i = 0; i < e.points.size(); ++i) {
      dw_.dxfString(0, "VERTEX");
      dw_.dxfString(8, e.layer.empty() ? "0" : e.layer);
      Coord(10, e.points[i]);
      if (i < e.bulges.size() && e.bulges[i] != 0) dw_.dxfReal(42, e.bulges[i]);
    }
    SequenceEnd(e, owner);
  }

  // Some readers lose an R12 block's polylines (their sequence ends count
  // as owned by nothing): inside blocks they go out as lines and arcs.
  void ExplodedPolyline(const Entity& e, unsigned owner) {
    const size_t n = e.points.size(), segments = e.closed ? n : n - 1;
    for (size_t i = 0; i < segments; ++i) {
      Entity piece = e;
      piece.attributes.clear();
      const Point from = e.points[i], to = e.points[(i + 1) % n];
      const double bulge = i < e.bulges.size() ? e.bulges[i] : 0;
      if (bulge == 0) {
        piece.kind = EntityKind::Line;
        piece.points = {from, to};
      } else {
        const double offset = (1 - bulge * bulge) / (4 * bulge);
        const Point centre{(from.x + to.x) / 2 - offset * (to.y - from.y),
                           (from.y + to.y) / 2 + offset * (to.x - from.x)};
        const double a1 = std::atan2(from.y - centre.y, from.x - centre.x) * 180 / kPi;
        const double a2 = std::atan2(to.y - centre.y, to.x - centre.x) * 180 / kPi;
        piece.kind = EntityKind::Arc;
        piece.points = {centre};
        piece.radius = std::hypot(from.x - centre.x, from.y - centre.y);
        piece.startAngle = bulge > 0 ? a1 : a2;
        piece.endAngle = bulge > 0 ? a2 : a1;
      }
      WriteEntity(piece, owner, true);
    }
  }

  void Dictionary(const char* type, unsigned h, unsigned owner,
                  std::initializer_list<std::pair<const char*, unsigned>> entries) {
    dw_.dxfString(0, type);
    Handle(h, owner);
    dw_.dxfString(100, "AcDbDictionary");
    dw_.dxfInt(281, 1);
    for (const auto& [name, entry] : entries) {
      dw_.dxfString(3, name);
      dw_.dxfHex(350, static_cast<int>(entry));
    }
  }

  // A layout of the A3 sheet for model or paper space, to be plotted 1:1.
  void Layout(unsigned h, const char* name, int order, unsigned record) {
    dw_.dxfString(0, "LAYOUT");
    Handle(h, layoutDict_);
    dw_.dxfString(100, "AcDbPlotSettings");
    dw_.dxfString(1, "");
    dw_.dxfString(2, "none_device");
    dw_.dxfString(4, "ISO_A3_(420.00_x_297.00_MM)");
    dw_.dxfString(6, "");
    for (int code = 40; code <= 43; ++code) dw_.dxfReal(code, 0.0);
    dw_.dxfReal(44, d_.limitsMax.x - d_.limitsMin.x);
    dw_.dxfReal(45, d_.limitsMax.y - d_.limitsMin.y);
    for (int code = 46; code <= 49; ++code) dw_.dxfReal(code, 0.0);
    dw_.dxfReal(140, 0.0);
    dw_.dxfReal(141, 0.0);
    dw_.dxfReal(142, 1.0);
    dw_.dxfReal(143, 1.0);
    dw_.dxfInt(70, 688);
    dw_.dxfInt(72, 1);   // millimetres
    dw_.dxfInt(73, 0);
    dw_.dxfInt(74, 5);
    dw_.dxfString(7, "");
    dw_.dxfInt(75, 16);  // 1:1
    dw_.dxfReal(147, 1.0);
    dw_.dxfString(100, "AcDbLayout");
    dw_.dxfString(1, name);
    dw_.dxfInt(70, 1);
    dw_.dxfInt(71, order);
    dw_.dxfReal(10, d_.limitsMin.x);
    dw_.dxfReal(20, d_.limitsMin.y);
    dw_.dxfReal(11, d_.limitsMax.x);
    dw_.dxfReal(21, d_.limitsMax.y);
    Coord(12, {0, 0});
    Coord(14, d_.limitsMin);
    Coord(15, d_.limitsMax);
    dw_.dxfReal(146, 0.0);
    Coord(13, {0, 0});
    Coord(16, {1, 0});
    Coord(17, {0, 1});
    dw_.dxfInt(76, 0);
    dw_.dxfHex(330, static_cast<int>(record));
  }

  void Objects() {
    dw_.dxfString(0, "SECTION");
    dw_.dxfString(2, "OBJECTS");
    const unsigned groups = New(), mlineStyles = New(), mlineStyle = New();
    Dictionary("DICTIONARY", rootDict_, 0,
               {{"ACAD_GROUP", groups}, {"ACAD_LAYOUT", layoutDict_}, {"ACAD_MLINESTYLE", mlineStyles},
                {"ACAD_PLOTSTYLENAME", plotStyleDict_}});
    Dictionary("DICTIONARY", groups, rootDict_, {});
    Dictionary("DICTIONARY", layoutDict_, rootDict_, {{"Layout1", paperLayout_}, {"Model", modelLayout_}});
    Dictionary("DICTIONARY", mlineStyles, rootDict_, {{"Standard", mlineStyle}});
    Dictionary("ACDBDICTIONARYWDFLT", plotStyleDict_, rootDict_, {{"Normal", plotStylePlaceholder_}});
    dw_.dxfString(100, "AcDbDictionaryWithDefault");
    dw_.dxfHex(340, static_cast<int>(plotStylePlaceholder_));
    dw_.dxfString(0, "ACDBPLACEHOLDER");
    Handle(plotStylePlaceholder_, plotStyleDict_);
    dw_.dxfString(0, "MLINESTYLE");
    Handle(mlineStyle, mlineStyles);
    dw_.dxfString(100, "AcDbMlineStyle");
    dw_.dxfString(2, "Standard");
    dw_.dxfInt(70, 0);
    dw_.dxfString(3, "");
    dw_.dxfInt(62, 256);
    dw_.dxfReal(51, 90.0);
    dw_.dxfReal(52, 90.0);
    dw_.dxfInt(71, 2);
    for (double offset : {0.5, -0.5}) {
      dw_.dxfReal(49, offset);
      dw_.dxfInt(62, 256);
      dw_.dxfString(6, "BYLAYER");
    }
    Layout(paperLayout_, "Layout1", 1, paperRecord_);
    Layout(modelLayout_, "Model", 0, modelRecord_);
    dw_.sectionEnd();
  }

  DL_WriterA& dw_;
  const Drawing& d_;
  const bool r12_;
  unsigned next_ = 1;
  unsigned vportTable_ = 0, ltypeTable_ = 0, layerTable_ = 0, styleTable_ = 0, viewTable_ = 0, ucsTable_ = 0,
           appidTable_ = 0, dimstyleTable_ = 0, recordTable_ = 0, modelRecord_ = 0, paperRecord_ = 0,
           rootDict_ = 0, layoutDict_ = 0, modelLayout_ = 0, paperLayout_ = 0, plotStyleDict_ = 0,
           plotStylePlaceholder_ = 0;
  std::vector<unsigned> styleHandles_, blockRecords_;
};

// The box the page's entities cover, blocks and texts included; the sheet's
// limits when it draws nothing.
Extents DrawingExtents(const Drawing& d) {
  Extents e = PageExtents(FlattenPage(d));
  if (e.empty) {
    e.Add(d.limitsMin);
    e.Add(d.limitsMax);
  }
  return e;
}

}  // namespace


std::string DxfText(const Drawing& drawing, DxfVersion version) {
  const bool r12 = version == DxfVersion::R12;
  const DL_Codes::version code = r12 ? DL_Codes::AC1009 : DL_Codes::AC1015;
  // The sections first, so that the header can name the next free handle.
  std::string body;
  TextWriter bodyWriter(body, code);
  SectionWriter sections(bodyWriter, drawing, r12);
  sections.Body();
  bodyWriter.dxfEOF();

  std::string text;
  TextWriter dw(text, code);
  const Extents ext = DrawingExtents(drawing);
  dw.sectionHeader();
  dw.dxfString(9, "$ACADVER");
  dw.dxfString(1, r12 ? "AC1009" : "AC1015");
  dw.dxfString(9, "$DWGCODEPAGE");
  dw.dxfString(3, "ANSI_932");
  dw.dxfString(9, "$INSBASE");
  for (int c : {10, 20, 30}) dw.dxfReal(c, 0.0);
  dw.dxfString(9, "$EXTMIN");
  dw.dxfReal(10, ext.minX);
  dw.dxfReal(20, ext.minY);
  dw.dxfReal(30, 0.0);
  dw.dxfString(9, "$EXTMAX");
  dw.dxfReal(10, ext.maxX);
  dw.dxfReal(20, ext.maxY);
  dw.dxfReal(30, 0.0);
  dw.dxfString(9, "$LIMMIN");
  dw.dxfReal(10, drawing.limitsMin.x);
  dw.dxfReal(20, drawing.limitsMin.y);
  dw.dxfString(9, "$LIMMAX");
  dw.dxfReal(10, drawing.limitsMax.x);
  dw.dxfReal(20, drawing.limitsMax.y);
  dw.dxfString(9, "$LTSCALE");
  dw.dxfReal(40, drawing.ltscale);
  if (!r12) {
    dw.dxfString(9, "$MEASUREMENT");
    dw.dxfInt(70, 1);   // metric
    dw.dxfString(9, "$INSUNITS");
    dw.dxfInt(70, 4);   // millimetres
    dw.dxfString(9, "$HANDSEED");
    dw.dxfHex(5, static_cast<int>(sections.NextHandle()));
  }
  dw.sectionEnd();
  if (!r12) {
    dw.dxfString(0, "SECTION");
    dw.dxfString(2, "CLASSES");
    dw.sectionEnd();
  }
  return text + body;
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

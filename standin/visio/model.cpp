#include "standin/visio/model.h"

#include <windows.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <algorithm>
#include <stdexcept>

#include <pugixml.hpp>

namespace qel::visio_standin {

namespace {

// Visio's files carry a default namespace; a writer may also use a prefix.
// Either way only the local name counts.
const char* LocalName(const pugi::xml_node& node) {
  const char* name = node.name();
  const char* colon = std::strchr(name, ':');
  return colon ? colon + 1 : name;
}

bool Is(const pugi::xml_node& node, const char* local) { return std::strcmp(LocalName(node), local) == 0; }

pugi::xml_node Child(const pugi::xml_node& node, const char* local) {
  for (pugi::xml_node c = node.first_child(); c; c = c.next_sibling())
    if (c.type() == pugi::node_element && Is(c, local)) return c;
  return {};
}

template <typename F>
void EachChild(const pugi::xml_node& node, const char* local, F f) {
  for (pugi::xml_node c = node.first_child(); c; c = c.next_sibling())
    if (c.type() == pugi::node_element && Is(c, local)) f(c);
}

double Number(const pugi::xml_node& parent, const char* local, double fallback = 0) {
  pugi::xml_node n = Child(parent, local);
  if (!n) return fallback;
  const char* text = n.child_value();
  char* end = nullptr;
  double v = std::strtod(text, &end);
  return end == text ? fallback : v;
}

std::wstring Attr(const pugi::xml_node& node, const char* name) { return FromUtf8(node.attribute(name).value()); }

std::string Narrow(const std::wstring& w) { return ToUtf8(w); }

// An arc from `from` to `to` whose midpoint lies `bow` from the chord's
// midpoint; a positive bow turns counter-clockwise, i.e. bulges to the
// right of the direction of travel.
void AppendArc(std::vector<Point>& path, Point from, Point to, double bow) {
  const double dx = to.x - from.x, dy = to.y - from.y;
  const double chord = std::hypot(dx, dy);
  if (chord < 1e-9 || std::fabs(bow) < 1e-9) {
    path.push_back(to);
    return;
  }
  const Point normal{dy / chord, -dx / chord};
  const Point mid{(from.x + to.x) / 2, (from.y + to.y) / 2};
  const double radius = (chord * chord / 4 + bow * bow) / (2 * std::fabs(bow));
  const double offset = bow - std::copysign(radius, bow);
  const Point centre{mid.x + normal.x * offset, mid.y + normal.y * offset};
  double a0 = std::atan2(from.y - centre.y, from.x - centre.x);
  double a1 = std::atan2(to.y - centre.y, to.x - centre.x);
  const double pi = 3.14159265358979323846;
  if (bow > 0) {
    while (a1 <= a0) a1 += 2 * pi;
  } else {
    while (a1 >= a0) a1 -= 2 * pi;
  }
  const int steps = std::max(4, static_cast<int>(std::fabs(a1 - a0) / (pi / 24)));
  for (int i = 1; i <= steps; ++i) {
    const double a = a0 + (a1 - a0) * i / steps;
    path.push_back(i == steps ? to : Point{centre.x + radius * std::cos(a), centre.y + radius * std::sin(a)});
  }
}

void ReadGeometry(const pugi::xml_node& geom, std::vector<Figure>& figures) {
  if (Number(geom, "NoLine") != 0) return;
  Figure* current = nullptr;
  Point pen;
  for (pugi::xml_node row = geom.first_child(); row; row = row.next_sibling()) {
    if (row.type() != pugi::node_element) continue;
    const Point p{Number(row, "X"), Number(row, "Y")};
    if (Is(row, "MoveTo")) {
      figures.push_back(Figure{});
      current = &figures.back();
      current->points.push_back(p);
      pen = p;
    } else if (Is(row, "LineTo") || Is(row, "ArcTo")) {
      if (!current) {  // a path that does not begin with MoveTo starts at the origin
        figures.push_back(Figure{});
        current = &figures.back();
        current->points.push_back(pen);
      }
      if (Is(row, "LineTo"))
        current->points.push_back(p);
      else
        AppendArc(current->points, pen, p, Number(row, "A"));
      pen = p;
    } else if (Is(row, "Ellipse")) {
      Figure e;
      e.kind = Figure::Kind::kEllipse;
      e.center = p;
      const double ax = Number(row, "A") - p.x, ay = Number(row, "B") - p.y;
      const double cx = Number(row, "C") - p.x, cy = Number(row, "D") - p.y;
      const double first = std::hypot(ax, ay), second = std::hypot(cx, cy);
      // The point (A, B) ends one axis and (C, D) the other; no rotation.
      const bool firstIsHorizontal = std::fabs(ax) >= std::fabs(ay);
      e.rx = firstIsHorizontal ? first : second;
      e.ry = firstIsHorizontal ? second : first;
      figures.push_back(e);
      current = nullptr;
    }
  }
  for (Figure& f : figures) {
    if (f.kind == Figure::Kind::kPath && f.points.size() > 2) {
      const Point& a = f.points.front();
      const Point& b = f.points.back();
      f.closed = std::fabs(a.x - b.x) < 1e-9 && std::fabs(a.y - b.y) < 1e-9;
    }
  }
}

ShapeDef ReadShape(const pugi::xml_node& node) {
  ShapeDef s;
  s.name = Attr(node, "NameU");
  if (s.name.empty()) s.name = Attr(node, "Name");
  pugi::xml_node xform = Child(node, "XForm");
  s.pinX = Number(xform, "PinX");
  s.pinY = Number(xform, "PinY");
  s.width = Number(xform, "Width");
  s.height = Number(xform, "Height");
  s.locPinX = Number(xform, "LocPinX", s.width / 2);
  s.locPinY = Number(xform, "LocPinY", s.height / 2);
  EachChild(node, "Geom", [&](pugi::xml_node g) { ReadGeometry(g, s.figures); });
  EachChild(node, "Prop", [&](pugi::xml_node p) {
    Property prop;
    prop.name = Attr(p, "NameU");
    if (prop.name.empty()) prop.name = Attr(p, "Name");
    prop.value = FromUtf8(Child(p, "Value").child_value());
    s.properties.push_back(prop);
  });
  EachChild(node, "Connection", [&](pugi::xml_node c) { s.connections.push_back({Number(c, "X"), Number(c, "Y")}); });
  if (pugi::xml_node t = Child(node, "TextXForm")) {
    s.text.present = true;
    s.text.width = Number(t, "TxtWidth", s.width);
    s.text.height = Number(t, "TxtHeight", s.height);
    s.text.left = Number(t, "TxtPinX", s.width / 2) - Number(t, "TxtLocPinX", s.text.width / 2);
    s.text.bottom = Number(t, "TxtPinY", s.height / 2) - Number(t, "TxtLocPinY", s.text.height / 2);
  }
  EachChild(Child(node, "Shapes"), "Shape", [&](pugi::xml_node c) { s.children.push_back(ReadShape(c)); });
  return s;
}

bool HasExtension(const std::wstring& path, const wchar_t* ext) {
  const std::size_t n = wcslen(ext);
  return path.size() >= n && SameName(path.substr(path.size() - n), ext);
}

}  // namespace

std::shared_ptr<Document> LoadDocument(const std::wstring& path) {
  FILE* f = _wfopen(path.c_str(), L"rb");
  if (!f) throw std::runtime_error("cannot read the file " + Narrow(path));
  std::string bytes;
  char buf[65536];
  for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, f)) > 0;) bytes.append(buf, n);
  const bool readError = std::ferror(f) != 0;
  std::fclose(f);
  if (readError) throw std::runtime_error("cannot read the file " + Narrow(path));

  pugi::xml_document xml;
  pugi::xml_parse_result parsed = xml.load_buffer(bytes.data(), bytes.size());
  if (!parsed)
    throw std::runtime_error(Narrow(path) + " is not readable XML: " + parsed.description() + " at byte " +
                             std::to_string(parsed.offset));
  pugi::xml_node root = xml.document_element();
  if (!root || !Is(root, "VisioDocument")) throw std::runtime_error(Narrow(path) + " is not a Visio XML document");

  auto doc = std::make_shared<Document>();
  doc->path = path;
  const std::size_t slash = path.find_last_of(L"\\/");
  doc->name = slash == std::wstring::npos ? path : path.substr(slash + 1);
  doc->isStencil = HasExtension(path, L".vss") || HasExtension(path, L".vsx");
  EachChild(Child(root, "Masters"), "Master", [&](pugi::xml_node m) {
    auto master = std::make_shared<Master>();
    master->nameU = Attr(m, "NameU");
    master->name = Attr(m, "Name");
    if (master->name.empty()) master->name = master->nameU;
    if (master->nameU.empty()) master->nameU = master->name;
    EachChild(Child(m, "Shapes"), "Shape", [&](pugi::xml_node s) { master->shapes.push_back(ReadShape(s)); });
    doc->masters.push_back(master);
  });
  EachChild(Child(root, "Pages"), "Page", [&](pugi::xml_node p) {
    auto page = std::make_shared<Page>();
    page->name = Attr(p, "Name");
    if (page->name.empty()) page->name = Attr(p, "NameU");
    pugi::xml_node props = Child(Child(p, "PageSheet"), "PageProps");
    page->width = Number(props, "PageWidth", page->width);
    page->height = Number(props, "PageHeight", page->height);
    doc->pages.push_back(page);
  });
  // A drawing always has a page to draw on.
  if (!doc->isStencil && doc->pages.empty()) {
    doc->pages.push_back(std::make_shared<Page>());
    doc->pages.back()->name = L"Page-1";
  }
  return doc;
}

bool ParseStringConstant(const std::wstring& formula, std::wstring& value) {
  std::size_t i = 0;
  if (!formula.empty() && formula[0] == L'=') i = 1;  // "=" before a formula is optional
  if (formula.size() < i + 2 || formula[i] != L'"' || formula.back() != L'"') return false;
  std::wstring out;
  for (std::size_t p = i + 1; p + 1 < formula.size(); ++p) {
    if (formula[p] == L'"') {
      if (p + 2 < formula.size() && formula[p + 1] == L'"') {
        out += L'"';
        ++p;
        continue;
      }
      return false;  // a lone quote ends the constant before the formula ends
    }
    out += formula[p];
  }
  value = out;
  return true;
}

bool SameName(const std::wstring& a, const std::wstring& b) {
  return CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(), static_cast<int>(b.size()), TRUE) ==
         CSTR_EQUAL;
}

}  // namespace qel::visio_standin

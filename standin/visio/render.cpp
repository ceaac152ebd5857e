#include "standin/visio/render.h"

#include <cstdio>
#include <sstream>
#include <stdexcept>

#include <pugixml.hpp>

namespace qel::visio_standin {

namespace {

constexpr double kTextSize = 2.5 / 25.4;    // character height
constexpr double kLinePitch = 3.2 / 25.4;   // distance between text lines
constexpr double kTextMargin = 0.5 / 25.4;  // gap to the text block's edge

void DrawDef(const ShapeDef& def, Point offset, DrawnShape& out) {
  auto place = [&](Point p) { return Point{offset.x + p.x, offset.y + p.y}; };
  for (const Figure& f : def.figures) {
    if (f.kind == Figure::Kind::kEllipse) {
      out.ellipses.push_back({place(f.center), f.rx, f.ry});
    } else {
      std::vector<Point> path;
      for (const Point& p : f.points) path.push_back(place(p));
      out.paths.push_back(std::move(path));
    }
  }
  for (const ShapeDef& child : def.children)
    DrawDef(child, {offset.x + child.pinX - child.locPinX, offset.y + child.pinY - child.locPinY}, out);
}

// The property values, one line each from the top of the shape's text block
// (or beside the shape when it has none); an empty value keeps its line.
void DrawTexts(const PlacedShape& shape, const ShapeDef& def, Point offset, DrawnShape& out) {
  double left, top;
  if (def.text.present) {
    left = offset.x + def.text.left + kTextMargin;
    top = offset.y + def.text.bottom + def.text.height;
  } else {
    left = offset.x + def.width + 1 / 25.4;
    top = offset.y + def.height;
  }
  for (std::size_t i = 0; i < shape.properties.size(); ++i) {
    const Property& p = shape.properties[i];
    if (p.value.empty()) continue;
    out.texts.push_back({{left, top - kLinePitch * static_cast<double>(i + 1) + (kLinePitch - kTextSize) / 2},
                         kTextSize, p.value, p.name});
  }
}

std::string Mm(double inches) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.3f", inches * 25.4);
  std::string s = buf;
  while (s.back() == '0') s.pop_back();
  if (s.back() == '.') s.pop_back();
  if (s == "-0") s = "0";
  return s;
}

}  // namespace

std::vector<DrawnShape> DrawPage(const Page& page) {
  std::vector<DrawnShape> shapes;
  for (const auto& placed : page.shapes) {
    DrawnShape out;
    out.id = placed->id;
    if (placed->isLine) {
      out.isLine = true;
      out.at = placed->from;
      out.paths.push_back({placed->from, placed->to});
    } else {
      out.master = placed->master->nameU;
      out.at = placed->at;
      for (std::size_t i = 0; i < placed->master->shapes.size(); ++i) {
        const ShapeDef& def = placed->master->shapes[i];
        const Point offset{placed->at.x - def.locPinX, placed->at.y - def.locPinY};
        DrawDef(def, offset, out);
        if (i == 0) DrawTexts(*placed, def, offset, out);
      }
    }
    shapes.push_back(std::move(out));
  }
  return shapes;
}

std::string PageSvg(const Page& page) {
  const double h = page.height;
  auto x = [](double v) { return Mm(v); };
  auto y = [h](double v) { return Mm(h - v); };
  pugi::xml_document doc;
  pugi::xml_node decl = doc.append_child(pugi::node_declaration);
  decl.append_attribute("version") = "1.0";
  decl.append_attribute("encoding") = "UTF-8";
  pugi::xml_node svg = doc.append_child("svg");
  svg.append_attribute("xmlns") = "http://www.w3.org/2000/svg";
  svg.append_attribute("width") = (Mm(page.width) + "mm").c_str();
  svg.append_attribute("height") = (Mm(page.height) + "mm").c_str();
  svg.append_attribute("viewBox") = ("0 0 " + Mm(page.width) + " " + Mm(page.height)).c_str();
  svg.append_child("title").text() = ToUtf8(page.name).c_str();
  pugi::xml_node background = svg.append_child("rect");
  background.append_attribute("x") = "0";
  background.append_attribute("y") = "0";
  background.append_attribute("width") = Mm(page.width).c_str();
  background.append_attribute("height") = Mm(page.height).c_str();
  background.append_attribute("fill") = "white";
  pugi::xml_node drawing = svg.append_child("g");
  drawing.append_attribute("fill") = "none";
  drawing.append_attribute("stroke") = "black";
  drawing.append_attribute("stroke-width") = "0.35";
  drawing.append_attribute("font-family") = "sans-serif";

  for (const DrawnShape& shape : DrawPage(page)) {
    pugi::xml_node g = drawing.append_child("g");
    g.append_attribute("id") = ("shape" + std::to_string(shape.id)).c_str();
    g.append_attribute("class") = shape.isLine ? "line" : "master";
    if (!shape.isLine) {
      g.append_attribute("data-master") = ToUtf8(shape.master).c_str();
      // The drop point in page millimetres, y upwards, as it was asked for.
      g.append_attribute("data-x") = Mm(shape.at.x).c_str();
      g.append_attribute("data-y") = Mm(shape.at.y).c_str();
    }
    for (const auto& path : shape.paths) {
      if (path.size() == 2) {
        pugi::xml_node line = g.append_child("line");
        line.append_attribute("x1") = x(path[0].x).c_str();
        line.append_attribute("y1") = y(path[0].y).c_str();
        line.append_attribute("x2") = x(path[1].x).c_str();
        line.append_attribute("y2") = y(path[1].y).c_str();
        continue;
      }
      std::string d;
      for (std::size_t i = 0; i < path.size(); ++i) d += (i ? " L " : "M ") + x(path[i].x) + " " + y(path[i].y);
      g.append_child("path").append_attribute("d") = d.c_str();
    }
    for (const DrawnEllipse& e : shape.ellipses) {
      pugi::xml_node el = g.append_child("ellipse");
      el.append_attribute("cx") = x(e.center.x).c_str();
      el.append_attribute("cy") = y(e.center.y).c_str();
      el.append_attribute("rx") = Mm(e.rx).c_str();
      el.append_attribute("ry") = Mm(e.ry).c_str();
    }
    for (const DrawnText& t : shape.texts) {
      pugi::xml_node text = g.append_child("text");
      text.append_attribute("x") = x(t.baseline.x).c_str();
      text.append_attribute("y") = y(t.baseline.y).c_str();
      text.append_attribute("font-size") = Mm(t.size).c_str();
      text.append_attribute("fill") = "black";
      text.append_attribute("stroke") = "none";
      text.append_attribute("data-property") = ToUtf8(t.property).c_str();
      text.text() = ToUtf8(t.text).c_str();
    }
  }
  std::ostringstream out;
  doc.save(out, "  ", pugi::format_indent | pugi::format_no_declaration);
  return out.str();
}

int SavePagesAsSvg(const Document& document, const std::wstring& folder) {
  int written = 0;
  for (std::size_t i = 0; i < document.pages.size(); ++i) {
    std::wstring path = folder;
    if (!path.empty() && path.back() != L'\\' && path.back() != L'/') path += L'\\';
    path += L"page" + std::to_wstring(i + 1) + L".svg";
    const std::string svg = PageSvg(*document.pages[i]);
    FILE* f = _wfopen(path.c_str(), L"wb");
    if (!f) throw std::runtime_error("cannot write " + ToUtf8(path));
    const bool ok = std::fwrite(svg.data(), 1, svg.size(), f) == svg.size();
    if (std::fclose(f) != 0 || !ok) throw std::runtime_error("cannot write " + ToUtf8(path));
    ++written;
  }
  return written;
}

}  // namespace qel::visio_standin

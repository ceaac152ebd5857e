#pragma once
// What the Visio stand-in keeps in memory: documents read from Visio's XML
// files (stencils with their masters, drawings with their pages) and the
// shapes placed on pages by automation. Lengths are inches, y upwards.
#include <memory>
#include <string>
#include <vector>

#include "standin/comserver/utf8.h"

namespace qel::visio_standin {

struct Point {
  double x = 0;
  double y = 0;
};

// One figure of a shape's geometry in the shape's local coordinates.
struct Figure {
  enum class Kind { kPath, kEllipse } kind = Kind::kPath;
  std::vector<Point> points;  // a path, arcs already flattened
  bool closed = false;
  Point center;               // an ellipse (axis-aligned)
  double rx = 0;
  double ry = 0;
};

struct Property {
  std::wstring name;     // NameU, e.g. "Row_2"
  std::wstring value;    // the text shown
  std::wstring formula;  // as last assigned
};

// Where a shape's text lies, in its local coordinates.
struct TextBlock {
  bool present = false;
  double left = 0;
  double bottom = 0;
  double width = 0;
  double height = 0;
};

struct ShapeDef {
  std::wstring name;
  double pinX = 0, pinY = 0, width = 0, height = 0, locPinX = 0, locPinY = 0;
  std::vector<Figure> figures;
  std::vector<Property> properties;
  std::vector<Point> connections;
  TextBlock text;
  std::vector<ShapeDef> children;
};

struct Master {
  std::wstring name;
  std::wstring nameU;
  std::vector<ShapeDef> shapes;  // top-level shapes
};

// A shape on a page: a straight line or an instance of a master whose
// LocPin sits at `at`.
struct PlacedShape {
  int id = 0;
  bool isLine = false;
  Point from, to;
  std::shared_ptr<const Master> master;
  Point at;
  std::vector<Property> properties;  // the instance's own values
};

struct Page {
  std::wstring name;
  double width = 8.5;
  double height = 11;
  std::vector<std::shared_ptr<PlacedShape>> shapes;
  int nextId = 1;
};

struct Document {
  std::wstring path;  // full path as opened
  std::wstring name;  // file name
  bool isStencil = false;
  std::vector<std::shared_ptr<Master>> masters;
  std::vector<std::shared_ptr<Page>> pages;
};

// Reads a stencil (.vss/.vsx) or drawing (.vsd/.vdx) in Visio's 2003 XML
// format. Throws std::runtime_error with a readable reason (UTF-8) when the
// file cannot be read or is not such a document.
std::shared_ptr<Document> LoadDocument(const std::wstring& path);

// A cell formula that is a string constant: "text", where a doubled quote
// stands for one quote. Gives false for anything else (a lone quote inside,
// no closing quote, no quotes at all).
bool ParseStringConstant(const std::wstring& formula, std::wstring& value);

// Case-blind comparison of names (masters, cells, members).
bool SameName(const std::wstring& a, const std::wstring& b);

using standin::FromUtf8;
using standin::ToUtf8;

}  // namespace qel::visio_standin

// A drawing in memory: the tables and block definitions read from a DXF
// file, and the model-space entities drawn on top. The program's own DXF
// output and preview build pages of it; the AutoCAD stand-in holds its open
// drawings in it. Texts and names are Shift-JIS bytes.
#pragma once
#include <string>
#include <vector>

namespace qel::dxf {

struct Point {
  double x = 0, y = 0;
};

// Solid: a filled triangle or quadrilateral, points in outline order (the
// file's own order crosses the last two). AttDef: an attribute definition
// inside a block, a text with a tag; an insert's attribute values are texts
// with tags in its `attributes`.
enum class EntityKind { Line, Polyline, Circle, Arc, Text, Insert, Solid, AttDef };

// One entity; only the fields of its kind are meaningful. A flat record is
// enough here: the stand-in knows a handful of kinds and never edits them.
struct Entity {
  EntityKind kind = EntityKind::Line;
  std::string layer = "0";
  std::string linetype = "BYLAYER";
  int color = 256;                 // by layer
  std::vector<Point> points;       // line: 2; polyline: vertices
  bool closed = false;             // polyline
  std::vector<double> bulges;      // polyline: per vertex, 0 = straight (1 = half circle)
  double width = 0;                // polyline: constant width (a donut is a wide closed arc pair)
  double radius = 0;               // circle, arc (centre in points[0])
  double startAngle = 0, endAngle = 0;  // arc, degrees
  // Text: points[0] is the insertion point; alignment is the second point
  // for every justification but the default left one.
  std::string text;
  std::string style = "STANDARD";
  double height = 2.5, widthFactor = 1, rotation = 0;  // rotation in degrees
  int hAlign = 0, vAlign = 0;      // 0,0 = left on the baseline; 1,0 = centre
  Point alignment;
  // Insert: points[0] is the insertion point, text is the block name.
  double scaleX = 1, scaleY = 1;
  std::vector<Entity> attributes;  // insert: its attribute values, as texts
  std::string tag;                 // attribute definition or value
  std::string prompt;              // attribute definition
};

struct Block {
  std::string name;
  Point base;
  std::vector<Entity> entities;
};

struct Layer {
  std::string name;
  int color = 7;
  std::string linetype = "CONTINUOUS";
  int lineweight = -3;             // hundredths of a millimetre; -3 the default
};

struct Linetype {
  std::string name;
  std::string description;
  std::vector<double> dashes;      // positive dash, negative gap, 0 dot
};

struct TextStyle {
  std::string name;
  std::string font = "txt";
  std::string bigFont;
  double height = 0, widthFactor = 1, oblique = 0;
  int generation = 0;              // 2 backwards, 4 upside down
  bool vertical = false;
};

struct Drawing {
  std::vector<Layer> layers;
  std::vector<Linetype> linetypes;
  std::vector<TextStyle> styles;
  std::vector<Block> blocks;
  std::vector<Entity> entities;    // model space
  // The sheet the drawing is laid out on, and the scale of its linetypes.
  Point limitsMin{0, 0}, limitsMax{420, 297};
  double ltscale = 1;

  const Block* FindBlock(const std::string& name) const;
  Block* FindBlock(const std::string& name);
  const Linetype* FindLinetype(const std::string& name) const;
  TextStyle* FindStyle(const std::string& name);
  // The tables every drawing has: layer 0, the STANDARD style, the
  // CONTINUOUS linetype. Added where a file lacked them.
  void AddDefaults();
};

// Names of blocks, layers, linetypes and styles compare without regard to
// the case of their ASCII letters; double-byte characters compare exactly.
// The width a one-line text takes in the txt / extfont style, estimated per
// character at its height and width factor: a half-width (one-byte)
// character as wide as the text is high, the txt font's six-unit cell on
// its six-unit capitals; a full-width (two-byte) character of extfont
// twice that. Readers that place a centred text by its start point need it.
double TextWidth(const std::string& text, double height, double widthFactor);
// Where a text's start point lies: its insertion point for left texts, and
// for centred and right-ended ones the alignment point less the whole or
// half of its estimated width along its direction.
Point TextStart(const Entity& text);

bool SameName(const std::string& a, const std::string& b);
std::string UpperAscii(const std::string& s);

}  // namespace qel::dxf

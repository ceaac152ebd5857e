// What the drawing preview shows, worked out without any window: a page's
// entities flattened into straight strokes and placed texts in drawing
// units (block inserts resolved, arcs and bulges cut into short chords,
// dashed linetypes cut into their dashes), and the view that maps drawing
// units to pixels (fit to the window, zoom about a point, pan). The window
// only turns these into GDI calls.
#pragma once
#include <cstddef>
#include <string>
#include <vector>

#include "dxf/drawing.h"

namespace qel::dxf {

// A 2-D affine map: x' = a x + c y + e, y' = b x + d y + f.
struct Affine {
  double a = 1, b = 0, c = 0, d = 1, e = 0, f = 0;
  Point Apply(Point p) const { return {a * p.x + c * p.y + e, b * p.x + d * p.y + f}; }
  // This map applied after `inner`.
  Affine After(const Affine& inner) const;
  // How much a length grows (the mean of the two axes' factors).
  double LengthScale() const;
  // The angle in degrees that the x axis turns through.
  double AngleDegrees() const;
};

// Where a block's entities land for an insert: moved so that the block's
// base point sits on the insertion point, scaled, then turned about it.
Affine InsertTransform(const Entity& insert, const Block& block);

// The solid pieces of the segment a-b under a dash pattern (positive dash,
// negative gap, 0 dot), the pattern starting at a and repeating. A dot is a
// piece whose two ends are the same point. An empty pattern, or one with no
// length, gives the whole segment.
std::vector<std::pair<Point, Point>> DashPieces(Point a, Point b, const std::vector<double>& pattern);

// A run of connected straight pieces drawn with one pen.
struct Stroke {
  std::vector<Point> points;
  double width = 0;  // drawing units; 0 = the thinnest line
  int color = 7;     // ACI number, resolved from layer and block
  bool filled = false;  // a closed outline painted solid
};

enum class TextAnchor { Left, Centre, Right };

// A text ready to draw: its baseline point, from which it runs to the right
// (Left), or around which it is centred (Centre) or ends (Right).
struct PlacedText {
  Point at;
  TextAnchor anchor = TextAnchor::Left;
  double height = 2.5;  // drawing units
  double widthFactor = 1;
  double rotation = 0;  // degrees, anticlockwise
  std::string text;     // Shift-JIS
  int color = 7;
};

// Where a TEXT entity's baseline point is and how the text hangs on it.
// Left texts stand on their insertion point; every other justification is
// placed by its alignment point, centred or right-ended there; middle and
// top justifications move the baseline down by half or all of the height.
PlacedText PlaceText(const Entity& text);

struct PreviewPage {
  std::vector<Stroke> strokes;
  std::vector<PlacedText> texts;
};

// What a page may cost to flatten: one for every entity visited (inside
// inserts too, each time), and one for every stroke, dash piece and point
// made. The delivered template's costliest page of a full list costs under
// two thousand; a page at the limit takes some tens of megabytes.
constexpr std::size_t kFlattenBudget = 200000;

// The model space of a page as strokes and texts. Inserts of blocks the page
// does not hold, and blocks inserting themselves, are left out rather than
// followed for ever; past kFlattenBudget nothing more is added.
PreviewPage FlattenPage(const Drawing& page);

// What flattening these entities of the drawing (its model space, or a
// block's as one insert of it) costs, counted without making anything, and
// counted no further than just past `budget`.
std::size_t FlattenCost(const Drawing& drawing, const std::vector<Entity>& entities,
                        std::size_t budget = kFlattenBudget);
// Whether the model space and every block of the drawing, each taken alone,
// fit in kFlattenBudget.
bool WithinFlattenBudget(const Drawing& drawing);

struct Extents {
  double minX = 0, minY = 0, maxX = 0, maxY = 0;
  bool empty = true;
  void Add(Point p);
};

// Everything the page draws; a text counts with the box its height and an
// estimated width span.
Extents PageExtents(const PreviewPage& page);

// Drawing units to pixels: screen x = offsetX + x * scale, and screen y =
// offsetY - y * scale, since the drawing's y axis points up.
// A device with more dots one way than the other (a printer of 1200 x 600
// dpi) has `stretchY` pixels down for every pixel across (0.5 there); a
// screen's pixels are square.
struct View {
  double scale = 1;
  double offsetX = 0, offsetY = 0;
  double stretchY = 1;
  Point ToScreen(Point world) const { return {offsetX + world.x * scale, offsetY - world.y * scale * stretchY}; }
  Point ToWorld(Point screen) const { return {(screen.x - offsetX) / scale, (offsetY - screen.y) / (scale * stretchY)}; }
};

// The largest view that shows the extents whole in a width x height pixel
// area with `margin` pixels free on every side, centred. An empty page or a
// window with no room keeps scale 1 around the origin.
View FitView(const Extents& extents, int width, int height, int margin);

// The view zoomed by `factor` so that the drawing point under the screen
// point (sx, sy) stays under it. The scale is kept between `fitted` / 20 and
// `fitted` x 200, so that neither zooming out nor in loses the drawing.
View ZoomAbout(const View& view, double factor, double sx, double sy, double fittedScale);

// A printer's page in its own pixels: the whole sheet of paper, where the
// printable part of it starts, how large that part is, and the pixels per
// inch across.
struct Paper {
  double dpi = 600;
  double width = 0, height = 0;                  // the whole paper
  double printableX = 0, printableY = 0;         // offset of the printable part
  double printableWidth = 0, printableHeight = 0;
};

// Where a page lands on paper, in pixels of the printable part (whose
// top-left is 0,0, as a printer's device context counts). A sheet that the
// paper holds at full size (within a millimetre) prints 1:1, a drawing
// unit to a millimetre, centred on the whole paper, whatever the printer
// cannot reach at the edges; otherwise the sheet is fitted to the printable
// part, keeping its proportions, and `fitted` says so.
struct PaperPlacement {
  View view;
  bool fitted = false;
};
PaperPlacement PlaceOnPaper(const Extents& sheet, const Paper& paper);

// The colour to paint an ACI colour number with on the preview's white
// paper, as 0xRRGGBB: white (7) paints black, yellow a darker yellow so it
// stays visible, numbers past the first nine grey.
unsigned PaperColor(int aci);

// Circles and arcs are drawn as chords of at most this many degrees.
constexpr double kChordDegrees = 10;

}  // namespace qel::dxf

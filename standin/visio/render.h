#pragma once
// A page reduced to what is drawn: polylines, ellipses and text lines in
// page inches. The window and the SVG writer both draw from it, so what a
// person sees is what the file holds.
#include <string>
#include <vector>

#include "standin/visio/model.h"

namespace qel::visio_standin {

struct DrawnEllipse {
  Point center;
  double rx = 0;
  double ry = 0;
};

struct DrawnText {
  Point baseline;      // left end of the baseline
  double size = 0;     // character height
  std::wstring text;
  std::wstring property;  // the property it shows, e.g. "Row_2"
};

struct DrawnShape {
  int id = 0;
  bool isLine = false;
  std::wstring master;  // empty for lines
  Point at;             // drop point, or a line's start
  std::vector<std::vector<Point>> paths;
  std::vector<DrawnEllipse> ellipses;
  std::vector<DrawnText> texts;
};

std::vector<DrawnShape> DrawPage(const Page& page);

// The page as an SVG document (UTF-8); user units are millimetres with the
// origin at the top left, as SVG has it.
std::string PageSvg(const Page& page);

// Writes every page of the document as <folder>\page<N>.svg, N from 1.
// Returns the number of files written; throws std::runtime_error when a
// file cannot be written.
int SavePagesAsSvg(const Document& document, const std::wstring& folder);

}  // namespace qel::visio_standin

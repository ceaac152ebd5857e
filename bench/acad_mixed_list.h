#pragma once
// The 79-row list both drawing benchmarks draw (every row kind in turn, ten
// pages, rows 80 and later filled but never drawn), so that the AutoCAD job
// and the program's own DXF pages are timed on the same drawing.
#include <string>
#include <utility>
#include <vector>

#include "base/grid.h"

namespace qel::bench {

inline Grid AcadMixedList() {
  struct Kind {
    const char* start;
    const char* io;
    const char* type;
  };
  static const std::vector<Kind> kinds = {
      {"直", "", ""},         {"可逆漏", "", ""},       {"☆⊿", "", ""},          {"送り", "", ""},
      {" ", "Di>Ry", "Di-A"}, {" ", "Do", "Do-Ry"},     {" ", "Ai>PLC", "Ai-F"}, {" ", "Ao", "Ao-4"},
      {" ", "Wi>Ry", "Wi-B"}, {" ", "Wo", "Wo-B"},
  };
  Grid list(21, 101);
  for (int r = 1; r <= 79; ++r) {
    const Kind& k = kinds[static_cast<std::size_t>(r - 1) % kinds.size()];
    const std::vector<std::pair<int, std::string>> cells = {
        {1, "C" + std::to_string(r)}, {2, k.start}, {3, "7.5"},  {4, "200"}, {6, "SC-5"},  {7, "SC-4"},
        {8, "SC-4"},                  {9, "TR-5"},  {10, "15"}, {11, "NF30"}, {12, "30"}, {18, k.io},
        {19, k.type},                 {20, "T" + std::to_string(r)}};
    for (const auto& [col, text] : cells) list.SetCell(col, r, text);
  }
  for (int r = 80; r <= 100; ++r) list.SetCell(1, r, "never drawn");
  return list;
}

}  // namespace qel::bench

#pragma once
// The 79-row list mixing every row kind that the Visio benchmarks draw, with
// the automation calls the drawing recipes say it costs, and the tally of
// calls a counting Dispatch keeps. Shared by the count against a bare
// Dispatch and the count through the Visio stand-in, so both measure the
// same drawing against the same expectation.
#include <string>
#include <vector>

#include "list/circuit_list.h"

namespace qel::bench {

struct Counts {
  long gets = 0, puts = 0, methods = 0;
  long Total() const { return gets + puts + methods; }
};

struct RowSample {
  const char* start;
  const char* function;
  const char* type;
  int calls;  // the column's calls by its recipe, without the bus
};

// Places cost 5 calls (master, ActiveDocument, Pages, Item, Drop), lines 4,
// a text triple 6. Direct: line, breaker+texts, line, switch+texts, line,
// relay+texts, line, motor+texts, terminal = 5+11+4+11+4+11+4+11+5.
inline constexpr RowSample kSamples[] = {
    {"直", "", "", 66},      {"可逆", "", "", 82},    {"☆⊿", "", "", 116},   {"送り", "", "", 36},
    {"直漏", "", "", 66},    {"可逆漏", "", "", 82},  {"☆⊿漏", "", "", 116}, {"送り漏", "", "", 36},
    {" ", "Di>Ry", "Di-A", 31}, {" ", "Ai>C", "Ai-T", 25}, {" ", "Do", "Do-Ry", 20}, {" ", "Ao", "Ao-1", 20},
    {" ", "", "", 0},  // reserve
    {" ", "Wi>PLC", "Wi-B", 31}, {" ", "Wo", "Wo-B", 20},
};
inline constexpr int kSampleCount = sizeof kSamples / sizeof kSamples[0];
inline constexpr int kRows = 79;

// The list, and in `expectedDrawCalls` the calls drawing it should cost:
// per column kind, plus the bus of each page whose first column is a motor
// or feeder, plus each added page.
inline qel::Grid MixedList(long& expectedDrawCalls) {
  qel::Grid g(21, kRows + 2);
  g.SetRow(0, qel::ListHeaders());
  expectedDrawCalls = 0;
  for (int r = 1; r <= kRows; ++r) {
    const RowSample& k = kSamples[(r - 1) % kSampleCount];
    const bool reserve = k.calls == 0;
    std::vector<std::string> row(21, " ");
    row[0] = std::to_string(r);
    row[1] = reserve ? "SP" : "回路" + std::to_string(r);
    row[2] = k.start;
    row[3] = "5.5";
    row[18] = k.function;
    row[19] = k.type;
    row[20] = "";
    g.SetRow(r, row);
    const bool slotOne = (r - 1) % 8 == 0;
    expectedDrawCalls += k.calls;
    if (slotOne && k.function[0] == '\0' && !reserve) expectedDrawCalls += 4;  // the bus
    if (slotOne && r > 1) expectedDrawCalls += 4;                              // ActiveDocument, Pages, add, name
  }
  return g;
}

}  // namespace qel::bench

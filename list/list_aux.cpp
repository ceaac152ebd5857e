#include "list/list_aux.h"

#include <string_view>

namespace qel {

namespace {

struct Code {
  std::string_view text;
  int number;
};

constexpr int kStartColumn = 2;
constexpr int kInterfaceColumn = 18;
constexpr int kTypeColumn = 19;

constexpr Code kStartCodes[] = {
    {"直", 1}, {"可逆", 2}, {"☆⊿", 3}, {"送り", 4}, {"直漏", 5}, {"可逆漏", 6}, {"☆⊿漏", 7}, {"送り漏", 8},
};

constexpr Code kInterfaceCodes[] = {
    {"Di>Ry", 11}, {"Di>PLC", 12}, {"Do", 21},    {"Ai>C", 31},  {"Ai>PLC", 32}, {"Ai>PEN", 33},
    {"Ai>1", 34},  {"Ai>4", 35},   {"Ao", 41},    {"Wi>Ry", 51}, {"Wi>PLC", 52}, {"Wo", 61},
};

constexpr Code kTypeCodes[] = {
    {"Di-A", 11}, {"Di-LS", 12}, {"Di-", 19}, {"Do-Ry", 21}, {"Do-Tr", 22}, {"Do-", 29},
    {"Ai-T", 31}, {"Ai-F", 32},  {"Ai-P", 33}, {"Ai-L", 34}, {"Ai-", 39},   {"Ao-1", 41},
    {"Ao-4", 44}, {"Ao-", 49},   {"Wi-B", 51}, {"Wo-B", 61},
};

// The number of the table entry equal to the text; `current` when none is.
template <std::size_t N>
int Match(const Code (&table)[N], std::string_view text, int current) {
  for (const Code& code : table)
    if (code.text == text) current = code.number;
  return current;
}

}  // namespace

RowClass ClassifyRow(const Grid& list, int row) {
  RowClass result;
  result.rowKind = Match(kStartCodes, list.Cell(kStartColumn, row), result.rowKind);
  // A loop function outranks a start method, e.g. on a hand-edited row.
  result.rowKind = Match(kInterfaceCodes, list.Cell(kInterfaceColumn, row), result.rowKind);
  result.typeCode = Match(kTypeCodes, list.Cell(kTypeColumn, row), result.typeCode);
  return result;
}

}  // namespace qel

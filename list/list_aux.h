#pragma once
// Row classification shared by both drawing exporters: which circuit a list
// row describes (row kind) and which field device it has (type code), by
// exact comparison of three of its cells with fixed code tables.
#include "base/grid.h"

namespace qel {

constexpr int kDefaultRowKind = 10;
constexpr int kDefaultTypeCode = 0;

struct RowClass {
  int rowKind = kDefaultRowKind;
  int typeCode = kDefaultTypeCode;
  bool operator==(const RowClass&) const = default;
};

// Row kind from START (column 2: 1-8) and then I/F (column 18: 11-61, wins
// over START), type code from Type (column 19: 11-61). Whole texts compared
// byte for byte; a row past the end reads empty cells and gets the defaults.
RowClass ClassifyRow(const Grid& list, int row);

}  // namespace qel

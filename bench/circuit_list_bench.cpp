// Latency of the circuit list operations on long lists: writing a row with
// "リストに記入", inserting and deleting a range of rows, and classifying every
// row as the drawing exporters do. Insert and delete must grow with the list
// linearly, so the per-row figures of the two sizes should be close.
#include <time.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "list/circuit_list.h"
#include "list/list_aux.h"

namespace {

double Now() {
  timespec ts{};
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

// Best of a few runs, each on a fresh list made by `prepare`.
template <typename Prepare, typename Run>
double Best(Prepare&& prepare, Run&& run, int runs = 5) {
  double best = 1e30;
  for (int i = 0; i < runs; ++i) {
    prepare();
    const double t0 = Now();
    run();
    best = std::min(best, Now() - t0);
  }
  return best;
}

qel::ListEntryInputs MotorRow() {
  qel::ListEntryInputs in;
  in.name = "排水ﾎﾟﾝﾌﾟ";
  in.motor.record = {"22", "SC-N1", "", "", "TR-N2", "22", "EA53C", "SA53C", "40", "5.5", "", "", "", ""};
  return in;
}

qel::ListEntryInputs InstrumentRow() {
  qel::ListEntryInputs in;
  in.tab = qel::WorkTab::Instrumentation;
  in.name = "反応槽温度";
  in.loopFunction = "Ai>PEN";
  in.receivingEnabled = true;
  in.receivingText = "Ai-T 計測信号(温度)";
  in.tag = "TIC-001";
  return in;
}

// A list of `rows` rows (header included), every data row written, motor and
// instrumentation rows alternating.
void Fill(qel::Grid& grid, int rows) {
  qel::CircuitList list(grid);
  list.SetUp();
  grid.SetRowCount(rows);
  const qel::ListEntryInputs motor = MotorRow(), instr = InstrumentRow();
  for (int r = 1; r < rows; ++r) {
    list.SelectRow(r);
    list.WriteSelection(r % 2 ? motor : instr);
  }
  grid.SetRowCount(rows);  // the last write added a row
}

}  // namespace

int main() {
  std::printf("%-8s %12s %14s %14s %14s %14s\n", "rows", "write us/row", "insert ms", "delete ms", "classify ms",
              "classify ns/row");
  double perRow[2][2] = {};  // [size][insert, delete] in ns per list row
  int sizeIndex = 0;
  for (int rows : {1000, 10000}) {
    const int range = rows == 1000 ? rows / 2 : 5000;
    qel::Grid base;
    Fill(base, rows);

    qel::Grid grid;
    qel::CircuitList list(grid);

    // Writing: one row at each of many positions spread over the list.
    const int writes = 2000;
    const qel::ListEntryInputs motor = MotorRow();
    const double write = Best([&] { grid = base; },
                              [&] {
                                for (int i = 0; i < writes; ++i) {
                                  list.SelectRow(1 + (i * 7919) % (rows - 2));
                                  list.WriteSelection(motor);
                                }
                              });

    const int top = rows / 4;
    const double insert = Best([&] { grid = base; }, [&] { list.InsertRows(top, top + range - 1); });
    const double erase = Best([&] { grid = base; }, [&] { list.DeleteRows(top, top + range - 1); });

    grid = base;
    long checksum = 0;
    const double classify = Best([] {},
                                 [&] {
                                   for (int r = 0; r < grid.RowCount(); ++r) {
                                     const qel::RowClass c = qel::ClassifyRow(grid, r);
                                     checksum += c.rowKind + c.typeCode;
                                   }
                                 });
    if (checksum == 0) std::printf("(nothing classified)\n");

    std::printf("%-8d %12.2f %14.3f %14.3f %14.3f %14.1f\n", rows, write / writes * 1e6, insert * 1e3, erase * 1e3,
                classify * 1e3, classify / rows * 1e9);
    std::printf("         (insert/delete range: %d rows)\n", range);
    perRow[sizeIndex][0] = insert / rows * 1e9;
    perRow[sizeIndex][1] = erase / rows * 1e9;
    ++sizeIndex;
  }
  std::printf("per list row, 10,000 vs 1,000 rows: insert %.1f vs %.1f ns, delete %.1f vs %.1f ns\n", perRow[1][0],
              perRow[0][0], perRow[1][1], perRow[0][1]);
  return 0;
}

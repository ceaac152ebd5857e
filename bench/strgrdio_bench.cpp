// Throughput of the list file formats on large lists, set against copying a
// file of the same size with cp in the same run (so the figures travel
// between machines). Usage: strgrdio_bench [folder for the files]
#include <time.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "base/file_io.h"
#include "list/StrGrdIO.h"

namespace {

double Now() {
  timespec ts{};
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

// Best of a few runs: the least disturbed measurement.
template <typename F>
double Best(F&& f, int runs = 3) {
  double best = 1e30;
  for (int i = 0; i < runs; ++i) {
    double t0 = Now();
    f();
    best = std::min(best, Now() - t0);
  }
  return best;
}

qel::Grid MakeList(int rows) {
  // Rows shaped like real circuit list rows: numbers, type names, Japanese.
  const char* row[21] = {"", "排水ﾎﾟﾝﾌﾟ", "直", "5.5", "200", "22", "SW-4-0", " ", " ", "TR-5-1N", "22",
                         "SA53C", "30", "5.5", " ", " ", " ", " ", " ", "", ""};
  qel::Grid g(21, rows);
  for (int r = 0; r < rows; ++r)
    for (int c = 0; c < 21; ++c) g.SetCell(c, r, c == 0 ? std::to_string(r) : row[c]);
  return g;
}

double CopySeconds(const std::string& from, const std::string& to) {
  const std::string cmd = "cp '" + from + "' '" + to + "'";
  return Best([&] {
    if (std::system(cmd.c_str()) != 0) std::fprintf(stderr, "cp failed\n");
  });
}

void Report(const char* what, int rows, double bytes, double seconds, double cpSeconds) {
  std::printf("%-22s %7d rows %8.1f MB/s  %6.2f x cp\n", what, rows, bytes / seconds / 1e6, seconds / cpSeconds);
}

}  // namespace

int main(int argc, char** argv) {
  const std::string dir = argc > 1 ? argv[1] : "/tmp";
  for (int rows : {10000, 100000}) {
    qel::Grid g = MakeList(rows);
    qel::TStringGridIO io;
    io.TargetGrid = &g;
    struct Format {
      const char* name;
      const char* sep;
      bool csv;
    } formats[] = {{"tab", "\t", false}, {"comma", ",", false}, {"csv", ",", true}};
    for (const Format& f : formats) {
      const std::string file = dir + "/qel-bench-" + f.name + ".txt";
      double save = Best([&] { io.SaveToText(file, f.sep, f.csv); });
      double bytes = static_cast<double>(qel::ReadWholeFile(file).size());
      double cp = CopySeconds(file, file + ".copy");
      double load = Best([&] { io.LoadFromText(file, f.sep, f.csv); });
      Report((std::string("SaveToText ") + f.name).c_str(), rows, bytes, save, cp);
      Report((std::string("LoadFromText ") + f.name).c_str(), rows, bytes, load, cp);
      std::remove(file.c_str());
      std::remove((file + ".copy").c_str());
    }
    const std::string html = dir + "/qel-bench.htm";
    double save = Best([&] { io.SaveToHTML(html); });
    double bytes = static_cast<double>(qel::ReadWholeFile(html).size());
    double cp = CopySeconds(html, html + ".copy");
    Report("SaveToHTML", rows, bytes, save, cp);
    std::remove(html.c_str());
    std::remove((html + ".copy").c_str());
  }
  return 0;
}

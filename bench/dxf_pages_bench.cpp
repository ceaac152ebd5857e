// DXF output benchmark: the 79-row mixed list the AutoCAD benchmark draws,
// laid out as DXF pages and written as files, in process. Prints the first
// run and the best of several (goal: 100 ms or less), each split into the
// template reading, the layout and the writing. Given the AutoCAD job's
// total seconds for the same list (bench/run-dxf.sh --acad measures it in
// the same run), prints how many times faster the DXF pages are.
//
// Usage: dxf_pages_bench <template> <output folder> [AutoCAD seconds]
#include <cstdio>
#include <cstdlib>
#include <string>

#include "acad/acad_dxf.h"
#include "bench/acad_mixed_list.h"
#include "bench/bench_clock.h"

namespace {

using qel::bench::Now;

struct Run {
  double read = 0, layout = 0, write = 0;
  size_t pages = 0;
  double Total() const { return read + layout + write; }
};

Run Once(const qel::Grid& list, const std::string& templ, const std::string& base) {
  Run r;
  double t0 = Now();
  qel::dxf::Drawing drawing;
  std::string message;
  if (!qel::ReadDrawingTemplate(templ, drawing, message)) {
    std::fprintf(stderr, "%s\n", message.c_str());
    std::exit(1);
  }
  double t1 = Now();
  const std::vector<qel::dxf::Drawing> pages = qel::LayOutDxfPages(list, drawing);
  double t2 = Now();
  const qel::DxfWriteResult written = qel::WriteDxfPages(pages, base, qel::dxf::DxfVersion::R2000);
  double t3 = Now();
  if (!written.Ok()) {
    std::fprintf(stderr, "%s\n", written.message.c_str());
    std::exit(1);
  }
  r.read = t1 - t0;
  r.layout = t2 - t1;
  r.write = t3 - t2;
  r.pages = written.written.size();
  return r;
}

void Print(const char* what, const Run& r) {
  std::printf("%s: %.1f ms (template %.1f, layout %.1f, writing %zu pages %.1f)\n", what, r.Total() * 1000,
              r.read * 1000, r.layout * 1000, r.pages, r.write * 1000);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: dxf_pages_bench <template> <output folder> [AutoCAD seconds]\n");
    return 2;
  }
  const qel::Grid list = qel::bench::AcadMixedList();
  const std::string base = std::string(argv[2]) + "/bench";
  const Run first = Once(list, argv[1], base);
  Run best = first;
  for (int i = 0; i < 9; ++i) {
    const Run r = Once(list, argv[1], base);
    if (r.Total() < best.Total()) best = r;
  }
  std::printf("79 rows to DXF pages, in process\n");
  Print("first run", first);
  Print("best of 10", best);
  std::printf("goal 100 ms: %s\n", best.Total() <= 0.1 ? "met" : "missed");
  if (argc > 3) {
    const double acad = std::atof(argv[3]);
    std::printf("AutoCAD job of the same list: %.1f s; DXF pages %.0f times faster\n", acad, acad / best.Total());
  }
  return 0;
}

// The automation calls a Visio drawing costs: a 79-row list mixing every
// row kind is drawn against a Dispatch that only counts. The measured count
// is printed beside the count worked out from the drawing recipes (per
// column kind, plus the bus of each page whose first column is a motor or
// feeder, plus each added page), and the time per call is that of the
// module itself, without any Visio behind it.
#include <time.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "bench/visio_mixed_list.h"
#include "visio/e_visio_2.h"

namespace {

using qel::bench::Counts;
using qel::bench::MixedList;

double Now() {
  timespec ts{};
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

// Answers every call with itself, so nothing is allocated per call.
class CountingDispatch : public qel::Dispatch {
 public:
  explicit CountingDispatch(Counts& counts) : counts_(counts) {}
  std::shared_ptr<qel::Dispatch> self;
  qel::Variant Get(const std::string&, qel::Args) override {
    ++counts_.gets;
    return qel::Variant(self);
  }
  void Put(const std::string&, const qel::Variant&, qel::Args) override { ++counts_.puts; }
  qel::Variant Call(const std::string&, qel::Args&) override {
    ++counts_.methods;
    return qel::Variant(self);
  }

 private:
  Counts& counts_;
};

struct NoMessages : qel::VisioMessageSink {
  void ShowVisioMessage(const std::string& text) override { std::printf("unexpected message: %s\n", text.c_str()); }
};

}  // namespace

int main() {
  Counts counts;
  auto visio = std::make_shared<CountingDispatch>(counts);
  visio->self = visio;
  qel::VisioModule module([&](const std::string&) { return visio; });
  module.SetProgramFolder("C:\\Qel");
  NoMessages messages;
  bool openFailed = false;

  module.VisioStart(messages);
  module.VisioOpenDocuments(openFailed, messages);
  const Counts connect = counts;

  long expected = 0;
  const qel::Grid list = MixedList(expected);
  counts = {};
  module.VisioDrawList(list);
  const Counts draw = counts;

  std::printf("connection (start + open): %ld calls (%ld gets, %ld puts, %ld methods); recipe: 7\n", connect.Total(),
              connect.gets, connect.puts, connect.methods);
  std::printf("79-row mixed list: %ld calls (%ld gets, %ld puts, %ld methods); recipe: %ld%s\n", draw.Total(),
              draw.gets, draw.puts, draw.methods, expected, draw.Total() == expected ? "" : "  <-- DIFFERS");
  std::printf("whole command: %ld calls\n", connect.Total() + draw.Total());

  // Time per call of the module itself: best of several rounds.
  constexpr int kRounds = 200;
  double best = 1e30;
  for (int round = 0; round < 5; ++round) {
    const double t0 = Now();
    for (int i = 0; i < kRounds; ++i) module.VisioDrawList(list);
    best = std::min(best, Now() - t0);
  }
  std::printf("module time per call: %.1f ns (%.3f ms per 79-row drawing)\n", best * 1e9 / (kRounds * draw.Total()),
              best * 1e3 / kRounds);
  return draw.Total() == expected ? 0 : 1;
}

// A 79-row list mixing every row kind drawn by the Visio module into the
// Visio stand-in through real COM (a local server, so every call crosses
// processes). Each automation call is counted on its way through; the
// count is printed beside the one worked out from the drawing recipes, with
// the time per call.
// Usage (under Wine): visio_standin_bench.exe <program folder holding Data\>
#include <windows.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "bench/visio_mixed_list.h"
#include "visio/e_visio_2.h"
#include "win32/com_dispatch.h"
#include "win32/text.h"

namespace {

using qel::bench::Counts;
using qel::bench::MixedList;

using qel::Args;
using qel::Dispatch;
using qel::Variant;

// Passes every call on to the real object and counts it; objects coming
// back are wrapped the same way, and wrapped objects going out as
// arguments are handed over unwrapped.
class CountingDispatch : public Dispatch {
 public:
  CountingDispatch(std::shared_ptr<Dispatch> inner, Counts& counts) : inner_(std::move(inner)), counts_(counts) {}

  Variant Get(const std::string& member, Args args) override {
    ++counts_.gets;
    return Wrap(inner_->Get(member, Unwrap(args)));
  }
  void Put(const std::string& member, const Variant& value, Args args) override {
    ++counts_.puts;
    Args v{value};
    inner_->Put(member, Unwrap(v)[0], Unwrap(args));
  }
  Variant Call(const std::string& member, Args& args) override {
    ++counts_.methods;
    Args passed = Unwrap(args);
    Variant result = inner_->Call(member, passed);
    // By-reference values written back by the server (objects stay wrapped).
    for (std::size_t i = 0; i < args.size(); ++i)
      if (args[i].IsByRef() && !args[i].IsObject()) args[i] = passed[i];
    return Wrap(result);
  }

 private:
  Variant Wrap(const Variant& v) {
    if (!v.IsObject()) return v;
    return Variant(std::shared_ptr<Dispatch>(std::make_shared<CountingDispatch>(v.AsObject(), counts_)));
  }
  static Args Unwrap(const Args& args) {
    Args out = args;
    for (Variant& a : out) {
      if (!a.IsObject()) continue;
      if (auto* w = dynamic_cast<CountingDispatch*>(a.AsObject().get())) {
        const bool byRef = a.IsByRef();
        a = Variant(w->inner_);
        if (byRef) a.ByRef();
      }
    }
    return out;
  }
  std::shared_ptr<Dispatch> inner_;
  Counts& counts_;
};

struct PrintedMessages : qel::VisioMessageSink {
  int shown = 0;
  void ShowVisioMessage(const std::string& text) override {
    ++shown;
    std::printf("message: %s\n", text.c_str());
  }
};

double Seconds(const LARGE_INTEGER& from, const LARGE_INTEGER& to) {
  LARGE_INTEGER f;
  QueryPerformanceFrequency(&f);
  return static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(f.QuadPart);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: visio_standin_bench <program folder>\n");
    return 2;
  }
  qel::win::ComApartment com;
  Counts counts;
  qel::VisioModule module([&](const std::string& progId) -> std::shared_ptr<Dispatch> {
    return std::make_shared<CountingDispatch>(qel::win::CreateComObject(progId), counts);
  });
  module.SetProgramFolder(qel::win::Narrow(argv[1]));
  PrintedMessages messages;
  bool openFailed = false;

  LARGE_INTEGER t0, t1, t2;
  QueryPerformanceCounter(&t0);
  module.VisioStart(messages);
  module.VisioOpenDocuments(openFailed, messages);
  QueryPerformanceCounter(&t1);
  const Counts connect = counts;
  if (openFailed || messages.shown) return 1;

  long expected = 0;
  const qel::Grid list = MixedList(expected);
  counts = {};
  int rc = 0;
  try {
    module.VisioDrawList(list);
  } catch (const std::exception& e) {
    std::printf("drawing failed: %s\n", e.what());
    rc = 1;
  }
  QueryPerformanceCounter(&t2);
  const Counts draw = counts;

  std::printf("connection (start + open): %ld calls, recipe 7; %.1f ms\n", connect.Total(), Seconds(t0, t1) * 1e3);
  std::printf("79-row mixed list: %ld calls (%ld gets, %ld puts, %ld methods), recipe %ld%s\n", draw.Total(),
              draw.gets, draw.puts, draw.methods, expected, draw.Total() == expected ? "" : "  <-- DIFFERS");
  std::printf("drawing: %.2f s, %.3f ms per call through the stand-in\n", Seconds(t1, t2),
              Seconds(t1, t2) * 1e3 / static_cast<double>(draw.Total() ? draw.Total() : 1));

  // Leave no server behind.
  try {
    module.VisioApp().AsObject()->Call("quit");
  } catch (const std::exception& e) {
    std::printf("quit failed: %s\n", e.what());
    rc = 1;
  }
  return rc != 0 || draw.Total() != expected ? 1 : 0;
}

// libFuzzer target for the DXF reader and what follows it at every DXF and
// preview command: the template read, its flattening budget checked, the
// model space flattened and the drawing written again in both versions.
// Every input is taken; nothing is filtered out before the reader sees it.
// Built and run by tests/fuzz/run.sh.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "dxf/dxf_io.h"
#include "dxf/preview_geometry.h"

namespace {

std::string InputPath() {
  static const std::string path = [] {
    const char* dir = std::getenv("TMPDIR");
    return std::string(dir && *dir ? dir : "/tmp") + "/qel-dxf-fuzz-" + std::to_string(getpid()) + ".dxf";
  }();
  return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // The reader takes a path, as the program gives it one.
  const std::string path = InputPath();
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) std::abort();
  if (size > 0 && std::fwrite(data, 1, size, f) != size) std::abort();
  std::fclose(f);

  qel::dxf::Drawing d;
  std::string error;
  qel::dxf::DxfReadProblem problem = qel::dxf::DxfReadProblem::None;
  const bool read = qel::dxf::ReadDxfFile(path, d, error, &problem);
  if (read != (problem == qel::dxf::DxfReadProblem::None)) std::abort();
  if (!read) return 0;
  if (!qel::dxf::WithinFlattenBudget(d)) return 0;  // refused, as the program refuses it
  const qel::dxf::PreviewPage page = qel::dxf::FlattenPage(d);
  if (page.strokes.size() + page.texts.size() > qel::dxf::kFlattenBudget) std::abort();
  const qel::dxf::Extents extents = qel::dxf::PageExtents(page);
  qel::dxf::FitView(extents, 800, 600, 10);
  qel::dxf::DxfText(d, qel::dxf::DxfVersion::R2000);
  qel::dxf::DxfText(d, qel::dxf::DxfVersion::R12);
  return 0;
}

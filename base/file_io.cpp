#include "base/file_io.h"

namespace qel {

void ThrowFileTooLarge(const std::string& path) {
  throw FileError("ファイルが大きすぎます (256 MB まで) (" + path + ")");
}

void ThrowNotARegularFile(const std::string& path) {
  throw FileError("ファイルではありません (" + path + ")");
}

void ThrowOutOfMemory(const std::string& path) {
  throw FileError("メモリが足りません (" + path + ")");
}

std::string TemporarySaveName(const std::string& target, int attempt) {
  return target + ".qel-tmp" + (attempt == 0 ? std::string() : std::to_string(attempt));
}

}  // namespace qel

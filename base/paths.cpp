#include "base/paths.h"

#include "base/cp932.h"

namespace qel::paths {

namespace {
// Index just after the last path delimiter, 0 when there is none.
std::size_t NameStart(std::string_view path) {
  std::size_t start = 0;
  for (std::size_t i = 0; i < path.size(); i += cp932::CharLength(path, i))
    if (path[i] == '\\' || path[i] == '/' || path[i] == ':') start = i + 1;
  return start;
}
}  // namespace

std::string FileName(std::string_view path) { return std::string(path.substr(NameStart(path))); }

std::string ChangeExtension(std::string_view path, std::string_view ext) {
  const std::size_t nameStart = NameStart(path);
  std::size_t dot = std::string_view::npos;
  for (std::size_t i = nameStart; i < path.size(); i += cp932::CharLength(path, i))
    if (path[i] == '.') dot = i;
  return std::string(path.substr(0, dot == std::string_view::npos ? path.size() : dot)) + std::string(ext);
}

std::string Join(std::string_view folder, std::string_view name) {
  std::string out(folder);
  const bool endsWithDelimiter = !out.empty() && NameStart(out) == out.size() && out.back() == '\\';
  if (!out.empty() && !endsWithDelimiter) out += '\\';
  out += name;
  return out;
}

}  // namespace qel::paths

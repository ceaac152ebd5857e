#include "base/cp932.h"

namespace qel::cp932 {

namespace {
std::size_t FindBlank(std::string_view text) {
  for (std::size_t i = 0; i < text.size(); i += CharLength(text, i))
    if (text[i] == ' ') return i;
  return std::string_view::npos;
}
}  // namespace

std::string BeforeFirstBlank(std::string_view text) {
  return std::string(text.substr(0, FindBlank(text)));
}

bool HasBlank(std::string_view text) { return FindBlank(text) != std::string_view::npos; }

}  // namespace qel::cp932

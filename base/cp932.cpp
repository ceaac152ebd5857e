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

std::string DrawableText(std::string_view text) {
  std::string out(text);
  for (std::size_t i = 0; i < out.size();) {
    const std::size_t len = CharLength(out, i);
    const auto b = static_cast<unsigned char>(out[i]);
    if (len == 1 && (b < 0x20 || IsLeadByte(b))) out[i] = ' ';
    i += len;
  }
  return out;
}

}  // namespace qel::cp932

#include "acadlink/AcadFunc.h"

namespace qel {

std::string CopyDataPayload(std::string_view text) {
  std::string payload(text);
  payload.push_back('\0');
  return payload;
}

CommandLines SplitCommandLines(std::string_view text) {
  CommandLines result;
  const std::size_t total = text.size();
  std::string_view rest = text;
  while (!rest.empty()) {
    const std::size_t cr = rest.find('\r');
    if (cr == std::string_view::npos) break;
    std::string line(rest.substr(0, cr + 1));
    rest.remove_prefix(cr + 1);
    if (!rest.empty() && rest.front() == '\n') rest.remove_prefix(1);
    const int polls = static_cast<int>(2 * (total - rest.size()) + 1);
    result.lines.push_back({std::move(line), polls});
  }
  result.remainder = std::string(rest);
  return result;
}

}  // namespace qel

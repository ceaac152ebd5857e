#include "acadlink/AcadVInf.h"

namespace qel {

std::string AcadVersionText(std::uint32_t ms, std::uint32_t ls, bool full) {
  std::string text = std::to_string(ms >> 16) + "." + std::to_string(ms & 0xFFFF) + std::to_string(ls >> 16);
  if (full) text += "." + std::to_string(ls & 0xFFFF);
  return text;
}

}  // namespace qel

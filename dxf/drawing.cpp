#include "dxf/drawing.h"

#include "base/cp932.h"

namespace qel::dxf {

std::string UpperAscii(const std::string& s) {
  std::string out = s;
  for (size_t i = 0; i < out.size(); i += cp932::CharLength(out, i)) {
    unsigned char c = static_cast<unsigned char>(out[i]);   // a trail byte may look like a letter
    if (c >= 'a' && c <= 'z') out[i] = static_cast<char>(c - 'a' + 'A');
  }
  return out;
}

bool SameName(const std::string& a, const std::string& b) {
  return a.size() == b.size() && UpperAscii(a) == UpperAscii(b);
}

const Block* Drawing::FindBlock(const std::string& name) const {
  for (const Block& b : blocks)
    if (SameName(b.name, name)) return &b;
  return nullptr;
}

Block* Drawing::FindBlock(const std::string& name) {
  return const_cast<Block*>(static_cast<const Drawing*>(this)->FindBlock(name));
}

const Linetype* Drawing::FindLinetype(const std::string& name) const {
  for (const Linetype& l : linetypes)
    if (SameName(l.name, name)) return &l;
  return nullptr;
}

TextStyle* Drawing::FindStyle(const std::string& name) {
  for (TextStyle& s : styles)
    if (SameName(s.name, name)) return &s;
  return nullptr;
}

void Drawing::AddDefaults() {
  bool layer0 = false;
  for (const Layer& l : layers) layer0 = layer0 || l.name == "0";
  if (!layer0) layers.insert(layers.begin(), Layer{"0", 7, "CONTINUOUS"});
  if (!FindLinetype("CONTINUOUS")) linetypes.insert(linetypes.begin(), Linetype{"CONTINUOUS", "Solid line", {}});
  if (!FindStyle("STANDARD")) {
    TextStyle s;
    s.name = "STANDARD";
    styles.insert(styles.begin(), s);
  }
}

}  // namespace qel::dxf

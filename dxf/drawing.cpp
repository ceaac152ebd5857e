#include "dxf/drawing.h"

#include <cmath>

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

double TextWidth(const std::string& text, double height, double widthFactor) {
  double cells = 0;
  for (size_t i = 0; i < text.size(); i += cp932::CharLength(text, i)) cells += cp932::CharLength(text, i) == 2 ? 2 : 1;
  return cells * height * (widthFactor > 0 ? widthFactor : 1);
}

Point TextStart(const Entity& e) {
  const Point insertion = e.points.empty() ? Point{} : e.points[0];
  if (e.hAlign != 1 && e.hAlign != 2 && e.hAlign != 4) return insertion;
  const double back = TextWidth(e.text, e.height, e.widthFactor) * (e.hAlign == 2 ? 1 : 0.5);
  const double turn = e.rotation * 3.14159265358979323846 / 180;
  return {e.alignment.x - back * std::cos(turn), e.alignment.y - back * std::sin(turn)};
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

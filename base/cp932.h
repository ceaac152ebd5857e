#pragma once
// Every text of the program is a std::string of code page 932 (Shift-JIS)
// bytes. These helpers know which bytes begin a two-byte character, so that
// scanners looking for ASCII delimiters never split a character whose second
// byte happens to look like one (0x5C for "表", 0x40-0x7E in general).
#include <cstddef>
#include <string>
#include <string_view>

namespace qel::cp932 {

constexpr bool IsLeadByte(unsigned char b) {
  return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

// The bytes that may follow a lead byte as the second half of a character.
constexpr bool IsTrailByte(unsigned char b) {
  return (b >= 0x40 && b <= 0x7E) || (b >= 0x80 && b <= 0xFC);
}

// Length in bytes of the character starting at pos: 2 for a lead byte that a
// trail byte follows, otherwise 1. A lead byte at the end, or before a byte
// that cannot be a trail byte (a quote, a blank, CR), is a character of its
// own, so the delimiter after it is still seen as one.
inline std::size_t CharLength(std::string_view text, std::size_t pos) {
  return IsLeadByte(static_cast<unsigned char>(text[pos])) && pos + 1 < text.size() &&
                 IsTrailByte(static_cast<unsigned char>(text[pos + 1]))
             ? 2
             : 1;
}

// The first character of the text (one or two bytes), empty for an empty text.
inline std::string FirstChar(std::string_view text) {
  if (text.empty()) return {};
  return std::string(text.substr(0, CharLength(text, 0)));
}

// The part before the first half-width blank, stepping over two-byte
// characters whole; the whole text when it has no blank.
std::string BeforeFirstBlank(std::string_view text);

// Whether the text has a half-width blank (outside two-byte characters).
bool HasBlank(std::string_view text);

// A list cell made safe to draw: every byte below 0x20 (CR, LF, the cancel
// byte 3, tab) and every lead byte that no trail byte follows becomes a
// blank. A drawing output takes a cell's text as one text: a control byte
// would end it (and let the rest run as commands), a lone lead byte would
// swallow the delimiter after it. Inline, so that the DXF library can hold
// a template's texts to the same rule without the rest of this module.
inline std::string DrawableText(std::string_view text) {
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

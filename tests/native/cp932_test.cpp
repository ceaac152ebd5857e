#include <gtest/gtest.h>

#include "base/cp932.h"

namespace qel {
namespace {

std::string Hex(const std::string& s) {
  std::string out;
  char buf[4];
  for (unsigned char c : s) {
    std::snprintf(buf, sizeof buf, "%02X ", c);
    out += buf;
  }
  if (!out.empty()) out.pop_back();
  return out;
}

// Literals must come out as Shift-JIS bytes; a build without the execution
// character set flag would produce UTF-8 here.
TEST(Cp932Literals, AreShiftJisBytes) {
  EXPECT_EQ(Hex("表"), "95 5C");
  EXPECT_EQ(Hex("⊿"), "87 99");
  EXPECT_EQ(Hex("直"), "92 BC");
  EXPECT_EQ(Hex("ﾌｧｲﾙ"), "CC A7 B2 D9");
  EXPECT_EQ(Hex("　"), "81 40");
}

TEST(Cp932, LeadBytesAreTheTwoShiftJisRanges) {
  EXPECT_FALSE(cp932::IsLeadByte(0x80));
  EXPECT_TRUE(cp932::IsLeadByte(0x81));
  EXPECT_TRUE(cp932::IsLeadByte(0x9F));
  EXPECT_FALSE(cp932::IsLeadByte(0xA0));
  EXPECT_FALSE(cp932::IsLeadByte(0xDF));  // half-width katakana are single bytes
  EXPECT_TRUE(cp932::IsLeadByte(0xE0));
  EXPECT_TRUE(cp932::IsLeadByte(0xFC));
  EXPECT_FALSE(cp932::IsLeadByte(0xFD));
}

TEST(Cp932, BlankSearchStepsOverTwoByteCharacters) {
  // The full-width blank 81 40 and the trail byte 0x5C of "表" are parts of
  // characters, never delimiters.
  EXPECT_EQ(cp932::BeforeFirstBlank("Di-A 接点"), "Di-A");
  EXPECT_EQ(cp932::BeforeFirstBlank("表　示 x"), "表　示");
  EXPECT_EQ(cp932::BeforeFirstBlank("IC"), "IC");
  EXPECT_FALSE(cp932::HasBlank("表　示"));
  EXPECT_TRUE(cp932::HasBlank("TIC- 01"));
  // A lone lead byte at the very end does not swallow past the end.
  EXPECT_EQ(cp932::BeforeFirstBlank(std::string("a\x81")), std::string("a\x81"));
  EXPECT_EQ(cp932::FirstChar("直入"), "直");
  EXPECT_EQ(cp932::FirstChar("T 温度"), "T");
  EXPECT_EQ(cp932::FirstChar(""), "");
}

TEST(Cp932, OnlyATrailByteCompletesALeadByte) {
  // A quote, blank or CR after a lead byte is a delimiter of its own.
  EXPECT_EQ(cp932::CharLength(std::string("\x81\"x"), 0), 1u);
  EXPECT_EQ(cp932::CharLength(std::string("\x81 "), 0), 1u);
  EXPECT_EQ(cp932::CharLength(std::string("\x81\x7F"), 0), 1u);
  EXPECT_EQ(cp932::CharLength(std::string("\x81\xFD"), 0), 1u);
  EXPECT_EQ(cp932::CharLength(std::string("\x81\x40"), 0), 2u);
  EXPECT_EQ(cp932::CharLength(std::string("\x81\x80"), 0), 2u);
  EXPECT_EQ(cp932::CharLength(std::string("\x9F\xFC"), 0), 2u);
  EXPECT_EQ(cp932::BeforeFirstBlank(std::string("a\x81 b")), std::string("a\x81"));
}

TEST(Cp932, DrawableTextBlanksControlBytesAndLoneLeadBytes) {
  EXPECT_EQ(cp932::DrawableText(std::string("M1\x03._LINE 0,0\r\nX\t")), "M1 ._LINE 0,0  X ");
  EXPECT_EQ(cp932::DrawableText(std::string("ab\x81")), "ab ");
  EXPECT_EQ(cp932::DrawableText(std::string("\x81\"q")), " \"q");
  // Whole characters stay, their trail bytes included (0x5C of "表", 0x7C of "ポ").
  EXPECT_EQ(cp932::DrawableText("表ポ,\"x\x7F"), "表ポ,\"x\x7F");
  EXPECT_EQ(cp932::DrawableText(""), "");
}

}  // namespace
}  // namespace qel

#include <gtest/gtest.h>

#include "list/list_aux.h"

namespace qel {
namespace {

// One list row with the three cells the classification reads.
Grid RowWith(const std::string& start, const std::string& interface, const std::string& type) {
  Grid g(21, 2);
  g.SetCell(2, 1, start);
  g.SetCell(18, 1, interface);
  g.SetCell(19, 1, type);
  return g;
}

RowClass Classify(const std::string& start, const std::string& interface = "", const std::string& type = "") {
  return ClassifyRow(RowWith(start, interface, type), 1);
}

// The numbers are the exporters' vocabulary; each text has its own.
TEST(ClassifyRow, CodeTables) {
  const std::pair<const char*, int> starts[] = {{"直", 1},   {"可逆", 2},   {"☆⊿", 3},   {"送り", 4},
                                                {"直漏", 5}, {"可逆漏", 6}, {"☆⊿漏", 7}, {"送り漏", 8}};
  const std::pair<const char*, int> functions[] = {{"Di>Ry", 11}, {"Di>PLC", 12}, {"Do", 21},    {"Ai>C", 31},
                                                   {"Ai>PLC", 32}, {"Ai>PEN", 33}, {"Ai>1", 34},  {"Ai>4", 35},
                                                   {"Ao", 41},    {"Wi>Ry", 51},  {"Wi>PLC", 52}, {"Wo", 61}};
  const std::pair<const char*, int> types[] = {{"Di-A", 11}, {"Di-LS", 12}, {"Di-", 19},  {"Do-Ry", 21},
                                               {"Do-Tr", 22}, {"Do-", 29},   {"Ai-T", 31}, {"Ai-F", 32},
                                               {"Ai-P", 33}, {"Ai-L", 34},  {"Ai-", 39},  {"Ao-1", 41},
                                               {"Ao-4", 44}, {"Ao-", 49},   {"Wi-B", 51}, {"Wo-B", 61}};
  for (auto [text, n] : starts) EXPECT_EQ(Classify(text), (RowClass{n, 0})) << text;
  for (auto [text, n] : functions) EXPECT_EQ(Classify(" ", text), (RowClass{n, 0})) << text;
  for (auto [text, n] : types) EXPECT_EQ(Classify(" ", "", text), (RowClass{10, n})) << text;
}

TEST(ClassifyRow, ComparesWholeTextsByteForByte) {
  EXPECT_EQ(Classify("直漏").rowKind, 5) << "not the prefix 直";
  EXPECT_EQ(Classify("直 ").rowKind, 10);
  EXPECT_EQ(Classify(" 直").rowKind, 10);
  EXPECT_EQ(Classify("可").rowKind, 10);
  EXPECT_EQ(Classify(" ", "do").rowKind, 10) << "no case folding";
  EXPECT_EQ(Classify(" ", "Ai>PEN ").rowKind, 10);
  EXPECT_EQ(Classify(" ", "Ai>PEN", "Ai-T").typeCode, 31);
  EXPECT_EQ(Classify(" ", "Ai>PEN", "Ai-").typeCode, 39);
  EXPECT_EQ(Classify(" ", "Do", "Do-Tr").typeCode, 22);
  EXPECT_EQ(Classify(" ", "Do", "Do-Ｔｒ").typeCode, 0) << "full-width letters are other bytes";
  EXPECT_EQ(Classify(" ", "Do", "Do-T").typeCode, 0);
}

TEST(ClassifyRow, LoopFunctionWinsOverStart) {
  EXPECT_EQ(Classify("☆⊿", "Do"), (RowClass{21, 0}));
  EXPECT_EQ(Classify("☆⊿", "Do-Ry"), (RowClass{3, 0})) << "an unknown I/F leaves the start's kind";
  // The type code is independent of the row kind.
  EXPECT_EQ(Classify("直", "", "Di-A"), (RowClass{1, 11}));
}

TEST(ClassifyRow, RowsWithoutCodesGetTheDefaults) {
  Grid g(21, 3);
  g.SetRow(0, {"No.", "NAME", "START", "kW", "V", "A", "", "", "", "", "", "", "", "", "", "", "", "", "I/F", "Type", "Tag"});
  g.SetRow(1, {"1", "SP", " ", " ", " ", " ", " ", " ", " ", " ", " ", " ", " ", " ", " ", " ", " ", " "});
  EXPECT_EQ(ClassifyRow(g, 0), (RowClass{10, 0})) << "header";
  EXPECT_EQ(ClassifyRow(g, 1), (RowClass{10, 0})) << "reserve";
  EXPECT_EQ(ClassifyRow(g, 2), (RowClass{10, 0})) << "empty";
  EXPECT_EQ(ClassifyRow(g, 3), (RowClass{10, 0})) << "past the end";
  EXPECT_EQ(ClassifyRow(g, 100000), (RowClass{10, 0}));
  EXPECT_EQ(ClassifyRow(g, -1), (RowClass{10, 0}));
  // A grid narrower than the list reads the missing cells empty.
  Grid narrow(3, 2);
  narrow.SetCell(2, 1, "送り");
  EXPECT_EQ(ClassifyRow(narrow, 1), (RowClass{4, 0}));
}

}  // namespace
}  // namespace qel

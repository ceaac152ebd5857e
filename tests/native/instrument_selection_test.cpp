#include <gtest/gtest.h>

#include <algorithm>

#include "base/grid.h"
#include "list/list_aux.h"
#include "selection/instrument_selection.h"

namespace qel {
namespace {

int PositionOf(const std::string& function) {
  const auto& f = LoopFunctions();
  return static_cast<int>(std::find(f.begin(), f.end(), function) - f.begin());
}

DeviceListsUpdate Choose(const std::string& function) { return ChooseLoopFunction(function, PositionOf(function)); }

TEST(LoopFunction, AnalogueInputThenDigitalOutputSwitchesTheEnabledList) {
  const DeviceListsUpdate ai = Choose("Ai>PEN");
  ASSERT_NE(ai.receiving.entries, nullptr);
  EXPECT_EQ(*ai.receiving.entries,
            (std::vector<std::string>{"", "Ai-T 計測信号(温度)", "Ai-F 計測信号(流量)", "Ai-P 計測信号(圧力)",
                                      "Ai-L 計測信号(ﾚﾍﾞﾙ)", "Ai- その他 Ａｉ"}));
  EXPECT_TRUE(ai.receiving.enabled);
  EXPECT_FALSE(ai.receiving.chooseFirstEntry) << "a refilled list has nothing chosen";
  EXPECT_EQ(ai.output.entries, nullptr);
  EXPECT_FALSE(ai.output.enabled);
  EXPECT_TRUE(ai.output.chooseFirstEntry);

  const DeviceListsUpdate d = Choose("Do");
  EXPECT_EQ(d.receiving.entries, nullptr) << "the receiving list keeps its entries";
  EXPECT_FALSE(d.receiving.enabled);
  EXPECT_TRUE(d.receiving.chooseFirstEntry);
  ASSERT_NE(d.output.entries, nullptr);
  EXPECT_EQ(*d.output.entries, (std::vector<std::string>{"", "Do-Ry 絶縁信号", "Do-Tr 非絶縁信号", "Do- その他 Do"}));
  EXPECT_TRUE(d.output.enabled);
  EXPECT_FALSE(d.output.chooseFirstEntry);
}

// Every function fills exactly the list of its own side, and every entry of
// it writes a device code that the row classification knows, and the
// function itself is a known loop function.
TEST(LoopFunction, EveryFunctionOffersDevicesTheClassificationKnows) {
  ASSERT_EQ(LoopFunctions().size(), 12u);
  for (const std::string& f : LoopFunctions()) {
    const int p = PositionOf(f);
    const DeviceListsUpdate u = ChooseLoopFunction(f, p);
    const bool output = p >= 9;
    SCOPED_TRACE(f);
    EXPECT_EQ(u.receiving.enabled, !output);
    EXPECT_EQ(u.output.enabled, output);
    const DeviceListUpdate& side = output ? u.output : u.receiving;
    const DeviceListUpdate& other = output ? u.receiving : u.output;
    ASSERT_NE(side.entries, nullptr);
    EXPECT_EQ(other.entries, nullptr);
    ASSERT_GE(side.entries->size(), 2u);
    EXPECT_EQ(side.entries->front(), "");
    Grid row(21, 1);
    row.SetCell(18, 0, f);
    EXPECT_GT(ClassifyRow(row, 0).rowKind, 10);
    for (std::size_t i = 1; i < side.entries->size(); ++i) {
      row.SetCell(19, 0, DeviceCode((*side.entries)[i]));
      EXPECT_NE(ClassifyRow(row, 0).typeCode, 0) << (*side.entries)[i];
    }
  }
}

TEST(Tag, IsVariableFunctionLettersDashAndThreeDigits) {
  const std::string h = HundredsSelector().initialText, t = TensSelector().initialText, u = UnitsSelector().initialText;
  EXPECT_EQ(BuildTag("T 温度", "IC 表示制御", h, t, u), "TIC-001");
  EXPECT_EQ(BuildTag("T 温度", "IC 表示制御", h, t, "5"), "TIC-005");
  EXPECT_EQ(BuildTag(SignalKindSelector().initialText, FunctionSelector().initialText, h, t, u), "XZ-001");
  // "I 表示 " ends in a blank; the letters still stop at the first one.
  EXPECT_EQ(BuildTag("P 圧力", "I 表示 ", "3 *100", "4 *10", "9"), "PI-349");
}

TEST(Tag, BlankHundredsGivesABlankAfterTheDash) {
  ASSERT_EQ(HundredsSelector().entries.back(), " ");
  EXPECT_EQ(BuildTag("T 温度", "IC 表示制御", HundredsSelector().entries.back(), "0 *10", "1"), "TIC- 01");
}

TEST(Tag, TypedTextsAndEmptiedSelectors) {
  EXPECT_EQ(BuildTag("T 温度", "IC", "0 *100", "0 *10", "1"), "T-001") << "no blank, no function letters";
  EXPECT_EQ(BuildTag("", "IC 表示制御", "0 *100", "", "1"), "IC-01") << "an emptied selector adds nothing";
  EXPECT_EQ(BuildTag("", "", "", "", ""), "-");
  // A typed two-byte letter is taken whole, never half a character.
  EXPECT_EQ(BuildTag("温度", "C 制御", "1", "2", "3"), "温C-123");
  EXPECT_EQ(BuildTag("T", "表示 x", "1", "2", "3"), "T表示-123");
}

TEST(DeviceCode, IsThePartBeforeTheFirstBlank) {
  EXPECT_EQ(DeviceCode("Di-A その他 Ｄｉ"), "Di-A");
  EXPECT_EQ(DeviceCode("Ai- その他 Ａｉ"), "Ai-");
  EXPECT_EQ(DeviceCode("Wi-B C D ﾜｰﾄﾞ信号"), "Wi-B");
  EXPECT_EQ(DeviceCode("Ao-4 -20mA"), "Ao-4");
  EXPECT_EQ(DeviceCode("Do-Tr"), "") << "no blank, no code";
  EXPECT_EQ(DeviceCode("Ai-T　計測"), "") << "a full-width blank is not a blank";
  EXPECT_EQ(DeviceCode(""), "");
}

}  // namespace
}  // namespace qel

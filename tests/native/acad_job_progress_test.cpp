// Which page a stopped AutoCAD job was on, and what the user is told.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "acad/acad_job_progress.h"
#include "acadlink/AcadUnit.h"

namespace qel {
namespace {

TEST(AcadJobProgress, PageIsOnePastTheSavesThatArrivedUnlessNoneWasLeft) {
  const std::string save1 = "._SaveAS R14 C:\\out\\plant1.DWG\r";
  const std::string save2 = "._saveas r14 \"C:\\my out\\plant2.DWG\"\r";
  EXPECT_TRUE(IsAcadPageSave(save2));
  EXPECT_FALSE(IsAcadPageSave("._SaveAS"));
  EXPECT_FALSE(IsAcadPageSave("_TEXT\r"));
  EXPECT_FALSE(IsAcadPageSave("0,0 0 ._SaveAS R14 x\r")) << "a list cell is no save";
  // Stopped before the template was opened: page 1.
  EXPECT_EQ(AcadStoppedPage({"\x03\x03._filedia 0\r", "._open\r"}, {"C:\\Data\\Qel-Acad.DWG\r", save1}), 1);
  // Page 1 saved, stopped while drawing page 2.
  EXPECT_EQ(AcadStoppedPage({"._open\r", save1, "._filedia 1\r", "_TEXT\r"}, {"J C\r", save2}), 2);
  // The last save arrived; only the closing setting was lost.
  EXPECT_EQ(AcadStoppedPage({save1, save2}, {"._filedia 1\r"}), 0);
}

TEST(AcadJobProgress, OneShortMessagePerReason) {
  EXPECT_EQ(AcadJobStoppedMessage(TAcadDeliveryStop::NoAnswer, 2),
            "AutoCAD が応答しません。作図を中止しました。(ページ 2)");
  EXPECT_EQ(AcadJobStoppedMessage(TAcadDeliveryStop::TargetGone, 1),
            "AutoCAD が終了しました。作図を中止しました。(ページ 1)");
  EXPECT_EQ(AcadJobStoppedMessage(TAcadDeliveryStop::TargetGone, 0), "AutoCAD が終了しました。作図を中止しました。");
}

TEST(AcadPathCharacters, NineCharactersAndBackslashesAreLookedForAmongCharacters) {
  // "ポ" is 83 7C, "表" 95 5C, "ソ" 83 5C.
  EXPECT_FALSE(HasForbiddenPathCharacter("C:\\ポ\\表\\ACAD.EXE"));
  EXPECT_TRUE(HasForbiddenPathCharacter("C:\\a|b\\ACAD.EXE"));
  EXPECT_TRUE(HasForbiddenPathCharacter("C:\\x\x83\"")) << "a quote after a lead byte is a character";
  for (char c : std::string("/,;*?\"<>|")) EXPECT_TRUE(HasForbiddenPathCharacter(std::string("C:\\x") + c)) << c;
  EXPECT_EQ(LastBackslash("C:\\AutoCAD\\ソ"), 10u);
  EXPECT_EQ(LastBackslash("表"), std::string::npos);
  EXPECT_EQ(LastBackslash("C:\\\x81\\"), 2u) << "0x5C after 0x81 is a character's second byte";
}

}  // namespace
}  // namespace qel

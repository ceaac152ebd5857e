#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "acad/acad_type_choice.h"
#include "tests/support/fake_acad_link.h"

namespace qel {
namespace {

const std::vector<std::string> kEntries = {
    "NOACAD",          "AutoCAD LT95",   "AutoCAD LT97", "AutoCAD LT98", "AutoCAD LT2000", "AutoCAD LT2000i",
    "AutoCAD LT2002",  "AutoCAD R13",    "AutoCAD R14",  "AutoCAD 2000", "AutoCAD 2000i",  "AutoCAD 2002"};

TEST(AcadTypeChoice, StartPrefersTheNewestLtThenTheNewestFullEdition) {
  struct Case {
    std::vector<int> installed;
    int index;
    TAcadType type;
  };
  const Case cases[] = {
      {{atACLT97, atACAD2000}, 2, atACLT97},
      {{atACLT95, atACLT2000i, atACAD2002}, 5, atACLT2000i},
      {{atACAD14, atACAD2000i}, 10, atACAD2000i},
      {{}, 0, atNOACAD},
  };
  for (const Case& c : cases) {
    testing::FakeAcadLink link;
    link.installed.insert(c.installed.begin(), c.installed.end());
    link.startable = link.installed;
    AcadTypeChoice choice(link);
    choice.FormCreate();
    EXPECT_EQ(choice.Entries(), kEntries);
    EXPECT_EQ(choice.ItemIndex(), c.index);
    EXPECT_EQ(link.AcadType(), c.type);
    EXPECT_FALSE(link.enabled) << "the watch timer is switched off";
  }
}

TEST(AcadTypeChoice, LabelsAndSentence) {
  testing::FakeAcadLink link;
  link.installed = {atACLT97, atACAD2000};
  link.startable = {atACLT97, atACAD2000};
  AcadTypeChoice choice(link);
  choice.FormCreate();
  EXPECT_EQ(choice.IsInstedCaption(), "Install OK!");
  EXPECT_EQ(choice.IsCanExeCaption(), "Exec OK!");
  EXPECT_EQ(choice.StatusSentence(), "Auto Cadは AutoCAD LT97 が有効です。");

  // Installed but not startable: the sentence with the ideographic space.
  link.installed.insert(atACAD14);
  choice.AcadTypeListChange(8);
  EXPECT_EQ(link.AcadType(), atACAD14);
  EXPECT_EQ(choice.IsInstedCaption(), "Install OK!");
  EXPECT_EQ(choice.IsCanExeCaption(), "Exec NG!");
  EXPECT_EQ(choice.StatusSentence(), "Auto Cad\x81\x40 AutoCAD R14 \x82\xAA\x96\xB3\x8C\xF8\x82\xC5\x82\xB7\x81\x42");

  choice.AcadTypeListChange(12);  // outside the list: nothing changes
  EXPECT_EQ(choice.ItemIndex(), 8);
  choice.AcadTypeListChange(0);
  EXPECT_EQ(link.AcadType(), atNOACAD);
  EXPECT_EQ(choice.IsInstedCaption(), "Install NG!");
}

// Nothing installed: NG labels, yet the start-up sentence says usable.
TEST(AcadTypeChoice, NoEditionInstalled) {
  testing::FakeAcadLink link;
  AcadTypeChoice choice(link);
  choice.FormCreate();
  EXPECT_EQ(choice.SelectedEntry(), "NOACAD");
  EXPECT_EQ(choice.IsInstedCaption(), "Install NG!");
  EXPECT_EQ(choice.IsCanExeCaption(), "Exec NG!");
  EXPECT_EQ(choice.StatusSentence(), "Auto Cadは NOACAD が有効です。");
}

}  // namespace
}  // namespace qel

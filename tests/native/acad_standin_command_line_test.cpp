// The AutoCAD stand-in's command line fed typed input directly: what it
// stores must be drawable, and no input may bring it down.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "standin/acad/command_line.h"

namespace qel::acadstandin {
namespace {

// Two drawings can be open at once; saving records the paths only.
struct Files {
  std::vector<std::string> saved;
  FileHooks Hooks() {
    return {[](const std::string&, Drawing& out, std::string&) {
              out.AddDefaults();
              out.blocks.push_back({"B1", {}, {}});
              return true;
            },
            [this](const std::string& path, const Drawing&, std::string&) {
              saved.push_back(path);
              return true;
            }};
  }
};

std::vector<std::string> Texts(const Drawing& d) {
  std::vector<std::string> out;
  for (const Entity& e : d.entities)
    if (e.kind == EntityKind::Text) out.push_back(e.text);
  return out;
}

TEST(AcadStandinCommandLine, ALoneLeadByteIsABlankAndNeverSwallowsTheEnterAfterIt) {
  Files files;
  CommandLine cl(files.Hooks(), false);
  cl.Type("_TEXT\r0,0 2.5 0 M1\x82\r\r");
  cl.Type("_TEXT\r0,10 2.5 0 \x83\x7C\x82\x03");  // "ポ", then a lead byte and a cancel
  cl.Type("_LINE 0,0 5,5\r\r");
  ASSERT_EQ(cl.Active().drawing.entities.size(), 2u);
  EXPECT_EQ(Texts(cl.Active().drawing), (std::vector<std::string>{"M1 "}));
  EXPECT_EQ(cl.Active().drawing.entities[1].kind, EntityKind::Line);
  EXPECT_EQ(cl.Prompt(), "Command: ");
}

TEST(AcadStandinCommandLine, SwitchingDrawingsEndsALineSoItsUndoCannotReachTheOther) {
  Files files;
  CommandLine cl(files.Hooks(), false);
  cl.Type("._open\rfirst.dxf\r._LINE 0,0 10,0 10,10 ");
  cl.Type("._open\rsecond.dxf\r");  // refused mid-LINE: "._open" is no point
  ASSERT_EQ(cl.Documents().size(), 1u);
  cl.Type("\x03._open\rsecond.dxf\r._LINE 0,0 1,1 ");
  ASSERT_EQ(cl.Documents().size(), 2u);
  cl.Activate(0);
  EXPECT_EQ(cl.Prompt(), "Command: ") << "the LINE of the second drawing was cancelled";
  cl.Type("U\r");
  EXPECT_EQ(cl.Documents()[0]->drawing.entities.size(), 2u);
  EXPECT_EQ(cl.Documents()[1]->drawing.entities.size(), 1u);
  cl.Type("._LINE 0,0 3,3 4,4 ");
  cl.Activate(1);
  cl.Activate(0);
  cl.Type("U\r");  // at "Command: " now: an unknown command, nothing erased
  EXPECT_EQ(cl.Documents()[0]->drawing.entities.size(), 4u);
  EXPECT_EQ(cl.Documents()[1]->drawing.entities.size(), 1u);
}

// Random typed input from a short fixed list of seeds: words of the commands
// it knows, points, answers, control bytes, lone and whole double-byte
// characters, and drawing switches in between.
TEST(AcadStandinCommandLine, RandomTypedInputNeverBreaksItAndStoresNoControlByte) {
  const std::vector<std::string> pieces = {
      "._LINE ", "_rectang ", "_TEXT\r", "J C\r", "-insert ", "._insert ", "B1\r", "-style STANDARD\r",
      "txt,extfont\r", "-LineType S Center\r", "._open\r", "d.dxf\r", "._SaveAS R14 p.DWG\r", "_OsMode 0\r",
      "._filedia ", "U ", "C ", "Undo\r", "0,0 ", "@5,-5 ", "1e308,1e308 ", "-0,nan ", "10,10,10 ", "2.5 ", "0 ",
      "N ", "Y ", "?\r", "S ", "\"q x\" ", "\r", "\n", " ", "\x03", "\b", "\t", "\x01", "\x82", "\x83\x7C", "\x81\r",
      "\xFC", "表", "\xA0", "\x7F"};
  for (unsigned seed : {1u, 7u, 42u, 1234u, 99991u}) {
    Files files;
    CommandLine cl(files.Hooks(), seed % 2 == 0);
    std::mt19937 random(seed);
    std::uniform_int_distribution<std::size_t> pick(0, pieces.size() - 1);
    for (int i = 0; i < 4000; ++i) {
      const std::size_t n = pick(random);
      if (n == 0 && random() % 4 == 0) cl.Activate(static_cast<int>(random() % (cl.Documents().size() + 1)));
      cl.Type(pieces[n]);
    }
    cl.Type("\x03\x03");
    EXPECT_EQ(cl.Prompt(), "Command: ") << "seed " << seed;
    for (const auto& doc : cl.Documents())
      for (const Entity& e : doc->drawing.entities)
        for (const std::string* value : {&e.text, &e.layer, &e.linetype, &e.style})
          for (char c : *value)
            ASSERT_GE(static_cast<unsigned char>(c), 0x20u) << "seed " << seed << ": a control byte stored";
  }
}

}  // namespace
}  // namespace qel::acadstandin

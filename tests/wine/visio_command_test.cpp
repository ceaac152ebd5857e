// "VISIOで作図(&V)" in the main window: its messages as message boxes, and a
// Visio error while drawing shown by the general error handler.
#include <gtest/gtest.h>

#include <memory>

#include "app/Qel_Wirmap.h"
#include "base/dispatch.h"
#include "tests/support/program_folder.h"
#include "tests/support/ui_driver.h"
#include "win32/application.h"

namespace qel {
namespace {

using testing::DialogScript;

// Visio as far as the drawing's first master, which it does not have.
class NoMastersVisio : public Dispatch {
 public:
  Variant Get(const std::string&, Args) override { return Self(); }
  void Put(const std::string&, const Variant&, Args) override {}
  Variant Call(const std::string& member, Args&) override {
    if (member == "masters") throw AutomationError("マスタ line がありません");
    return Self();
  }
  std::weak_ptr<Dispatch> self;

 private:
  Variant Self() { return Variant(self.lock()); }
};

TEST(VisioCommand, MessagesInTurnThenAVisioErrorWhileDrawing) {
  auto& app = win::Application::Instance();
  app.SetQuietErrors(true);
  testing::ProgramFolder folder;
  std::unique_ptr<TQel_Wirmap> window;
  {
    testing::CurrentDirectory cd(folder.Path());
    DialogScript startUp(GetCurrentProcessId(), {});
    window = std::make_unique<TQel_Wirmap>();
  }
  window->StringGrid1.Cells().SetRow(1, {"1", "M", "直"});

  // This process has no automation factory: Visio cannot be created.
  DialogScript script(GetCurrentProcessId(),
                      {DialogScript::Press(IDOK), DialogScript::Press(IDOK), DialogScript::Press(IDOK)});
  SendMessageW(window->Handle(), WM_COMMAND, TQel_Wirmap::kDrowing1, 0);
  script.Finish();
  const auto seen = script.Seen();
  ASSERT_EQ(seen.size(), 3u);
  EXPECT_EQ(seen[0].text, "Visioを起動できません.");
  EXPECT_EQ(seen[1].text, "Visioを quit できません.");
  EXPECT_EQ(seen[2].text, "ファイルを開けません。\n\r２重オープンできません。");
  EXPECT_EQ(seen[0].caption, app.Title());
  EXPECT_TRUE(window->VisioOpenFailed);

  auto visio = std::make_shared<NoMastersVisio>();
  visio->self = visio;
  SetDefaultDispatchFactory([&](const std::string&) { return visio; });
  SendMessageW(window->Handle(), WM_COMMAND, TQel_Wirmap::kDrowing1, 0);
  SetDefaultDispatchFactory({});
  EXPECT_FALSE(window->VisioOpenFailed);
  EXPECT_EQ(app.LastShownError(), "マスタ line がありません");
  EXPECT_EQ(window->StringGrid1.Cells().Cell(1, 1), "M") << "the list is left as it was";
  window.reset();
  EXPECT_EQ(visio.use_count(), 1) << "the window releases the Visio objects it kept (COM still being initialised)";
  app.SetQuietErrors(false);
}

}  // namespace
}  // namespace qel

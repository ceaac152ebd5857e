#pragma once
// The main window built in this process for one test, started in a program
// folder of the test's own with the dialogs of start-up answered by script.
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/Qel_Wirmap.h"
#include "base/grid.h"
#include "tests/support/program_folder.h"
#include "tests/support/ui_driver.h"
#include "win32/application.h"

namespace qel::testing {

class MainWindowFixture : public ::testing::Test {
 protected:
  void SetUp() override { win::Application::Instance().SetQuietErrors(true); }
  void TearDown() override {
    window.reset();
    win::Application::Instance().SetQuietErrors(false);
  }

  // Starts the window in the folder, answering the dialogs of start-up.
  std::vector<DialogSeen> Start(const ProgramFolder& folder, std::vector<DialogScript::Step> startUp = {}) {
    CurrentDirectory cd(folder.Path());
    DialogScript script(GetCurrentProcessId(), std::move(startUp));
    window = std::make_unique<TQel_Wirmap>();
    script.Finish();
    EXPECT_TRUE(script.Unexpected().empty()) << "start-up showed " << script.Unexpected().front().text;
    return script.Seen();
  }

  // Runs a command while the script answers the dialogs it opens.
  static std::vector<DialogSeen> Run(const std::function<void()>& command, std::vector<DialogScript::Step> steps) {
    DialogScript script(GetCurrentProcessId(), std::move(steps));
    command();
    script.Finish();
    EXPECT_TRUE(script.Unexpected().empty()) << "unexpected dialog: " << script.Unexpected().front().text;
    return script.Seen();
  }

  std::unique_ptr<TQel_Wirmap> window;
};

// Both grids of the same size with the same texts; a failure names the
// first row that differs.
inline ::testing::AssertionResult SameCells(const Grid& actual, const Grid& expected) {
  if (actual.RowCount() != expected.RowCount() || actual.ColCount() != expected.ColCount())
    return ::testing::AssertionFailure() << actual.ColCount() << " x " << actual.RowCount() << " cells, not "
                                         << expected.ColCount() << " x " << expected.RowCount();
  for (int r = 0; r < expected.RowCount(); ++r)
    if (actual.Row(r) != expected.Row(r)) return ::testing::AssertionFailure() << "row " << r << " differs";
  return ::testing::AssertionSuccess();
}

}  // namespace qel::testing

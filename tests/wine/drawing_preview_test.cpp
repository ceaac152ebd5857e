#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/client_picture.h"
#include "tests/support/main_window_fixture.h"
#include "ui/DrawingPreview.h"
#include "win32/application.h"
#include "win32/text.h"

namespace qel {
namespace {

using qel::testing::ClientPicture;

std::string TextOf(HWND hwnd) {
  wchar_t buf[64] = {};
  GetWindowTextW(hwnd, buf, 64);
  return win::Narrow(buf);
}

dxf::Entity Line(dxf::Point a, dxf::Point b) {
  dxf::Entity e;
  e.points = {a, b};
  return e;
}

// Every page has the same 200 x 100 frame, its sheet; page 1 a line across
// its middle, page 2 a line down its middle, page 3 nothing else.
std::vector<dxf::Drawing> ThreePages() {
  std::vector<dxf::Drawing> pages(3);
  for (dxf::Drawing& page : pages) {
    page.AddDefaults();
    page.limitsMax = {200, 100};
    dxf::Entity frame;
    frame.kind = dxf::EntityKind::Polyline;
    frame.points = {{0, 0}, {200, 0}, {200, 100}, {0, 100}};
    frame.closed = true;
    page.entities.push_back(frame);
  }
  pages[0].entities.push_back(Line({0, 50}, {200, 50}));
  pages[1].entities.push_back(Line({100, 0}, {100, 100}));
  return pages;
}

// A key pressed while the preview is in front: it reaches the focused
// control through the program's own message path.
void PressKey(WPARAM key) {
  PostMessageW(GetFocus(), WM_KEYDOWN, key, 0);
  win::Application::Instance().ProcessMessages();
}

// Is there a drawn line across (or down) the middle of the canvas? A pixel
// either side of the centre row (column) allows for rounding.
bool Across(const TDrawingPreview& preview, bool horizontal) {
  RECT r;
  GetClientRect(preview.Canvas.Handle(), &r);
  const ClientPicture picture(preview.Canvas.Handle());
  const int x = r.right / 2 - (horizontal ? 40 : 0), y = r.bottom / 2 - (horizontal ? 0 : 40);
  for (int d = -1; d <= 1; ++d)
    if (picture.Dark(horizontal ? x : x + d, horizontal ? y + d : y)) return true;
  return false;
}

TEST(DrawingPreview, OpensOnPageOneAndPagesWithKeysAndButtons) {
  TDrawingPreview preview;
  EXPECT_FALSE(IsWindowVisible(preview.Handle())) << "made hidden";
  preview.ShowPages(ThreePages());
  win::Application::Instance().ProcessMessages();
  ASSERT_TRUE(IsWindowVisible(preview.Handle()));
  EXPECT_EQ(TextOf(preview.Handle()), "作図プレビュー");
  EXPECT_EQ(preview.PageIndex(), 0);
  EXPECT_EQ(TextOf(preview.PageLabel.Handle()), "1 / 3");
  EXPECT_FALSE(IsWindowEnabled(preview.PreviousButton.Handle()));
  EXPECT_TRUE(Across(preview, true));
  EXPECT_FALSE(Across(preview, false));

  PressKey(VK_NEXT);
  EXPECT_EQ(preview.PageIndex(), 1);
  EXPECT_EQ(TextOf(preview.PageLabel.Handle()), "2 / 3");
  EXPECT_FALSE(Across(preview, true));
  EXPECT_TRUE(Across(preview, false));

  SendMessageW(preview.NextButton.Handle(), BM_CLICK, 0, 0);
  EXPECT_EQ(TextOf(preview.PageLabel.Handle()), "3 / 3");
  EXPECT_FALSE(IsWindowEnabled(preview.NextButton.Handle()));
  PressKey(VK_NEXT);  // no page after the last
  EXPECT_EQ(preview.PageIndex(), 2);
  PressKey(VK_PRIOR);  // the key still reaches the page after a button click
  PressKey(VK_PRIOR);
  EXPECT_EQ(TextOf(preview.PageLabel.Handle()), "1 / 3");

  // The wheel zooms in about the pointer; Home fits the page again.
  const double fitted = preview.Canvas.View().scale;
  POINT centre{100, 100};
  ClientToScreen(preview.Canvas.Handle(), &centre);
  SendMessageW(preview.Canvas.Handle(), WM_MOUSEWHEEL, MAKEWPARAM(0, 2 * WHEEL_DELTA), MAKELPARAM(centre.x, centre.y));
  EXPECT_DOUBLE_EQ(preview.Canvas.View().scale, fitted * 1.5625);
  PressKey(VK_HOME);
  EXPECT_DOUBLE_EQ(preview.Canvas.View().scale, fitted);

  // Closing hides it; new pages open it again on their first page.
  preview.ShowPage(1);
  SendMessageW(preview.Handle(), WM_SYSCOMMAND, SC_CLOSE, 0);
  win::Application::Instance().ProcessMessages();
  EXPECT_FALSE(IsWindowVisible(preview.Handle()));
  std::vector<dxf::Drawing> two = ThreePages();
  two.pop_back();
  preview.ShowPages(two);
  EXPECT_TRUE(IsWindowVisible(preview.Handle()));
  EXPECT_EQ(TextOf(preview.PageLabel.Handle()), "1 / 2");
  EXPECT_TRUE(Across(preview, true));
}

// ---- the main window's preview command ----

class PreviewCommandTest : public testing::MainWindowFixture {
 protected:
  std::vector<testing::DialogSeen> Preview(std::vector<testing::DialogScript::Step> answers = {}) {
    return Run([&] { SendMessageW(window->Handle(), WM_COMMAND, TQel_Wirmap::kDrawingPreview, 0); },
               std::move(answers));
  }
  void Motor(int row) {
    window->StringGrid1.Cells().SetCell(1, row, "M" + std::to_string(row));
    window->StringGrid1.Cells().SetCell(2, row, "直");
  }
};

TEST_F(PreviewCommandTest, ShowsTheListAsItIsAtEachCommand) {
  testing::ProgramFolder folder;
  folder.AddTable("Qel-Acad.DWG");
  Start(folder);
  EXPECT_FALSE(window->PreviewForm.Made()) << "made on first use";
  for (int row = 1; row <= 8; ++row) Motor(row);
  EXPECT_TRUE(Preview().empty());
  ASSERT_TRUE(window->PreviewForm.Made());
  TDrawingPreview& preview = *window->PreviewForm;
  EXPECT_TRUE(IsWindowVisible(preview.Handle()));
  EXPECT_EQ(GetWindow(preview.Handle(), GW_OWNER), window->Handle());
  EXPECT_EQ(TextOf(preview.PageLabel.Handle()), "1 / 1");

  Motor(9);  // a ninth circuit starts page 2
  EXPECT_TRUE(Preview().empty());
  EXPECT_EQ(window->PreviewForm.get(), &preview) << "the same window, filled again";
  EXPECT_EQ(TextOf(preview.PageLabel.Handle()), "1 / 2");

  DeleteFileW(win::Wide(folder.File("Data\\Qel-Acad.DWG")).c_str());
  const auto seen = Preview({testing::DialogScript::Press(IDOK)});
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].caption, "作図プレビュー");
  EXPECT_NE(seen[0].text.find("作図のテンプレートを読めません"), std::string::npos) << seen[0].text;
}

}  // namespace
}  // namespace qel

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "acad/AcadTool_Frame.h"
#include "tests/support/fake_acad_link.h"
#include "win32/text.h"

namespace qel {
namespace {

std::string TextOf(HWND hwnd) {
  wchar_t buf[256] = {};
  GetWindowTextW(hwnd, buf, 256);
  return win::Narrow(buf);
}

RECT PlaceIn(HWND child) {
  RECT r;
  GetWindowRect(child, &r);
  MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&r), 2);
  return r;
}

std::vector<std::string> ItemsOf(HWND combo) {
  std::vector<std::string> items;
  const int n = static_cast<int>(SendMessageW(combo, CB_GETCOUNT, 0, 0));
  for (int i = 0; i < n; ++i) {
    wchar_t buf[128] = {};
    SendMessageW(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(buf));
    items.push_back(win::Narrow(buf));
  }
  return items;
}

// The user picks an entry: the box changes, then tells its parent.
void Choose(HWND combo, int index) {
  SendMessageW(combo, CB_SETCURSEL, index, 0);
  SendMessageW(GetParent(combo), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(combo), CBN_SELCHANGE),
               reinterpret_cast<LPARAM>(combo));
}

TEST(AcadToolFrame, WindowControlsAndChoice) {
  testing::FakeAcadLink link;
  link.installed = {atACLT97, atACAD2000, atACAD14};
  link.startable = {atACLT97, atACAD2000};
  std::string label57;
  TAcadTool_Frame frame(link, [&](const std::string& s) { label57 = s; });
  HWND hwnd = frame.Handle();
  ASSERT_TRUE(hwnd);

  wchar_t cls[64] = {};
  GetClassNameW(hwnd, cls, 64);
  EXPECT_STREQ(cls, L"TAcadTool_Frame");
  EXPECT_EQ(TextOf(hwnd), "Acad Select");
  EXPECT_FALSE(IsWindowVisible(hwnd)) << "hidden until the menu shows it";
  const LONG style = GetWindowLongW(hwnd, GWL_STYLE);
  EXPECT_TRUE(style & WS_SYSMENU);
  EXPECT_FALSE(style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX)) << "single border, close button only";
  RECT client;
  GetClientRect(hwnd, &client);
  EXPECT_EQ(client.right, 316);
  EXPECT_EQ(client.bottom, 67);
  RECT outer;
  GetWindowRect(hwnd, &outer);
  EXPECT_NEAR((outer.left + outer.right) / 2, GetSystemMetrics(SM_CXSCREEN) / 2, 1);
  LOGFONTW font{};
  GetObjectW(reinterpret_cast<HFONT>(SendMessageW(hwnd, WM_GETFONT, 0, 0)), sizeof font, &font);
  EXPECT_EQ(win::Narrow(font.lfFaceName), "ＭＳ Ｐゴシック");

  HWND list = frame.AcadTypeList.Handle();
  EXPECT_EQ(GetWindowLongW(list, GWL_STYLE) & 3, CBS_DROPDOWNLIST);
  const RECT listAt = PlaceIn(list);
  EXPECT_EQ(listAt.left, 7);
  EXPECT_EQ(listAt.top, 12);
  EXPECT_EQ(listAt.right - listAt.left, 137);
  EXPECT_EQ(ItemsOf(list), (std::vector<std::string>{"NOACAD", "AutoCAD LT95", "AutoCAD LT97", "AutoCAD LT98",
                                                      "AutoCAD LT2000", "AutoCAD LT2000i", "AutoCAD LT2002",
                                                      "AutoCAD R13", "AutoCAD R14", "AutoCAD 2000",
                                                      "AutoCAD 2000i", "AutoCAD 2002"}));
  EXPECT_EQ(SendMessageW(list, CB_GETCURSEL, 0, 0), 2);
  const RECT instAt = PlaceIn(frame.IsInstedCaption.Handle());
  const RECT exeAt = PlaceIn(frame.IsCanExe.Handle());
  EXPECT_EQ(instAt.left, 164);
  EXPECT_EQ(instAt.top, 8);
  EXPECT_EQ(exeAt.left, 162);
  EXPECT_EQ(exeAt.top, 27);
  EXPECT_EQ(TextOf(frame.IsInstedCaption.Handle()), "Install OK!");
  EXPECT_EQ(TextOf(frame.IsCanExe.Handle()), "Exec OK!");
  EXPECT_EQ(label57, "Auto Cadは AutoCAD LT97 が有効です。");

  Choose(list, 8);  // AutoCAD R14: installed, cannot start
  EXPECT_EQ(link.AcadType(), atACAD14);
  EXPECT_EQ(TextOf(frame.IsInstedCaption.Handle()), "Install OK!");
  EXPECT_EQ(TextOf(frame.IsCanExe.Handle()), "Exec NG!");
  EXPECT_EQ(label57, "Auto Cad\x81\x40 AutoCAD R14 が無効です。");

  // Closing only hides; the choice stays.
  frame.Show();
  EXPECT_TRUE(IsWindowVisible(hwnd));
  SendMessageW(hwnd, WM_CLOSE, 0, 0);
  EXPECT_TRUE(IsWindow(hwnd));
  EXPECT_FALSE(IsWindowVisible(hwnd));
  EXPECT_EQ(SendMessageW(list, CB_GETCURSEL, 0, 0), 8);
  EXPECT_EQ(link.AcadType(), atACAD14);
}

}  // namespace
}  // namespace qel

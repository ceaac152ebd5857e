// The window toolkit's controls, layout, menus and hints, driven by the
// messages Windows sends them.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "win32/application.h"
#include "win32/containers.h"
#include "win32/controls.h"
#include "win32/dialogs.h"
#include "win32/form.h"
#include "win32/hint.h"
#include "win32/menu.h"
#include "win32/string_grid.h"
#include "win32/text.h"
#include "tests/support/ui_driver.h"

namespace qel {
namespace {

using win::Align;

// Mouse coordinates as messages carry them: two signed 16-bit values.
LPARAM Point(int x, int y) {
  return static_cast<LPARAM>(static_cast<WORD>(x)) | (static_cast<LPARAM>(static_cast<WORD>(y)) << 16);
}

class ToolkitTest : public ::testing::Test {
 protected:
  void SetUp() override {
    form.Create({.className = "TQelToolkitTestForm", .caption = "toolkit", .width = 500, .height = 400});
    win::Application::Instance().SetQuietErrors(true);
  }
  void TearDown() override {
    auto& app = win::Application::Instance();
    app.onHint = nullptr;
    app.SetHint("");
    app.SetQuietErrors(false);
  }
  // A notification as the control's parent receives it.
  static void Notify(win::Wnd& control, WORD code) {
    SendMessageW(GetParent(control.Handle()), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(control.Handle()), code),
                 reinterpret_cast<LPARAM>(control.Handle()));
  }
  static void MouseClick(HWND hwnd, int x = 5, int y = 5) {
    SendMessageW(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    SendMessageW(hwnd, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
  }

  win::Form form;
};

// ---- hints ----

TEST(LongHint, IsThePartAfterTheFirstBar) {
  EXPECT_EQ(win::LongHint("短い|長い説明|続き"), "長い説明|続き");
  EXPECT_EQ(win::LongHint("バーのない説明"), "バーのない説明");
  EXPECT_EQ(win::LongHint(""), "");
  // "ポ" is 83 7C: its second byte is no bar.
  EXPECT_EQ(win::LongHint("ポンプ"), "ポンプ");
  EXPECT_EQ(win::LongHint("ポ|ンプ"), "ンプ");
}

TEST_F(ToolkitTest, AControlWithoutAHintTakesThatOfTheNearestEnclosingOne) {
  win::Panel outer, inner;
  win::Label plain, own;
  outer.Create({.parent = &form, .bounds = {0, 0, 200, 200}, .hint = "外側"});
  inner.Create({.parent = &outer, .bounds = {10, 10, 100, 100}});
  plain.Create({.parent = &inner, .text = "a", .bounds = {1, 1, 0, 0}});
  own.Create({.parent = &inner, .text = "b", .bounds = {1, 30, 0, 0}, .hint = "自分"});
  EXPECT_EQ(win::HintOf(plain.Handle()), "外側");
  EXPECT_EQ(win::HintOf(inner.Handle()), "外側");
  EXPECT_EQ(win::HintOf(own.Handle()), "自分");
  EXPECT_EQ(win::HintOf(form.Handle()), "") << "the form has none, and its owner is not asked";
}

TEST_F(ToolkitTest, MovingTheMouseSetsTheApplicationHintOncePerChange) {
  win::Button a, b;
  win::Label none;
  a.Create({.parent = &form, .text = "A", .bounds = {0, 0, 50, 20}, .hint = "ボタンＡ"});
  b.Create({.parent = &form, .text = "B", .bounds = {60, 0, 50, 20}, .hint = "ボタンＢ"});
  none.Create({.parent = &form, .text = "n", .bounds = {0, 40, 0, 0}});
  auto& app = win::Application::Instance();
  std::vector<std::string> seen;
  app.onHint = [&] { seen.push_back(app.Hint()); };
  for (HWND over : {a.Handle(), a.Handle(), b.Handle(), none.Handle()}) {
    PostMessageW(over, WM_MOUSEMOVE, 0, MAKELPARAM(2, 2));
    app.ProcessMessages();
  }
  EXPECT_EQ(seen, (std::vector<std::string>{"ボタンＡ", "ボタンＢ", ""}));
}

TEST_F(ToolkitTest, TheHighlightedMenuEntryGivesTheHint) {
  win::MenuItem open, close, file;
  open.Set({.caption = "開く(&O)", .hint = "開きます"});
  close.Set({.caption = "閉じる", .hint = "閉じます"});
  file.Set({.caption = "ﾌｧｲﾙ(&F)", .hint = "ファイル操作"}, {&open, &close});
  win::MainMenu menu;
  menu.Set({&file});
  form.SetMainMenu(menu);
  HMENU bar = GetMenu(form.Handle());
  ASSERT_TRUE(bar);
  auto& app = win::Application::Instance();
  SendMessageW(form.Handle(), WM_MENUSELECT, MAKEWPARAM(0, MF_POPUP), reinterpret_cast<LPARAM>(bar));
  EXPECT_EQ(app.Hint(), "ファイル操作");
  SendMessageW(form.Handle(), WM_MENUSELECT, MAKEWPARAM(close.Id(), 0),
               reinterpret_cast<LPARAM>(GetSubMenu(bar, 0)));
  EXPECT_EQ(app.Hint(), "閉じます");
  SendMessageW(form.Handle(), WM_MENUSELECT, MAKEWPARAM(0, 0xFFFF), 0);
  EXPECT_EQ(app.Hint(), "") << "a closed menu has no hint";
}

// ---- menus ----

TEST_F(ToolkitTest, MenuEntriesRunTheirHandlerAndShowTicks) {
  win::MenuItem a, sep, hidden, b, top;
  a.Set({.caption = "A", .id = 301});
  sep.Set({.caption = "-"});
  hidden.Set({.caption = "隠れ", .id = 302, .visible = false});
  b.Set({.caption = "B", .id = 303, .checked = true});
  top.Set({.caption = "T"}, {&a, &sep, &hidden, &b});
  win::MainMenu menu;
  menu.Set({&top});
  form.SetMainMenu(menu);
  HMENU sub = GetSubMenu(GetMenu(form.Handle()), 0);
  EXPECT_EQ(GetMenuItemCount(sub), 3) << "the hidden entry is left out";
  EXPECT_EQ(GetMenuState(sub, 302, MF_BYCOMMAND), static_cast<UINT>(-1));
  EXPECT_TRUE(GetMenuState(sub, 303, MF_BYCOMMAND) & MF_CHECKED);
  EXPECT_TRUE(GetMenuState(sub, 1, MF_BYPOSITION) & MF_SEPARATOR);

  int runs = 0;
  a.onClick = [&] { ++runs; };
  SendMessageW(form.Handle(), WM_COMMAND, 301, 0);
  EXPECT_EQ(runs, 1);
  a.SetChecked(true);
  b.SetChecked(false);
  EXPECT_TRUE(GetMenuState(sub, 301, MF_BYCOMMAND) & MF_CHECKED);
  EXPECT_FALSE(GetMenuState(sub, 303, MF_BYCOMMAND) & MF_CHECKED);

  // Enter in a field makes the dialog manager send IDOK: no entry has it.
  SendMessageW(form.Handle(), WM_COMMAND, IDOK, 0);
  EXPECT_EQ(runs, 1);

  b.onClick = [] { throw std::runtime_error("メニューの失敗"); };
  SendMessageW(form.Handle(), WM_COMMAND, 303, 0);
  EXPECT_EQ(win::Application::Instance().LastShownError(), "メニューの失敗");
}

TEST_F(ToolkitTest, ARightClickOpensThePopUpMenuWhoseChoiceRunsItsHandler) {
  win::StringGrid grid;
  grid.Create({.parent = &form, .bounds = {0, 0, 200, 100}});
  win::MenuItem insert, remove;
  insert.Set({.caption = "行挿入(&I)"});
  remove.Set({.caption = "行削除(&D)"});
  win::PopupMenu popup;
  popup.Set({&insert, &remove});
  grid.popupMenu = &popup;
  std::vector<std::string> chosen;
  insert.onClick = [&] { chosen.push_back("insert"); };
  remove.onClick = [&] { chosen.push_back("delete"); };
  form.Show();

  // The menu runs its own loop; a helper picks the second entry by keys.
  bool opened = false;
  std::thread picker([&] {
    opened = testing::WaitUntil([] { return !testing::TopLevelWindows(GetCurrentProcessId(), L"#32768", true).empty(); },
                                5000);
    auto menus = [] { return testing::TopLevelWindows(GetCurrentProcessId(), L"#32768", true); };
    for (const HWND menu : menus())
      for (WPARAM key : {VK_DOWN, VK_DOWN, VK_RETURN}) PostMessageW(menu, WM_KEYDOWN, key, 0);
    // Should the keys not close it, the menu must not keep the test waiting.
    if (!testing::WaitUntil([&] { return menus().empty(); }, 3000))
      for (const HWND menu : menus())
        for (int i = 0; i < 3; ++i) PostMessageW(menu, WM_KEYDOWN, VK_ESCAPE, 0);
  });
  POINT at{20, 20};
  ClientToScreen(grid.Handle(), &at);
  SendMessageW(grid.Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(grid.Handle()), MAKELPARAM(at.x, at.y));
  picker.join();
  win::Application::Instance().ProcessMessages();
  EXPECT_TRUE(opened);
  EXPECT_EQ(chosen, (std::vector<std::string>{"delete"}));
}

// ---- controls ----

TEST_F(ToolkitTest, ButtonsAndCheckBoxesReportClicks) {
  win::Button button;
  win::CheckBox box;
  button.Create({.parent = &form, .text = "押す", .bounds = {0, 0, 60, 24}});
  box.Create({.parent = &form, .text = "選ぶ", .bounds = {0, 30, 80, 20}}, true);
  int pressed = 0, ticked = 0;
  button.onClick = [&] { ++pressed; };
  box.onClick = [&] { ++ticked; };
  SendMessageW(button.Handle(), BM_CLICK, 0, 0);
  SendMessageW(box.Handle(), BM_CLICK, 0, 0);
  EXPECT_EQ(pressed, 1);
  EXPECT_EQ(ticked, 1);
  EXPECT_FALSE(box.Checked()) << "the click unticked the ticked box";
  box.SetChecked(true);
  EXPECT_EQ(ticked, 1) << "a change by code is no click";
  EXPECT_EQ(button.Text(), "押す");
}

TEST_F(ToolkitTest, RadioButtonsOfOneParentExcludeEachOther) {
  win::GroupBox group;
  win::RadioButton r1, r2;
  group.Create({.parent = &form, .text = "電源区分", .bounds = {0, 0, 100, 60}});
  r1.Create({.parent = &group, .text = "200", .bounds = {8, 16, 80, 18}}, true);
  r2.Create({.parent = &group, .text = "400", .bounds = {8, 36, 80, 18}});
  int clicks = 0;
  r2.onClick = [&] { ++clicks; };
  SendMessageW(r2.Handle(), BM_CLICK, 0, 0);
  EXPECT_TRUE(r2.Checked());
  EXPECT_FALSE(r1.Checked());
  EXPECT_EQ(clicks, 1) << "the click inside the group box reached the radio button";
  r1.SetChecked(true);
  EXPECT_FALSE(r2.Checked());
}

TEST_F(ToolkitTest, GroupBoxesAndLabelsInsideThemTakeClicks) {
  win::GroupBox group;
  win::Label label;
  group.Create({.parent = &form, .text = "接続電線ｻｲｽﾞ", .bounds = {0, 0, 120, 80}});
  label.Create({.parent = &group, .text = "A,B", .bounds = {8, 20, 0, 0}});
  int groupClicks = 0, labelClicks = 0;
  group.onClick = [&] { ++groupClicks; };
  label.onClick = [&] { ++labelClicks; };
  MouseClick(group.Handle(), 60, 60);
  EXPECT_EQ(groupClicks, 1);
  RECT r;
  GetWindowRect(group.Handle(), &r);
  EXPECT_EQ(SendMessageW(group.Handle(), WM_NCHITTEST, 0, Point((r.left + r.right) / 2, r.bottom - 5)), HTCLIENT)
      << "not transparent like the system's group box";
  MouseClick(label.Handle(), 2, 2);
  EXPECT_EQ(labelClicks, 1);
  EXPECT_EQ(groupClicks, 1);
}

TEST_F(ToolkitTest, APanelWithACaptionActsAsAButton) {
  win::Panel panel;
  panel.Create({.parent = &form, .text = "閉じる", .bounds = {0, 0, 81, 30}}, win::Panel::Bevel::Raised);
  int clicks = 0;
  panel.onClick = [&] { ++clicks; };
  MouseClick(panel.Handle(), 10, 10);
  EXPECT_EQ(clicks, 1);
  // Released outside: no click, as with a button.
  SendMessageW(panel.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
  SendMessageW(panel.Handle(), WM_LBUTTONUP, 0, MAKELPARAM(200, 10));
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(panel.Text(), "閉じる");
}

TEST_F(ToolkitTest, AutoSizedLabelsFollowTheirText) {
  win::Label label;
  label.Create({.parent = &form, .text = "0", .bounds = {5, 5, 0, 0}});
  const int narrow = label.Width();
  label.SetText("準拠データは fd.dat です");
  EXPECT_GT(label.Width(), narrow * 5);
  EXPECT_EQ(label.Text(), "準拠データは fd.dat です");
}

TEST_F(ToolkitTest, EditFieldsReportEveryChangeOfText) {
  win::Edit edit;
  edit.Create({.parent = &form, .text = "1", .bounds = {0, 0, 60, 20}});
  std::vector<std::string> seen;
  edit.onChange = [&] { seen.push_back(edit.Text()); };
  edit.SetText("2");
  edit.SetText("2");
  SendMessageW(edit.Handle(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"３"));
  EXPECT_EQ(seen, (std::vector<std::string>{"2", "３"}));
}

TEST_F(ToolkitTest, AnEditableComboBoxKeepsItsTextWhenItsEntriesChange) {
  win::ComboBox combo;
  combo.Create({.parent = &form, .text = "5.5", .bounds = {0, 0, 80, 0}}, win::ComboBox::Kind::DropDown, 21);
  EXPECT_EQ(combo.Text(), "5.5");
  combo.SetItems({"0.1", "0.2", "0.4"});
  EXPECT_EQ(combo.Text(), "5.5");
  EXPECT_EQ(combo.ItemCount(), 3);
  EXPECT_EQ(combo.DropDownCount(), 21);
  EXPECT_LT(combo.BoxHeight(), 40) << "the closed box is one line high";
  std::string textInHandler;
  combo.onChange = [&] { textInHandler = combo.Text(); };
  SendMessageW(combo.Handle(), CB_SETCURSEL, 2, 0);
  Notify(combo, CBN_SELCHANGE);
  EXPECT_EQ(textInHandler, "0.4") << "the handler reads the chosen entry";
  SetWindowTextW(combo.Handle(), L"7.5");
  Notify(combo, CBN_EDITCHANGE);
  EXPECT_EQ(textInHandler, "7.5");
}

TEST_F(ToolkitTest, AChooseOnlyComboBoxHasNothingChosenAfterNewEntries) {
  win::ComboBox combo;
  combo.Create({.parent = &form, .bounds = {0, 0, 80, 0}}, win::ComboBox::Kind::DropDownList);
  combo.SetItems({"Di>Ry", "Do"});
  combo.SetItemIndex(1);
  EXPECT_EQ(combo.Text(), "Do");
  combo.SetItems({"", "Do-Ry 絶縁信号"});
  EXPECT_EQ(combo.ItemIndex(), -1);
  EXPECT_EQ(combo.Items(), (std::vector<std::string>{"", "Do-Ry 絶縁信号"}));
}

// ---- containers and layout ----

TEST_F(ToolkitTest, AlignedChildrenShareTheClientArea) {
  win::Panel top, bottom1, bottom2, left, right, client;
  top.Create({.parent = &form, .bounds = {0, 0, 0, 7}, .align = Align::Top});
  bottom1.Create({.parent = &form, .bounds = {0, 0, 0, 20}, .align = Align::Bottom});
  bottom2.Create({.parent = &form, .bounds = {0, 0, 0, 38}, .align = Align::Bottom});
  left.Create({.parent = &form, .bounds = {0, 0, 10, 0}, .align = Align::Left});
  right.Create({.parent = &form, .bounds = {0, 0, 30, 0}, .align = Align::Right});
  client.Create({.parent = &form, .align = Align::Client});
  RECT r;
  GetClientRect(form.Handle(), &r);
  EXPECT_EQ(top.GetBounds(), (win::Bounds{0, 0, r.right, 7}));
  EXPECT_EQ(bottom1.GetBounds(), (win::Bounds{0, r.bottom - 20, r.right, 20})) << "the first bottom one is lowest";
  EXPECT_EQ(bottom2.GetBounds(), (win::Bounds{0, r.bottom - 58, r.right, 38}));
  EXPECT_EQ(left.GetBounds(), (win::Bounds{0, 7, 10, r.bottom - 65}));
  EXPECT_EQ(right.GetBounds(), (win::Bounds{r.right - 30, 7, 30, r.bottom - 65}));
  EXPECT_EQ(client.GetBounds(), (win::Bounds{10, 7, r.right - 40, r.bottom - 65}));

  right.SetWidth(100);
  EXPECT_EQ(client.Width(), r.right - 110) << "widening one re-lays the others";
  right.SetVisible(false);
  EXPECT_EQ(client.Width(), r.right - 10) << "a hidden one takes no room";
  SetWindowPos(form.Handle(), nullptr, 0, 0, 600, 500, SWP_NOMOVE | SWP_NOZORDER);
  GetClientRect(form.Handle(), &r);
  EXPECT_EQ(client.GetBounds(), (win::Bounds{10, 7, r.right - 10, r.bottom - 65})) << "and so does resizing";
}

TEST_F(ToolkitTest, ASplitterDragResizesItsPanel) {
  win::Panel panel, rest;
  win::Splitter splitter;
  panel.Create({.parent = &form, .bounds = {0, 0, 100, 0}, .align = Align::Right});
  splitter.Create({.parent = &form, .bounds = {0, 0, 3, 0}, .align = Align::Right}, &panel);
  rest.Create({.parent = &form, .align = Align::Client});
  const int x0 = splitter.GetBounds().x;
  SendMessageW(splitter.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(1, 10));
  SendMessageW(splitter.Handle(), WM_MOUSEMOVE, MK_LBUTTON, Point(1 - 40, 10));
  SendMessageW(splitter.Handle(), WM_LBUTTONUP, 0, Point(1 - 40, 10));
  EXPECT_EQ(panel.Width(), 140) << "moving the bar left widens the right-hand panel";
  EXPECT_EQ(splitter.GetBounds().x, x0 - 40);
}

TEST_F(ToolkitTest, ChoosingATabShowsItsPageThenHidesTheOldOneThenReports) {
  win::PageControl pages;
  win::TabSheet one, two;
  pages.Create({.parent = &form, .bounds = {0, 0, 400, 120}, .hint = "タブ"});
  one.Create(pages, "三相ﾓｰﾀのじか入始動");
  two.Create(pages, "計装信号入出力", "計装");
  ShowWindow(form.Handle(), SW_SHOWNOACTIVATE);
  std::vector<std::string> events;
  one.onHide = [&] { events.push_back("hide one"); };
  two.onShow = [&] { events.push_back("show two"); };
  pages.onChange = [&] { events.push_back("change " + std::to_string(pages.ActivePageIndex())); };
  EXPECT_EQ(pages.ActivePageIndex(), 0);
  EXPECT_TRUE(one.Visible());
  EXPECT_FALSE(two.Visible());

  RECT tab;
  ASSERT_TRUE(SendMessageW(pages.TabHandle(), TCM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&tab)));
  const LPARAM at = MAKELPARAM((tab.left + tab.right) / 2, (tab.top + tab.bottom) / 2);
  SendMessageW(pages.TabHandle(), WM_LBUTTONDOWN, MK_LBUTTON, at);
  SendMessageW(pages.TabHandle(), WM_LBUTTONUP, 0, at);
  EXPECT_EQ(events, (std::vector<std::string>{"show two", "hide one", "change 1"}));
  EXPECT_TRUE(two.Visible());
  EXPECT_FALSE(one.Visible());
  EXPECT_EQ(win::HintOf(two.Handle()), "計装");
  EXPECT_EQ(win::HintOf(pages.TabHandle()), "タブ") << "the tabs take the control's hint";

  events.clear();
  two.onHide = [&] { events.push_back("hide two"); };
  pages.SetActivePage(0);
  EXPECT_EQ(events, (std::vector<std::string>{"hide two"})) << "no onChange for a change by code";
  EXPECT_TRUE(one.Visible());
}

TEST_F(ToolkitTest, StatusBarShowsOneText) {
  win::StatusBar bar;
  bar.Create({.parent = &form, .bounds = {0, 0, 0, 20}, .align = Align::Bottom});
  bar.SetSimpleText("ヒントです");
  EXPECT_EQ(bar.SimpleText(), "ヒントです");
  wchar_t buf[64] = {};
  GetWindowTextW(bar.Handle(), buf, 64);
  EXPECT_EQ(win::Narrow(buf), "ヒントです") << "what the bar itself holds and shows";
}

// ---- forms ----

TEST(FormClose, HidesOrEndsAsTheFormWants) {
  win::Form keeper, ender;
  keeper.Create({.className = "TQelKeeperForm", .caption = "k", .width = 100, .height = 100, .hideOnClose = true});
  ender.Create({.className = "TQelEnderForm", .caption = "e", .width = 100, .height = 100});
  keeper.Show();
  keeper.Close();
  ender.Close();
  win::Application::Instance().ProcessMessages();
  EXPECT_TRUE(IsWindow(keeper.Handle()));
  EXPECT_FALSE(keeper.Visible());
  EXPECT_EQ(ender.Handle(), nullptr) << "the window is gone and the object knows it";
}

// ---- dialogs ----

TEST(FileDialogArgs, FilterPairsAndDefaultExtension) {
  win::FileDialog d(win::FileDialog::Kind::Save);
  d.Filter = {{"Text(CSV)", "*.csv"}, {"HTML", "*.htm"}};
  EXPECT_EQ(d.FilterText(), std::wstring(L"Text(CSV)\0*.csv\0HTML\0*.htm\0\0", 28));
  d.DefaultExt = "*.txt";
  EXPECT_EQ(d.PlainDefaultExt(), L"txt") << "the dialog appends what it is given; \"*.\" would end up in names";
  d.DefaultExt = ".dat";
  EXPECT_EQ(d.PlainDefaultExt(), L"dat");
}

// Two pages, the second holding its controls' windows back.
struct HeldPages {
  win::PageControl pages;
  win::TabSheet one, two;
  explicit HeldPages(win::Form& form) {
    pages.Create({.parent = &form, .bounds = {0, 0, 400, 120}});
    one.Create(pages, "one");
    two.Create(pages, "two");
    two.HoldChildWindows();
  }
};

// A page that holds its controls back: everything set before its first
// showing is what the windows carry once made, in creation order, and
// making them reports nothing.
TEST_F(ToolkitTest, AHeldPageMakesItsControlsWithWhatWasSetWhenFirstShown) {
  HeldPages held(form);
  win::TabSheet& two = held.two;
  win::GroupBox group;
  win::Label label;
  win::CheckBox tick;
  win::ComboBox list, field;
  group.Create({.parent = &two, .text = "group", .bounds = {4, 2, 200, 80}});
  label.Create({.parent = &group, .text = "0", .bounds = {8, 20, 0, 0}});
  tick.Create({.parent = &two, .text = "tick", .bounds = {210, 4, 80, 16}});
  list.Create({.parent = &two, .bounds = {210, 24, 80, 0}, .enabled = false}, win::ComboBox::Kind::DropDownList);
  field.Create({.parent = &two, .text = "typed", .bounds = {210, 50, 80, 0}}, win::ComboBox::Kind::DropDown);
  int reports = 0;
  for (win::ComboBox* box : {&list, &field}) box->onChange = [&] { ++reports; };
  tick.onClick = [&] { ++reports; };

  EXPECT_TRUE(label.WindowHeld());
  label.SetText("123.5");
  tick.SetChecked(true);
  list.SetItems({"a", "b", "c"});
  list.SetItemIndex(2);
  list.SetEnabled(true);
  field.SetItems({"x", "y"});
  EXPECT_EQ(label.Text(), "123.5");
  EXPECT_TRUE(tick.Checked());
  EXPECT_EQ(list.Text(), "c");
  EXPECT_EQ(list.ItemIndex(), 2);
  EXPECT_TRUE(list.Enabled());
  EXPECT_EQ(field.Text(), "typed") << "new entries keep the typed text";
  EXPECT_EQ(field.ItemIndex(), -1);
  list.SetItemIndex(5);
  EXPECT_EQ(list.Text(), "") << "an index past the entries chooses nothing";
  list.SetItemIndex(1);

  held.pages.SetActivePage(1);
  EXPECT_FALSE(label.WindowHeld());
  EXPECT_EQ(testing::TextOf(label.Handle()), "123.5");
  RECT r;
  GetClientRect(label.Handle(), &r);
  EXPECT_GT(r.right, 20) << "sized to the text it was given, not to \"0\"";
  EXPECT_EQ(SendMessageW(tick.Handle(), BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_EQ(SendMessageW(list.Handle(), CB_GETCOUNT, 0, 0), 3);
  EXPECT_EQ(SendMessageW(list.Handle(), CB_GETCURSEL, 0, 0), 1);
  EXPECT_EQ(testing::TextOf(list.Handle()), "b");
  EXPECT_TRUE(IsWindowEnabled(list.Handle()));
  EXPECT_EQ(SendMessageW(field.Handle(), CB_GETCOUNT, 0, 0), 2);
  EXPECT_EQ(testing::TextOf(field.Handle()), "typed");
  EXPECT_EQ(reports, 0);
  // The keyboard order is the creation order.
  std::vector<HWND> order;
  for (HWND h = GetWindow(two.Handle(), GW_CHILD); h; h = GetWindow(h, GW_HWNDNEXT)) order.push_back(h);
  EXPECT_EQ(order, (std::vector<HWND>{group.Handle(), tick.Handle(), list.Handle(), field.Handle()}));
  EXPECT_EQ(GetParent(label.Handle()), group.Handle());
}

// Asking a held control for its window makes the whole page, in order.
TEST_F(ToolkitTest, AskingAHeldControlForItsWindowMakesItsPage) {
  HeldPages held(form);
  win::TabSheet& two = held.two;
  win::Label first, second;
  first.Create({.parent = &two, .text = "first", .bounds = {4, 4, 0, 0}});
  second.Create({.parent = &two, .text = "second", .bounds = {4, 24, 0, 0}});
  const HWND made = second.Handle();
  ASSERT_TRUE(made);
  EXPECT_FALSE(first.WindowHeld());
  EXPECT_EQ(GetWindow(two.Handle(), GW_CHILD), first.Handle());
  EXPECT_EQ(GetWindow(first.Handle(), GW_HWNDNEXT), made);
  EXPECT_FALSE(IsWindowVisible(made)) << "the page is still hidden";
}

}  // namespace
}  // namespace qel

namespace qel {
namespace {

// While a wait cursor is held, a mouse move over the form or over a system
// control in it keeps the hourglass instead of bringing the arrow back.
TEST_F(ToolkitTest, WaitCursorOutlivesTheNextSetCursor) {
  win::Button button;
  button.Create({.parent = &form, .text = "b", .bounds = {10, 10, 80, 24}});
  const HCURSOR wait = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_WAIT));
  const HCURSOR arrow = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  auto setCursor = [](HWND over) {
    return SendMessageW(over, WM_SETCURSOR, reinterpret_cast<WPARAM>(over), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
  };
  {
    const win::WaitCursor busy;
    for (HWND over : {form.Handle(), button.Handle()}) {
      SetCursor(arrow);
      EXPECT_EQ(setCursor(over), TRUE);
      EXPECT_EQ(GetCursor(), wait);
    }
  }
  setCursor(form.Handle());
  EXPECT_EQ(GetCursor(), arrow) << "the form's own cursor once the wait is over";
}

}  // namespace
}  // namespace qel

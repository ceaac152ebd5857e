// The three tab pages of the main window: the direct-on-line and the
// star-delta equipment display, and the instrumentation loop selectors.
#include "app/Qel_Wirmap.h"
#include "selection/instrument_selection.h"

namespace qel {

namespace {
const COLORREF kNavy = RGB(0, 0, 128);
constexpr int kFigureHeight = 24;  // the large current figure
constexpr int kRaisedHeight = 8;   // the small raised "2" of "mm2"

const std::string kCurrentHint = "電動機出力の標準的な値です。";
const std::string kTypeHint = "電動機出力値での標準的な型式です。";
}  // namespace

void TQel_Wirmap::CreateTabSheet1() {
  GroupBox1.Create({.parent = &TabSheet1, .text = "電動機全負荷電流", .bounds = {4, 2, 80, 82}, .hint = kCurrentHint});
  Label13.Create({.parent = &GroupBox1, .text = "0", .bounds = {8, 30, 0, 0}, .fontHeight = kFigureHeight,
                  .bold = true, .color = kNavy});
  Caption(GroupBox1, "A", 64, 44);

  GroupBox3.Create({.parent = &TabSheet1, .text = "電磁開閉器（MS)", .bounds = {88, 2, 244, 82}, .hint = kTypeHint});
  Caption(GroupBox3, "形式", 8, 18);
  Caption(GroupBox3, "付属ｻｰﾏﾙﾘﾚｰ形式", 96, 18);
  Caption(GroupBox3, "ﾋｰﾀ定格", 194, 18);
  Caption(GroupBox3, "MS", 8, 44);
  Label15.Create({.parent = &GroupBox3, .text = "ＳＷ", .bounds = {28, 44, 0, 0}});
  Caption(GroupBox3, "形", 80, 44);
  Label17.Create({.parent = &GroupBox3, .text = "ＴＲ", .bounds = {96, 44, 0, 0}});
  Caption(GroupBox3, "形", 170, 44);
  Label19.Create({.parent = &GroupBox3, .text = "0", .bounds = {194, 44, 0, 0}});
  Caption(GroupBox3, "A", 228, 44);

  GroupBox4.Create({.parent = &TabSheet1, .text = "配線用遮断器", .bounds = {336, 2, 138, 82}, .hint = kTypeHint});
  Caption(GroupBox4, "形式", 8, 16);
  Label21.Create({.parent = &GroupBox4, .text = "EA", .bounds = {8, 30, 0, 0}});
  Label22.Create({.parent = &GroupBox4, .text = "SA", .bounds = {8, 45, 0, 0}});
  Caption(GroupBox4, "形", 110, 45);
  Caption(GroupBox4, "定格電流", 8, 63);
  Label24.Create({.parent = &GroupBox4, .text = "0", .bounds = {64, 63, 0, 0}});
  Caption(GroupBox4, "A", 110, 63);

  GroupBox5.Create({.parent = &TabSheet1, .text = "接続電線ｻｲｽﾞ", .bounds = {478, 2, 104, 48},
                    .hint = "標準的電線サイズです。"});
  Label26.Create({.parent = &GroupBox5, .text = "2", .bounds = {12, 24, 0, 0}});
  Caption(GroupBox5, "mm", 52, 24);
  Caption(GroupBox5, "2", 68, 20, kRaisedHeight);

  CheckBox3.Create({.parent = &TabSheet1, .text = "作図指定（可逆）", .bounds = {478, 52, 106, 16},
                    .hint = "VISIOに可逆で書出します。"});
  CheckBox4.Create({.parent = &TabSheet1, .text = "電源送り", .bounds = {478, 68, 106, 16},
                    .hint = "VISIOに電源送りで書出します。"});
}

void TQel_Wirmap::CreateTabSheet2() {
  GroupBox6.Create({.parent = &TabSheet2, .text = "電動機全負荷電流", .bounds = {4, 2, 80, 82}, .hint = kCurrentHint});
  Label7.Create({.parent = &GroupBox6, .text = "0", .bounds = {8, 30, 0, 0}, .fontHeight = kFigureHeight, .bold = true,
                 .color = kNavy});
  Caption(GroupBox6, "A", 64, 44);

  GroupBox7.Create({.parent = &TabSheet2, .text = "電磁開閉器（MS)", .bounds = {88, 2, 246, 82}, .hint = kTypeHint});
  Caption(GroupBox7, "形式", 8, 14);
  Caption(GroupBox7, "付属ｻｰﾏﾙﾘﾚｰ形式", 108, 14);
  Caption(GroupBox7, "ﾋｰﾀ定格", 198, 14);
  Caption(GroupBox7, "MCM", 8, 30);
  Label29.Create({.parent = &GroupBox7, .text = "ＳＷ", .bounds = {46, 30, 0, 0}});
  Caption(GroupBox7, "MCS", 8, 46);
  Label45.Create({.parent = &GroupBox7, .text = "ＳＷ", .bounds = {46, 46, 0, 0}});
  Caption(GroupBox7, "MC⊿", 8, 62);
  Label46.Create({.parent = &GroupBox7, .text = "ＳＷ", .bounds = {46, 62, 0, 0}});
  Caption(GroupBox7, "形", 92, 62);
  Label31.Create({.parent = &GroupBox7, .text = "ＴＲ", .bounds = {108, 30, 0, 0}});
  Caption(GroupBox7, "形", 174, 30);
  Label33.Create({.parent = &GroupBox7, .text = "0", .bounds = {198, 30, 0, 0}});
  Caption(GroupBox7, "A", 230, 30);

  GroupBox8.Create({.parent = &TabSheet2, .text = "配線用遮断機", .bounds = {338, 2, 122, 82}, .hint = kTypeHint});
  Caption(GroupBox8, "形式", 8, 16);
  Label37.Create({.parent = &GroupBox8, .text = "EA", .bounds = {8, 30, 0, 0}});
  Label38.Create({.parent = &GroupBox8, .text = "SA", .bounds = {8, 45, 0, 0}});
  Caption(GroupBox8, "形", 100, 45);
  Caption(GroupBox8, "定格電流", 8, 63);
  Label40.Create({.parent = &GroupBox8, .text = "0", .bounds = {62, 63, 0, 0}});
  Caption(GroupBox8, "A", 100, 63);

  // Every text in the wire group opens the legend, like the group itself.
  GroupBox9.Create({.parent = &TabSheet2, .text = "接続電線ｻｲｽﾞ", .bounds = {464, 2, 120, 82},
                    .hint = "標準的電線サイズです。       クリックで凡例（A,B）表示します。"});
  std::vector<win::Label*> wireLabels;
  auto row = [&](const std::string& point, win::Label& value, int y) {
    wireLabels.push_back(&Caption(GroupBox9, point, 8, y));
    value.Create({.parent = &GroupBox9, .text = "2", .bounds = {36, y, 0, 0}});
    wireLabels.push_back(&value);
  };
  row("A,B", Label42, 14);
  row("C,D", Label47, 27);
  row("E,F", Label48, 40);
  row("G", Label49, 53);
  row("H", Label50, 66);
  wireLabels.push_back(&Caption(GroupBox9, "mm", 78, 14));
  wireLabels.push_back(&Caption(GroupBox9, "2", 94, 10, kRaisedHeight));
  for (win::Label* label : wireLabels) label->onClick = [this] { GroupBox9Click(); };
}

void TQel_Wirmap::CreateTabSheet3() {
  using Kind = win::ComboBox::Kind;
  Caption(TabSheet3, "I/F", 8, 4);
  ComboBox19.Create({.parent = &TabSheet3, .bounds = {8, 18, 86, 0}, .hint = "計装ループ機能を選択してください。"},
                    Kind::DropDownList, 12);
  ComboBox19.SetItems(LoopFunctions());
  Caption(TabSheet3, "受信", 100, 4);
  ComboBox20.Create({.parent = &TabSheet3, .bounds = {100, 18, 160, 0}, .hint = "受信機器種別を選択してください。",
                     .enabled = false},
                    Kind::DropDownList);
  Caption(TabSheet3, "出力", 266, 4);
  ComboBox21.Create({.parent = &TabSheet3, .bounds = {266, 18, 140, 0}, .hint = "出力機器種別を選択してください。",
                     .enabled = false},
                    Kind::DropDownList);

  // The five parts of the tag, each with its entries and first text.
  auto selector = [&](win::ComboBox& box, const TagSelector& s, const win::Bounds& at, int dropDownCount) {
    box.Create({.parent = &TabSheet3, .text = s.initialText, .bounds = at}, Kind::DropDown, dropDownCount);
    box.SetItems(s.entries);
  };
  Caption(TabSheet3, "信号種別", 8, 44);
  selector(ComboBox2, SignalKindSelector(), {8, 58, 86, 0}, 8);
  Caption(TabSheet3, "機能種別", 100, 44);
  selector(ComboBox3, FunctionSelector(), {100, 58, 130, 0}, 15);
  Caption(TabSheet3, "計装連番", 236, 44);
  selector(ComboBox4, HundredsSelector(), {236, 58, 66, 0}, 11);
  selector(ComboBox5, TensSelector(), {306, 58, 58, 0}, 10);
  selector(ComboBox6, UnitsSelector(), {368, 58, 40, 0}, 10);

  Caption(TabSheet3, "TAG No.", 420, 44);
  Label74.Create({.parent = &TabSheet3, .text = kTagPlaceholder, .bounds = {420, 60, 0, 0}, .fontHeight = 16});
}

}  // namespace qel

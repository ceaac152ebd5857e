// The main window's regions, menus, dialogs, the panel over the tabs, the
// bottom panel and the maintenance view.
#include "app/Qel_Wirmap.h"

#include "acad/a_cad.h"
#include "list/list_file_format.h"
#include "res/resource_ids.h"

namespace qel {

using win::Align;
using win::Bounds;

namespace {
const COLORREF kOlive = RGB(128, 128, 0);
const COLORREF kGrey = RGB(128, 128, 128);
}  // namespace

// The program's own icon, or the system's when the resource is missing.
HICON TQel_Wirmap::ProgramIcon() {
  HICON icon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_PROGRAM));
  return icon ? icon : LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_APPLICATION));
}

win::Label& TQel_Wirmap::Caption(win::Wnd& parent, const std::string& text, int x, int y, int fontHeight) {
  win::Label& label = captions_.emplace_back();
  label.Create({.parent = &parent, .text = text, .bounds = {x, y, 0, 0}, .fontHeight = fontHeight});
  return label;
}

void TQel_Wirmap::CreateMenus() {
  using Args = win::MenuItem::Args;
  save1.Set({.caption = "保存(&S)", .hint = "名前を付けて保存してください。", .id = kSave1});
  load1.Set({.caption = "開く(&O)", .hint = "テキスト形で読出しできます。", .id = kLoad1});
  Excel1.Set({.caption = "Excel に保存(&F)", .hint = "Excel に書出します。名前を付けて保存してください。", .id = kExcel1});
  Exit1.Set({.caption = "終了(&X)", .hint = "このプログラムの終了です。データは保存しましたか？", .id = kExit1});
  file1.Set({.caption = "ﾌｧｲﾙ(&F)", .hint = "データを保存/読出出来ます。"}, {&save1, &load1, &Excel1, &Exit1});

  N7.Set({.caption = "ﾃﾞｰﾀﾒﾝﾃﾅﾝｽ(&E)", .hint = "機器データのメンテナンスが出来ます。　", .id = kN7});
  fuji1.Set({.caption = "data = fuji(&F)", .hint = "富士電機　器具の準拠データに変更します。", .id = kFuji1});
  mel1.Set({.caption = "data = mel(&M)", .hint = "三菱電機　器具の準拠データに変更します。", .id = kMel1});
  N3.Set(Args{.caption = "-"});
  dataload1.Set({.caption = "User Data", .id = kDataload1});
  N4.Set(Args{.caption = "-"});
  N5.Set({.caption = "行追加(&I)", .hint = "行を追加します。現行を下げます。", .id = kN5});
  N6.Set({.caption = "行削除(&D)", .hint = "選択されている行を削除します。", .id = kN6});
  menu1.Set({.caption = "編集(&E)", .hint = "終了操作と行の操作が出来ます。"},
            {&N7, &fuji1, &mel1, &N3, &dataload1, &N4, &N5, &N6});

  Drowing1.Set({.caption = "VISIOで作図(&V)", .hint = "Visio に作図します。", .id = kDrowing1});
  ACADA.Set({.caption = "ACADで作図(&A)", .hint = "ACadLT97 に作図します。", .id = kACADA});
  DXFX.Set({.caption = "DXFで作図(&X)", .hint = "作図をDXFファイルに保存します。", .id = kDXFX});
  PdfF.Set({.caption = "PDFで保存(&F)...", .hint = "作図をPDFファイルに保存します。", .id = kPdfF});
  DrawingPreview.Set({.caption = "作図プレビュー(&P)", .hint = "作図を画面で確認します。", .id = kDrawingPreview});
  N8.Set(Args{.caption = "-"});
  AutoCadToolS1.Set({.caption = "AutoCadTool 選択(&S)", .id = kAutoCadToolS1});
  visio1.Set({.caption = "作図(&D)", .hint = "VISIOにデータを書出します。"}, {&Drowing1, &ACADA, &DXFX, &PdfF, &DrawingPreview, &N8, &AutoCadToolS1});

  help2.Set({.caption = "ﾍﾙﾌﾟ(&H)", .hint = "選定の注記説明を表示します。", .id = kHelp2, .visible = false});
  About1.Set({.caption = "ﾊﾞｰｼﾞｮﾝ情報(&V)", .hint = "バージョン情報の表示です。", .id = kAbout1});
  help1.Set({.caption = "ﾍﾙﾌﾟ(&H)"}, {&help2, &About1});

  hint2.Set({.caption = "ﾋﾝﾄ(&?)　ここをチェックすればステータスバーにヒント表示します。",
             .hint = "ここをクリックしてください。",
             .id = kHint2});
  hint1.Set({.caption = "ﾋﾝﾄ(&?)", .hint = "ﾋﾝﾄにチェックすると下段ステータスバーに操作のヒントがでます。"}, {&hint2});

  MainMenu1.Set({&file1, &menu1, &visio1, &help1, &hint1});
  SetMainMenu(MainMenu1);

  N1.Set({.caption = "行挿入(&I)", .id = kN1});
  N2.Set({.caption = "行削除(&D)", .id = kN2});
  PopupMenu1.Set({&N1, &N2});
}

void TQel_Wirmap::CreateRegions() {
  // Bottom-aligned regions stack upward in the order they are made.
  Panel1.Create({.parent = this, .bounds = {0, 0, 0, 7}, .align = Align::Top});
  StatusBar1.Create({.parent = this, .bounds = {0, 0, 0, 20}, .align = Align::Bottom});
  Panel2.Create({.parent = this, .bounds = {0, 0, 0, 38}, .align = Align::Bottom}, win::Panel::Bevel::Raised);
  Panel3.Create({.parent = this, .bounds = {0, 0, 10, 0}, .align = Align::Left});
  Panel5.Create({.parent = this, .bounds = {0, 0, 10, 0}, .align = Align::Right});
  Splitter2.Create({.parent = this, .bounds = {0, 0, 3, 0}, .align = Align::Right, .visible = false}, &Panel5);
  Panel4.Create({.parent = this, .align = Align::Client});
  Panel6.Create({.parent = &Panel4, .bounds = {0, 0, 0, 62}, .align = Align::Top});
  Panel7.Create({.parent = &Panel4, .bounds = {0, 0, 0, 114}, .align = Align::Top});
  Panel8.Create({.parent = &Panel4, .align = Align::Client});
}

void TQel_Wirmap::CreatePanel6() {
  const std::string voltageHint = "電源区分は　ヨシ！";
  GroupBox2.Create({.parent = &Panel6, .text = "電源区分", .bounds = {0, 0, 96, 60}, .hint = voltageHint});
  RadioButton1.Create({.parent = &GroupBox2, .text = "200～220V", .bounds = {8, 16, 84, 18}, .hint = voltageHint}, true);
  RadioButton2.Create({.parent = &GroupBox2, .text = "400～440V", .bounds = {8, 36, 84, 18}, .hint = voltageHint});

  Label1.Create({.parent = &Panel6, .text = "電動機出力　kW", .bounds = {102, 2, 0, 0}});
  ComboBox1.Create({.parent = &Panel6, .text = "5.5", .bounds = {102, 17, 94, 0}, .hint = "電動機出力を選んで！",
                    .fontHeight = 15},
                   win::ComboBox::Kind::DropDown, 21);
  Label12.Create({.parent = &Panel6, .text = "回路名称", .bounds = {204, 2, 0, 0}});
  Edit1.Create({.parent = &Panel6, .text = "名称を記入ください", .bounds = {204, 17, 148, 24},
                .hint = "回路名称を記入ください。　　　　　注意　半角スペースは使用禁止です。", .fontHeight = 15},
               true);
  CheckBox1.Create({.parent = &Panel6, .text = "ﾌﾞﾚｰｶは汎用を選択。", .bounds = {102, 43, 126, 17},
                    .hint = "リストへの書き出し選択です。"},
                   true);
  CheckBox2.Create({.parent = &Panel6, .text = "漏電ﾌﾞﾚｰｶを選択。", .bounds = {232, 43, 120, 17},
                    .hint = "配線遮断機は漏電ﾌﾞﾚｰｶを表示します。"});

  Button1.Create({.parent = &Panel6, .text = "行挿入", .bounds = {358, 4, 64, 26}});
  Button4.Create({.parent = &Panel6, .text = "行削除", .bounds = {358, 32, 64, 26}, .hint = "選択行を削除します。"});
  Button3.Create({.parent = &Panel6, .text = "リストに記入", .bounds = {428, 4, 100, 26},
                  .hint = "下記リストの選択位置に書出します。"});
  Button7.Create({.parent = &Panel6, .text = "予約記入", .bounds = {428, 32, 100, 26},
                  .hint = "Visio書出し時の予約スペースとしてご使用ください。Ｖｉｓｉｏには８列単位で表記します。"});

  PageControl1.Create({.parent = &Panel7, .align = Align::Client, .hint = "始動方式をタブで選択してください。"});
  TabSheet1.Create(PageControl1, "三相ﾓｰﾀのじか入始動");
  TabSheet2.Create(PageControl1, "三相ﾓｰﾀのｽﾀｰﾃﾞﾙﾀ始動");
  TabSheet3.Create(PageControl1, "計装信号入出力", "計装ループの機能を選択してください。");
  // Most users never open the last two pages in a session: their controls
  // get windows when the page is first shown.
  TabSheet2.HoldChildWindows();
  TabSheet3.HoldChildWindows();

  StringGrid1.Create({.parent = &Panel8, .align = Align::Client,
                      .hint = "ここにリストを作ります。範囲外の物はキーボードより編集してください。"});
  StringGrid1.popupMenu = &PopupMenu1;
}

void TQel_Wirmap::CreateBottomPanel() {
  Image1.Create({.parent = &Panel2, .bounds = {4, 3, 32, 32}}, ProgramIcon());
  Label57.Create({.parent = &Panel2, .text = "AutoCAD の状態を確認しています", .bounds = {42, 4, 0, 0},
                  .fontHeight = 10, .color = kOlive});
  Label64.Create({.parent = &Panel2, .text = "作図は Visio または AutoCAD で行います", .bounds = {42, 20, 0, 0},
                  .fontHeight = 10, .color = kOlive});
  Label63.Create({.parent = &Panel2, .text = "準拠データ", .bounds = {250, 12, 0, 0},
                  .hint = "モデリングデータはメニューの fuji , mel , user data　から 選択可能です。", .color = kGrey});
  Edit2.Create({.parent = &Panel2, .text = "1", .bounds = {460, 8, 40, 21}, .visible = false});
  Panel9.Create({.parent = &Panel2, .text = "閉じる", .bounds = {0, 0, 81, 0}, .align = Align::Right,
                 .hint = "このプログラムを終了します。データはセーブしましたか？今一度ご確認ください。　ご利用ありがとう御座いました。"},
                win::Panel::Bevel::Raised);
}

void TQel_Wirmap::CreateMaintenanceView() {
  // Out of sight (left of 15 in a panel 10 wide) until the view is opened.
  Panel10.Create({.parent = &Panel5, .bounds = {15, 0, 395, 30}});
  Button5.Create({.parent = &Panel10, .text = "保存", .bounds = {4, 3, 60, 24}, .hint = "データを保存します。"});
  Button6.Create({.parent = &Panel10, .text = ">>", .bounds = {68, 3, 30, 24}, .hint = "小さくします。"});
  CheckBox5.Create({.parent = &Panel10, .text = "データ編集", .bounds = {106, 6, 100, 17},
                    .hint = "データを編集する時チェックしてください。"});
  StringGrid2.Create({.parent = &Panel5, .bounds = {15, 30, 395, 300}});
  StringGrid2.SetColCount(kEquipmentColCount);
  StringGrid2.SetRowCount(kEquipmentRowCount);
  StringGrid2.SetFixedCols(2);
  StringGrid2.SetFixedRows(1);
}

void TQel_Wirmap::CreateDialogs() {
  SaveDialog1.Title = "名前を付けて保存してください。";
  SaveDialog1.Filter = ListSaveFilters();
  SaveDialog1.DefaultExt = "*.txt";

  OpenDialog1.Title = "ファイル名を指定してください。";
  OpenDialog1.Filter = ListOpenFilters();

  SaveDialog2.Filter = AcadSaveFilter();

  OpenDialog2.Title = "ファイル名を指定してください。";
  OpenDialog2.Filter = {{"DATA(専用器具データ *.SDT)", "*.SDT"}};

  SaveDialog3.Title = "ファイル名を指定してください。";
  SaveDialog3.Filter = {{"DATA(ﾕｰｻﾞｰﾓﾃﾞﾘﾝｸﾞﾃﾞｰﾀ *.sdt)", "*.sdt"}, {"DATA(ﾓﾃﾞﾘﾝｸﾞﾃﾞｰﾀ *.dat)", "*.dat"}};
}

}  // namespace qel

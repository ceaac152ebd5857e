// The real Qel-Wirmap.exe, started in a program folder of its own and
// driven from outside through its windows, as a user or a tool would.
#include <gtest/gtest.h>
#include <windows.h>
#include <tlhelp32.h>

#include <string>

#include "app/Qel_Wirmap.h"
#include "tests/support/program_folder.h"
#include "tests/support/ui_driver.h"

namespace qel {
namespace {

using testing::ProgramFolder;
using testing::ProgramProcess;

constexpr DWORD kQuietMs = 1500;  // how long "no dialog appears" is watched

HWND TableLabel(HWND main, const std::string& text) { return testing::FindChild(main, L"Static", text); }

void Command(HWND main, UINT id) { PostMessageW(main, WM_COMMAND, id, 0); }

// Whether the process has loaded a DLL of that name (lower case).
bool HasModule(DWORD pid, const std::wstring& name) {
  HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, pid);
  EXPECT_NE(snap, INVALID_HANDLE_VALUE);
  MODULEENTRY32W m{};
  m.dwSize = sizeof m;
  bool found = false;
  for (BOOL more = Module32FirstW(snap, &m); more && !found; more = Module32NextW(snap, &m)) {
    std::wstring module = m.szModule;
    for (wchar_t& c : module) c = towlower(c);
    found = module == name;
  }
  CloseHandle(snap);
  return found;
}

// Waits for the next dialog of the program and checks what it says.
void ExpectDialog(const ProgramProcess& p, const std::string& text, const std::string& caption, int answer) {
  const auto d = testing::WaitForDialog(p.Pid());
  ASSERT_TRUE(d) << "no dialog: " << text;
  EXPECT_EQ(d->text, text);
  EXPECT_EQ(d->caption, caption);
  testing::PressButton(d->hwnd, answer);
  EXPECT_TRUE(testing::WaitUntil([&] { return !IsWindow(d->hwnd); })) << "the dialog did not close";
}

TEST(Program, FirstStartWithoutSettingsLoadsFujiAndNamesErr) {
  ProgramFolder folder;
  ProgramProcess p(testing::ProgramExe(), folder.Path());
  ASSERT_TRUE(p.Started());
  const HWND main = p.WaitForWindow(L"TQel_Wirmap");
  ASSERT_TRUE(main);
  EXPECT_EQ(testing::TextOf(main), "Qｅｌ_Ｗｉｒｍａｐ  Pelvane");
  EXPECT_TRUE(TableLabel(main, "準拠データは err です"));
  EXPECT_FALSE(testing::WaitForDialog(p.Pid(), kQuietMs)) << "a first start reports nothing";
  EXPECT_FALSE(folder.IniContents());
  // The automation and file-dialog DLLs come in when first used, not at start.
  EXPECT_TRUE(HasModule(p.Pid(), L"comctl32.dll"));
  EXPECT_FALSE(HasModule(p.Pid(), L"oleaut32.dll"));
  EXPECT_FALSE(HasModule(p.Pid(), L"comdlg32.dll"));
  EXPECT_FALSE(HasModule(p.Pid(), L"shell32.dll"));

  // The other windows are made the first time they are shown; the title a
  // second start looks for is the hidden application window's.
  for (const wchar_t* cls : {L"TAboutBox", L"TLINE", L"TAcadTool_Frame"})
    EXPECT_TRUE(testing::TopLevelWindows(p.Pid(), cls, false).empty()) << win::Narrow(cls);
  const HWND title = FindWindowW(nullptr, L"Qel-Wirmap");
  ASSERT_TRUE(title);
  EXPECT_EQ(testing::ProcessOf(title), p.Pid());
  EXPECT_FALSE(IsWindowVisible(title));
}

TEST(Program, HintsReachTheStatusBarThroughTheMessageLoop) {
  ProgramFolder folder;
  ProgramProcess p(testing::ProgramExe(), folder.Path());
  const HWND main = p.WaitForWindow(L"TQel_Wirmap");
  ASSERT_TRUE(main);
  const HWND button = testing::FindChild(main, L"Button", "リストに記入");
  const auto bars = testing::ChildrenOf(main, L"msctls_statusbar32");
  ASSERT_TRUE(button);
  ASSERT_EQ(bars.size(), 1u);
  // The pointer itself goes over the button too: a window that comes up
  // under the pointer gets its own mouse moves, which would otherwise
  // overtake the posted one and show the hint of whatever lies there; the
  // move is posted again until its hint is the one shown.
  RECT r{};
  GetWindowRect(button, &r);
  SetCursorPos(r.left + 2, r.top + 2);
  EXPECT_TRUE(testing::WaitUntil([&] {
    PostMessageW(button, WM_MOUSEMOVE, 0, MAKELPARAM(2, 2));
    Sleep(20);
    return testing::TextOf(bars[0]) == "下記リストの選択位置に書出します。";
  })) << testing::TextOf(bars[0]);
}

TEST(Program, SwitchingAnsweredOkLoadsAndRemembers) {
  ProgramFolder folder;
  ProgramProcess p(testing::ProgramExe(), folder.Path());
  const HWND main = p.WaitForWindow(L"TQel_Wirmap");
  ASSERT_TRUE(main);
  Command(main, TQel_Wirmap::kFuji1);
  ExpectDialog(p, "データ切替えますか？", "操作確認", IDOK);
  EXPECT_TRUE(testing::WaitUntil([&] { return TableLabel(main, "富士電機　器具に準拠") != nullptr; }));
  ASSERT_TRUE(folder.IniContents());
  EXPECT_NE(folder.IniContents()->find("dt_name=fd.dat"), std::string::npos) << *folder.IniContents();
}

TEST(Program, SwitchingAnsweredCancelChangesNothing) {
  ProgramFolder folder;
  ProgramProcess p(testing::ProgramExe(), folder.Path());
  const HWND main = p.WaitForWindow(L"TQel_Wirmap");
  ASSERT_TRUE(main);
  Command(main, TQel_Wirmap::kMel1);
  ExpectDialog(p, "データ切替えますか？", "操作確認", IDCANCEL);
  EXPECT_FALSE(testing::WaitForDialog(p.Pid(), kQuietMs));
  EXPECT_TRUE(TableLabel(main, "準拠データは err です"));
  EXPECT_FALSE(folder.IniContents());
}

TEST(Program, AFailedSwitchIsReportedAndForgetsNothing) {
  ProgramFolder folder({"fd.dat"});
  ProgramProcess p(testing::ProgramExe(), folder.Path());
  const HWND main = p.WaitForWindow(L"TQel_Wirmap");
  ASSERT_TRUE(main);
  Command(main, TQel_Wirmap::kMel1);
  ExpectDialog(p, "データ切替えますか？", "操作確認", IDOK);
  ExpectDialog(p, "mel.datが開けませんでした。", "ﾌｧｲﾙ ｴﾗｰ", IDOK);
  EXPECT_TRUE(TableLabel(main, "準拠データは err です"));
  EXPECT_FALSE(folder.IniContents());
  EXPECT_FALSE(p.HasEnded());
}

TEST(Program, SavingTheTableWithTheSecondFilterAddsDat) {
  ProgramFolder folder;
  ProgramProcess p(testing::ProgramExe(), folder.Path());
  const HWND main = p.WaitForWindow(L"TQel_Wirmap");
  ASSERT_TRUE(main);
  Command(main, TQel_Wirmap::kN7);
  const HWND save = testing::FindChild(main, L"Button", "保存");
  ASSERT_TRUE(save);
  testing::Click(save);
  const auto dialog = testing::WaitForDialog(p.Pid());
  ASSERT_TRUE(dialog);
  EXPECT_EQ(dialog->caption, "ファイル名を指定してください。");
  testing::AnswerFileDialog(dialog->hwnd, folder.File("Data\\mytable"), 2);
  const std::string saved = folder.File("Data\\mytable.dat");
  EXPECT_TRUE(testing::WaitUntil([&] { return testing::FileExists(saved); })) << saved;
  EXPECT_TRUE(testing::WaitUntil(
      [&] { return folder.IniContents().value_or("").find("dt_name=mytable.dat") != std::string::npos; }));
  EXPECT_FALSE(testing::FileExists(folder.File("Data\\mytable"))) << "only the name with the extension";
  EXPECT_FALSE(testing::FileExists(folder.File("Data\\mytable.sdt")));
}

TEST(Program, ASecondStartEndsSilently) {
  ProgramFolder folder;
  ProgramProcess first(testing::ProgramExe(), folder.Path());
  ASSERT_TRUE(first.WaitForWindow(L"TQel_Wirmap"));
  ProgramProcess second(testing::ProgramExe(), folder.Path());
  ASSERT_TRUE(second.Started());
  const auto code = second.WaitForExit();
  ASSERT_TRUE(code) << "the second start must end by itself";
  EXPECT_EQ(*code, 0u);
  EXPECT_FALSE(testing::FindDialog(second.Pid()));
  EXPECT_EQ(testing::TopLevelWindows(0, L"TQel_Wirmap", true).size(), 1u) << "exactly one main window";
  EXPECT_FALSE(testing::WaitForDialog(first.Pid(), kQuietMs)) << "the running one is not disturbed";
}

TEST(Program, DataAndSettingsComeFromTheCurrentDirectoryNotTheProgramsFolder) {
  // The program's own folder has Data\fd.dat (the build copies it there);
  // a start from elsewhere must not use it.
  std::string exeFolder = testing::ProgramExe();
  exeFolder.resize(exeFolder.rfind('\\'));
  ASSERT_TRUE(testing::FileExists(exeFolder + "\\Data\\fd.dat"));
  {
    ProgramFolder folder(std::vector<std::string>{});
    folder.AddTable("mel.dat", "own.sdt");
    folder.WriteIni("own.sdt");
    ProgramProcess p(testing::ProgramExe(), folder.Path());
    const HWND main = p.WaitForWindow(L"TQel_Wirmap");
    ASSERT_TRUE(main);
    EXPECT_TRUE(TableLabel(main, "準拠データは own.sdt です"));
    EXPECT_FALSE(testing::WaitForDialog(p.Pid(), kQuietMs));
  }
  {
    ProgramFolder empty(std::vector<std::string>{});
    ProgramProcess p(testing::ProgramExe(), empty.Path());
    ExpectDialog(p, "fd.datが開けませんでした。", "ﾌｧｲﾙ ｴﾗｰ", IDOK);
    const HWND main = p.WaitForWindow(L"TQel_Wirmap");
    ASSERT_TRUE(main) << "start-up goes on after the message";
    EXPECT_TRUE(TableLabel(main, "準拠データは err です"));
  }
}

TEST(Program, ClosingWithAFilledListAsksNothing) {
  ProgramFolder folder;
  ProgramProcess p(testing::ProgramExe(), folder.Path());
  const HWND main = p.WaitForWindow(L"TQel_Wirmap");
  ASSERT_TRUE(main);
  // Type into the first list cell: the grid opens its editor on a character.
  // The list is the grid on show; the table grid lies out of sight.
  HWND list = nullptr;
  for (HWND g : testing::ChildrenOf(main, L"TStringGrid")) {
    RECT grid, panel, both;
    GetWindowRect(g, &grid);
    GetWindowRect(GetParent(g), &panel);
    if (IntersectRect(&both, &grid, &panel)) list = g;
  }
  ASSERT_TRUE(list);
  PostMessageW(list, WM_CHAR, L'x', 0);
  HWND editor = nullptr;
  ASSERT_TRUE(testing::WaitUntil([&] { return (editor = testing::FindChild(list, L"Edit", "x")) != nullptr; }));
  PostMessageW(editor, WM_KEYDOWN, VK_RETURN, 0);
  ASSERT_TRUE(testing::WaitUntil([&] { return !IsWindowVisible(editor); }));

  const HWND close = testing::FindChild(main, L"TPanel", "閉じる");
  ASSERT_TRUE(close);
  testing::MouseClick(close);
  const auto code = p.WaitForExit();
  ASSERT_TRUE(code) << "the program must end without a question";
  EXPECT_EQ(*code, 0u);
}

TEST(Program, TheExitEntryEndsTheProgram) {
  ProgramFolder folder;
  ProgramProcess p(testing::ProgramExe(), folder.Path());
  const HWND main = p.WaitForWindow(L"TQel_Wirmap");
  ASSERT_TRUE(main);
  Command(main, TQel_Wirmap::kExit1);
  const auto code = p.WaitForExit();
  ASSERT_TRUE(code);
  EXPECT_EQ(*code, 0u);
  EXPECT_FALSE(FindWindowW(nullptr, L"Qel-Wirmap")) << "the application window went with it";
}

}  // namespace
}  // namespace qel

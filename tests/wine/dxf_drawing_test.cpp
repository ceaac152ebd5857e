// "DXFで作図(&X)" in the real Qel-Wirmap.exe, driven from outside: its save
// dialog, the overwrite question, the closing message and the failures.
// The pages of the mixed list are read back by
// tests/acad_drawing/check_pages.py with ezdxf and compared with the pages
// the AutoCAD stand-in saves for the same list (AcadDrawingPages).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <windows.h>
#include <psapi.h>

#include "base/file_io.h"
#include "tests/support/drawing_jobs.h"

namespace qel {
namespace {

using testing::ProgramFolder;
using testing::ProgramProcess;

// Chooses "DXFで作図(&X)", names the drawing with the given file type, and
// gives back the dialog as it was seen.
testing::DialogSeen DrawDxfAs(const ProgramProcess& p, HWND main, const std::string& path, int filterIndex,
                              std::vector<std::string>* fileTypes = nullptr) {
  testing::Command(main, TQel_Wirmap::kDXFX);
  const auto dialog = testing::WaitForDialog(p.Pid());
  EXPECT_TRUE(dialog) << "no save dialog";
  if (!dialog) return {};
  if (fileTypes) {
    fileTypes->clear();
    HWND types = GetDlgItem(dialog->hwnd, 1136);
    DWORD_PTR count = 0;
    SendMessageTimeoutW(types, CB_GETCOUNT, 0, 0, SMTO_ABORTIFHUNG, 2000, &count);
    for (int i = 0; i < static_cast<int>(count); ++i) fileTypes->push_back(testing::ComboEntry(types, i));
  }
  testing::AnswerFileDialog(dialog->hwnd, path, filterIndex);
  EXPECT_TRUE(testing::WaitUntil([&] { return !IsWindow(dialog->hwnd) || !IsWindowVisible(dialog->hwnd); }));
  return *dialog;
}

// The message box the command ends with, closed after it was read.
testing::DialogSeen ClosingMessage(const ProgramProcess& p) {
  const auto box = testing::WaitForDialog(p.Pid());
  EXPECT_TRUE(box) << "no closing message";
  if (!box) return {};
  testing::PressButton(box->hwnd, IDOK);
  EXPECT_TRUE(testing::WaitUntil([&] { return !IsWindow(box->hwnd); }));
  return *box;
}

TEST(DxfDrawing, DialogQuestionAndClosingMessage) {
  ProgramFolder folder;
  folder.AddTable("Qel-Acad.DWG");
  ReplaceFileContents(folder.File("list.txt"), testing::kHeader + testing::Row(1, "M1", "直", {"3.7", "200"}));
  ReplaceFileContents(folder.File("plant1.dxf"), "kept");
  ProgramProcess p(testing::ProgramExe(), folder.Path());
  const HWND main = p.WaitForWindow(L"TQel_Wirmap");
  ASSERT_TRUE(main);
  testing::LoadList(p, main, folder.File("list.txt"));

  // The AutoCAD command's dialog, for its title.
  testing::Command(main, TQel_Wirmap::kACADA);
  const auto acadDialog = testing::WaitForDialog(p.Pid());
  ASSERT_TRUE(acadDialog);
  testing::PressButton(acadDialog->hwnd, IDCANCEL);
  ASSERT_TRUE(testing::WaitUntil([&] { return !IsWindow(acadDialog->hwnd); }));

  std::vector<std::string> types;
  const testing::DialogSeen dialog = DrawDxfAs(p, main, folder.File("plant.dwg"), 1, &types);
  EXPECT_EQ(dialog.caption, acadDialog->caption);
  EXPECT_EQ(types, (std::vector<std::string>{"DXF R2000 (*.dxf)", "DXF R12 (*.dxf)"}));
  auto question = testing::WaitForDialog(p.Pid());
  ASSERT_TRUE(question) << "no overwrite question";
  EXPECT_EQ(question->caption, "確認");
  EXPECT_EQ(question->text, "同名ファイルがあります = plant 実行しますか ?");
  testing::PressButton(question->hwnd, IDNO);
  ASSERT_TRUE(testing::WaitUntil([&] { return !IsWindow(question->hwnd); }));
  EXPECT_FALSE(testing::WaitUntil([&] { return testing::FindDialog(p.Pid()).has_value(); }, 2000))
      << "No ends the command";
  EXPECT_EQ(ReadWholeFile(folder.File("plant1.dxf")), "kept");

  DrawDxfAs(p, main, folder.File("plant.dwg"), 2);
  question = testing::WaitForDialog(p.Pid());
  ASSERT_TRUE(question);
  testing::PressButton(question->hwnd, IDYES);
  ASSERT_TRUE(testing::WaitUntil([&] { return !IsWindow(question->hwnd); }));
  const testing::DialogSeen done = ClosingMessage(p);
  EXPECT_EQ(done.caption, "DXFで作図");
  EXPECT_EQ(done.text, "1 ページのDXFファイルを書き出しました。\r\n" + folder.File("plant1.dxf"));
  EXPECT_NE(ReadWholeFile(folder.File("plant1.dxf")).find("\n  9\n$ACADVER\n  1\nAC1009\n"), std::string::npos)
      << "the second file type is R12";
  EXPECT_FALSE(testing::FileExists(folder.File("plant2.dxf")));
}

TEST(DxfDrawing, MissingTemplateAndUnwritablePage) {
  ProgramFolder folder;  // no Data\Qel-Acad.DWG yet
  ReplaceFileContents(folder.File("list.txt"), testing::kHeader + testing::Row(1, "M1", "直", {"3.7", "200"}));
  ProgramProcess p(testing::ProgramExe(), folder.Path());
  const HWND main = p.WaitForWindow(L"TQel_Wirmap");
  ASSERT_TRUE(main);
  testing::LoadList(p, main, folder.File("list.txt"));

  DrawDxfAs(p, main, folder.File("plant"), 1);
  testing::DialogSeen failed = ClosingMessage(p);
  EXPECT_EQ(failed.caption, "DXFで作図");
  const std::string templateHead = "作図のテンプレートを読めません = " + folder.Path() + "\\Data\\Qel-Acad.DWG\r\n";
  EXPECT_EQ(failed.text.substr(0, templateHead.size()), templateHead);
  EXPECT_GT(failed.text.size(), templateHead.size()) << "with the reason";
  EXPECT_FALSE(testing::FileExists(folder.File("plant1.dxf")));

  // A folder where page 1 should go cannot be replaced by a file.
  folder.AddTable("Qel-Acad.DWG");
  ASSERT_TRUE(CreateDirectoryW(win::Wide(folder.File("plant1.dxf")).c_str(), nullptr));
  DrawDxfAs(p, main, folder.File("plant"), 1);
  const auto question = testing::WaitForDialog(p.Pid());
  ASSERT_TRUE(question);
  testing::PressButton(question->hwnd, IDYES);
  ASSERT_TRUE(testing::WaitUntil([&] { return !IsWindow(question->hwnd); }));
  failed = ClosingMessage(p);
  const std::string head = "DXFファイルを書けません = " + folder.File("plant1.dxf") + "\r\n";
  EXPECT_EQ(failed.text.substr(0, head.size()), head);
  EXPECT_EQ(failed.text.find("書き出したページ"), std::string::npos) << "no page was written";
  WIN32_FIND_DATAW found{};
  HANDLE scan = FindFirstFileW(win::Wide(folder.File("plant1.dxf.qel-tmp*")).c_str(), &found);
  EXPECT_EQ(scan, INVALID_HANDLE_VALUE) << "a temporary file was left: " << win::Narrow(found.cFileName);
  if (scan != INVALID_HANDLE_VALUE) FindClose(scan);
}

// Each hostile template of tests/data/templates put in place of the real
// one: refused ones name the file and what is wrong, in Japanese, and no
// page is written; the program's peak memory is printed for the record.
TEST(DxfDrawing, HostileTemplatesAreRefusedOrMadeSafe) {
  struct Case {
    const char* file;
    const char* reason;  // empty: accepted and written
  };
  const Case cases[] = {
      {"d1-vertex-count.dxf", "頂点などの個数が、ファイルの残りに収まらない数になっています。"},
      {"d2-self-insert.dxf", "図形を展開すると多すぎます (ブロックの入れ子か、細かすぎる線種)。"},
      {"d3-fine-linetype.dxf", "図形を展開すると多すぎます (ブロックの入れ子か、細かすぎる線種)。"},
      {"d4-control-text.dxf", ""},
      {"d5-anonymous-block.dxf", ""},
      {"d6-bulge.dxf", "座標や大きさに、数でない値か ±10000000 を超える値があります。"},
      {"d6-width-nan.dxf", "座標や大きさに、数でない値か ±10000000 を超える値があります。"},
      {"d6-coordinate.dxf", "座標や大きさに、数でない値か ±10000000 を超える値があります。"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    ProgramFolder folder;
    const std::string templ = folder.Path() + "\\Data\\Qel-Acad.DWG";
    ReplaceFileContents(templ, ReadWholeFile(testing::RepoFile(std::string("tests/data/templates/") + c.file)));
    ReplaceFileContents(folder.File("list.txt"), testing::kHeader + testing::Row(1, "M1", "直", {"3.7", "200"}));
    ProgramProcess p(testing::ProgramExe(), folder.Path());
    const HWND main = p.WaitForWindow(L"TQel_Wirmap");
    ASSERT_TRUE(main);
    testing::LoadList(p, main, folder.File("list.txt"));
    DrawDxfAs(p, main, folder.File("plant"), 1);
    const testing::DialogSeen closing = ClosingMessage(p);
    EXPECT_EQ(closing.caption, "DXFで作図");
    if (*c.reason) {
      EXPECT_EQ(closing.text, "作図のテンプレートを読めません = " + templ + "\r\n" + c.reason);
      EXPECT_FALSE(testing::FileExists(folder.File("plant1.dxf")));
    } else {
      EXPECT_EQ(closing.text, "1 ページのDXFファイルを書き出しました。\r\n" + folder.File("plant1.dxf"));
    }
    EXPECT_TRUE(IsHungAppWindow(main) == FALSE);
    PROCESS_MEMORY_COUNTERS memory{};
    const HANDLE h = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, p.Pid());
    const std::wstring wide = win::Wide(closing.text);
    std::string utf8(wide.size() * 3 + 1, '\0');
    utf8.resize(static_cast<size_t>(std::max(0, WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()),
                                                                     utf8.data(), static_cast<int>(utf8.size()), nullptr, nullptr))));
    if (h && K32GetProcessMemoryInfo(h, &memory, sizeof memory))
      std::printf("[ note ] %s: peak working set %.1f MB, peak private %.1f MB: %s\n", c.file,
                  memory.PeakWorkingSetSize / 1048576.0, memory.PeakPagefileUsage / 1048576.0,
                  utf8.c_str());
    if (h) CloseHandle(h);
  }
}

// Run by tests/acad_drawing/check_pages.py, which compares these pages with
// the AutoCAD stand-in's pages of the same list.
TEST(AcadDrawingPages, MixedListAsDxfPagesInBothVersions) {
  const char* pages = std::getenv("QEL_ACAD_DRAWING_OUT");
  if (!pages) GTEST_SKIP() << "run by the acad_drawing test, which reads the pages back";
  ProgramFolder folder;
  folder.AddTable("Qel-Acad.DWG");
  ReplaceFileContents(folder.File("list.txt"), testing::MixedList());
  ProgramProcess p(testing::ProgramExe(), folder.Path());
  const HWND main = p.WaitForWindow(L"TQel_Wirmap");
  ASSERT_TRUE(main);
  testing::LoadList(p, main, folder.File("list.txt"));
  for (const auto& [sub, type] : {std::pair{"dxf2000", 1}, std::pair{"dxf12", 2}}) {
    const std::string out = std::string(pages) + "\\" + sub;
    ASSERT_TRUE(CreateDirectoryW(win::Wide(out).c_str(), nullptr));
    DrawDxfAs(p, main, out + "\\plant.dxf", type);
    const testing::DialogSeen done = ClosingMessage(p);
    // Row 13 has no name, so the row after it is left out, and the message says so.
    EXPECT_EQ(done.text, "2 ページのDXFファイルを書き出しました。\r\n" + out + "\\plant1.dxf\r\n" + out +
                             "\\plant2.dxf\r\n\r\n行 13 の名称が空のため、行 14 以降は作図していません。");
  }
}

}  // namespace
}  // namespace qel

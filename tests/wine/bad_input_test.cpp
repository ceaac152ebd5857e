// Bad input as a user or a damaged file gives it: device names, files no
// list can be, a taken temporary name, a cell of megabytes, a missing
// automation server.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "base/file_io.h"
#include "tests/support/program_folder.h"
#include "tests/support/ui_driver.h"
#include "win32/com_dispatch.h"
#include "win32/form.h"
#include "win32/string_grid.h"
#include "win32/text.h"

namespace qel {
namespace {

// Sparse where the file system allows: 256 MiB and one byte.
void MakeOversizeFile(const std::string& path) {
  HANDLE h = CreateFileW(win::Wide(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  LARGE_INTEGER end;
  end.QuadPart = static_cast<LONGLONG>(kMaxReadFileSize + 1);
  EXPECT_TRUE(SetFilePointerEx(h, end, nullptr, FILE_BEGIN) && SetEndOfFile(h));
  CloseHandle(h);
}

std::string Folder(const wchar_t* name) {
  wchar_t buf[MAX_PATH];
  GetTempPathW(MAX_PATH, buf);
  std::wstring dir = std::wstring(buf) + name + std::to_wstring(GetCurrentProcessId());
  CreateDirectoryW(dir.c_str(), nullptr);
  return win::Narrow(dir);
}

TEST(WindowsReader, RefusesDevicesAndFilesNoListCanBe) {
  const std::string dir = Folder(L"qel-bad-");
  const std::string huge = dir + "\\大きい.dat";
  MakeOversizeFile(huge);
  struct Case {
    std::string path;
    std::string text;
  } cases[] = {
      {"NUL", "ファイルではありません (NUL)"},
      {"COM1", ""},  // refused one way or another; it must not block
      {huge, "ファイルが大きすぎます (256 MB まで) (" + huge + ")"},
  };
  for (const Case& c : cases) {
    try {
      ReadWholeFile(c.path);
      ADD_FAILURE() << c.path << " was read";
    } catch (const FileError& e) {
      if (!c.text.empty()) {
        EXPECT_EQ(std::string(e.what()), c.text);
      }
    }
  }
  DeleteFileW(win::Wide(huge).c_str());
  RemoveDirectoryW(win::Wide(dir).c_str());
}

// The program at start-up, with a table no list can be and with a settings
// file naming a device (NUL here, as COM1 has no port behind it under Wine):
// the table's own message, and the program carries on.
TEST(WindowsReader, TheProgramReportsABadTableAndCarriesOn) {
  struct Case {
    const char* iniName;  // nullptr: no settings file, fd.dat is loaded
    const char* text;
  } cases[] = {{nullptr, "fd.datが開けませんでした。"}, {"NUL", "データが開けませんでした。"}};
  for (const Case& c : cases) {
    testing::ProgramFolder folder(std::vector<std::string>{});
    if (c.iniName) folder.WriteIni(c.iniName);
    else MakeOversizeFile(folder.File("Data\\fd.dat"));
    testing::ProgramProcess p(testing::ProgramExe(), folder.Path());
    const auto d = testing::WaitForDialog(p.Pid());
    ASSERT_TRUE(d) << "no message for " << c.text;
    EXPECT_EQ(d->text, c.text);
    EXPECT_EQ(d->caption, "ﾌｧｲﾙ ｴﾗｰ");
    testing::PressButton(d->hwnd, IDOK);
    EXPECT_TRUE(p.WaitForWindow(L"TQel_Wirmap")) << c.text;
    EXPECT_FALSE(p.HasEnded());
  }
}

TEST(WindowsSave, KeepsTheTargetsAttributesAndPassesOverATakenTemporaryName) {
  const std::string dir = Folder(L"qel-save-");
  const std::string file = dir + "\\回路.txt";
  const std::wstring wfile = win::Wide(file);
  ReplaceFileContents(file, "first");  // nothing to replace yet
  ASSERT_TRUE(SetFileAttributesW(wfile.c_str(), FILE_ATTRIBUTE_HIDDEN));
  // A folder left at the first temporary name by an earlier run.
  const std::wstring left = win::Wide(file + ".qel-tmp");
  ASSERT_TRUE(CreateDirectoryW(left.c_str(), nullptr));
  ReplaceFileContents(file, "second");
  EXPECT_EQ(ReadWholeFile(file), "second");
  const DWORD attrs = GetFileAttributesW(wfile.c_str());
  EXPECT_TRUE(attrs != INVALID_FILE_ATTRIBUTES && (attrs & FILE_ATTRIBUTE_HIDDEN)) << std::hex << attrs;
  EXPECT_EQ(GetFileAttributesW(win::Wide(file + ".qel-tmp1").c_str()), INVALID_FILE_ATTRIBUTES)
      << "no temporary file is left behind";
  SetFileAttributesW(wfile.c_str(), FILE_ATTRIBUTE_NORMAL);
  DeleteFileW(wfile.c_str());
  RemoveDirectoryW(left.c_str());
  RemoveDirectoryW(win::Wide(dir).c_str());
}

// A page another program holds open without sharing cannot be replaced;
// the save fails and leaves nothing beside it, not even the empty file the
// system's replace call made for itself.
TEST(WindowsSave, ALockedTargetLeavesNoFileBesideIt) {
  const std::string dir = Folder(L"qel-locked-");
  const std::string file = dir + "\\page1.dxf";
  ReplaceFileContents(file, "old");
  const HANDLE held = CreateFileW(win::Wide(file).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  EXPECT_THROW(ReplaceFileContents(file, "new"), FileError);
  CloseHandle(held);
  EXPECT_EQ(ReadWholeFile(file), "old");
  std::vector<std::string> left;
  WIN32_FIND_DATAW found{};
  HANDLE scan = FindFirstFileW(win::Wide(dir + "\\*").c_str(), &found);
  if (scan != INVALID_HANDLE_VALUE) {
    do {
      const std::string name = win::Narrow(found.cFileName);
      if (name != "." && name != ".." && name != "page1.dxf") left.push_back(name);
    } while (FindNextFileW(scan, &found));
    FindClose(scan);
  }
  EXPECT_EQ(left, std::vector<std::string>{});
  for (const std::string& name : left) DeleteFileW(win::Wide(dir + "\\" + name).c_str());
  DeleteFileW(win::Wide(file).c_str());
  RemoveDirectoryW(win::Wide(dir).c_str());
}

TEST(AutomationErrors, AMissingServerIsNamedInWords) {
  // Wine's message table has no text for the COM codes; the program's own
  // stands in, as Windows' own would.
  try {
    win::CreateComObject("Qel.NoSuchServer.Application");
    FAIL() << "there is no such server";
  } catch (const AutomationError& e) {
    EXPECT_STREQ(e.what(), "Qel.NoSuchServer.Application: 無効なクラス文字列です。");
  }
}

TEST(GridEditor, ACellTooLongToEditStaysClosedAndCanBeTypedOver) {
  win::Form form;
  win::StringGrid grid;
  form.Create({.className = "TQelBadInputForm", .caption = "grid", .width = 400, .height = 300});
  grid.Create({.parent = &form, .bounds = {0, 0, 300, 200}});
  grid.SetEditing(true);
  const std::size_t limit = win::StringGrid::kMaxEditedBytes;
  grid.Cells().SetCell(1, 1, std::string(limit + 1, 'x'));
  grid.Cells().SetCell(2, 1, std::string(limit, 'y'));
  auto key = [](HWND h, WPARAM k) { SendMessageW(h, WM_KEYDOWN, k, 0); };

  grid.SetCol(1);
  grid.SetRow(1);
  key(grid.Handle(), VK_F2);
  EXPECT_FALSE(grid.EditorVisible());
  SendMessageW(grid.Handle(), WM_CHAR, L'a', 0);
  ASSERT_TRUE(grid.EditorVisible()) << "typing replaces even a cell too long to edit";
  EXPECT_EQ(GetWindowTextLengthW(grid.EditorHandle()), 1);
  key(grid.EditorHandle(), VK_RETURN);
  EXPECT_EQ(grid.Cells().Cell(1, 1), "a");

  grid.SetCol(2);
  key(grid.Handle(), VK_F2);
  ASSERT_TRUE(grid.EditorVisible()) << "a cell at the limit opens";
  EXPECT_EQ(GetWindowTextLengthW(grid.EditorHandle()), static_cast<int>(limit));
  key(grid.EditorHandle(), VK_RETURN);
  EXPECT_EQ(grid.Cells().Cell(2, 1).size(), limit);
}

}  // namespace
}  // namespace qel

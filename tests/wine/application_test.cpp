#include <gtest/gtest.h>

#include <stdexcept>

#include "base/file_io.h"
#include "list/StrGrdIO.h"
#include "win32/application.h"
#include "win32/text.h"

namespace qel {
namespace {

TEST(GeneralErrorHandler, ShowsTheErrorsOwnTextAndCarriesOn) {
  auto& app = win::Application::Instance();
  app.SetQuietErrors(true);
  bool after = false;
  app.Guarded([] { throw FileError("ファイルが見つかりません"); });
  EXPECT_EQ(app.LastShownError(), "ファイルが見つかりません");
  app.Guarded([] { throw 7; });
  EXPECT_EQ(app.LastShownError(), "Unknown error");
  app.Guarded([&] { after = true; });
  EXPECT_TRUE(after) << "the next command runs normally";
  app.SetQuietErrors(false);
}

TEST(GeneralErrorHandler, SurvivesAnExceptionThrownInsideAWindowProcedure) {
  // The error is raised inside a message handler, as a menu command would.
  auto& app = win::Application::Instance();
  app.SetQuietErrors(true);
  static const wchar_t kClass[] = L"QelThrowingWindow";
  WNDCLASSW wc{};
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = kClass;
  wc.lpfnWndProc = [](HWND h, UINT m, WPARAM w, LPARAM l) WINAPI -> LRESULT {
    if (m == WM_APP) {
      win::Application::Instance().Guarded([] { throw std::runtime_error("command failed"); });
      return 1;
    }
    return DefWindowProcW(h, m, w, l);
  };
  RegisterClassW(&wc);
  HWND hwnd = CreateWindowW(kClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
  ASSERT_TRUE(hwnd);
  EXPECT_EQ(SendMessageW(hwnd, WM_APP, 0, 0), 1);
  EXPECT_EQ(app.LastShownError(), "command failed");
  DestroyWindow(hwnd);
  app.SetQuietErrors(false);
}

std::string TempFolder() {
  wchar_t buf[MAX_PATH];
  GetTempPathW(MAX_PATH, buf);
  std::wstring dir = std::wstring(buf) + L"qel-表示-" + std::to_wstring(GetCurrentProcessId());
  CreateDirectoryW(dir.c_str(), nullptr);
  return win::Narrow(dir);
}

TEST(WindowsFiles, RoundTripUnderShiftJisNames) {
  const std::string dir = TempFolder();
  const std::string file = dir + "\\回路リスト表.txt";
  Grid g(3, 2);
  g.SetCell(1, 0, "ﾓｰﾀ");
  g.SetCell(2, 1, "表");
  TStringGridIO io;
  io.TargetGrid = &g;
  io.SaveToText(file, "\t", false);
  EXPECT_NE(GetFileAttributesW(win::Wide(file).c_str()), INVALID_FILE_ATTRIBUTES)
      << "the file must exist under its Japanese name";
  EXPECT_EQ(ReadWholeFile(file), "\tﾓｰﾀ\t\r\n\t\t表\r\n");
  Grid back(3, 2);
  io.TargetGrid = &back;
  io.LoadFromText(file, "\t", false);
  EXPECT_EQ(back.Cell(2, 1), "表");
  DeleteFileW(win::Wide(file).c_str());
  RemoveDirectoryW(win::Wide(dir).c_str());
}

TEST(WindowsFiles, AReadOnlyTargetIsRefusedAndKept) {
  const std::string dir = TempFolder();
  const std::string file = dir + "\\読取専用.txt";
  const std::wstring wfile = win::Wide(file);
  ReplaceFileContents(file, "old");
  SetFileAttributesW(wfile.c_str(), FILE_ATTRIBUTE_READONLY);
  EXPECT_THROW(ReplaceFileContents(file, "new"), FileError);
  EXPECT_EQ(ReadWholeFile(file), "old");
  EXPECT_THROW(ReadWholeFile(dir + "\\無い.txt"), FileError);
  try {
    ReadWholeFile(dir);
    FAIL() << "a folder cannot be read as a file";
  } catch (const FileError& e) {
    EXPECT_NE(std::string(e.what()).find(dir), std::string::npos) << "the message names the file";
  }
  SetFileAttributesW(wfile.c_str(), FILE_ATTRIBUTE_NORMAL);
  DeleteFileW(wfile.c_str());
  RemoveDirectoryW(win::Wide(dir).c_str());
}

}  // namespace
}  // namespace qel

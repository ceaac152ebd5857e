// The real Qel-Wirmap.exe drawing a circuit list into the AutoCAD stand-in,
// installed in the prefix as AutoCAD 2000, driven from outside through its
// menus and dialogs. The page files are read back by
// tests/acad_drawing/check_pages.py with ezdxf (an independent reader): the
// tests that write pages run only when that script gives them a folder in
// QEL_ACAD_DRAWING_OUT.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "app/Qel_Wirmap.h"
#include "base/file_io.h"
#include "tests/support/drawing_jobs.h"
#include "tests/support/program_folder.h"
#include "tests/support/ui_driver.h"

namespace qel {
namespace {

using testing::ProgramFolder;
using testing::ProgramProcess;
using testing::Command;
using testing::ComboEntry;
using testing::kHeader;
using testing::LoadList;
using testing::MixedList;
using testing::Row;
using testing::WaitForPage;

constexpr DWORD kJobMs = 240000;  // a two-page job is some 250 texts at 100 ms each, plus the start
constexpr DWORD kQuietMs = 3000;

// The processes whose main frame is an AutoCAD frame (the stand-in's).
std::vector<DWORD> AcadProcesses() {
  std::vector<DWORD> pids;
  EnumWindows(
      [](HWND h, LPARAM lp) WINAPI -> BOOL {
        const std::wstring cls = testing::ClassOf(h);
        if (cls.rfind(L"Afx:400000:b:", 0) == 0) {
          const DWORD pid = testing::ProcessOf(h);
          auto& out = *reinterpret_cast<std::vector<DWORD>*>(lp);
          if (pid != GetCurrentProcessId() && std::find(out.begin(), out.end(), pid) == out.end()) out.push_back(pid);
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&pids));
  return pids;
}

// The program leaves AutoCAD running after a job, as it does with the real
// one; a test ends every stand-in before and after it runs.
void EndAcadProcesses() {
  for (DWORD pid : AcadProcesses()) {
    if (HANDLE h = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid)) {
      TerminateProcess(h, 0);
      WaitForSingleObject(h, 10000);
      CloseHandle(h);
    }
  }
}

// The installed AutoCAD 2000's profile key holding its single-drawing setting.
constexpr const wchar_t* kDrawingWindowKey =
    L"Software\\Autodesk\\AutoCAD\\R15.0\\ACAD-1:409\\Profiles\\<<Unnamed Profile>>\\Drawing Window";

// A drawing job removes the edition's single-drawing setting, as it must;
// the prefix is shared by every test, so the guard puts it back.
class AcadGuard {
 public:
  AcadGuard() {
    EndAcadProcesses();
    DWORD size = sizeof sdiMode_;
    hadSdiMode_ = RegGetValueW(HKEY_CURRENT_USER, kDrawingWindowKey, L"SDIMode", RRF_RT_REG_DWORD, nullptr, &sdiMode_,
                               &size) == ERROR_SUCCESS;
  }
  ~AcadGuard() {
    EndAcadProcesses();
    if (hadSdiMode_)
      RegSetKeyValueW(HKEY_CURRENT_USER, kDrawingWindowKey, L"SDIMode", REG_DWORD, &sdiMode_, sizeof sdiMode_);
    else
      RegDeleteKeyValueW(HKEY_CURRENT_USER, kDrawingWindowKey, L"SDIMode");
  }
  AcadGuard(const AcadGuard&) = delete;
  AcadGuard& operator=(const AcadGuard&) = delete;

 private:
  DWORD sdiMode_ = 0;
  bool hadSdiMode_ = false;
};

// Chooses "ACADで作図(&A)" and names the drawing in its save dialog.
void DrawAs(const ProgramProcess& p, HWND main, const std::string& path) {
  Command(main, TQel_Wirmap::kACADA);
  const auto dialog = testing::WaitForDialog(p.Pid());
  ASSERT_TRUE(dialog) << "no save dialog";
  testing::AnswerFileDialog(dialog->hwnd, path, 0);
  ASSERT_TRUE(testing::WaitUntil([&] { return !IsWindow(dialog->hwnd) || !IsWindowVisible(dialog->hwnd); }));
}

TEST(AcadDrawing, TypeWindowChoosesTheInstalledEditionAtStartUp) {
  if (const char* role = std::getenv("QEL_ACAD_ROLE"); role && std::string(role) != "2000")
    GTEST_SKIP() << "another edition is installed";
  ProgramFolder folder;
  ProgramProcess p(testing::ProgramExe(), folder.Path());
  const HWND main = p.WaitForWindow(L"TQel_Wirmap");
  ASSERT_TRUE(main);
  EXPECT_TRUE(testing::FindChild(main, L"Static", "Auto Cadは AutoCAD 2000 が有効です。"))
      << "the status line shows the type window's sentence";
  EXPECT_FALSE(testing::FindChild(main, L"Static", "AutoCAD の状態を確認しています"));

  // The window is made the first time the menu shows it, with the choice
  // made at start-up.
  EXPECT_TRUE(testing::TopLevelWindows(p.Pid(), L"TAcadTool_Frame", false).empty());
  Command(main, TQel_Wirmap::kAutoCadToolS1);
  const HWND frame = p.WaitForWindow(L"TAcadTool_Frame");
  ASSERT_TRUE(frame);
  EXPECT_EQ(testing::TextOf(frame), "Acad Select");
  const auto combos = testing::ChildrenOf(frame, L"ComboBox");
  ASSERT_EQ(combos.size(), 1u);
  std::vector<std::string> entries;
  for (int i = 0; i < 12; ++i) entries.push_back(ComboEntry(combos[0], i));
  EXPECT_EQ(entries, (std::vector<std::string>{"NOACAD", "AutoCAD LT95", "AutoCAD LT97", "AutoCAD LT98",
                                               "AutoCAD LT2000", "AutoCAD LT2000i", "AutoCAD LT2002", "AutoCAD R13",
                                               "AutoCAD R14", "AutoCAD 2000", "AutoCAD 2000i", "AutoCAD 2002"}));
  DWORD_PTR count = 0, selected = 0;
  SendMessageTimeoutW(combos[0], CB_GETCOUNT, 0, 0, SMTO_ABORTIFHUNG, 2000, &count);
  SendMessageTimeoutW(combos[0], CB_GETCURSEL, 0, 0, SMTO_ABORTIFHUNG, 2000, &selected);
  EXPECT_EQ(count, 12u);
  EXPECT_EQ(selected, 9u) << "AutoCAD 2000, the one installed";
  EXPECT_TRUE(testing::FindChild(frame, L"Static", "Install OK!"));
  EXPECT_TRUE(testing::FindChild(frame, L"Static", "Exec OK!"));

  // The menu shows it without modality; closing only hides it.
  EXPECT_TRUE(IsWindowEnabled(main)) << "not modal";
  // A choice the edition cannot serve reads as such in the status line.
  testing::ChooseEntry(combos[0], 8);
  EXPECT_TRUE(testing::WaitUntil([&] { return testing::FindChild(frame, L"Static", "Exec NG!") != nullptr; }));
  EXPECT_TRUE(testing::FindChild(main, L"Static", "Auto Cad　 AutoCAD R14 が無効です。"));
  PostMessageW(frame, WM_CLOSE, 0, 0);
  ASSERT_TRUE(testing::WaitUntil([&] { return !IsWindowVisible(frame); }));
  EXPECT_TRUE(IsWindow(frame));
  Command(main, TQel_Wirmap::kAutoCadToolS1);
  ASSERT_TRUE(testing::WaitUntil([&] { return IsWindowVisible(frame) != FALSE; })) << "the same window again";
  EXPECT_EQ(testing::TopLevelWindows(p.Pid(), L"TAcadTool_Frame", false).size(), 1u);
  EXPECT_TRUE(AcadProcesses().empty()) << "nothing starts AutoCAD before a drawing";
}

TEST(AcadDrawing, AnExistingFirstPageAnsweredNoSendsNothing) {
  AcadGuard acad;
  ProgramFolder folder;
  folder.AddTable("Qel-Acad.DWG");
  const std::string pageOne = folder.File("plant1.dwg");
  ReplaceFileContents(pageOne, "kept");
  ProgramProcess p(testing::ProgramExe(), folder.Path());
  const HWND main = p.WaitForWindow(L"TQel_Wirmap");
  ASSERT_TRUE(main);
  DrawAs(p, main, folder.File("plant.DWG"));
  const auto question = testing::WaitForDialog(p.Pid());
  ASSERT_TRUE(question) << "no overwrite question";
  EXPECT_EQ(question->caption, "確認");
  EXPECT_EQ(question->text, "同名ファイルがあります = plant 実行しますか ?");
  EXPECT_TRUE(GetDlgItem(question->hwnd, IDYES) && GetDlgItem(question->hwnd, IDNO));
  testing::PressButton(question->hwnd, IDNO);
  EXPECT_FALSE(testing::WaitUntil([] { return !AcadProcesses().empty(); }, kQuietMs)) << "AutoCAD was started";
  EXPECT_FALSE(testing::FindDialog(p.Pid()));
  EXPECT_EQ(ReadWholeFile(pageOne), "kept");
  EXPECT_FALSE(testing::FileExists(folder.File("plant2.DWG")));
}

// The folder the checker script reads the pages from, or nothing when the
// test runs without it.
const char* PagesFolder() { return std::getenv("QEL_ACAD_DRAWING_OUT"); }

TEST(AcadDrawingPages, MixedListOverTwoPagesAnsweredYes) {
  if (!PagesFolder()) GTEST_SKIP() << "run by the acad_drawing test, which reads the pages back";
  const std::string out = std::string(PagesFolder()) + "\\mixed";
  AcadGuard acad;
  ProgramFolder folder;
  folder.AddTable("Qel-Acad.DWG");
  ReplaceFileContents(folder.File("list.txt"), MixedList());
  ASSERT_TRUE(CreateDirectoryW(win::Wide(out).c_str(), nullptr));
  ReplaceFileContents(out + "\\plant1.DWG", "an older page");
  ProgramProcess p(testing::ProgramExe(), folder.Path());
  const HWND main = p.WaitForWindow(L"TQel_Wirmap");
  ASSERT_TRUE(main);
  LoadList(p, main, folder.File("list.txt"));
  DrawAs(p, main, out + "\\plant.DWG");
  const auto question = testing::WaitForDialog(p.Pid());
  ASSERT_TRUE(question) << "no overwrite question";
  EXPECT_EQ(question->text, "同名ファイルがあります = plant 実行しますか ?");
  testing::PressButton(question->hwnd, IDYES);
  // Page 2 is saved last; by then page 1 has been replaced.
  ASSERT_TRUE(WaitForPage(out + "\\plant2.DWG", kJobMs)) << "page 2 never came";
  EXPECT_NE(ReadWholeFile(out + "\\plant1.DWG"), "an older page");
  EXPECT_FALSE(testing::FileExists(out + "\\plant3.DWG"));
  EXPECT_EQ(AcadProcesses().size(), 1u) << "one AutoCAD, left running";
  DWORD sdi = 0, size = sizeof sdi;
  EXPECT_EQ(RegGetValueW(HKEY_CURRENT_USER, kDrawingWindowKey, L"SDIMode", RRF_RT_REG_DWORD, nullptr, &sdi, &size),
            ERROR_FILE_NOT_FOUND)
      << "the job removes the single-drawing setting";
  EXPECT_FALSE(testing::FindDialog(p.Pid()));
}

TEST(AcadDrawingPages, EmptyFirstNameSavesTheFramedTemplateOnly) {
  if (!PagesFolder()) GTEST_SKIP() << "run by the acad_drawing test, which reads the pages back";
  const std::string out = std::string(PagesFolder()) + "\\empty";
  AcadGuard acad;
  ProgramFolder folder;
  folder.AddTable("Qel-Acad.DWG");
  ReplaceFileContents(folder.File("list.txt"),
                      kHeader + Row(1, "", "直", {"3.7", "200"}) + Row(2, "M2", "直", {"3.7", "200"}));
  ASSERT_TRUE(CreateDirectoryW(win::Wide(out).c_str(), nullptr));
  ProgramProcess p(testing::ProgramExe(), folder.Path());
  const HWND main = p.WaitForWindow(L"TQel_Wirmap");
  ASSERT_TRUE(main);
  LoadList(p, main, folder.File("list.txt"));
  DrawAs(p, main, out + "\\blank.DWG");
  ASSERT_TRUE(WaitForPage(out + "\\blank1.DWG", kJobMs)) << "page 1 never came";
  EXPECT_FALSE(testing::FileExists(out + "\\blank2.DWG"));
  EXPECT_FALSE(testing::FindDialog(p.Pid())) << "no question: page 1 did not exist";
}

// The program as a user gets it: unpacked from the zip (by
// tests/package/run_from_zip.sh, which names the folder in
// QEL_PACKAGE_FOLDER) into a path with a blank and Japanese characters and
// started from there, with AutoCAD 2000 installed as a 32-bit program.
TEST(PackagedProgram, WritesARowDxfPagesAndAnAutoCadPageThenEnds) {
  const char* unpacked = std::getenv("QEL_PACKAGE_FOLDER");
  if (!unpacked) GTEST_SKIP() << "run by the package_from_zip test, which unpacks the zip";
  const std::string dir = unpacked;
  const std::string out = dir + "\\図面";
  ASSERT_TRUE(CreateDirectoryW(win::Wide(out).c_str(), nullptr));
  AcadGuard acad;
  ProgramProcess p(dir + "\\Qel-Wirmap.exe", dir);
  const HWND main = p.WaitForWindow(L"TQel_Wirmap");
  ASSERT_TRUE(main);
  EXPECT_TRUE(testing::FindChild(main, L"Static", "Auto Cadは AutoCAD 2000 が有効です。"));

  const HWND name = testing::FindChild(main, L"Edit", "名称を記入ください");
  ASSERT_TRUE(name);
  testing::SetTextOf(name, "ポンプ1");
  const HWND write = testing::FindChild(main, L"Button", "リストに記入");
  ASSERT_TRUE(write);
  testing::Click(write);

  testing::Command(main, TQel_Wirmap::kDXFX);
  const auto dialog = testing::WaitForDialog(p.Pid());
  ASSERT_TRUE(dialog) << "no DXF save dialog";
  testing::AnswerFileDialog(dialog->hwnd, out + "\\pump.dwg", 1);
  ASSERT_TRUE(testing::WaitUntil([&] { return !IsWindow(dialog->hwnd) || !IsWindowVisible(dialog->hwnd); }));
  const auto done = testing::WaitForDialog(p.Pid());
  ASSERT_TRUE(done) << "no closing message";
  EXPECT_EQ(done->text, "1 ページのDXFファイルを書き出しました。\r\n" + out + "\\pump1.dxf");
  testing::PressButton(done->hwnd, IDOK);
  ASSERT_TRUE(testing::WaitUntil([&] { return !IsWindow(done->hwnd); }));
  EXPECT_NE(ReadWholeFile(out + "\\pump1.dxf").find("ポンプ1"), std::string::npos);

  DrawAs(p, main, out + "\\pump.DWG");
  ASSERT_TRUE(WaitForPage(out + "\\pump1.DWG", kJobMs)) << "AutoCAD saved no page";
  EXPECT_NE(ReadWholeFile(out + "\\pump1.DWG").find("ポンプ1"), std::string::npos);
  EXPECT_FALSE(testing::FindDialog(p.Pid()));

  testing::Command(main, TQel_Wirmap::kExit1);
  const auto code = p.WaitForExit();
  ASSERT_TRUE(code) << "the program did not end";
  EXPECT_EQ(*code, 0u);
}

// The environment the program (and the AutoCAD it starts) inherits, put
// back when the test ends.
class Environment {
 public:
  Environment(const wchar_t* name, const wchar_t* value) : name_(name) { SetEnvironmentVariableW(name, value); }
  ~Environment() { SetEnvironmentVariableW(name_, nullptr); }
  Environment(const Environment&) = delete;
  Environment& operator=(const Environment&) = delete;

 private:
  const wchar_t* name_;
};

// The mixed list drawn as `name`.DWG by a program started for the test; the
// job AutoCAD cuts short gets one message naming the page, writes no page,
// and leaves the main window answering.
class StoppedJob {
 public:
  explicit StoppedJob(const std::string& name) : page1_(folder_.File(name + "1.DWG")) {
    folder_.AddTable("Qel-Acad.DWG");
    ReplaceFileContents(folder_.File("list.txt"), MixedList());
    process_ = std::make_unique<ProgramProcess>(testing::ProgramExe(), folder_.Path());
    main_ = process_->WaitForWindow(L"TQel_Wirmap");
    if (!main_) return;
    LoadList(*process_, main_, folder_.File("list.txt"));
    DrawAs(*process_, main_, folder_.File(name + ".DWG"));
  }

  void ExpectStoppedOnce(const std::string& text) const {
    ASSERT_TRUE(main_);
    const auto stopped = testing::WaitForDialog(process_->Pid(), kJobMs);
    ASSERT_TRUE(stopped) << "no message";
    EXPECT_EQ(stopped->caption, "AutoCAD");
    EXPECT_EQ(stopped->text, text);
    testing::PressButton(stopped->hwnd, IDOK);
    ASSERT_TRUE(testing::WaitUntil([&] { return !IsWindow(stopped->hwnd); }));
    EXPECT_FALSE(testing::WaitUntil([&] { return testing::FindDialog(process_->Pid()).has_value(); }, kQuietMs))
        << "told twice";
    EXPECT_FALSE(testing::FileExists(page1_));
    DWORD_PTR answer = 0;
    EXPECT_TRUE(SendMessageTimeoutW(main_, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 2000, &answer)) << "the program is usable";
    EXPECT_TRUE(IsWindowEnabled(main_));
  }

 private:
  AcadGuard acad_;
  ProgramFolder folder_;
  std::string page1_;
  std::unique_ptr<ProgramProcess> process_;
  HWND main_ = nullptr;
};

TEST(AcadDrawingStopped, AutoCadSilentPastTheReplyLimit) {
  const Environment limit(L"QEL_ACAD_REPLY_LIMIT_MS", L"3000");
  const Environment freeze(L"QEL_ACAD_FREEZE", L"OPEN:60");
  StoppedJob job("quiet");
  job.ExpectStoppedOnce("AutoCAD が応答しません。作図を中止しました。(ページ 1)");
}

TEST(AcadDrawingStopped, AutoCadKilledMidJob) {
  StoppedJob job("killed");
  ASSERT_TRUE(testing::WaitUntil([] { return !AcadProcesses().empty(); }, kJobMs));
  Sleep(5000);  // well into page 1
  EndAcadProcesses();
  job.ExpectStoppedOnce("AutoCAD が終了しました。作図を中止しました。(ページ 1)");
}

}  // namespace
}  // namespace qel

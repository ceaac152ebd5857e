// The real Qel-Wirmap.exe drawing into the Visio stand-in and saving into
// the Excel stand-in: a list file is opened through the program's own
// command, the menu commands are sent as the menu sends them, and what the
// stand-ins hold afterwards is read back through automation (pages as SVG,
// the sheet as CSV). Every stand-in process a test starts is ended before
// the test is over.
#include <gtest/gtest.h>
#include <windows.h>
// After windows.h, which it needs.
#include <tlhelp32.h>

#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "app/Qel_Wirmap.h"
#include "base/file_io.h"
#include "tests/support/program_folder.h"
#include "tests/support/ui_driver.h"
#include "win32/com_dispatch.h"

namespace qel {
namespace {

using testing::ProgramFolder;
using testing::ProgramProcess;
using Object = std::shared_ptr<Dispatch>;

const std::string kHeader =
    "No.\tNAME\tSTART\tkW\tV\tA\t88(MS)\t6(☆)\t19(M⊿)\t49(TH)\t49(A)\tMCB\tMCB(Trip)\tA.B\tC.D\tE.F\tG\tH\tI/F\tType\tTag";

// Rows as a list file holds them, tab-separated: "" an empty cell, " " a blank one.
std::string MotorRow(const std::string& no, const std::string& name, const std::string& start, const std::string& kw,
                     const std::string& ms, const std::string& th, const std::string& amps, const std::string& mcb,
                     const std::string& trip) {
  return no + "\t" + name + "\t" + start + "\t" + kw + "\t200\t15\t" + ms + "\tSC-N1\tSC-N2S\t" + th + "\t" + amps +
         "\t" + mcb + "\t" + trip + "\t \t \t \t \t \t\t\t";
}
std::string LoopRow(const std::string& no, const std::string& name, const std::string& function,
                    const std::string& type) {
  return no + "\t" + name + "\t \t \t \t \t \t \t \t \t \t \t \t \t \t \t \t \t" + function + "\t" + type + "\tT" + no;
}

// Twenty rows: every motor and feeder kind on page 1; page 2 opens with a
// reserve row followed by input and output loops; page 3 opens with a motor
// again. Names carry quotes, markup characters and two-byte characters
// (ソ and 表 end in the byte of a backslash).
std::vector<std::string> TwentyRows() {
  return {
      MotorRow("1", "P-1 給水ポンプ", "直", "3.7", "SC-5-1", "TR-5-1", "4.2", "SA33", "15A"),
      MotorRow("2", "C-2 \"コンベヤ\"", "可逆", "5.5", "SC-4-1", "TR-5-1", "11", "SA53", "30A"),
      MotorRow("3", "F-3 送風機&<排気>", "☆⊿", "37", "SC-N2", "TR-N3", "48", "SA103", "100A"),
      MotorRow("4", "分電盤 ソ表-1", "送り", "10", " ", " ", " ", "SA53", "50A"),
      MotorRow("5", "P-5", "直漏", "2.2", "SC-03", "TR-0N", "9", "EA33", "20A"),
      MotorRow("6", "M-6", "可逆漏", "", "SC-4-1", "TR-5-1", "", "EA53", "30A"),
      MotorRow("7", "F-7", "☆⊿漏", "22", "SC-N2", "TR-N3", "28", "EA103", "75A"),
      MotorRow("8", "盤-8", "送り漏", "7.5", " ", " ", " ", "EA53", "40A"),
      LoopRow("9", "SP", "", ""),
      LoopRow("10", "LS-10 満水", "Di>Ry", "Di-"),
      LoopRow("11", "LS-11", "Di>PLC", "Di-LS"),
      LoopRow("12", "Y-12", "Do", "Do-Tr"),
      LoopRow("13", "TE-13", "Ai>C", "Ai-T"),
      LoopRow("14", "PT-14", "Ai>PEN", "Ai-P"),
      LoopRow("15", "LT-15", "Ai>1", "Ai-L"),
      LoopRow("16", "AT-16", "Ai>4", "Ai-"),
      MotorRow("17", "P-17", "直", "0.75", "SC-03", "TR-0N", "3.6", "SA33", "10A"),
      LoopRow("18", "CV-18", "Ao", "Ao-4"),
      LoopRow("19", "WI-19", "Wi>PLC", "Wi-B"),
      LoopRow("20", "WO-20", "Wo", "Wo-B"),
  };
}

std::string ListFile(const std::vector<std::string>& rows) {
  std::string text = kHeader + "\r\n";
  for (const std::string& row : rows) text += row + "\r\n";
  return text;
}

void Command(HWND main, UINT id) { PostMessageW(main, WM_COMMAND, id, 0); }

// Opens a list file through "読込み" with the first file type (tab-separated).
void LoadList(const ProgramProcess& p, HWND main, const std::string& path) {
  Command(main, TQel_Wirmap::kLoad1);
  const auto dialog = testing::WaitForDialog(p.Pid());
  ASSERT_TRUE(dialog) << "no file dialog";
  testing::AnswerFileDialog(dialog->hwnd, path, 1);
  ASSERT_TRUE(testing::WaitUntil([&] { return !IsWindow(dialog->hwnd) || !IsWindowVisible(dialog->hwnd); }));
}

// Waits for the program's main window, opens the folder's list.txt and
// gives the menu command `command`; answers the main window, or null when
// it never appeared (and then nothing is done).
HWND OpenListAndCommand(const ProgramProcess& p, const ProgramFolder& folder, UINT command) {
  const HWND main = p.WaitForWindow(L"TQel_Wirmap");
  if (!main) return nullptr;
  LoadList(p, main, folder.File("list.txt"));
  Command(main, command);
  return main;
}

// Answers a message box with OK; true once it has gone.
bool PressOk(HWND dialog) {
  testing::PressButton(dialog, IDOK);
  return testing::WaitUntil([&] { return !IsWindow(dialog) || !IsWindowVisible(dialog); });
}

std::vector<DWORD> ProcessesNamed(const wchar_t* exe) {
  std::vector<DWORD> found;
  HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snap == INVALID_HANDLE_VALUE) return found;
  PROCESSENTRY32W e{};
  e.dwSize = sizeof e;
  for (BOOL ok = Process32FirstW(snap, &e); ok; ok = Process32NextW(snap, &e))
    if (_wcsicmp(e.szExeFile, exe) == 0) found.push_back(e.th32ProcessID);
  CloseHandle(snap);
  return found;
}

// A stand-in reached through automation once the program has started it.
// At the end it is told to quit and, should it not end, ended by force,
// so that no test leaves a server behind.
class RunningStandin {
 public:
  // Waits for the stand-in's window (the class of its main window) whose
  // title shows `titlePart`; only then is its class object registered, so
  // that creating the object reaches that process instead of starting one.
  RunningStandin(const wchar_t* windowClass, const std::string& titlePart, const char* progId) {
    HWND window = nullptr;
    testing::WaitUntil(
        [&] {
          for (HWND h : testing::TopLevelWindows(0, windowClass, true))
            if (testing::TextOf(h).find(titlePart) != std::string::npos) window = h;
          return window != nullptr;
        },
        30000);
    if (!window) return;
    const DWORD pid = testing::ProcessOf(window);
    process_ = OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, pid);
    app_ = win::CreateComObject(progId);
    if (static_cast<DWORD>(app_->Get("ProcessID").AsInt()) != pid) app_.reset();
  }
  ~RunningStandin() {
    if (app_) {
      try {
        app_->Call("Quit");
      } catch (const AutomationError&) {
      }
      app_.reset();
    }
    if (!process_) return;
    if (WaitForSingleObject(process_, 15000) != WAIT_OBJECT_0) {
      ADD_FAILURE() << "the stand-in did not end on Quit";
      TerminateProcess(process_, 1);
      WaitForSingleObject(process_, 5000);
    }
    CloseHandle(process_);
  }
  RunningStandin(const RunningStandin&) = delete;
  RunningStandin& operator=(const RunningStandin&) = delete;

  const Object& App() const { return app_; }

 private:
  HANDLE process_ = nullptr;
  Object app_;
};

// Saves the active drawing's pages into `folder` and answers with the
// number of files.
int SaveAsSvg(const Object& visio, const std::string& folder) {
  Args args{Variant(folder)};
  return static_cast<int>(visio->Call("SaveAsSvg", args).AsInt());
}

int Occurrences(const std::string& text, const std::string& part) {
  int n = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
  return n;
}

// A program folder with the delivered Visio files in Data\.
struct VisioProgramFolder : ProgramFolder {
  VisioProgramFolder() {
    AddTable("qel-ms.vss");
    AddTable("qel-ms.vsd");
  }
};

// Before the Visio cases: the last of them kills a COM server mid-call, and
// Wine's COM may answer slowly or not at all for a while after that.
TEST(ExcelEndToEnd, TheListArrivesCellByCell) {
  ProgramFolder folder;
  const std::vector<std::string> rows = {TwentyRows()[0], TwentyRows()[9], TwentyRows()[19]};
  ReplaceFileContents(folder.File("list.txt"), ListFile(rows));
  ProgramProcess p(testing::ProgramExe(), folder.Path());
  const HWND main = OpenListAndCommand(p, folder, TQel_Wirmap::kExcel1);
  ASSERT_TRUE(main);

  RunningStandin excel(L"QelExcelStandin", "", "Excel.Application");
  ASSERT_TRUE(excel.App());
  // The program's last step switches screen updating back on after the
  // last cell, row 4's "Tag".
  auto sheet = [&] { return excel.App()->Get("ActiveWorkbook").AsObject()->Get("ActiveSheet").AsObject(); };
  auto cell = [&](int r, int c) {
    return sheet()->Get("Cells", {Variant(std::int32_t{r}), Variant(std::int32_t{c})}).AsObject()->Get("Value");
  };
  EXPECT_TRUE(testing::WaitUntil(
      [&] {
        try {
          return cell(4, 21).AsText() == "T20" && excel.App()->Get("ScreenUpdating").AsBool();
        } catch (const AutomationError&) {
          return false;  // no workbook yet
        }
      },
      30000));
  testing::TempDir dir;
  Args save{Variant(dir.File("sheet.csv"))};
  excel.App()->Call("SaveAsCsv", save);
  const std::string csv = ReadWholeFile(dir.File("sheet.csv"));
  // The same texts in UTF-8, separated by commas.
  const std::string expected = std::string(reinterpret_cast<const char*>(
      u8"No.,NAME,START,kW,V,A,88(MS),6(☆),19(M⊿),49(TH),49(A),MCB,MCB(Trip),A.B,C.D,E.F,G,H,I/F,Type,Tag\r\n"
      u8"1,P-1 給水ポンプ,直,3.7,200,15,SC-5-1,SC-N1,SC-N2S,TR-5-1,4.2,SA33,15A, , , , , ,,,\r\n"
      u8"10,LS-10 満水, , , , , , , , , , , , , , , , ,Di>Ry,Di-,T10\r\n"
      u8"20,WO-20, , , , , , , , , , , , , , , , ,Wo,Wo-B,T20\r\n"));
  std::string below;  // rows 5 to 21 of the grid, empty but written
  for (int r = 5; r <= 21; ++r) below += ",,,,,,,,,,,,,,,,,,,,\r\n";
  EXPECT_EQ(csv, expected + below);
}

// Drawn for tests/visio_e2e/check_drawing.py, which starts this test with
// QEL_VISIO_E2E_SVG_DIR set and checks the pages with its own XML parser.
TEST(VisioDrawingEndToEnd, TwentyRowsDrawnForTheSvgReader) {
  const char* out = std::getenv("QEL_VISIO_E2E_SVG_DIR");
  if (!out) GTEST_SKIP() << "only run by check_drawing.py";
  VisioProgramFolder folder;
  ReplaceFileContents(folder.File("list.txt"), ListFile(TwentyRows()));
  ProgramProcess p(testing::ProgramExe(), folder.Path());
  const HWND main = OpenListAndCommand(p, folder, TQel_Wirmap::kDrowing1);
  ASSERT_TRUE(main);

  RunningStandin visio(L"QelVisioStandin", "qel-ms.vsd", "Visio.Application");
  ASSERT_TRUE(visio.App()) << "the stand-in with the drawing document was not reached";
  // The drawing is done when page 3 holds the terminals of its four columns.
  testing::TempDir probe;
  EXPECT_TRUE(testing::WaitUntil(
      [&] {
        if (SaveAsSvg(visio.App(), probe.Path()) < 3) return false;
        return Occurrences(ReadWholeFile(probe.File("page3.svg")), "data-master=\"terminal\"") == 4;
      },
      120000))
      << "the drawing did not finish";
  EXPECT_EQ(SaveAsSvg(visio.App(), out), 3);
  EXPECT_FALSE(testing::FindDialog(p.Pid())) << "the drawing reports nothing";
}

// Visio not installed: the stand-in's registration is removed for the test
// and restored afterwards.
TEST(VisioDrawingEndToEnd, WithoutVisioThreeMessagesAndNoServerLeft) {
  const std::wstring key = L"CLSID\\{5D0BD7BD-8511-499B-8452-CBEB5E80063E}\\LocalServer32";
  wchar_t server[1024];
  DWORD size = sizeof server;
  ASSERT_EQ(RegGetValueW(HKEY_CLASSES_ROOT, key.c_str(), nullptr, RRF_RT_REG_SZ, nullptr, server, &size),
            ERROR_SUCCESS);
  auto run = [](std::wstring commandLine) {
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
      return false;
    const bool ended = WaitForSingleObject(pi.hProcess, 30000) == WAIT_OBJECT_0;
    if (!ended) TerminateProcess(pi.hProcess, 1);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return ended;
  };
  struct Restore {
    std::function<bool(std::wstring)> run;
    std::wstring server;
    ~Restore() { EXPECT_TRUE(run(server + L" /RegServer")); }
  } restore{run, server};
  ASSERT_TRUE(run(std::wstring(server) + L" /UnregServer"));

  VisioProgramFolder folder;
  ReplaceFileContents(folder.File("list.txt"), ListFile({TwentyRows()[0]}));
  ProgramProcess p(testing::ProgramExe(), folder.Path());
  const HWND main = OpenListAndCommand(p, folder, TQel_Wirmap::kDrowing1);
  ASSERT_TRUE(main);
  for (const std::string text : {"Visioを起動できません.", "Visioを quit できません.",
                                 "ファイルを開けません。\n\r２重オープンできません。"}) {
    const auto d = testing::WaitForDialog(p.Pid());
    ASSERT_TRUE(d) << "no message: " << text;
    EXPECT_EQ(d->text, text);
    EXPECT_EQ(d->caption, "Qel-Wirmap");
    ASSERT_TRUE(PressOk(d->hwnd));
  }
  EXPECT_FALSE(testing::WaitForDialog(p.Pid(), 1500)) << "nothing more is shown";
  EXPECT_TRUE(ProcessesNamed(L"VisioStandin.exe").empty()) << "no Visio server may be running";
  EXPECT_FALSE(p.HasEnded());
}

// The drawing document missing from Data\: the stencil opens, then the
// failure quits Visio and the two-line message follows; the server ends.
TEST(VisioDrawingEndToEnd, DrawingDocumentMissingGivesTheTwoLineMessage) {
  ProgramFolder folder;
  folder.AddTable("qel-ms.vss");
  ProgramProcess p(testing::ProgramExe(), folder.Path());
  const HWND main = p.WaitForWindow(L"TQel_Wirmap");
  ASSERT_TRUE(main);
  Command(main, TQel_Wirmap::kDrowing1);
  const auto d = testing::WaitForDialog(p.Pid(), 30000);
  ASSERT_TRUE(d);
  EXPECT_EQ(d->text, "ファイルを開けません。\n\r２重オープンできません。");
  ASSERT_TRUE(PressOk(d->hwnd));
  EXPECT_FALSE(testing::WaitForDialog(p.Pid(), 1500)) << "Visio's quit succeeded, so no other message";
  EXPECT_TRUE(testing::WaitUntil([] { return ProcessesNamed(L"VisioStandin.exe").empty(); }, 15000))
      << "the stand-in must end on quit";
}

// A stencil without the thermal relay: Visio's own description reaches the
// general error handler, the shapes placed before stay, and the program
// goes on working.
TEST(VisioDrawingEndToEnd, AMissingMasterIsReportedAndTheProgramStaysUsable) {
  VisioProgramFolder folder;
  std::string stencil = ReadWholeFile(folder.File("Data\\qel-ms.vss"));
  const std::string named = "NameU=\"1P-TH\" Name=\"1P-TH\" Prompt=";  // the master, not its shape
  ASSERT_EQ(Occurrences(stencil, named), 1);
  stencil.replace(stencil.find(named), named.size(), "NameU=\"1P-THX\" Name=\"1P-THX\" Prompt=");
  ReplaceFileContents(folder.File("Data\\qel-ms.vss"), stencil);
  ReplaceFileContents(folder.File("list.txt"), ListFile({TwentyRows()[0]}));

  ProgramProcess p(testing::ProgramExe(), folder.Path());
  const HWND main = OpenListAndCommand(p, folder, TQel_Wirmap::kDrowing1);
  ASSERT_TRUE(main);
  RunningStandin visio(L"QelVisioStandin", "qel-ms.vsd", "Visio.Application");
  const auto d = testing::WaitForDialog(p.Pid(), 60000);
  ASSERT_TRUE(d) << "no error message";
  EXPECT_NE(d->text.find("has no master named 1P-TH"), std::string::npos) << d->text;
  ASSERT_TRUE(PressOk(d->hwnd));
  ASSERT_TRUE(visio.App());

  testing::TempDir svg;
  ASSERT_EQ(SaveAsSvg(visio.App(), svg.Path()), 1);
  const std::string page = ReadWholeFile(svg.File("page1.svg"));
  EXPECT_EQ(Occurrences(page, "data-master=\"1P-MgSW\""), 1) << "the shapes before the failure stay";
  EXPECT_EQ(Occurrences(page, "data-master=\"motor\""), 0) << "nothing after the failure is drawn";

  Command(main, TQel_Wirmap::kAbout1);
  EXPECT_TRUE(p.WaitForWindow(L"TAboutBox")) << "the program answers commands after the error";
  EXPECT_FALSE(p.HasEnded());
}

// A second drawing command given while the first one draws is refused with
// a message, and the first goes on to the end. Then the program is closed:
// nothing else is shown, and the stand-in ends as soon as the program has
// let go of the objects it kept, which it does before shutting COM down.
TEST(VisioDrawingEndToEnd, OneDrawingAtATimeAndNothingLeftAfterExit) {
  VisioProgramFolder folder;
  ReplaceFileContents(folder.File("list.txt"), ListFile(TwentyRows()));
  ProgramProcess p(testing::ProgramExe(), folder.Path());
  const HWND main = p.WaitForWindow(L"TQel_Wirmap");
  ASSERT_TRUE(main);
  LoadList(p, main, folder.File("list.txt"));
  Command(main, TQel_Wirmap::kDrowing1);

  HWND window = nullptr;
  ASSERT_TRUE(testing::WaitUntil(
      [&] {
        for (HWND h : testing::TopLevelWindows(0, L"QelVisioStandin", true))
          if (testing::TextOf(h).find("qel-ms.vsd") != std::string::npos) window = h;
        return window != nullptr;
      },
      30000));
  HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, testing::ProcessOf(window));
  ASSERT_NE(process, nullptr);
  // The documents are open, the drawing runs. While a call waits for Visio,
  // messages sent to the window are handled, as this command is.
  SendNotifyMessageW(main, WM_COMMAND, TQel_Wirmap::kDrowing1, 0);
  const auto busy = testing::WaitForDialog(p.Pid(), 60000);
  ASSERT_TRUE(busy) << "the second command must be refused";
  EXPECT_EQ(busy->text, "作図中です。終わってからもう一度実行してください。");
  ASSERT_TRUE(PressOk(busy->hwnd));
  {
    // Looked at, then released without Quit: ending is up to the program.
    Object visio = win::CreateComObject("Visio.Application");
    testing::TempDir probe;
    EXPECT_TRUE(testing::WaitUntil(
        [&] {
          if (SaveAsSvg(visio, probe.Path()) < 3) return false;
          return Occurrences(ReadWholeFile(probe.File("page3.svg")), "data-master=\"terminal\"") == 4;
        },
        120000))
        << "the drawing did not finish";
    EXPECT_EQ(SaveAsSvg(visio, probe.Path()), 3) << "one drawing: three pages, not six";
  }
  EXPECT_FALSE(testing::FindDialog(p.Pid())) << "the drawing reports nothing";

  Command(main, TQel_Wirmap::kExit1);
  EXPECT_EQ(p.WaitForExit(30000), std::optional<DWORD>(0)) << "the program ends without an error";
  const bool ended = WaitForSingleObject(process, 30000) == WAIT_OBJECT_0;
  EXPECT_TRUE(ended) << "the stand-in must end once the program has released its objects";
  if (!ended) TerminateProcess(process, 1);
  CloseHandle(process);
}

// Visio ended by force in the middle of a drawing: the next call fails,
// the general error handler says so, and the program goes on working.
TEST(VisioDrawingEndToEnd, AServerKilledWhileDrawingIsReportedWithoutHanging) {
  VisioProgramFolder folder;
  ReplaceFileContents(folder.File("list.txt"), ListFile(TwentyRows()));
  ProgramProcess p(testing::ProgramExe(), folder.Path());
  const HWND main = OpenListAndCommand(p, folder, TQel_Wirmap::kDrowing1);
  ASSERT_TRUE(main);

  // Killed once its page list shows the second page.
  HWND standin = nullptr;
  ASSERT_TRUE(testing::WaitUntil(
      [&] {
        for (HWND h : testing::TopLevelWindows(0, L"QelVisioStandin", true))
          for (HWND list : testing::ChildrenOf(h, L"ListBox"))
            if (SendMessageW(list, LB_GETCOUNT, 0, 0) >= 2) standin = h;
        return standin != nullptr;
      },
      60000));
  HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, testing::ProcessOf(standin));
  ASSERT_NE(process, nullptr);
  TerminateProcess(process, 1);
  EXPECT_EQ(WaitForSingleObject(process, 5000), WAIT_OBJECT_0);
  CloseHandle(process);

  const auto d = testing::WaitForDialog(p.Pid(), 60000);
  ASSERT_TRUE(d) << "the failed call must be reported";
  EXPECT_FALSE(d->text.empty());
  ASSERT_TRUE(PressOk(d->hwnd));
  EXPECT_FALSE(testing::WaitForDialog(p.Pid(), 1500)) << "one message for the one failure";
  Command(main, TQel_Wirmap::kAbout1);
  EXPECT_TRUE(p.WaitForWindow(L"TAboutBox")) << "the program answers commands after the failure";
}

// "Excel に保存": every list cell (c, r) arrives at (r + 1, c + 1); the
// sheet, saved as UTF-8 CSV by the stand-in, is compared line by line.

}  // namespace
}  // namespace qel

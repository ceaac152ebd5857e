// Discovery of installed and running AutoCAD editions from registry keys
// written into the prefix, and recognition of AutoCAD's windows in fixture
// processes.
#include <gtest/gtest.h>

#include <algorithm>

#include "acadlink/AcadFunc_win.h"
#include "acadlink/AcadUnit_win.h"
#include "acadlink/AcadVInf_win.h"
#include "tests/wine/acadlink_fixture.h"

namespace qel {
namespace {

using testing::FixtureProcess;
using testing::ProgramCopy;
using testing::RegisteredEdition;

constexpr const char* kFull15 = "SOFTWARE\\Autodesk\\AutoCAD\\R15.0";
constexpr const char* kLt97 = "SOFTWARE\\Autodesk\\AutoCAD LT\\R4.0";
constexpr const char* kLt98 = "SOFTWARE\\Autodesk\\AutoCAD LT\\R5.0";

class AcadDiscovery : public ::testing::Test {
 protected:
  void TearDown() override { InitAcadEditionCache(); }  // forget what the test registered
};

TEST_F(AcadDiscovery, SharedR15KeyToldApartByProgramVersion) {
  struct Case {
    const char* version;
    int installed;
    const char* fullVersion;
  } cases[] = {{"15_06", 11, "15.06.200"}, {"15_00", 9, "15.00.100"}};
  for (const Case& c : cases) {
    ProgramCopy program(c.version, "ACAD.EXE");
    RegisteredEdition edition(kFull15, "AcadLocation", "\"" + program.Folder() + "\"");
    InitAcadEditionCache();
    for (int e : {9, 10, 11}) {
      EXPECT_EQ(IsAcadInstalled(e), e == c.installed) << c.version << " edition " << e;
      // A version that does not match drops the path.
      EXPECT_EQ(GetAcadExePath(e).empty(), e != c.installed) << c.version << " edition " << e;
    }
    EXPECT_EQ(GetAcadVersion(c.installed), c.fullVersion);
    EXPECT_EQ(GetAcadVersionKey(c.installed), edition.VersionKey());
  }
}

TEST_F(AcadDiscovery, RegistryValuesOfTheWrongKindFindNothing) {
  ProgramCopy program("15_00", "ACLT.EXE");
  RegisteredEdition edition(kLt98, "AcltLocation", program.Folder());
  InitAcadEditionCache();
  ASSERT_TRUE(IsAcadInstalled(3));

  const DWORD number = 7;
  testing::SetRegRaw(HKEY_LOCAL_MACHINE, edition.VersionKey(), "AcltLocation", REG_DWORD, &number, sizeof(number));
  InitAcadEditionCache();
  EXPECT_FALSE(IsAcadInstalled(3));

  const std::string longText(3000, 'x');  // longer than any path the registry read takes
  testing::SetRegString(HKEY_LOCAL_MACHINE, edition.VersionKey(), "AcltLocation", longText);
  InitAcadEditionCache();
  EXPECT_FALSE(IsAcadInstalled(3));

  const char bytes[3] = {'C', ':', '\\'};  // binary, no terminating zero
  testing::SetRegRaw(HKEY_LOCAL_MACHINE, edition.VersionKey(), "AcltLocation", REG_BINARY, bytes, sizeof(bytes));
  InitAcadEditionCache();
  EXPECT_FALSE(IsAcadInstalled(3));
}

TEST_F(AcadDiscovery, RunningWhileTheMessageFileIsHeldOrTheStartIsRecent) {
  ProgramCopy lt97("15_00", "ACLT.EXE");
  ProgramCopy lt98("15_00", "ACLT.EXE");
  RegisteredEdition e97(kLt97, "AcltLocation", lt97.Folder());
  RegisteredEdition e98(kLt98, "AcltLocation", lt98.Folder());
  InitAcadEditionCache();
  ASSERT_TRUE(IsAcadInstalled(2) && IsAcadInstalled(3));

  EXPECT_FALSE(IsAcadRunning(3));  // no ".xmx" at all
  testing::TempDir::Write(lt98.Xmx(), "");
  EXPECT_FALSE(IsAcadRunning(3));
  EXPECT_TRUE(CanExecuteAcad(2));
  {
    HANDLE held = CreateFileW(win::Wide(lt98.Xmx()).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_TRUE(IsAcadRunning(3));
    EXPECT_FALSE(CanExecuteAcad(2));  // its sibling runs
    EXPECT_TRUE(CanExecuteAcad(3));
    CloseHandle(held);
  }
  EXPECT_FALSE(IsAcadRunning(3));
  MarkAcadStarting(3, true);
  EXPECT_TRUE(IsAcadRunning(3));
  MarkAcadStarting(3, false);
  EXPECT_TRUE(IsAcadRunning(3));  // within the grace after the start
}

// "ポ" ends in 0x7C, a vertical bar as a byte; "表" in 0x5C, a backslash.
TEST_F(AcadDiscovery, FolderNamedWithPoAndHyoIsFoundInstalledAndRunning) {
  ProgramCopy program("15_00", "ACAD.EXE");
  const std::string folder = program.Folder() + "\\ポンプ表";
  ASSERT_TRUE(CreateDirectoryW(win::Wide(folder).c_str(), nullptr));
  const std::string exe = folder + "\\ACAD.EXE";
  ASSERT_TRUE(CopyFileW(win::Wide(program.Exe()).c_str(), win::Wide(exe).c_str(), FALSE));
  RegisteredEdition edition(kFull15, "AcadLocation", folder);
  InitAcadEditionCache();
  EXPECT_TRUE(IsAcadInstalled(9));
  EXPECT_EQ(GetAcadExePath(9), exe);
  const std::wstring xmx = win::Wide(folder + "\\ACAD.xmx");
  HANDLE held = CreateFileW(xmx.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                            nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  EXPECT_TRUE(IsAcadRunning(9));
  CloseHandle(held);
  EXPECT_FALSE(IsAcadRunning(9));
  DeleteFileW(xmx.c_str());
  DeleteFileW(win::Wide(exe).c_str());
  RemoveDirectoryW(win::Wide(folder).c_str());
}

TEST_F(AcadDiscovery, SdiModeReadBackedUpAndRemoved) {
  ProgramCopy program("15_00", "ACAD.EXE");
  RegisteredEdition edition(kFull15, "AcadLocation", program.Folder());
  InitAcadEditionCache();
  ASSERT_TRUE(IsAcadInstalled(9));
  EXPECT_TRUE(GetAcadSDIMode(8));   // R14 has no profiles
  EXPECT_TRUE(GetAcadSDIMode(3));   // nor has LT98
  EXPECT_FALSE(GetAcadSDIMode(9));  // no current profile

  const std::string profiles = edition.VersionKey() + "\\Profiles";
  testing::SetRegString(HKEY_CURRENT_USER, profiles, "", "<<Unnamed Profile>>");
  const std::string window = profiles + "\\<<Unnamed Profile>>\\Drawing Window";
  const DWORD one = 1;
  testing::SetRegRaw(HKEY_CURRENT_USER, window, "SDIMode", REG_DWORD, &one, sizeof(one));
  const std::string backup = std::string(kAcadToolKey) + "\\AutoCAD 2000";
  testing::DeleteRegTree(HKEY_CURRENT_USER, backup);
  EXPECT_TRUE(GetAcadSDIMode(9));
  bool ok = false;
  EXPECT_EQ(ReadRegDWord(HKEY_CURRENT_USER, backup, "SDIMode", &ok), 1u);
  EXPECT_TRUE(ok);

  EXPECT_TRUE(SetAcadSDIMode(9, false));
  EXPECT_FALSE(GetAcadSDIMode(9));
  ReadRegDWord(HKEY_CURRENT_USER, window, "SDIMode", &ok);
  EXPECT_FALSE(ok);
  EXPECT_TRUE(SetAcadSDIMode(9, true));
  EXPECT_TRUE(GetAcadSDIMode(9));

  testing::SetRegString(HKEY_CURRENT_USER, window, "SDIMode", "1");  // a text, not a number
  EXPECT_FALSE(GetAcadSDIMode(9));
  testing::DeleteRegTree(HKEY_CURRENT_USER, backup);
}

TEST_F(AcadDiscovery, SharedFolderLeadsAVeryLongPathOnce) {
  wchar_t saved[40000] = {};
  GetEnvironmentVariableW(L"PATH", saved, 40000);
  std::string common;
  ASSERT_TRUE(ReadRegString(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion", "CommonFilesDir", common));
  const std::string shared = common + "\\Autodesk Shared";
  std::string rest;
  while (rest.size() < 16000) rest += "C:\\folder" + std::to_string(rest.size()) + ";";
  rest += "C:\\last";
  SetEnvironmentVariableW(L"PATH", win::Wide(rest + ";" + shared + "\\;" + rest).c_str());

  const bool set = SetAcadSharedPath("C:\\Prog");
  const DWORD n = GetEnvironmentVariableW(L"PATH", nullptr, 0);
  std::wstring now(n, L'\0');
  GetEnvironmentVariableW(L"PATH", now.data(), n);
  now.resize(n ? n - 1 : 0);
  SetEnvironmentVariableW(L"PATH", saved);
  // Either the system took the long value, or it refused it and the old
  // one stayed; nothing in between. (Compared by hand: the texts are 32 KB.)
  const std::string got = win::Narrow(now);
  const std::string want = set ? shared + ";C:\\Prog;" + rest + ";" + rest : rest + ";" + shared + "\\;" + rest;
  const auto diff = std::mismatch(got.begin(), got.end(), want.begin(), want.end());
  EXPECT_TRUE(got == want) << "set " << set << ", sizes " << got.size() << "/" << want.size() << ", first difference at "
                           << (diff.first - got.begin()) << ": "
                           << got.substr(static_cast<std::size_t>(diff.first - got.begin()), 60);
}

TEST(AcadPaths, ElementsTakeTheNameTheFileSearchGives) {
  EXPECT_EQ(ExpandLongPath("C:\\WINDOWS\\SYSTEM32"), "C:\\windows\\system32");
  EXPECT_EQ(ExpandLongPath("C:\\Windows\\NoSuchFolder\\ACAD.EXE"), "C:\\windows\\NoSuchFolder\\ACAD.EXE");
  EXPECT_EQ(ExpandLongPath("relative\\path"), "relative\\path");
}

TEST_F(AcadDiscovery, WindowsOfEachRoleRecognised) {
  ProgramCopy full("15_00", "ACAD.EXE");
  ProgramCopy lt("15_00", "ACLT.EXE");
  RegisteredEdition e2000(kFull15, "AcadLocation", full.Folder());
  RegisteredEdition e98(kLt98, "AcltLocation", lt.Folder());
  InitAcadEditionCache();

  struct Case {
    std::string exe;
    const char* role;
    int edition;
    bool controlBar;
  } cases[] = {{full.Exe(), "2000", 9, true}, {lt.Exe(), "lt", 3, false}};
  for (const Case& c : cases) {
    FixtureProcess process(c.exe, std::string("--role ") + c.role);
    ASSERT_NE(process.Main(), nullptr) << c.role;
    EXPECT_TRUE(IsAcadMainWindow(process.Main()));
    TAcadWindowInfo info;
    ASSERT_TRUE(FindAcadWindows(process.ThreadId(), info)) << c.role;
    EXPECT_EQ(info.Edition, c.edition);
    EXPECT_EQ(info.State, 1);
    EXPECT_EQ(info.MainWnd, process.Main());
    EXPECT_EQ(info.HostWnd, process.Main());
    EXPECT_EQ(info.ControlBarWnd != nullptr, c.controlBar);
    EXPECT_EQ(WindowClassName(info.MdiClientWnd), "MDIClient");
    EXPECT_EQ(WindowClassName(info.ViewWnd), "AcStaticViewClass");
    EXPECT_EQ(WindowClassName(info.FrameCmdFrameWnd), "AfxFrameOrView42");
    EXPECT_EQ(WindowTitle(info.FramePromptWnd), "Headlands");
    EXPECT_EQ(WindowTitle(info.FrameInputWnd), "MountTam");
    EXPECT_EQ(WindowTitle(info.BarPromptWnd), "Headlands");
    EXPECT_NE(info.BarPromptWnd, info.FramePromptWnd);
    EXPECT_EQ(info.ChildList.Count(), 1);
    EXPECT_EQ(WindowTitle(info.ChildWnd), "Drawing1.dwg");
    TextBuffer buffer;
    EXPECT_EQ(ReadWindowText(info.FramePromptWnd, buffer), "Command: ");
    RefreshAcadWindows(info);
    EXPECT_EQ(info.State, 2);
  }
}

TEST_F(AcadDiscovery, WindowsOfAnUnregisteredProgramAreNoEdition) {
  // The 2000-era editions are decided by which of them runs; a program
  // that is none of the registered ones is not an AutoCAD.
  FixtureProcess process(testing::FixtureExe("15_00"), "--role 2000");
  ASSERT_NE(process.Main(), nullptr);
  InitAcadEditionCache();
  TAcadWindowInfo info;
  EXPECT_FALSE(FindAcadWindows(process.ThreadId(), info));
  EXPECT_EQ(info.MainWnd, nullptr);
  EXPECT_FALSE(FindAcadWindows(0, info));
}

}  // namespace
}  // namespace qel

// The AutoCAD stand-in seen from outside, the way a watcher of AutoCAD sees
// it: window classes, titles and child order, the prompt line answered to
// WM_GETTEXT by both prompt windows, typed input by WM_COPYDATA and WM_CHAR,
// the version resource and the message file held while it runs.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "acadlink/AcadUnit_win.h"
#include "tests/support/ui_driver.h"
#include "win32/text.h"

namespace qel {
namespace {

using testing::ProgramProcess;
using testing::WaitUntil;

// The build folder as a Windows path: file functions take drive letters.
std::string StandinFile(const char* name) {
  std::string path = std::string("Z:") + QEL_ACAD_STANDIN_DIR + "/" + name;
  for (char& c : path)
    if (c == '/') c = '\\';
  return path;
}

std::string ClassA(HWND h) {
  char buf[256] = {};
  GetClassNameA(h, buf, sizeof buf);
  return buf;
}

// The title as another process reads it (not through the window procedure).
std::string Title(HWND h) {
  char buf[256] = {};
  GetWindowTextA(h, buf, sizeof buf);
  return buf;
}

// What the window answers to WM_GETTEXT, in bytes.
std::string Answer(HWND h) {
  DWORD_PTR len = 0;
  if (!SendMessageTimeoutA(h, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 2000, &len)) return "<no answer>";
  std::string buf(static_cast<size_t>(len) + 1, '\0');
  DWORD_PTR got = 0;
  SendMessageTimeoutA(h, WM_GETTEXT, buf.size(), reinterpret_cast<LPARAM>(buf.data()), SMTO_ABORTIFHUNG, 2000, &got);
  buf.resize(static_cast<size_t>(got));
  return buf;
}

LRESULT Type(HWND frame, const std::string& text, ULONG_PTR id = 1) {
  COPYDATASTRUCT cds{id, static_cast<DWORD>(text.size() + 1), const_cast<char*>(text.c_str())};
  DWORD_PTR result = 0;
  SendMessageTimeoutW(frame, WM_COPYDATA, reinterpret_cast<WPARAM>(frame), reinterpret_cast<LPARAM>(&cds),
                      SMTO_ABORTIFHUNG, 5000, &result);
  return static_cast<LRESULT>(result);
}

struct CommandWindow {
  HWND cmd = nullptr, prompt = nullptr, input = nullptr;
};

CommandWindow CommandIn(HWND parent) {
  CommandWindow c;
  c.cmd = GetWindow(parent, GW_CHILD);
  if (!c.cmd || Title(c.cmd) != "Marin") return {};
  c.prompt = FindWindowExA(c.cmd, nullptr, nullptr, "Headlands");
  c.input = FindWindowExA(c.cmd, nullptr, nullptr, "MountTam");
  return c;
}

class Standin {
 public:
  explicit Standin(const char* exe) : process_(StandinFile(exe), StandinFile("")) {
    WaitUntil([&] {
      for (HWND h : testing::TopLevelWindows(process_.Pid(), L"", true))
        if (ClassA(h).rfind("Afx:400000:b:", 0) == 0) frame_ = h;
      return frame_ != nullptr || process_.HasEnded();
    });
  }
  ~Standin() { Close(); }
  bool Close() {
    if (frame_) PostMessageW(frame_, WM_CLOSE, 0, 0);
    frame_ = nullptr;
    return process_.WaitForExit().has_value();
  }
  HWND Frame() const { return frame_; }

 private:
  ProgramProcess process_;
  HWND frame_ = nullptr;
};

struct Version {
  WORD major = 0, minor = 0, build = 0;
  bool operator==(const Version&) const = default;
};

Version ProductVersion(const std::string& file) {
  DWORD ignored = 0;
  DWORD size = GetFileVersionInfoSizeA(file.c_str(), &ignored);
  std::string data(size, '\0');
  VS_FIXEDFILEINFO* info = nullptr;
  UINT len = 0;
  if (!size || !GetFileVersionInfoA(file.c_str(), 0, size, data.data()) ||
      !VerQueryValueA(data.data(), "\\", reinterpret_cast<void**>(&info), &len))
    return {};
  return {HIWORD(info->dwProductVersionMS), LOWORD(info->dwProductVersionMS), HIWORD(info->dwProductVersionLS)};
}

TEST(AcadStandin, Edition2000WindowsAreShapedAsWatchersExpect) {
  EXPECT_EQ(ProductVersion(StandinFile("ACAD.EXE")), (Version{15, 0, 0}));
  Standin acad("ACAD.EXE");
  const HWND frame = acad.Frame();
  ASSERT_TRUE(frame);
  EXPECT_EQ(Title(frame).rfind("AutoCAD 2000", 0), 0u) << Title(frame);
  EXPECT_NE(Title(frame).find("DXF"), std::string::npos) << Title(frame);

  // The frame's first child is the command window's frame.
  const HWND frameOrView = GetWindow(frame, GW_CHILD);
  EXPECT_EQ(ClassA(frameOrView), "AfxFrameOrView42");
  const CommandWindow frameCmd = CommandIn(frameOrView);
  ASSERT_TRUE(frameCmd.prompt && frameCmd.input);

  const HWND bar = FindWindowExA(FindWindowExA(frame, nullptr, "AfxControlBar42", nullptr), nullptr, "AfxWnd42", nullptr);
  const CommandWindow barCmd = CommandIn(bar);
  ASSERT_TRUE(barCmd.prompt && barCmd.input);

  const HWND mdi = FindWindowExA(frame, nullptr, "MDIClient", nullptr);
  const HWND drawing = GetWindow(mdi, GW_CHILD);
  ASSERT_TRUE(drawing);
  EXPECT_TRUE(FindWindowExA(drawing, nullptr, "AcStaticViewClass", nullptr));

  EXPECT_EQ(Answer(frameCmd.prompt), "Command: ");
  EXPECT_EQ(Answer(barCmd.prompt), "Command: ");
  EXPECT_EQ(Title(frameCmd.prompt), "Headlands");
  EXPECT_EQ(Title(barCmd.input), "MountTam");
  EXPECT_TRUE(acad.Close());
}

TEST(AcadStandin, PromptFollowsTypedInputInBothPromptWindows) {
  Standin acad("ACAD.EXE");
  const HWND frame = acad.Frame();
  ASSERT_TRUE(frame);
  const CommandWindow frameCmd = CommandIn(GetWindow(frame, GW_CHILD));
  const CommandWindow barCmd =
      CommandIn(FindWindowExA(FindWindowExA(frame, nullptr, "AfxControlBar42", nullptr), nullptr, "AfxWnd42", nullptr));
  ASSERT_TRUE(frameCmd.prompt && barCmd.prompt);

  struct Step {
    std::string typed, prompt, input;
  };
  const Step steps[] = {
      {"_TEXT\r0,0 ", "Specify height <2.5000>: ", ""},   // the style has no height yet
      {"\x03-style STANDARD\rtxt,extfont\r2.5 0.8 0 N N ", "Vertical? <N>: ", ""},
      {" ", "Command: ", ""},
      {"_TEXT\r", "Specify start point of text or [Justify/Style]: ", ""},
      {"J ", "Enter an option [Align/Fit/Center/Middle/Right/TL/TC/TR/ML/MC/MR/BL/BC/BR]: ", ""},
      {"C", "Enter an option [Align/Fit/Center/Middle/Right/TL/TC/TR/ML/MC/MR/BL/BC/BR]: ", "C"},
      {"\r60,45 0 ", "Enter text: ", ""},
      {"5.5 kW", "Enter text: ", "5.5 kW"},   // blanks are part of a text string
      {"\r\r", "Command: ", ""},
      {"._LINE 1,1\x03", "Command: ", ""},
      {"-insert nosuchblock\r", "Command: ", ""},
      {"bogus\r", "Command: ", ""},
  };
  for (const Step& s : steps) {
    EXPECT_EQ(Type(frame, s.typed), TRUE) << s.typed;
    EXPECT_EQ(Answer(frameCmd.prompt), s.prompt) << s.typed;
    EXPECT_EQ(Answer(barCmd.prompt), s.prompt) << s.typed;
    EXPECT_EQ(Answer(frameCmd.input), s.input) << s.typed;
  }
  const HWND status = FindWindowExA(frame, nullptr, "AcStandinStatus", nullptr);
  EXPECT_EQ(Title(status), "Unknown command \"BOGUS\".  Press F1 for help.");

  // Another data identifier is not typed input.
  EXPECT_EQ(Type(frame, "LINE\r", 2), FALSE);
  EXPECT_EQ(Answer(frameCmd.prompt), "Command: ");

  // Characters posted to the view or to the bar's prompt window type too.
  const HWND view = FindWindowExA(GetWindow(FindWindowExA(frame, nullptr, "MDIClient", nullptr), GW_CHILD), nullptr,
                                  "AcStaticViewClass", nullptr);
  for (char c : std::string("line "))
    PostMessageA(view, WM_CHAR, static_cast<WPARAM>(c), 0x004F0001);
  EXPECT_TRUE(WaitUntil([&] { return Answer(frameCmd.prompt) == "Specify first point: "; }, 5000));
  PostMessageA(barCmd.prompt, WM_CHAR, 3, 0x004F0001);
  EXPECT_TRUE(WaitUntil([&] { return Answer(barCmd.prompt) == "Command: "; }, 5000));
}

TEST(AcadStandin, GarbageInputNeverEndsTheProgram) {
  Standin acad("ACAD.EXE");
  const HWND frame = acad.Frame();
  ASSERT_TRUE(frame);
  const HWND prompt = CommandIn(GetWindow(frame, GW_CHILD)).prompt;
  ASSERT_TRUE(prompt);
  // Every byte but zero, lead bytes without their second byte among them,
  // in commands and at every kind of prompt.
  std::string noise;
  unsigned state = 12345;
  for (int i = 0; i < 60000; ++i) {
    state = state * 1103515245u + 12345u;
    noise += static_cast<char>(1 + (state >> 16) % 255);
  }
  for (const char* start : {"", "_TEXT\r", "-insert ", "._open\r", "-style\r", "._LINE ", "_rectang "}) {
    EXPECT_EQ(Type(frame, start + noise), TRUE);
    EXPECT_EQ(Type(frame, "\x03\x03"), TRUE);
    EXPECT_EQ(Answer(prompt), "Command: ") << start;
  }
  EXPECT_TRUE(acad.Close());
}

// Installed by standin/install into the prefix the tests run in, the
// default edition is found the way a program looks for AutoCAD 2000.
TEST(AcadStandin, InstalledAsAutoCad2000) {
  if (const char* role = std::getenv("QEL_ACAD_ROLE"); role && std::string(role) != "2000")
    GTEST_SKIP() << "another edition is installed";
  auto read = [](HKEY root, const std::string& key, const char* name) {
    char buf[512] = {};
    DWORD size = sizeof buf - 1;
    return RegGetValueA(root, key.c_str(), name, RRF_RT_REG_SZ, nullptr, buf, &size) == ERROR_SUCCESS ? std::string(buf)
                                                                                                     : std::string("<missing>");
  };
  const std::string family = "SOFTWARE\\Autodesk\\AutoCAD\\R15.0";
  const std::string curVer = read(HKEY_LOCAL_MACHINE, family, "CurVer");
  EXPECT_EQ(curVer, "ACAD-1:409");
  const std::string location = read(HKEY_LOCAL_MACHINE, family + "\\" + curVer, "AcadLocation");
  EXPECT_EQ(location, "C:\\Program Files (x86)\\AutoCAD 2000");
  // As a 32-bit installer leaves it: nothing in the 64-bit view.
  HKEY key = nullptr;
  EXPECT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, family.c_str(), 0, KEY_READ | KEY_WOW64_64KEY, &key), ERROR_FILE_NOT_FOUND);
  if (key) RegCloseKey(key);
  EXPECT_NE(GetFileAttributesA("C:\\Program Files (x86)\\Common Files\\Autodesk Shared"), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(ProductVersion(location + "\\ACAD.EXE"), (Version{15, 0, 0}));
  EXPECT_NE(GetFileAttributesA((location + "\\ACAD.xmx").c_str()), INVALID_FILE_ATTRIBUTES);
  const std::string profiles = "Software\\Autodesk\\AutoCAD\\R15.0\\ACAD-1:409\\Profiles";
  const std::string profile = read(HKEY_CURRENT_USER, profiles, nullptr);
  EXPECT_EQ(profile, "<<Unnamed Profile>>");
  DWORD sdi = 7, size = sizeof sdi;
  EXPECT_EQ(RegGetValueA(HKEY_CURRENT_USER, (profiles + "\\" + profile + "\\Drawing Window").c_str(), "SDIMode",
                         RRF_RT_REG_DWORD, nullptr, &sdi, &size),
            ERROR_SUCCESS);
}

// Found where a 32-bit program looks, and started with the 32-bit Common
// Files folder's "Autodesk Shared" at the head of the search path it inherits.
TEST(AcadStandin, FoundThroughThe32BitViewWithThe32BitSharedFolderFirst) {
  if (const char* role = std::getenv("QEL_ACAD_ROLE"); role && std::string(role) != "2000")
    GTEST_SKIP() << "another edition is installed";
  InitAcadEditionCache();
  EXPECT_TRUE(IsAcadInstalled(9));
  EXPECT_EQ(GetAcadExePath(9), "C:\\Program Files (x86)\\AutoCAD 2000\\ACAD.EXE");

  wchar_t saved[32768] = {};
  GetEnvironmentVariableW(L"PATH", saved, 32768);
  SetEnvironmentVariableW(L"PATH", L"C:\\windows\\system32;C:\\tools");
  ASSERT_TRUE(SetAcadSharedPath("C:\\Program Files (x86)\\AutoCAD 2000"));
  wchar_t now[32768] = {};
  GetEnvironmentVariableW(L"PATH", now, 32768);
  SetEnvironmentVariableW(L"PATH", saved);
  EXPECT_EQ(win::Narrow(now),
            "C:\\Program Files (x86)\\Common Files\\Autodesk Shared;C:\\Program Files (x86)\\AutoCAD 2000;"
            "C:\\windows\\system32;C:\\tools");
}

int DrawingWindows(HWND frame) {
  int n = 0;
  for (HWND w = GetWindow(FindWindowExA(frame, nullptr, "MDIClient", nullptr), GW_CHILD); w; w = GetWindow(w, GW_HWNDNEXT))
    n += GetWindow(w, GW_CHILD) != nullptr;
  return n;
}

// The profile's single-drawing setting, read when the program starts:
// with it, OPEN replaces the drawing; without it, each OPEN adds a window.
TEST(AcadStandin, SingleDrawingSettingDecidesWhetherOpenAddsAWindow) {
  const std::string key =
      "Software\\Autodesk\\AutoCAD\\R15.0\\ACAD-1:409\\Profiles\\<<Unnamed Profile>>\\Drawing Window";
  DWORD saved = 0, size = sizeof saved;
  if (RegGetValueA(HKEY_CURRENT_USER, key.c_str(), "SDIMode", RRF_RT_REG_DWORD, nullptr, &saved, &size) != ERROR_SUCCESS)
    GTEST_SKIP() << "AutoCAD 2000 is not the installed edition";
  char temp[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, temp);
  const std::string file = std::string(temp) + "qel sdi test.DWG";
  for (DWORD sdi : {1u, 0u}) {
    ASSERT_EQ(RegSetKeyValueA(HKEY_CURRENT_USER, key.c_str(), "SDIMode", REG_DWORD, &sdi, sizeof sdi), ERROR_SUCCESS);
    Standin acad("ACAD.EXE");
    ASSERT_TRUE(acad.Frame());
    EXPECT_EQ(Type(acad.Frame(), "._SaveAS 2000 \"" + file + "\"\r"), TRUE);
    for (int i = 0; i < 2; ++i) EXPECT_EQ(Type(acad.Frame(), "._open\r\"" + file + "\"\r"), TRUE);
    EXPECT_EQ(DrawingWindows(acad.Frame()), sdi ? 1 : 3) << "SDIMode " << sdi;
  }
  RegSetKeyValueA(HKEY_CURRENT_USER, key.c_str(), "SDIMode", REG_DWORD, &saved, sizeof saved);
  DeleteFileA(file.c_str());
}

TEST(AcadStandin, LtEditionHasNoControlBarAndHoldsItsMessageFileWhileRunning) {
  const std::string xmx = StandinFile("ACLT.xmx");
  auto openable = [&] {
    HANDLE h = CreateFileA(xmx.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    CloseHandle(h);
    return true;
  };
  ASSERT_TRUE(openable());
  Standin aclt("ACLT.EXE");
  const HWND frame = aclt.Frame();
  ASSERT_TRUE(frame);
  EXPECT_EQ(Title(frame).rfind("AutoCAD LT", 0), 0u) << Title(frame);
  EXPECT_FALSE(FindWindowExA(frame, nullptr, "AfxControlBar42", nullptr));
  EXPECT_EQ(ClassA(GetWindow(frame, GW_CHILD)), "AfxFrameOrView42");
  const CommandWindow barCmd = CommandIn(FindWindowExA(frame, nullptr, "AfxWnd42", nullptr));
  ASSERT_TRUE(barCmd.prompt);
  EXPECT_EQ(Answer(barCmd.prompt), "Command: ");
  EXPECT_FALSE(openable()) << "the running stand-in must hold " << xmx;
  EXPECT_TRUE(aclt.Close());
  EXPECT_TRUE(openable());
}

}  // namespace
}  // namespace qel

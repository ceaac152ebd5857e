// Delivery to an AutoCAD that goes quiet in the middle of a job (the
// stand-in with its test switch that freezes its window thread after a
// named command), and a command queued from inside the call that queues
// another (the fixture program).
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "acadlink/AcadCtrl_win.h"
#include "tests/support/temp_dir.h"
#include "tests/support/ui_driver.h"
#include "tests/wine/acadlink_fixture.h"
#include "win32/text.h"

namespace qel {
namespace {

constexpr const wchar_t* kFrameClass = L"Afx:400000:b:10011:6:3be0579";

std::string StandinExe() { return testing::WinPath(std::string(QEL_ACAD_STANDIN_DIR) + "/ACAD.EXE"); }

std::string Template() { return testing::WinPath(std::string(QEL_SOURCE_DIR) + "/data/Qel-Acad.DWG"); }

constexpr const char* kFull15 = "SOFTWARE\\Autodesk\\AutoCAD\\R15.0";

// The stand-in registered as AutoCAD 2000 from its build folder and started
// with QEL_ACAD_FREEZE set as given (empty: unset).
class FreezingStandin {
 public:
  explicit FreezingStandin(const std::wstring& freeze)
      : edition_(kFull15, "AcadLocation", testing::WinPath(QEL_ACAD_STANDIN_DIR)) {
    InitAcadEditionCache();
    SetEnvironmentVariableW(L"QEL_ACAD_FREEZE", freeze.empty() ? nullptr : freeze.c_str());
    process_ = std::make_unique<testing::ProgramProcess>(StandinExe(), testing::WinPath(QEL_ACAD_STANDIN_DIR));
    SetEnvironmentVariableW(L"QEL_ACAD_FREEZE", nullptr);
    frame_ = process_->WaitForWindow(kFrameClass);
  }
  ~FreezingStandin() { InitAcadEditionCache(); }
  FreezingStandin(const FreezingStandin&) = delete;
  FreezingStandin& operator=(const FreezingStandin&) = delete;
  HWND Frame() const { return frame_; }
  // What the frame's prompt window answers, or nothing while it is silent.
  std::string Prompt() const {
    const HWND commandWindow = GetWindow(GetWindow(frame_, GW_CHILD), GW_CHILD);  // "Marin"
    const HWND prompt = FindWindowExA(commandWindow, nullptr, nullptr, "Headlands");
    char buf[256] = {};
    DWORD_PTR got = 0;
    if (!SendMessageTimeoutA(prompt, WM_GETTEXT, sizeof buf, reinterpret_cast<LPARAM>(buf), SMTO_ABORTIFHUNG, 500,
                             &got))
      return "<silent>";
    return std::string(buf, got);
  }

 private:
  testing::RegisteredEdition edition_;
  std::unique_ptr<testing::ProgramProcess> process_;
  HWND frame_ = nullptr;
};

// A component with its timer off, recording what it reports.
class Recorder {
 public:
  explicit Recorder(HWND frame) {
    control.SetEnabled(false);
    attached = control.AttachAcad(frame);
    control.OnAsyncSended = [this](TAcadControl*, int no, HWND, bool ok) {
      results.push_back(std::to_string(no) + (ok ? " ok" : " failed"));
    };
    control.OnDeliveryAborted = [this](TAcadControl*, TAcadDeliveryStop reason, const std::vector<std::string>&,
                                       const std::vector<std::string>&) { stops.push_back(reason); };
  }
  void Send(const std::vector<std::string>& texts) {
    for (std::size_t i = 0; i < texts.size(); ++i) ASSERT_TRUE(control.SendCommand(texts[i], static_cast<int>(i + 1)));
  }

  TAcadControl control;
  bool attached = false;
  std::vector<std::string> results;
  std::vector<TAcadDeliveryStop> stops;
};

// A short job in the program's own words: the template, a style, a line,
// a text and the page saved.
std::vector<std::string> Job(const std::string& page) {
  return {"\x03\x03._filedia 0\r",
          "._open\r",
          "\"" + Template() + "\"\r",
          "._filedia 1\r",
          "_OsMode 0\r",
          "-style STANDARD\rtxt,extfont\r2.5 0.8 0 N N N\r",
          "._LINE 0,0 400,300\r\r",
          "_TEXT\r",
          "10,10 0 M1 ポンプ\r\x03",
          "\x03\x03._filedia 0\r",
          "._SaveAS R14 \"" + page + "\"\r",
          "._filedia 1\r"};
}

TEST(AcadDelivery, QuietAfterOpenEveryTextArrivesAndThePageIsTheSame) {
  testing::TempDir out;
  const std::string plain = testing::WinPath(out.File("plain.DWG"));
  const std::string quiet = testing::WinPath(out.File("quiet.DWG"));
  for (const auto& [freeze, page] : {std::pair{std::wstring(), plain}, std::pair{std::wstring(L"open:8"), quiet}}) {
    FreezingStandin acad(freeze);
    ASSERT_TRUE(acad.Frame());
    Recorder r(acad.Frame());
    ASSERT_TRUE(r.attached);
    r.Send(Job(page));
    ASSERT_TRUE(testing::PumpUntil([&] { return r.results.size() == 12; }, 120000)) << r.results.size();
    EXPECT_EQ(r.results, (std::vector<std::string>{"1 ok", "2 ok", "3 ok", "4 ok", "5 ok", "6 ok", "7 ok", "8 ok",
                                                   "9 ok", "10 ok", "11 ok", "12 ok"}));
    EXPECT_TRUE(r.stops.empty());
    EXPECT_EQ(acad.Prompt(), "Command: ");
  }
  const std::string a = testing::TempDir::Read(out.File("plain.DWG"));
  EXPECT_NE(a.find("M1 \x83\x7C\x83\x93\x83\x76"), std::string::npos) << "the text is on the page";
  EXPECT_TRUE(testing::TempDir::Read(out.File("quiet.DWG")) == a) << "the page drawn with the freeze differs";
}

// A window whose handler queues a command when its message comes through.
class QueueingWindow {
 public:
  explicit QueueingWindow(std::function<void()> handler) : handler_(std::move(handler)) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = Proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"QelQueueingWindow";
    RegisterClassW(&wc);
    hwnd_ = CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  }
  ~QueueingWindow() { DestroyWindow(hwnd_); }
  void Post() const { PostMessageW(hwnd_, WM_APP, 0, 0); }

 private:
  static LRESULT CALLBACK Proc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    auto* self = reinterpret_cast<QueueingWindow*>(GetWindowLongPtrW(h, GWLP_USERDATA));
    if (msg == WM_APP && self) {
      self->handler_();
      return 0;
    }
    return DefWindowProcW(h, msg, wp, lp);
  }
  std::function<void()> handler_;
  HWND hwnd_ = nullptr;
};

TEST(AcadDelivery, CommandQueuedFromInsideTheFirstCallHasOneThreadAndArrivesOnce) {
  testing::ProgramCopy program("15_00", "ACAD.EXE");
  testing::RegisteredEdition edition(kFull15, "AcadLocation", program.Folder());
  InitAcadEditionCache();
  const std::string log = program.File("received.log");
  testing::FixtureProcess acad(program.Exe(), "--role 2000 --log \"" + log + "\"");
  ASSERT_TRUE(acad.Main());
  Recorder r(acad.Main());
  ASSERT_TRUE(r.attached);
  QueueingWindow handler([&] { EXPECT_TRUE(r.control.SendCommand("B\r", 2)); });
  handler.Post();  // taken by the first call's message pump
  ASSERT_TRUE(r.control.SendCommand("A\r", 1));
  ASSERT_TRUE(testing::PumpUntil([&] { return r.results.size() >= 2; }, 20000));
  testing::PumpUntil([] { return false; }, 1000);
  EXPECT_EQ(r.results, (std::vector<std::string>{"1 ok", "2 ok"}));
  EXPECT_EQ(testing::LoggedPayloads(log), (std::vector<std::string>{std::string("A\r\0", 3), std::string("B\r\0", 3)}));
}

}  // namespace
}  // namespace qel

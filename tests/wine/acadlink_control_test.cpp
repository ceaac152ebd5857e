// The link component against fixture processes with AutoCAD's windows:
// attaching, queued delivery in order, cancelling, a target that vanishes
// or hangs, the prompt watch, and starting an edition.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "acadlink/AcadCtrl_win.h"
#include "tests/wine/acadlink_fixture.h"
#include "win32/application.h"

namespace qel {
namespace {

using testing::FixtureProcess;
using testing::ProgramCopy;
using testing::RegisteredEdition;

constexpr const char* kFull15 = "SOFTWARE\\Autodesk\\AutoCAD\\R15.0";

// An AutoCAD 2000 installed from the fixture program, a log for what it
// receives, and a component with its timer off that records its events.
class AcadControlTest : public ::testing::Test {
 protected:
  AcadControlTest()
      : program_("15_00", "ACAD.EXE"),
        edition_(kFull15, "AcadLocation", program_.Folder()),
        log_(program_.File("received.log")) {
    InitAcadEditionCache();
    control_ = std::make_unique<TAcadControl>();
    control_->SetEnabled(false);
    control_->OnAsyncSending = [this](TAcadControl* sender, int no, HWND) {
      EXPECT_EQ(sender, control_.get());
      events_.push_back("send " + std::to_string(no));
    };
    control_->OnAsyncSended = [this](TAcadControl*, int no, HWND, bool ok) {
      events_.push_back("sent " + std::to_string(no) + (ok ? " ok" : " failed"));
      ++finished_;
    };
  }
  ~AcadControlTest() override {
    control_.reset();
    InitAcadEditionCache();
  }

  std::unique_ptr<FixtureProcess> Start(const std::string& args = "") {
    auto p = std::make_unique<FixtureProcess>(program_.Exe(), "--role 2000 --log \"" + log_ + "\" " + args);
    EXPECT_NE(p->Main(), nullptr);
    return p;
  }
  bool WaitFinished(int count, DWORD timeoutMs = 20000) {
    return testing::PumpUntil([&] { return finished_ >= count; }, timeoutMs);
  }

  ProgramCopy program_;
  RegisteredEdition edition_;
  std::string log_;
  std::unique_ptr<TAcadControl> control_;
  std::vector<std::string> events_;
  int finished_ = 0;
};

TEST_F(AcadControlTest, RefusedWhileUnattachedThenAttachedToTheRunningEdition) {
  EXPECT_FALSE(control_->SendCommand("_line\r", 1));
  EXPECT_EQ(control_->AttachedAcadType(), atNOACAD);
  auto acad = Start();
  control_->SetAcadType(atACLT95);
  EXPECT_TRUE(control_->AttachAcad(control_->ActiveAcadWindow()));
  EXPECT_EQ(control_->AttachedAcadType(), atACAD2000);
  EXPECT_EQ(control_->AcadType(), atACAD2000);  // LoadAcadType follows the instance
  EXPECT_EQ(control_->Attachment().MainWnd, acad->Main());
  EXPECT_TRUE(control_->IsCmdEnabled());
  EXPECT_FALSE(control_->SendCommand("", 1));
  EXPECT_FALSE(control_->AttachAcad(nullptr));
  EXPECT_FALSE(control_->SendCommand("_line\r", 1));  // the failed attach forgot the instance
}

TEST_F(AcadControlTest, DeliveredInOrderByteForByte) {
  auto acad = Start();
  ASSERT_TRUE(control_->AttachAcad(acad->Main()));
  const std::vector<std::string> texts = {"\x03\x03._filedia 0\r", "_OsMode 0\r", "-insert\r\"RY_A接点01\"\r60,230\r"};
  for (std::size_t i = 0; i < texts.size(); ++i) ASSERT_TRUE(control_->SendCommand(texts[i], static_cast<int>(i + 1)));
  // Delivery needs this thread to run the steps before and after each
  // command: nothing can have arrived before it pumps.
  EXPECT_TRUE(events_.empty());
  EXPECT_TRUE(testing::LoggedPayloads(log_).empty());
  ASSERT_TRUE(WaitFinished(3));
  EXPECT_EQ(events_, (std::vector<std::string>{"send 1", "sent 1 ok", "send 2", "sent 2 ok", "send 3", "sent 3 ok"}));
  const std::vector<std::string> got = testing::LoggedPayloads(log_);
  ASSERT_EQ(got.size(), 3u);
  EXPECT_EQ(got[0], std::string("\x03\x03._filedia 0\r\0", 15));
  EXPECT_EQ(got[2], std::string("-insert\r\"RY_A\x90\xDA\x93\x5F" "01\"\r60,230\r") + '\0');
  EXPECT_TRUE(control_->Attachment().Queue->Snapshot().empty());
}

TEST_F(AcadControlTest, LineModeDeliversEachLineWithItsReturnOnly) {
  auto acad = Start();
  ASSERT_TRUE(control_->AttachAcad(acad->Main()));
  control_->SetCmdIdle(true);
  ASSERT_TRUE(control_->SendCommand("-style STANDARD\rtxt,extfont\r2.5 0.8 0 N N N\r", 1));
  ASSERT_TRUE(control_->SendCommand("a\r\nb\r\n", 2));
  ASSERT_TRUE(control_->SendCommand("no return", 3));
  ASSERT_TRUE(WaitFinished(3));
  EXPECT_EQ(testing::LoggedPayloads(log_),
            (std::vector<std::string>{std::string("-style STANDARD\r\0", 17), std::string("txt,extfont\r\0", 13),
                                      std::string("2.5 0.8 0 N N N\r\0", 17), std::string("a\r\0", 3),
                                      std::string("b\r\0", 3)}));
  EXPECT_EQ(events_.back(), "sent 3 failed");
}

TEST_F(AcadControlTest, RemovedBeforeDeliveryRaisesNoEvent) {
  auto acad = Start();
  ASSERT_TRUE(control_->AttachAcad(acad->Main()));
  for (int i = 1; i <= 3; ++i) ASSERT_TRUE(control_->SendCommand("cmd" + std::to_string(i) + "\r", i));
  TAsyncCmdList& queue = *control_->Attachment().Queue;
  const std::vector<TAsyncCmdItem*> items = queue.Snapshot();
  ASSERT_EQ(items.size(), 3u);
  EXPECT_EQ(queue.RemoveCommand(items[1]), 1);
  EXPECT_EQ(queue.IndexOfCommand(items[2]), 1);
  EXPECT_EQ(queue.RemoveCommand(nullptr), -1);
  ASSERT_TRUE(WaitFinished(2));
  EXPECT_EQ(events_, (std::vector<std::string>{"send 1", "sent 1 ok", "send 3", "sent 3 ok"}));
  EXPECT_EQ(testing::LoggedPayloads(log_), (std::vector<std::string>{std::string("cmd1\r\0", 6), std::string("cmd3\r\0", 6)}));
}

TEST_F(AcadControlTest, VanishedTargetFailsItsTextAndStopsTheJobOnce) {
  auto acad = Start("--exit-after 2");
  ASSERT_TRUE(control_->AttachAcad(acad->Main()));
  int closed = 0;
  control_->OnAcadClose = [&](TAcadControl*) { ++closed; };
  std::vector<TAcadDeliveryStop> stops;
  std::vector<std::string> undelivered;
  control_->OnDeliveryAborted = [&](TAcadControl*, TAcadDeliveryStop reason, const std::vector<std::string>&,
                                    const std::vector<std::string>& dropped) {
    stops.push_back(reason);
    undelivered = dropped;
  };
  for (int i = 1; i <= 4; ++i) ASSERT_TRUE(control_->SendCommand("c" + std::to_string(i) + "\r", i));
  ASSERT_TRUE(testing::PumpUntil([&] { return !stops.empty(); }, 20000));
  testing::PumpUntil([] { return false; }, 500);
  EXPECT_EQ(events_, (std::vector<std::string>{"send 1", "sent 1 ok", "send 2", "sent 2 ok", "send 3", "sent 3 failed"}));
  EXPECT_EQ(stops, std::vector<TAcadDeliveryStop>{TAcadDeliveryStop::TargetGone});
  EXPECT_EQ(undelivered, (std::vector<std::string>{"c3\r", "c4\r"}));
  EXPECT_TRUE(control_->Attachment().Queue->Snapshot().empty());
  EXPECT_EQ(testing::LoggedPayloads(log_).size(), 2u);
  // The watch notices the end once and forgets the instance.
  control_->TimerTick();
  control_->TimerTick();
  control_->TimerTick();
  EXPECT_EQ(closed, 1);
  EXPECT_EQ(control_->Attachment().MainWnd, nullptr);
  EXPECT_FALSE(control_->SendCommand("c5\r", 5));
}

TEST_F(AcadControlTest, HungTargetStopsTheJobAfterTheReplyLimit) {
  SetAcadReplyLimitMs(2000);
  auto acad = Start("--hang-after 1");
  ASSERT_TRUE(control_->AttachAcad(acad->Main()));
  int stops = 0;
  control_->OnDeliveryAborted = [&](TAcadControl*, TAcadDeliveryStop reason, const std::vector<std::string>& sent,
                                    const std::vector<std::string>&) {
    ++stops;
    EXPECT_EQ(reason, TAcadDeliveryStop::NoAnswer);
    EXPECT_EQ(sent, std::vector<std::string>{"first\r"});
  };
  ASSERT_TRUE(control_->SendCommand("first\r", 1));
  ASSERT_TRUE(control_->SendCommand("second\r", 2));
  ASSERT_TRUE(control_->SendCommand("third\r", 3));
  ASSERT_TRUE(WaitFinished(2, 120000));
  testing::PumpUntil([&] { return stops > 0; }, 5000);
  EXPECT_EQ(events_, (std::vector<std::string>{"send 1", "sent 1 ok", "send 2", "sent 2 failed"}));
  EXPECT_EQ(stops, 1);
  SetAcadReplyLimitMs(0);
  ASSERT_TRUE(control_->SendCommand("fourth\r", 4));
  testing::PumpUntil([&] { return events_.size() > 4; }, 1000);
  control_.reset();  // ends the thread that waits for the silent AutoCAD
  EXPECT_EQ(events_.size(), 5u) << "the fourth began, and was not reported";
  EXPECT_EQ(testing::LoggedPayloads(log_).size(), 1u);
}

TEST_F(AcadControlTest, PromptWatchOnRealPromptWindows) {
  auto acad = Start();
  ASSERT_TRUE(control_->AttachAcad(acad->Main()));
  std::vector<std::string> seen;
  int waits = 0;
  control_->OnAcadCmdChange = [&](TAcadControl*, const std::string& param, bool idle) {
    seen.push_back(param + (idle ? "|idle" : "|busy"));
  };
  control_->OnAcadCmdWait = [&](TAcadControl*) { ++waits; };
  control_->SetCmdSearch(csCMDLINE);
  for (int i = 0; i < 4; ++i) control_->TimerTick();
  acad->SetPrompt("Command: _line Specify first point: ");
  control_->TimerTick();
  acad->SetPrompt("ｺﾏﾝﾄﾞ: ");
  control_->TimerTick();
  EXPECT_EQ(seen, (std::vector<std::string>{"|idle", "_line Specify first point: |busy", "|idle"}));
  EXPECT_EQ(waits, 1);
  // Prompts far longer than the buffers held so far are read whole.
  const std::string longPrompt = std::string(6000, 'p') + "ｺﾏﾝﾄﾞ";
  acad->SetPrompt(longPrompt);
  EXPECT_EQ(control_->Attachment().ReadFramePrompt(), longPrompt);
  EXPECT_EQ(control_->Attachment().ReadBarPrompt(), longPrompt);
}

TEST_F(AcadControlTest, DialogReportedAfterItsNoticeWentRoundAndClosedOnRequest) {
  auto acad = Start();
  ASSERT_TRUE(control_->AttachAcad(acad->Main()));
  std::vector<std::string> reports;
  HWND dialog = nullptr;
  control_->OnAcadDialog = [&](TAcadControl*, HWND d, const std::string& caption, const std::string& text,
                               bool& close) {
    reports.push_back(caption + "|" + text + (d ? "" : "|none"));
    if (d) dialog = d;
    close = d != nullptr;
  };
  control_->CheckDialog();
  acad->OpenDialog("AutoCAD Message");
  control_->CheckDialog();
  control_->CheckDialog();  // the same dialog again is not news
  ASSERT_TRUE(testing::PumpUntil([&] { return reports.size() == 1 && !IsWindow(dialog); }, 10000));
  control_->CheckDialog();  // gone: reported as no dialog
  ASSERT_TRUE(testing::PumpUntil([&] { return reports.size() == 2; }, 10000));
  EXPECT_EQ(reports, (std::vector<std::string>{"AutoCAD Message|Drawing1.dwg was saved.", "||none"}));
}

TEST_F(AcadControlTest, AutomaticEnterAnswersOnTheBarPromptOfAutoCad2000) {
  auto acad = Start();
  ASSERT_TRUE(control_->AttachAcad(acad->Main()));
  control_->AutoEnter = true;
  std::vector<std::string> asked;
  control_->OnAcadEnterNext = [&](TAcadControl*, const std::string& prompt, bool& next) {
    asked.push_back(prompt);
    next = asked.size() == 1;  // the second time the handler declines
  };
  acad->SetPrompt("Press RETURN to continue:");
  control_->TimerTick();
  control_->TimerTick();  // answered prompts count as new again
  control_->TimerTick();
  EXPECT_EQ(asked, (std::vector<std::string>{"Press RETURN to continue:", "Press RETURN to continue:"}));
  EXPECT_EQ(testing::LoggedKeys(log_), (std::vector<std::string>{"bar 0d"}));
}

TEST_F(AcadControlTest, ActiveInstanceFollowedOnlyWhenAsked) {
  auto first = Start();
  control_->Loaded();  // attaches the AutoCAD running at load time
  ASSERT_EQ(control_->Attachment().MainWnd, first->Main());
  auto second = Start();
  SetForegroundWindow(second->Main());
  std::vector<std::pair<HWND, HWND>> changes;
  bool reload = false;
  control_->OnActiveChange = [&](TAcadControl*, HWND lost, HWND active, bool& reLoad) {
    changes.push_back({lost, active});
    EXPECT_FALSE(reLoad);  // AcadLocked
    reLoad = reload;
  };
  int count = 0;
  EXPECT_EQ(control_->FindActiveAcad(count), second->Main());
  EXPECT_EQ(count, 2);
  EXPECT_EQ(control_->Attachment().MainWnd, first->Main());  // locked: stays
  EXPECT_EQ(control_->FindActiveAcad(count), second->Main());
  reload = true;
  control_->SetEnabled(false);  // a restart forgets the active instance
  EXPECT_EQ(control_->FindActiveAcad(count), second->Main());
  EXPECT_EQ(control_->Attachment().MainWnd, second->Main());
  EXPECT_EQ(changes, (std::vector<std::pair<HWND, HWND>>{{first->Main(), second->Main()}, {nullptr, second->Main()}}));
}

TEST(AcadMessagePump, QuitTakenByPumpingIsPostedAgain) {
  SetAcadQuitFlag(false);
  PostQuitMessage(7);
  EXPECT_TRUE(ProcessPendingMessages());
  EXPECT_TRUE(AcadQuitFlag());
  MSG msg{};
  ASSERT_TRUE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.message, static_cast<UINT>(WM_QUIT));
  EXPECT_EQ(msg.wParam, 7u);
  EXPECT_FALSE(ProcessPendingMessages());
  SetAcadQuitFlag(false);
}

TEST_F(AcadControlTest, ExecuteStartsTheEditionAndAttaches) {
  control_->SetAcadType(atACAD2000);
  control_->ShellCmdLine = "--role 2000 --log \"" + log_ + "\"";
  ASSERT_TRUE(control_->ExecuteAcad());
  const HWND main = control_->Attachment().MainWnd;
  ASSERT_NE(main, nullptr);
  EXPECT_EQ(control_->AttachedAcadType(), atACAD2000);
  ASSERT_TRUE(control_->SendCommand("_OsMode 0\r", 0));
  ASSERT_TRUE(WaitFinished(1));
  EXPECT_EQ(testing::LoggedPayloads(log_), (std::vector<std::string>{std::string("_OsMode 0\r\0", 11)}));
  DWORD pid = 0;
  GetWindowThreadProcessId(main, &pid);
  control_.reset();
  HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid);
  ASSERT_NE(process, nullptr);
  TerminateProcess(process, 0);
  WaitForSingleObject(process, 10000);
  CloseHandle(process);
}

TEST_F(AcadControlTest, ExecuteFailsWhenTheProgramEndsBeforeItsWindows) {
  control_->SetAcadType(atACAD2000);
  control_->ShellCmdLine = "--exit-now";
  EXPECT_FALSE(control_->ExecuteAcad());
  EXPECT_EQ(control_->Attachment().MainWnd, nullptr);
  control_->SetAcadType(atACLT2002);  // not installed: nothing to start
  EXPECT_FALSE(control_->ExecuteAcad());
}

TEST_F(AcadControlTest, IntervalRestartsTheTimer) {
  control_->SetEnabled(true);
  EXPECT_TRUE(control_->TimerActive());
  control_->SetInterval(-5);
  EXPECT_EQ(control_->Interval(), 0);
  EXPECT_FALSE(control_->TimerActive());
  control_->SetInterval(500);
  EXPECT_TRUE(control_->TimerActive());
  control_->SetEnabled(false);
  EXPECT_FALSE(control_->TimerActive());
}

}  // namespace
}  // namespace qel

#include "acadlink/AcadCtrl_win.h"

#include <stdexcept>
#include <utility>

#include "acadlink/AcadUnit.h"
#include "acadlink/AcadUnit_win.h"
#include "win32/application.h"
#include "win32/text.h"

namespace qel {

namespace {

constexpr UINT_PTR kWatchTimerId = 1;
constexpr WPARAM kDialogNoticePasses = 50;
constexpr UINT kDeliveryStoppedMessage = WM_APP + 0x42;

std::string ProgramFolder() {
  wchar_t buf[MAX_PATH] = {};
  const DWORD n = GetModuleFileNameW(nullptr, buf, MAX_PATH);
  std::string path = win::Narrow(std::wstring_view(buf, n));
  const std::size_t slash = LastBackslash(path);
  return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

}  // namespace

// ======================= TAcadObject =======================

TAcadObject::TAcadObject() : Queue(std::make_unique<TAsyncCmdList>()) { ClearAttachment(); }

TAcadObject::~TAcadObject() { Queue.reset(); }

void TAcadObject::ClearAttachment() {
  MainWnd = MdiClientWnd = ViewWnd = ChildWnd = HostWnd = nullptr;
  FramePromptWnd = FrameInputWnd = BarPromptWnd = nullptr;
  Edition = 0;
  ChildList.Clear();
  ClearAcadWindows(Info);
}

bool TAcadObject::AttachWindow(HWND wnd) {
  if (!IsWindow(wnd)) {
    ClearAttachment();
    return false;
  }
  return AttachThread(GetWindowThreadProcessId(wnd, nullptr));
}

bool TAcadObject::AttachThread(DWORD threadId) {
  if (threadId == 0) return false;
  ClearAttachment();
  if (!FindAcadWindows(threadId, Info)) return false;
  MainWnd = Info.MainWnd;
  ViewWnd = Info.ViewWnd;
  ChildWnd = Info.ChildWnd;
  HostWnd = Info.HostWnd;
  FramePromptWnd = Info.FramePromptWnd;
  FrameInputWnd = Info.FrameInputWnd;
  BarPromptWnd = Info.BarPromptWnd;
  Edition = Info.Edition;
  MdiClientWnd = Info.MdiClientWnd;
  ChildList.items = Info.ChildList.items;
  return true;
}

bool TAcadObject::ChildChanged() {
  if (!IsWindow(MainWnd) || !IsWindow(MdiClientWnd)) return false;
  const HWND first = GetWindow(MdiClientWnd, GW_CHILD);
  if (first == ChildWnd) return false;
  RefreshWindows();
  return true;
}

int TAcadObject::RefreshWindows() {
  RefreshAcadWindows(Info);
  ViewWnd = Info.ViewWnd;
  ChildWnd = Info.ChildWnd;
  ChildList.items = Info.ChildList.items;
  return ChildList.Count();
}

HWND TAcadObject::RefreshDialog() {
  if (!IsWindow(MainWnd)) return nullptr;
  RefreshAcadWindows(Info);
  ViewWnd = Info.ViewWnd;
  return Info.DialogWnd;
}

bool TAcadObject::LaunchAcad(int edition, const std::string& cmdLine, int show, const std::string& workDir) {
  MarkAcadStarting(edition, true);
  PROCESS_INFORMATION pi{};
  if (!StartAcadProcess(edition, cmdLine, workDir, show, pi)) {
    MarkAcadStarting(edition, false);
    return false;
  }
  SetAcadQuitFlag(false);
  SetAcadCancelFlag(false);
  bool attached = false;
  try {
    const ULONGLONG limit = GetTickCount64() + kLaunchLimitMs;
    do {
      const DWORD rc = WaitForSingleObject(pi.hProcess, 300);
      if (rc == WAIT_FAILED) break;
      ProcessPendingMessages();
      attached = AttachThread(pi.dwThreadId);
      if (attached) {
        WaitAcadReady();
        break;
      }
      // A process that has ended will never show its windows.
      if (rc == WAIT_OBJECT_0) break;
      ProcessPendingMessages();
    } while (!AcadCancelFlag() && !AcadQuitFlag() && GetTickCount64() < limit);
  } catch (...) {
    attached = false;
  }
  SetAcadQuitFlag(false);
  SetAcadCancelFlag(false);
  MarkAcadStarting(edition, false);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return attached;
}

void TAcadObject::WaitAcadReady() { WaitAcadIdle(MainWnd); }

std::string TAcadObject::ReadFramePrompt() { return IsWindow(FramePromptWnd) ? ReadWindowText(FramePromptWnd, ReadBuffer) : ""; }
std::string TAcadObject::ReadFrameInput() { return IsWindow(FrameInputWnd) ? ReadWindowText(FrameInputWnd, ReadBuffer) : ""; }
std::string TAcadObject::ReadBarPrompt() { return IsWindow(BarPromptWnd) ? ReadWindowText(BarPromptWnd, ReadBuffer) : ""; }

bool TAcadObject::PostCommand(int sendNo, const std::string& text, TAsyncSendedProc onSended,
                              TAsyncSendingProc onSending) {
  if (!Queue) return false;
  try {
    return Queue->AddCommand(sendNo, MainWnd, std::move(onSended), std::move(onSending), CmdIdle, text,
                             FramePromptWnd);
  } catch (...) {
    return false;
  }
}

bool TAcadObject::SendKey(unsigned ch) {
  RefreshAcadWindows(Info);
  ViewWnd = Info.ViewWnd;
  if (!IsWindow(MainWnd) || !IsWindow(ViewWnd)) return false;
  const HWND target = (Edition == 4 || Edition == 9) ? BarPromptWnd : ViewWnd;
  const bool ok = IsWindow(target) && PostCharMessage(target, ch);
  for (int i = 0; i < 4; ++i) PumpAndWaitIdle(MainWnd);
  return ok;
}

// ======================= TAcadControl =======================

UINT TAcadControl::DelayMessage() {
  static const UINT message = RegisterWindowMessageW(L"CM_ATOOLDELAYMESSAGE");
  return message;
}

TAcadControl::TAcadControl(bool designMode) : designMode_(designMode) {
  SetAcadSharedPath(ProgramFolder());
  object_ = std::make_unique<TAcadObject>();
  // The stop is noticed inside a delivery step; the owner hears of it from
  // the message loop, where it may show a message box.
  object_->Queue->OnStopped = [this](TAcadDeliveryStop reason, const std::vector<std::string>& delivered,
                                     const std::vector<std::string>& undelivered) {
    stoppedJobs_.push_back({reason, delivered, undelivered});
    if (hidden_) PostMessageW(hidden_, kDeliveryStoppedMessage, 0, 0);
  };
  acadType_ = FindInstalledAclt();
  if (acadType_ == atNOACAD) acadType_ = FindInstalledAcad();
  if (acadType_ == atNOACAD) acadType_ = atACLT95;
  ResetWatch();

  static const wchar_t* kClass = L"QelAcadControlWindow";
  static bool registered = false;
  if (!registered) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = HiddenWndProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = kClass;
    registered = RegisterClassW(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
  }
  DelayMessage();
  hidden_ = CreateWindowExW(0, kClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, GetModuleHandleW(nullptr), nullptr);
  if (hidden_) SetWindowLongPtrW(hidden_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

TAcadControl::~TAcadControl() {
  destroying_ = true;
  enabled_ = false;
  UpdateTimer();
  if (hidden_) {
    SetWindowLongPtrW(hidden_, GWLP_USERDATA, 0);
    DestroyWindow(hidden_);
    hidden_ = nullptr;
  }
  object_.reset();
}

void TAcadControl::Loaded() {
  if (!designMode_) UpdateTimer();
  AttachAcad(ActiveAcadWindow());
}

void TAcadControl::ResetWatch() {
  lastDialog_ = nullptr;
  lastCmdEnabled_ = true;
  watch_.Reset();
  if (!destroying_ && object_) object_->ChildList.Clear();
}

void TAcadControl::UpdateTimer() {
  activeWindow_ = nullptr;
  ResetWatch();
  if (timerActive_ && hidden_) KillTimer(hidden_, kWatchTimerId);
  timerActive_ = false;
  phase_ = false;
  if (designMode_ || interval_ == 0 || !enabled_) return;
  if (!hidden_ || !SetTimer(hidden_, kWatchTimerId, static_cast<UINT>(WatchTimerPeriod(interval_)), nullptr))
    throw std::runtime_error("Do not Create Timer.");
  timerActive_ = true;
}

LRESULT CALLBACK TAcadControl::HiddenWndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  auto* self = reinterpret_cast<TAcadControl*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (self) return self->HandleMessage(msg, wp, lp);
  return DefWindowProcW(hwnd, msg, wp, lp);
}

LRESULT TAcadControl::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  if (destroying_) return 0;
  if (msg == WM_TIMER && wp == kWatchTimerId) {
    if (inTimer_ || launching_) return 0;
    inTimer_ = true;
    win::Application::Instance().Guarded([this] {
      CheckChildChange();
      TimerTick();
    });
    inTimer_ = false;
    return 0;
  }
  if (msg == kDeliveryStoppedMessage) {
    for (const StoppedJob& job : std::exchange(stoppedJobs_, {})) {
      if (OnDeliveryAborted)
        win::Application::Instance().Guarded([&] { OnDeliveryAborted(this, job.reason, job.delivered, job.undelivered); });
    }
    return 0;
  }
  if (msg == DelayMessage()) {
    if (static_cast<LONG_PTR>(wp) <= 0) {
      win::Application::Instance().Guarded([this, lp] { DoAcadDialog(reinterpret_cast<HWND>(lp)); });
    } else {
      Sleep(1);
      PostMessageW(hidden_, DelayMessage(), wp - 1, lp);
    }
    return 0;
  }
  return DefWindowProcW(hidden_, msg, wp, lp);
}

void TAcadControl::TimerTick() {
  if (destroying_) return;
  TAcadObject& obj = *object_;
  if (cmdSearch_ != csNOCHECK) {
    const bool active = CheckCmdActive();
    PromptWatch::Listeners l;
    l.cmdChange = static_cast<bool>(OnAcadCmdChange);
    l.cmdWait = static_cast<bool>(OnAcadCmdWait);
    l.waitMessage = static_cast<bool>(OnWaitMessage);
    l.autoEnter = AutoEnter;
    if (active && PromptWatch::Wanted(l)) {
      const std::string p = obj.ReadFramePrompt();
      const std::string b = obj.ReadBarPrompt();
      const PromptWatch::Decision d =
          watch_.Tick(p, b, l, cmdSearch_, phase_, waitMessage_, [&obj] { return obj.ReadFrameInput(); });
      if (d.raiseCmdChange && OnAcadCmdChange) OnAcadCmdChange(this, d.param, d.idle);
      if (d.raiseCmdWait && OnAcadCmdWait) OnAcadCmdWait(this);
      if (d.raiseWaitMessage && OnWaitMessage) OnWaitMessage(this, d.param, d.idle);
      if (d.answerEnter) {
        bool nextEnter = true;
        if (OnAcadEnterNext) OnAcadEnterNext(this, p, nextEnter);
        if (nextEnter) {
          obj.SendKey(13);
          watch_.ForgetPrompt();  // the next prompt counts as a change
        }
      }
    }
  }
  const bool wasPhase = phase_;
  phase_ = !phase_;
  if (!wasPhase) return;
  int count = 0;
  FindActiveAcad(count);
  CheckDialog();
  if (ProIndex != 0 && onProcessLoop_) onProcessLoop_(this, ProIndex);
  if (onTimer_) onTimer_(this);
  if (obj.MainWnd && !IsWindow(obj.MainWnd)) {
    if (OnAcadClose) OnAcadClose(this);
    if (!IsWindow(obj.MainWnd)) obj.ClearAttachment();
  }
}

HWND TAcadControl::FindActiveAcad(int& count) {
  if (destroying_) return nullptr;
  TAcadRunIndex& index = AcadRunIndex();
  count = EnumRunningAcad(index);
  const HWND old = activeWindow_;
  activeWindow_ = index.ActiveWnd;
  bool reLoad = IsWindow(activeWindow_) && !AcadLocked;
  auto follow = [&] {
    if (reLoad && IsWindow(activeWindow_) && activeWindow_ != object_->HostWnd) AttachAcad(activeWindow_);
  };
  if (OnActiveChange && old != activeWindow_) {
    try {
      OnActiveChange(this, old, activeWindow_, reLoad);
    } catch (...) {
      follow();
      throw;
    }
  }
  follow();
  return activeWindow_;
}

void TAcadControl::CheckDialog() {
  if (destroying_ || !IsWindow(object_->MainWnd) || !OnAcadDialog) return;
  const HWND d = object_->RefreshDialog();
  if (d == lastDialog_) return;
  lastDialog_ = d;
  PostMessageW(hidden_, DelayMessage(), kDialogNoticePasses, reinterpret_cast<LPARAM>(d));
}

void TAcadControl::DoAcadDialog(HWND dialog) {
  if (destroying_ || !OnAcadDialog) return;
  const std::string caption = IsWindow(dialog) ? WindowTitle(dialog, 255) : std::string();
  const HWND label = FindChildWindow(dialog, "", "*Static");
  const std::string controlText = label ? WindowTitle(label, 255) : std::string();
  bool dialogClose = false;
  auto close = [&] {
    if (dialogClose && IsWindow(dialog)) {
      object_->WaitAcadReady();
      SendNotifyMessageW(dialog, WM_CLOSE, 0, 0);
      object_->WaitAcadReady();
    }
  };
  try {
    OnAcadDialog(this, dialog, caption, controlText, dialogClose);
  } catch (...) {
    close();
    throw;
  }
  close();
}

bool TAcadControl::CheckCmdActive() {
  if (destroying_ || !IsWindow(object_->MainWnd)) return false;
  const bool enabled = IsCmdEnabled();
  if (enabled != lastCmdEnabled_) {
    lastCmdEnabled_ = enabled;
    if (lastDialog_) CheckDialog();
    try {
      if (OnAcadCmdActive) OnAcadCmdActive(this, enabled);
    } catch (...) {
    }
  }
  return enabled;
}

void TAcadControl::CheckChildChange() {
  if (destroying_ || !IsProfileEdition(object_->Edition)) return;
  if (object_->ChildChanged() && OnChildChange) OnChildChange(this, object_->ChildWnd);
}

bool TAcadControl::AttachAcad(HWND wnd) {
  if (destroying_) return false;
  TAcadObject& obj = *object_;
  if (obj.MainWnd && IsWindow(wnd)) {
    const DWORD attached = GetWindowThreadProcessId(obj.MainWnd, nullptr);
    if (attached != 0 && attached == GetWindowThreadProcessId(wnd, nullptr)) return true;
  }
  ResetWatch();
  if (!obj.AttachWindow(wnd) || AttachedAcadType() == atNOACAD) return false;
  if (LoadAcadType) acadType_ = AttachedAcadType();
  if (OnAcadLoaded) OnAcadLoaded(this);
  return true;
}

HWND TAcadControl::ActiveAcadWindow() {
  int count = 0;
  return FindActiveAcad(count);
}

bool TAcadControl::IsCmdEnabled() {
  if (destroying_) return false;
  CheckChildChange();
  return IsWindow(object_->MainWnd) && IsWindowEnabled(object_->MainWnd);
}

TAcadType TAcadControl::AttachedAcadType() {
  if (destroying_) return atNOACAD;
  return AcadTypeOfEdition(object_->Edition);
}

bool TAcadControl::SendCommand(const std::string& cmdStr, int sendNo) {
  if (destroying_ || cmdStr.empty()) return false;
  CheckChildChange();
  if (!object_->MainWnd) return false;
  const bool queued = object_->PostCommand(
      sendNo, cmdStr,
      [this](TAcadCmdThread*, int no, HWND target, bool result) {
        if (destroying_) return;
        try {
          if (OnAsyncSended) OnAsyncSended(this, no, target, result);
        } catch (...) {
        }
      },
      [this](TAcadCmdThread*, int no, HWND target, bool) {
        if (destroying_) return;
        try {
          if (OnAsyncSending) OnAsyncSending(this, no, target);
        } catch (...) {
        }
      });
  win::Application::Instance().ProcessMessages();
  return queued;
}

bool TAcadControl::ExecuteAcad() {
  launching_ = true;
  bool launched = false;
  auto launcher = std::make_unique<TAcadObject>();
  {
    const win::WaitCursor busy;
    win::Application::Instance().ProcessMessages();
    try {
      launched = launcher->LaunchAcad(EditionOfAcadType(acadType_), ShellCmdLine, ShowCodeOf(ShellState), "");
    } catch (...) {
      launched = false;
    }
  }
  win::Application::Instance().ProcessMessages();
  launching_ = false;
  if (launched) AttachAcad(launcher->MainWnd);
  return launched;
}

bool TAcadControl::GetSDIMode() { return GetAcadSDIMode(EditionOfAcadType(acadType_)); }
void TAcadControl::SetSDIMode(bool value) { SetAcadSDIMode(EditionOfAcadType(acadType_), value); }
bool TAcadControl::IsInstalled() { return IsAcadInstalled(EditionOfAcadType(acadType_)); }
bool TAcadControl::CanExecute() { return CanExecuteAcad(EditionOfAcadType(acadType_)); }
std::string TAcadControl::GetAcadTypeName() { return GetAcadEditionName(EditionOfAcadType(acadType_)); }
TAcadType TAcadControl::AcadTypeFromName(const std::string& name) {
  return AcadTypeOfEdition(AcadEditionFromName(name));
}

TAcadType TAcadControl::FindInstalledAclt() {
  for (TAcadType t : {atACLT2002, atACLT2000i, atACLT2000, atACLT98, atACLT97, atACLT95})
    if (IsAcadInstalled(EditionOfAcadType(t))) return t;
  return atNOACAD;
}

TAcadType TAcadControl::FindInstalledAcad() {
  for (TAcadType t : {atACAD2002, atACAD2000i, atACAD2000, atACAD14, atACAD13})
    if (IsAcadInstalled(EditionOfAcadType(t))) return t;
  return atNOACAD;
}

void TAcadControl::SetEnabled(bool value) {
  enabled_ = value;
  UpdateTimer();
}

void TAcadControl::SetInterval(int value) {
  const int stored = StoredInterval(value);
  if (stored == interval_) return;
  interval_ = stored;
  UpdateTimer();
}

void TAcadControl::SetCmdSearch(TCmdSearch value) {
  cmdSearch_ = value;
  watch_.ForgetTexts();
}

void TAcadControl::SetWaitMessage(const std::string& value) {
  waitMessage_ = value;
  watch_.ForgetWaitMessage();
}

bool TAcadControl::CmdIdle() const { return !destroying_ && object_ && object_->CmdIdle; }

void TAcadControl::SetCmdIdle(bool value) {
  if (!destroying_ && object_) object_->CmdIdle = value;
}

void TAcadControl::SetOnProcessLoop(ProcessLoopEvent handler) {
  onProcessLoop_ = std::move(handler);
  UpdateTimer();
}

void TAcadControl::SetOnTimer(NotifyEvent handler) {
  onTimer_ = std::move(handler);
  UpdateTimer();
}

}  // namespace qel

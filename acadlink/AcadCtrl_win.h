#pragma once
// TAcadControl: the AutoCAD link component. It attaches to one running
// AutoCAD (held by a TAcadObject), queues command texts for it, answers
// edition questions for the edition chosen by AcadType, and - while its
// timer runs - watches the attached instance and reports through events.
// Construct it on the user-interface thread, set the properties the form
// stores, then call Loaded(). Windows only.
#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "acadlink/AcadCmd_win.h"
#include "acadlink/AcadCtrl.h"
#include "acadlink/AcadFunc_win.h"
#include "acadlink/AcadLinkApi.h"
#include "acadlink/AcadVInf_win.h"

namespace qel {

// One attachment to an AutoCAD instance: its windows, its edition, and the
// command queue that delivers to it.
class TAcadObject {
 public:
  TAcadObject();
  ~TAcadObject();  // stops the delivery thread; undelivered commands are dropped
  TAcadObject(const TAcadObject&) = delete;
  TAcadObject& operator=(const TAcadObject&) = delete;

  void ClearAttachment();
  bool AttachWindow(HWND wnd);
  bool AttachThread(DWORD threadId);
  bool ChildChanged();
  int RefreshWindows();
  HWND RefreshDialog();
  // Starts the edition and waits until its windows are found; false when it
  // cannot be started, when the process ends first, or after kLaunchLimitMs.
  bool LaunchAcad(int edition, const std::string& cmdLine, int show, const std::string& workDir);
  void WaitAcadReady();
  std::string ReadFramePrompt();
  std::string ReadFrameInput();
  std::string ReadBarPrompt();
  bool PostCommand(int sendNo, const std::string& text, TAsyncSendedProc onSended, TAsyncSendingProc onSending);
  bool SendKey(unsigned ch);

  static constexpr DWORD kLaunchLimitMs = 180000;

  HWND MainWnd = nullptr;
  int Edition = 0;
  HWND MdiClientWnd = nullptr;
  HWND ViewWnd = nullptr;
  HWND ChildWnd = nullptr;
  HWND HostWnd = nullptr;
  HWND FramePromptWnd = nullptr;
  HWND FrameInputWnd = nullptr;
  HWND BarPromptWnd = nullptr;
  TWindowList ChildList;
  TAcadWindowInfo Info;
  bool CmdIdle = false;
  TextBuffer ReadBuffer;
  std::unique_ptr<TAsyncCmdList> Queue;
};

class TAcadControl : public AcadLinkApi {
 public:
  explicit TAcadControl(bool designMode = false);
  ~TAcadControl() override;
  TAcadControl(const TAcadControl&) = delete;
  TAcadControl& operator=(const TAcadControl&) = delete;

  // After the form's properties are set: starts the timer and attaches to
  // the AutoCAD that is active on the desktop, if any.
  void Loaded();

  // ---- AcadLinkApi ----
  bool SendCommand(const std::string& cmdStr, int sendNo) override;
  bool GetSDIMode() override;
  bool ExecuteAcad() override;
  void SetSDIMode(bool value) override;
  bool Enabled() override { return enabled_; }
  void SetEnabled(bool value) override;
  TAcadType AcadType() override { return acadType_; }
  void SetAcadType(TAcadType value) override { acadType_ = value; }
  TAcadType MinAcadType() override { return atACLT95; }
  TAcadType MaxAcadType() override { return atACAD2002; }
  std::string GetAcadTypeName() override;
  TAcadType AcadTypeFromName(const std::string& name) override;
  TAcadType FindInstalledAclt() override;
  TAcadType FindInstalledAcad() override;
  bool IsInstalled() override;
  bool CanExecute() override;

  // ---- further operations ----
  bool AttachAcad(HWND wnd);
  HWND ActiveAcadWindow();
  bool IsCmdEnabled();
  TAcadType AttachedAcadType();
  virtual HWND FindActiveAcad(int& count);
  virtual void CheckDialog();
  virtual void DoAcadDialog(HWND dialog);
  virtual bool CheckCmdActive();
  virtual void TimerTick();
  void CheckChildChange();

  // ---- properties with side effects ----
  int Interval() const { return interval_; }
  void SetInterval(int value);
  TCmdSearch CmdSearch() const { return cmdSearch_; }
  void SetCmdSearch(TCmdSearch value);
  const std::string& WaitMessage() const { return waitMessage_; }
  void SetWaitMessage(const std::string& value);
  bool CmdIdle() const;
  void SetCmdIdle(bool value);

  // ---- properties that are stored only, or read where they act ----
  TAttOutType AttOutType = atCDFOUT;
  std::string AttTempFile;
  std::string AttOutFile;
  bool DxfBinary = false;
  TDxfVersion DxfVersion = dvDXFNA;
  std::string DxfFile;
  bool InterMode = true;
  bool AcadLocked = true;
  bool LoadAcadType = true;
  TShowState ShellState = ssNORMAL;
  std::string ShellCmdLine;
  std::string ScriptFile;
  std::string SelAddCmd;
  bool MDILock = true;
  int ProIndex = 0;
  bool AutoEnter = false;

  // ---- events (sender first) ----
  std::function<void(TAcadControl*, HWND lostWnd, HWND activeWnd, bool& reLoad)> OnActiveChange;
  std::function<void(TAcadControl*)> OnAcadClose;
  std::function<void(TAcadControl*, bool cmdEnabled)> OnAcadCmdActive;
  std::function<void(TAcadControl*, const std::string& cmdParam, bool cmdWait)> OnAcadCmdChange;
  std::function<void(TAcadControl*)> OnAcadCmdWait;
  std::function<void(TAcadControl*, const std::string& cmdMessage, bool& nextEnter)> OnAcadEnterNext;
  std::function<void(TAcadControl*, int sendNo, HWND target)> OnAsyncSending;
  std::function<void(TAcadControl*, int sendNo, HWND target, bool resulted)> OnAsyncSended;
  std::function<void(TAcadControl*, HWND dialog, const std::string& caption, const std::string& controlText,
                     bool& dialogClose)>
      OnAcadDialog;
  std::function<void(TAcadControl*)> OnAcadLoaded;
  std::function<void(TAcadControl*, HWND newWindow)> OnChildChange;
  std::function<void(TAcadControl*, int callId, bool& nextExecute)> OnUserWaitFirst;  // never raised
  std::function<void(TAcadControl*, int callId, const std::string& cmdStr, bool& resultMode)>
      OnUserWaitNext;  // never raised
  std::function<void(TAcadControl*, const std::string& cmdParam, bool cmdWait)> OnWaitMessage;
  // Raised once, from this thread's message loop, when the attached AutoCAD
  // stopped answering past the reply limit or went away in the middle of a
  // job: the job's remaining commands were dropped and nothing more is
  // typed. `delivered` holds the texts of that job that reached AutoCAD,
  // `undelivered` the one that stopped and those dropped after it.
  std::function<void(TAcadControl*, TAcadDeliveryStop reason, const std::vector<std::string>& delivered,
                     const std::vector<std::string>& undelivered)>
      OnDeliveryAborted;
  using ProcessLoopEvent = std::function<void(TAcadControl*, int& proIndex)>;
  using NotifyEvent = std::function<void(TAcadControl*)>;
  const ProcessLoopEvent& OnProcessLoop() const { return onProcessLoop_; }
  void SetOnProcessLoop(ProcessLoopEvent handler);
  const NotifyEvent& OnTimer() const { return onTimer_; }
  void SetOnTimer(NotifyEvent handler);

  // ---- for the owner and tests ----
  TAcadObject& Attachment() { return *object_; }
  HWND MessageWindow() const { return hidden_; }
  bool TimerActive() const { return timerActive_; }
  // The registered message a dialog notice travels with.
  static UINT DelayMessage();

 private:
  static LRESULT CALLBACK HiddenWndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp);
  void UpdateTimer();
  void ResetWatch();

  bool designMode_;
  std::unique_ptr<TAcadObject> object_;
  HWND hidden_ = nullptr;
  bool destroying_ = false;
  bool launching_ = false;
  bool inTimer_ = false;
  bool timerActive_ = false;
  bool phase_ = false;
  PromptWatch watch_;
  HWND lastDialog_ = nullptr;
  bool lastCmdEnabled_ = true;
  HWND activeWindow_ = nullptr;
  struct StoppedJob {
    TAcadDeliveryStop reason;
    std::vector<std::string> delivered;
    std::vector<std::string> undelivered;
  };
  std::vector<StoppedJob> stoppedJobs_;

  bool enabled_ = true;
  int interval_ = 500;
  TAcadType acadType_ = atACLT95;
  TCmdSearch cmdSearch_ = csALLCHECK;
  std::string waitMessage_;
  ProcessLoopEvent onProcessLoop_;
  NotifyEvent onTimer_;
};

}  // namespace qel

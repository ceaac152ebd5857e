#pragma once
// The command queue of an attachment and its delivery thread: commands are
// taken first in, first out, one per 100 ms cycle; the steps before and
// after each delivery run on the thread that owns the queue (the main
// thread) while the delivery thread waits. Windows only.
#include <windows.h>

#include <atomic>
#include <functional>
#include <string>
#include <vector>

#include "acadlink/AcadFunc_win.h"

namespace qel {

class TAcadCmdThread;

using TAsyncSendingProc = std::function<void(TAcadCmdThread* sender, int sendNo, HWND target, bool targetExists)>;
using TAsyncSendedProc = std::function<void(TAcadCmdThread* sender, int sendNo, HWND target, bool result)>;

struct TAsyncCmdItem {
  int SendNo = 0;
  HWND Target = nullptr;
  HWND PromptWnd = nullptr;
  std::string Text;
  bool LineMode = false;
  TAsyncSendingProc OnSending;
  TAsyncSendedProc OnSended;
};

class TAsyncCmdList;

class TAcadCmdThread {
 public:
  using Hook = void (TAsyncCmdList::*)(TAcadCmdThread*);
  // Starts the thread at once.
  TAcadCmdThread(TAsyncCmdList* list, Hook before, Hook after);
  ~TAcadCmdThread();  // tells the thread to end and waits for it
  TAcadCmdThread(const TAcadCmdThread&) = delete;
  TAcadCmdThread& operator=(const TAcadCmdThread&) = delete;

  bool Started() const { return handle_ != nullptr; }
  // True once the body has left its loop (told to, or by an exception).
  bool Ended() const;
  void Terminate();
  // Waits for the end while serving the hooks the thread may be waiting
  // for; every wait inside a cycle is bounded, so this ends.
  void WaitFor();

  // The command being delivered and its copy; written only by the hooks
  // on the owning thread while the delivery thread waits.
  TAsyncCmdItem* Current = nullptr;
  TAsyncCmdItem Copy;
  bool Result = false;
  // Why the last delivery stopped short (None when it did not).
  TAcadDeliveryStop Stop = TAcadDeliveryStop::None;

 private:
  static DWORD WINAPI ThreadProc(void* self);
  void Execute();
  void Synchronize(Hook hook);

  TAsyncCmdList* list_;
  Hook before_;
  Hook after_;
  HANDLE handle_ = nullptr;
  HANDLE stop_ = nullptr;
  std::atomic<bool> terminated_{false};
  TextBuffer sendBuffer_;
};

class TAsyncCmdList {
 public:
  TAsyncCmdList();  // on the thread that will run the hooks
  ~TAsyncCmdList();
  TAsyncCmdList(const TAsyncCmdList&) = delete;
  TAsyncCmdList& operator=(const TAsyncCmdList&) = delete;

  bool AddCommand(int sendNo, HWND target, TAsyncSendedProc onSended, TAsyncSendingProc onSending, bool lineMode,
                  const std::string& text, HWND promptWnd);
  void ClearCommands();
  int IndexOfCommand(const TAsyncCmdItem* item);
  int RemoveCommand(const TAsyncCmdItem* item);
  void BeforeSend(TAcadCmdThread* thread);
  void AfterSend(TAcadCmdThread* thread);

  // The queued items in order (a copy of the pointers, under the lock).
  std::vector<TAsyncCmdItem*> Snapshot();

  // Raised on the owning thread when a delivery stopped because AutoCAD
  // went away or stopped answering: the queue has been cleared by then.
  // `delivered` holds the texts delivered since the queue last ran empty
  // (the job the stop cut short), `undelivered` the text that stopped and
  // those dropped after it, each oldest first.
  using StoppedEvent = std::function<void(TAcadDeliveryStop reason, const std::vector<std::string>& delivered,
                                          const std::vector<std::string>& undelivered)>;
  StoppedEvent OnStopped;
  TAcadCmdThread* Thread() const { return thread_; }
  // The window that runs the hooks on the owning thread.
  HWND SyncWindow() const { return syncWnd_; }

 private:
  std::vector<TAsyncCmdItem*> items_;
  TAcadCmdThread* thread_ = nullptr;
  CRITICAL_SECTION lock_;
  HWND syncWnd_ = nullptr;
  bool closing_ = false;
  std::vector<std::string> delivered_;
};

}  // namespace qel

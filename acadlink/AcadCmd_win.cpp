#include "acadlink/AcadCmd_win.h"

#include <algorithm>
#include <utility>

namespace qel {

namespace {

constexpr UINT kRunHookMessage = WM_APP + 0x41;
constexpr DWORD kCycleMs = 100;

struct HookCall {
  TAsyncCmdList* list;
  TAcadCmdThread* thread;
  TAcadCmdThread::Hook hook;
};

LRESULT CALLBACK SyncWndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == kRunHookMessage) {
    auto* call = reinterpret_cast<HookCall*>(lp);
    (call->list->*(call->hook))(call->thread);
    return 1;
  }
  return DefWindowProcW(hwnd, msg, wp, lp);
}

HWND CreateSyncWindow() {
  static const wchar_t* kClass = L"QelAcadCmdSync";
  static bool registered = false;
  if (!registered) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = SyncWndProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = kClass;
    registered = RegisterClassW(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
  }
  return CreateWindowExW(0, kClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, GetModuleHandleW(nullptr), nullptr);
}

class Locked {
 public:
  explicit Locked(CRITICAL_SECTION& cs) : cs_(cs) { EnterCriticalSection(&cs_); }
  ~Locked() { LeaveCriticalSection(&cs_); }
  Locked(const Locked&) = delete;
  Locked& operator=(const Locked&) = delete;

 private:
  CRITICAL_SECTION& cs_;
};

}  // namespace

// ---- TAcadCmdThread ----

TAcadCmdThread::TAcadCmdThread(TAsyncCmdList* list, Hook before, Hook after)
    : list_(list), before_(before), after_(after) {
  stop_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  if (stop_) handle_ = CreateThread(nullptr, 0, ThreadProc, this, 0, nullptr);
}

TAcadCmdThread::~TAcadCmdThread() {
  Terminate();
  WaitFor();
  if (handle_) CloseHandle(handle_);
  if (stop_) CloseHandle(stop_);
}

bool TAcadCmdThread::Ended() const { return !handle_ || WaitForSingleObject(handle_, 0) == WAIT_OBJECT_0; }

void TAcadCmdThread::Terminate() {
  terminated_ = true;
  if (stop_) SetEvent(stop_);
}

void TAcadCmdThread::WaitFor() {
  if (!handle_) return;
  for (;;) {
    const DWORD rc = MsgWaitForMultipleObjects(1, &handle_, FALSE, INFINITE, QS_SENDMESSAGE);
    if (rc != WAIT_OBJECT_0 + 1) break;
    // Serve a hook the thread is waiting for; nothing else is taken.
    MSG msg;
    PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
  }
}

DWORD WINAPI TAcadCmdThread::ThreadProc(void* self) {
  static_cast<TAcadCmdThread*>(self)->Execute();
  return 0;
}

void TAcadCmdThread::Synchronize(Hook hook) {
  HookCall call{list_, this, hook};
  // Blocks until the owning thread has run the hook.
  SendMessageW(list_->SyncWindow(), kRunHookMessage, 0, reinterpret_cast<LPARAM>(&call));
}

void TAcadCmdThread::Execute() {
  try {
    while (!terminated_) {
      WaitForSingleObject(stop_, kCycleMs);
      if (terminated_) break;
      if (Current) {
        Synchronize(before_);
        if (Current && !terminated_) {
          TDeliveryControl control;
          control.cancel = &terminated_;
          Result = SendCommandText(Copy.Target, Copy.PromptWnd, Copy.Text, sendBuffer_, Copy.LineMode, &control);
          Stop = control.stop;
        }
      }
      Synchronize(after_);
    }
  } catch (...) {
    // An exception ends the thread; the next queued command starts a new one.
  }
  sendBuffer_.Free();
}

// ---- TAsyncCmdList ----

TAsyncCmdList::TAsyncCmdList() {
  InitializeCriticalSection(&lock_);
  syncWnd_ = CreateSyncWindow();
}

TAsyncCmdList::~TAsyncCmdList() {
  closing_ = true;
  delete thread_;  // ends after its current cycle
  thread_ = nullptr;
  ClearCommands();
  if (syncWnd_) DestroyWindow(syncWnd_);
  DeleteCriticalSection(&lock_);
}

bool TAsyncCmdList::AddCommand(int sendNo, HWND target, TAsyncSendedProc onSended, TAsyncSendingProc onSending,
                               bool lineMode, const std::string& text, HWND promptWnd) {
  try {
    if (!target || !IsWindow(target) || !promptWnd || text.empty() || !syncWnd_) return false;
    auto* item = new TAsyncCmdItem{sendNo, target, promptWnd, text, lineMode, std::move(onSending),
                                   std::move(onSended)};
    {
      Locked guard(lock_);
      try {
        // A command queued while nothing is waiting begins a new job.
        if (items_.empty()) delivered_.clear();
        items_.push_back(item);
      } catch (...) {
        delete item;
        return false;
      }
    }
    if (thread_ && thread_->Ended()) {
      // The previous thread ended through an exception: start again.
      delete thread_;
      thread_ = nullptr;
    }
    // The thread exists before anything below can let a handler in: a
    // command queued by that handler then finds it instead of starting a
    // second thread over the same queue.
    if (!thread_) thread_ = new TAcadCmdThread(this, &TAsyncCmdList::BeforeSend, &TAsyncCmdList::AfterSend);
    ProcessPendingMessages();
    return thread_ && thread_->Started();
  } catch (...) {
    return false;
  }
}

void TAsyncCmdList::ClearCommands() {
  Locked guard(lock_);
  for (TAsyncCmdItem* item : items_) delete item;
  items_.clear();
}

int TAsyncCmdList::IndexOfCommand(const TAsyncCmdItem* item) {
  if (!item) return -1;
  Locked guard(lock_);
  const auto it = std::find(items_.begin(), items_.end(), item);
  return it == items_.end() ? -1 : static_cast<int>(it - items_.begin());
}

int TAsyncCmdList::RemoveCommand(const TAsyncCmdItem* item) {
  if (!item) return -1;
  Locked guard(lock_);
  const auto it = std::find(items_.begin(), items_.end(), item);
  if (it == items_.end()) return -1;
  const int index = static_cast<int>(it - items_.begin());
  delete *it;
  items_.erase(it);
  return index;
}

std::vector<TAsyncCmdItem*> TAsyncCmdList::Snapshot() {
  Locked guard(lock_);
  return items_;
}

void TAsyncCmdList::BeforeSend(TAcadCmdThread* thread) {
  if (closing_) {
    thread->Current = nullptr;  // the queue is going away: deliver nothing more
    return;
  }
  if (!thread->Current) return;
  try {
    if (IndexOfCommand(thread->Current) >= 0) {
      const TAsyncCmdItem& c = thread->Copy;
      if (c.OnSending) c.OnSending(thread, c.SendNo, c.Target, IsWindow(c.Target) != FALSE);
    } else {
      // Removed or cleared before delivery: cancelled without an event.
      thread->Current = nullptr;
    }
  } catch (...) {
  }
}

void TAsyncCmdList::AfterSend(TAcadCmdThread* thread) {
  if (closing_) return;
  try {
    if (thread->Current) {
      RemoveCommand(thread->Current);
      thread->Current = nullptr;
      // The event may queue or remove commands: it gets the copy, which the
      // thread no longer holds.
      const TAsyncCmdItem done = std::exchange(thread->Copy, TAsyncCmdItem{});
      const bool result = std::exchange(thread->Result, false);
      const TAcadDeliveryStop stop = std::exchange(thread->Stop, TAcadDeliveryStop::None);
      if (result) delivered_.push_back(done.Text);
      try {
        if (done.OnSended) done.OnSended(thread, done.SendNo, done.Target, result);
      } catch (...) {
      }
      if (stop == TAcadDeliveryStop::NoAnswer || stop == TAcadDeliveryStop::TargetGone) {
        // The rest of the job would go to an AutoCAD that is gone or not
        // listening, or arrive later with this text missing: type nothing
        // more, and let the owner tell the user once.
        std::vector<std::string> undelivered;
        if (!result) undelivered.push_back(done.Text);
        for (const TAsyncCmdItem* item : Snapshot())
          if (item) undelivered.push_back(item->Text);
        ClearCommands();
        thread->Current = nullptr;
        const std::vector<std::string> delivered = std::exchange(delivered_, {});
        try {
          if (OnStopped) OnStopped(stop, delivered, undelivered);
        } catch (...) {
        }
        return;
      }
    }
    Locked guard(lock_);
    while (!items_.empty() && !items_.front()) items_.erase(items_.begin());
    if (!items_.empty()) {
      TAsyncCmdItem* item = items_.front();
      thread->Current = item;
      thread->Copy = *item;
      thread->Result = false;
    }
  } catch (...) {
  }
}

}  // namespace qel

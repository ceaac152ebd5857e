#pragma once
// Drives windows from a test the way a person or an outside tool would:
// finds them by class and caption, clicks, chooses, types, and answers the
// modal dialogs a command opens. It works on windows of this process (from
// a helper thread while the window's thread sits in a modal loop) and of
// another process alike. Every wait has a time limit, and nothing is left
// open: a dialog nobody expected is cancelled so that no test hangs.
#include <windows.h>

#include <atomic>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "win32/text.h"

namespace qel::testing {

constexpr DWORD kWaitMs = 10000;

// Polls until `done` or the time is up, handling this thread's messages
// meanwhile so that its own windows stay responsive.
inline bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs = kWaitMs) {
  const DWORD start = GetTickCount();
  for (;;) {
    if (done()) return true;
    if (GetTickCount() - start > timeoutMs) return false;
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    Sleep(10);
  }
}

inline std::wstring ClassOf(HWND hwnd) {
  wchar_t buf[256] = {};
  GetClassNameW(hwnd, buf, 256);
  return buf;
}

// The window's text by WM_GETTEXT, which crosses threads and processes.
inline std::string TextOf(HWND hwnd) {
  DWORD_PTR len = 0;
  if (!SendMessageTimeoutW(hwnd, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 2000, &len)) return {};
  std::wstring buf(static_cast<std::size_t>(len) + 1, L'\0');
  DWORD_PTR got = 0;
  SendMessageTimeoutW(hwnd, WM_GETTEXT, buf.size(), reinterpret_cast<LPARAM>(buf.data()), SMTO_ABORTIFHUNG, 2000,
                      &got);
  buf.resize(static_cast<std::size_t>(got));
  return win::Narrow(buf);
}

inline void SetTextOf(HWND hwnd, const std::string& cp932) {
  const std::wstring text = win::Wide(cp932);
  DWORD_PTR ignored = 0;
  SendMessageTimeoutW(hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), SMTO_ABORTIFHUNG, 2000, &ignored);
}

inline DWORD ProcessOf(HWND hwnd) {
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  return pid;
}

// Every descendant of `parent` of the class (any class when empty).
inline std::vector<HWND> ChildrenOf(HWND parent, const std::wstring& cls = {}) {
  struct Query {
    std::wstring cls;
    std::vector<HWND> found;
  } q{cls, {}};
  EnumChildWindows(
      parent,
      [](HWND h, LPARAM lp) WINAPI -> BOOL {
        auto* q = reinterpret_cast<Query*>(lp);
        if (q->cls.empty() || _wcsicmp(ClassOf(h).c_str(), q->cls.c_str()) == 0) q->found.push_back(h);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&q));
  return q.found;
}

// The first descendant of the class whose text is `text`; nullptr if none.
inline HWND FindChild(HWND parent, const std::wstring& cls, const std::string& text) {
  for (HWND h : ChildrenOf(parent, cls))
    if (TextOf(h) == text) return h;
  return nullptr;
}

// The top-level windows of a process with the class (any when empty).
inline std::vector<HWND> TopLevelWindows(DWORD pid, const std::wstring& cls, bool visibleOnly) {
  struct Query {
    DWORD pid;
    std::wstring cls;
    bool visibleOnly;
    std::vector<HWND> found;
  } q{pid, cls, visibleOnly, {}};
  EnumWindows(
      [](HWND h, LPARAM lp) WINAPI -> BOOL {
        auto* q = reinterpret_cast<Query*>(lp);
        if (q->pid && ProcessOf(h) != q->pid) return TRUE;
        if (q->visibleOnly && !IsWindowVisible(h)) return TRUE;
        if (q->cls.empty() || _wcsicmp(ClassOf(h).c_str(), q->cls.c_str()) == 0) q->found.push_back(h);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&q));
  return q.found;
}

// Clicks as the button itself does on a click; posted, so that a handler
// that opens a modal box does not block the caller.
inline void Click(HWND button) { PostMessageW(button, BM_CLICK, 0, 0); }

// A mouse click in the middle of a window of ours (panels, group boxes).
inline void MouseClick(HWND hwnd) {
  RECT r;
  GetClientRect(hwnd, &r);
  const LPARAM at = MAKELPARAM(r.right / 2, r.bottom / 2);
  PostMessageW(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, at);
  PostMessageW(hwnd, WM_LBUTTONUP, 0, at);
}

// Chooses an entry of a combo box and tells its parent, as a choice by
// the user does.
inline void ChooseEntry(HWND combo, int index) {
  DWORD_PTR ignored = 0;
  SendMessageTimeoutW(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0, SMTO_ABORTIFHUNG, 2000, &ignored);
  PostMessageW(GetParent(combo), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(combo), CBN_SELCHANGE),
               reinterpret_cast<LPARAM>(combo));
}

// A modal dialog seen on the screen: a message box or a file dialog.
struct DialogSeen {
  HWND hwnd = nullptr;
  std::string caption;
  std::string text;  // the message of a message box (static id 65535)
};

inline std::optional<DialogSeen> FindDialog(DWORD pid, const std::vector<HWND>& ignore = {}) {
  for (HWND h : TopLevelWindows(pid, L"#32770", true)) {
    bool skip = false;
    for (HWND old : ignore) skip = skip || old == h;
    if (skip) continue;
    DialogSeen d;
    d.hwnd = h;
    d.caption = TextOf(h);
    if (HWND message = GetDlgItem(h, 0xFFFF)) d.text = TextOf(message);
    return d;
  }
  return std::nullopt;
}

inline std::optional<DialogSeen> WaitForDialog(DWORD pid, DWORD timeoutMs = kWaitMs) {
  std::optional<DialogSeen> seen;
  WaitUntil([&] { return (seen = FindDialog(pid)).has_value(); }, timeoutMs);
  return seen;
}

// Presses a dialog's button by its id (IDOK, IDCANCEL ...).
inline void PressButton(HWND dialog, int id) {
  PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

// Fills the common file dialog: file type (1-based, 0 leaves it) and file
// name, then OK. The dialog finishes setting itself up after it shows
// (it selects the caller's file type then), so the choice is made again
// until it holds.
inline void AnswerFileDialog(HWND dialog, const std::string& fileName, int filterIndex) {
  HWND types = GetDlgItem(dialog, 1136);
  for (int attempt = 0; types && filterIndex > 0 && attempt < 20; ++attempt) {
    Sleep(100);
    DWORD_PTR current = 0;
    SendMessageTimeoutW(types, CB_GETCURSEL, 0, 0, SMTO_ABORTIFHUNG, 2000, &current);
    if (static_cast<int>(current) == filterIndex - 1 && attempt > 2) break;
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(types, CB_SETCURSEL, static_cast<WPARAM>(filterIndex - 1), 0, SMTO_ABORTIFHUNG, 2000,
                        &ignored);
    // A choice by the user ends with CBN_SELENDOK; some dialogs act on it,
    // others on CBN_SELCHANGE.
    for (WORD code : {CBN_SELCHANGE, CBN_SELENDOK})
      SendMessageTimeoutW(dialog, WM_COMMAND, MAKEWPARAM(1136, code), reinterpret_cast<LPARAM>(types),
                          SMTO_ABORTIFHUNG, 2000, &ignored);
  }
  HWND name = GetDlgItem(dialog, 1148);
  if (!name) name = GetDlgItem(dialog, 1152);
  SetTextOf(name, fileName);
  PressButton(dialog, IDOK);
}

// Answers the modal dialogs of a process in order, from a helper thread,
// while the test's thread runs the command that opens them. Each step gets
// the dialog and must close it. Dialogs beyond the steps are recorded as
// unexpected and cancelled, so a wrong command cannot hang the test.
class DialogScript {
 public:
  using Step = std::function<void(const DialogSeen&)>;

  DialogScript(DWORD pid, std::vector<Step> steps, DWORD timeoutMs = kWaitMs)
      : pid_(pid), steps_(std::move(steps)), timeoutMs_(timeoutMs), thread_([this] { Run(); }) {}
  ~DialogScript() { Finish(); }
  DialogScript(const DialogScript&) = delete;
  DialogScript& operator=(const DialogScript&) = delete;

  // Stops watching; afterwards Seen() and Unexpected() are complete.
  void Finish() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
  }
  std::vector<DialogSeen> Seen() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return seen_;
  }
  std::vector<DialogSeen> Unexpected() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return unexpected_;
  }

  // Steps for the usual answers.
  static Step Press(int id) {
    return [id](const DialogSeen& d) { PressButton(d.hwnd, id); };
  }
  static Step File(std::string name, int filterIndex) {
    return [name, filterIndex](const DialogSeen& d) { AnswerFileDialog(d.hwnd, name, filterIndex); };
  }

 private:
  void Run() {
    std::vector<HWND> handled;
    std::size_t next = 0;
    DWORD lastProgress = GetTickCount();
    while (!stop_) {
      // Closed dialogs may hand their handle to a new window later.
      std::erase_if(handled, [](HWND h) { return !IsWindow(h) || !IsWindowVisible(h); });
      if (std::optional<DialogSeen> d = FindDialog(pid_, handled)) {
        handled.push_back(d->hwnd);
        lastProgress = GetTickCount();
        if (next < steps_.size()) {
          {
            std::lock_guard<std::mutex> lock(mutex_);
            seen_.push_back(*d);
          }
          steps_[next++](*d);
        } else {
          {
            std::lock_guard<std::mutex> lock(mutex_);
            unexpected_.push_back(*d);
          }
          PressButton(d->hwnd, GetDlgItem(d->hwnd, IDCANCEL) ? IDCANCEL : IDOK);
        }
      } else if (next < steps_.size() && GetTickCount() - lastProgress > timeoutMs_) {
        next = steps_.size();  // the expected dialog never came; keep guarding
      }
      Sleep(20);
    }
  }

  DWORD pid_;
  std::vector<Step> steps_;
  DWORD timeoutMs_;
  std::atomic<bool> stop_{false};
  mutable std::mutex mutex_;
  std::vector<DialogSeen> seen_;
  std::vector<DialogSeen> unexpected_;
  std::thread thread_;
};

// A program started for a test, with its own current directory; ended by
// force when the test is over if it is still running.
class ProgramProcess {
 public:
  ProgramProcess(const std::string& exe, const std::string& folder) {
    std::wstring cmd = L"\"" + win::Wide(exe) + L"\"";
    STARTUPINFOW si{};
    si.cb = sizeof si;
    started_ = CreateProcessW(win::Wide(exe).c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr,
                              win::Wide(folder).c_str(), &si, &pi_) != FALSE;
    if (started_) CloseHandle(pi_.hThread);
  }
  ~ProgramProcess() {
    if (!started_) return;
    if (WaitForSingleObject(pi_.hProcess, 0) == WAIT_TIMEOUT) {
      TerminateProcess(pi_.hProcess, 1);
      WaitForSingleObject(pi_.hProcess, 5000);
    }
    CloseHandle(pi_.hProcess);
  }
  ProgramProcess(const ProgramProcess&) = delete;
  ProgramProcess& operator=(const ProgramProcess&) = delete;

  bool Started() const { return started_; }
  DWORD Pid() const { return started_ ? pi_.dwProcessId : 0; }

  // The visible top-level window of the class, once the program shows it.
  HWND WaitForWindow(const std::wstring& cls, DWORD timeoutMs = kWaitMs) const {
    HWND found = nullptr;
    WaitUntil(
        [&] {
          std::vector<HWND> w = TopLevelWindows(Pid(), cls, true);
          found = w.empty() ? nullptr : w.front();
          return found != nullptr || HasEnded();
        },
        timeoutMs);
    return found;
  }
  bool HasEnded() const { return !started_ || WaitForSingleObject(pi_.hProcess, 0) == WAIT_OBJECT_0; }
  // The exit code, or nothing when it still runs after the time.
  std::optional<DWORD> WaitForExit(DWORD timeoutMs = kWaitMs) const {
    if (!started_ || WaitForSingleObject(pi_.hProcess, timeoutMs) != WAIT_OBJECT_0) return std::nullopt;
    DWORD code = 0;
    GetExitCodeProcess(pi_.hProcess, &code);
    return code;
  }

 private:
  PROCESS_INFORMATION pi_{};
  bool started_ = false;
};

}  // namespace qel::testing

#include "acadlink/AcadFunc_win.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <cwchar>
#include <vector>

#include "acadlink/AcadFunc.h"
#include "base/cp932.h"
#include "win32/text.h"

namespace qel {

namespace {

std::atomic<bool> g_quitFlag{false};
std::atomic<DWORD> g_replyLimitMs{0};  // 0: not yet decided
std::atomic<bool> g_cancelFlag{false};

bool SendBounded(HWND wnd, UINT msg, WPARAM wp, LPARAM lp, LRESULT* result = nullptr,
                 UINT timeout = kAcadMessageTimeoutMs) {
  DWORD_PTR r = 0;
  const LRESULT ok = SendMessageTimeoutW(wnd, msg, wp, lp, SMTO_ABORTIFHUNG | SMTO_BLOCK, timeout, &r);
  if (result) *result = static_cast<LRESULT>(r);
  return ok != 0;
}

bool EnsureCapacity(TextBuffer& buffer, int needed) {
  if (buffer.capacity >= needed && buffer.data) return true;
  buffer.Free();
  try {
    buffer.data.reset(new char[static_cast<std::size_t>(needed)]);
  } catch (const std::bad_alloc&) {
    return false;
  }
  buffer.capacity = needed;
  return true;
}

}  // namespace

DWORD AcadReplyLimitMs() {
  DWORD limit = g_replyLimitMs.load();
  if (limit != 0) return limit;
  limit = kAcadReplyLimitMs;
  wchar_t value[16] = {};
  const DWORD n = GetEnvironmentVariableW(L"QEL_ACAD_REPLY_LIMIT_MS", value, 16);
  if (n > 0 && n < 16) {
    wchar_t* end = nullptr;
    const unsigned long ms = wcstoul(value, &end, 10);
    if (end && *end == L'\0' && ms > 0 && ms <= kAcadReplyLimitMs) limit = static_cast<DWORD>(ms);
  }
  DWORD expected = 0;
  g_replyLimitMs.compare_exchange_strong(expected, limit);
  return g_replyLimitMs.load();
}

void SetAcadReplyLimitMs(DWORD ms) { g_replyLimitMs = ms == 0 ? kAcadReplyLimitMs : ms; }

bool AcadQuitFlag() { return g_quitFlag; }
void SetAcadQuitFlag(bool value) { g_quitFlag = value; }
bool AcadCancelFlag() { return g_cancelFlag; }
void SetAcadCancelFlag(bool value) { g_cancelFlag = value; }

// ---- registry ----

bool ReadRegString(HKEY root, const std::string& key, const std::string& name, std::string& value) {
  value.clear();
  HKEY h = nullptr;
  if (RegOpenKeyExW(root, win::Wide(key).c_str(), 0, KEY_READ, &h) != ERROR_SUCCESS) return false;
  wchar_t buf[512 + 1] = {};
  DWORD type = 0, size = sizeof(buf) - sizeof(wchar_t);
  const std::wstring wname = win::Wide(name);
  const LONG rc = RegQueryValueExW(h, name.empty() ? nullptr : wname.c_str(), nullptr, &type,
                                   reinterpret_cast<BYTE*>(buf), &size);
  RegCloseKey(h);
  // A value of another type is not a text, whatever its bytes look like.
  if (rc != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) return false;
  buf[size / sizeof(wchar_t)] = L'\0';  // a value stored without its terminating zero
  value = win::Narrow(buf);
  return true;
}

DWORD ReadRegDWord(HKEY root, const std::string& key, const std::string& name, bool* ok) {
  if (ok) *ok = false;
  HKEY h = nullptr;
  if (RegOpenKeyExW(root, win::Wide(key).c_str(), 0, KEY_READ, &h) != ERROR_SUCCESS) return 0;
  DWORD value = 0, type = 0, size = sizeof(value);
  const std::wstring wname = win::Wide(name);
  const LONG rc = RegQueryValueExW(h, name.empty() ? nullptr : wname.c_str(), nullptr, &type,
                                   reinterpret_cast<BYTE*>(&value), &size);
  RegCloseKey(h);
  if (rc != ERROR_SUCCESS || type != REG_DWORD || size != sizeof(value)) return 0;
  if (ok) *ok = true;
  return value;
}

namespace {
void FlushAfter(HKEY root, bool flush) {
  if (!flush) return;
  RegFlushKey(root);
  Sleep(10);
}
}  // namespace

bool WriteRegDWord(HKEY root, const std::string& key, const std::string& name, bool flush, DWORD value) {
  HKEY h = nullptr;
  if (RegCreateKeyExW(root, win::Wide(key).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr,
                      &h, nullptr) != ERROR_SUCCESS)
    return false;
  const LONG rc = RegSetValueExW(h, win::Wide(name).c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                                 sizeof(value));
  RegCloseKey(h);
  FlushAfter(root, flush);
  return rc == ERROR_SUCCESS;
}

bool DeleteRegValueFlush(HKEY root, const std::string& key, const std::string& name, bool flush) {
  HKEY h = nullptr;
  if (RegOpenKeyExW(root, win::Wide(key).c_str(), 0, KEY_WRITE, &h) != ERROR_SUCCESS) return false;
  const LONG rc = RegDeleteValueW(h, win::Wide(name).c_str());
  RegCloseKey(h);
  FlushAfter(root, flush);
  return rc == ERROR_SUCCESS;
}

// ---- windows ----

std::string WindowClassName(HWND wnd, int limit) {
  std::vector<wchar_t> buf(static_cast<std::size_t>(limit) + 1);
  const int n = GetClassNameW(wnd, buf.data(), limit + 1);
  return n > 0 ? win::Narrow(std::wstring_view(buf.data(), static_cast<std::size_t>(n))) : std::string();
}

std::string WindowTitle(HWND wnd, int limit) {
  std::vector<wchar_t> buf(static_cast<std::size_t>(limit) + 1);
  const int n = GetWindowTextW(wnd, buf.data(), limit + 1);
  return n > 0 ? win::Narrow(std::wstring_view(buf.data(), static_cast<std::size_t>(n))) : std::string();
}

namespace {
struct ChildSearch {
  std::string titlePart;
  std::string className;
  bool needTitle = false;
  HWND found = nullptr;
};

BOOL CALLBACK ChildSearchProc(HWND wnd, LPARAM lp) {
  auto* s = reinterpret_cast<ChildSearch*>(lp);
  const std::string title = WindowTitle(wnd, 255);
  if (!s->className.empty() && WindowClassName(wnd, 255) != s->className) return TRUE;
  if (s->needTitle && title.empty()) return TRUE;
  if (!s->titlePart.empty() && title.find(s->titlePart) == std::string::npos) return TRUE;
  s->found = wnd;
  return FALSE;
}
}  // namespace

HWND FindChildWindow(HWND parent, const std::string& titlePart, const std::string& classPattern) {
  if (!IsWindow(parent) || (titlePart.empty() && classPattern.empty())) return nullptr;
  ChildSearch s;
  s.titlePart = titlePart;
  if (!classPattern.empty() && classPattern[0] == '*') {
    s.className = classPattern.substr(1);
    s.needTitle = true;
  } else {
    s.className = classPattern;
  }
  EnumChildWindows(parent, ChildSearchProc, reinterpret_cast<LPARAM>(&s));
  return s.found;
}

bool PostCharMessage(HWND wnd, unsigned ch) {
  if (!IsWindow(wnd)) return false;
  return PostMessageW(wnd, WM_CHAR, ch, 0x004F0001) != 0;
}

// ---- files ----

std::string ExpandLongPath(const std::string& path) {
  if (path.size() < 3 || path[1] != ':' || path[2] != '\\') return path;
  std::string result = path.substr(0, 2);
  std::size_t pos = 3;
  while (pos <= path.size()) {
    std::size_t next = pos;
    // Split at backslashes that are characters of their own.
    while (next < path.size() && path[next] != '\\') {
      next += cp932::CharLength(path, next);
    }
    const std::string element = path.substr(pos, next - pos);
    result += '\\';
    if (!element.empty() && element.find_first_of("*?") == std::string::npos) {
      WIN32_FIND_DATAW fd;
      const HANDLE h = FindFirstFileW(win::Wide(result + element).c_str(), &fd);
      if (h != INVALID_HANDLE_VALUE) {
        FindClose(h);
        result += win::Narrow(fd.cFileName);
      } else {
        result += element;
      }
    } else {
      result += element;
    }
    if (next >= path.size()) break;
    pos = next + 1;
  }
  return result;
}

// ---- delivery ----

std::string ReadWindowText(HWND wnd, TextBuffer& buffer, bool* hung) {
  if (hung) *hung = false;
  if (!IsWindow(wnd)) return {};
  // The length is asked for in UTF-16 units: asked for in bytes, the query
  // to a window that had stopped answering was seen (under Wine) to wait
  // far past the time limit. A CP932 text has at most two bytes per unit.
  DWORD_PTR len = 0;
  if (!SendMessageTimeoutW(wnd, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG | SMTO_BLOCK, kAcadMessageTimeoutMs, &len)) {
    if (hung) *hung = IsWindow(wnd) != FALSE;
    return {};
  }
  // A window claiming more than a megabyte of prompt is not believed.
  if (len == 0 || len > (1u << 20)) return {};
  const LONG_PTR l = static_cast<LONG_PTR>(len) * 2;
  const int needed = static_cast<int>(l) + 256;
  if (buffer.capacity < needed && !EnsureCapacity(buffer, needed)) return {};
  buffer.data[0] = '\0';
  DWORD_PTR got = 0;
  if (!SendMessageTimeoutA(wnd, WM_GETTEXT, static_cast<WPARAM>(l + 255), reinterpret_cast<LPARAM>(buffer.data.get()),
                           SMTO_ABORTIFHUNG | SMTO_BLOCK, kAcadMessageTimeoutMs, &got)) {
    if (hung) *hung = IsWindow(wnd) != FALSE;
    return {};
  }
  const std::size_t n = std::min<std::size_t>(got, static_cast<std::size_t>(buffer.capacity - 1));
  if (n == 0) return {};
  buffer.data[n] = '\0';
  return std::string(buffer.data.get(), strnlen(buffer.data.get(), n));
}

bool WaitAcadIdle(HWND wnd) {
  if (!IsWindow(wnd)) return true;
  DWORD pid = 0;
  GetWindowThreadProcessId(wnd, &pid);
  // Waiting for our own process to become idle could only time out.
  if (pid == 0 || pid == GetCurrentProcessId()) return true;
  HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, pid);
  if (!process) process = OpenProcess(SYNCHRONIZE, FALSE, pid);
  if (!process) return true;
  const DWORD rc = WaitForInputIdle(process, kAcadIdleTimeoutMs);
  CloseHandle(process);
  return rc != WAIT_TIMEOUT;
}

bool ProcessPendingMessages() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      g_quitFlag = true;
      // Taken from the queue by us, but it belongs to the loop that owns
      // the thread: put it back so that the program still ends.
      PostQuitMessage(static_cast<int>(msg.wParam));
      return true;
    }
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return false;
}

void PumpAndWaitIdle(HWND wnd) {
  ProcessPendingMessages();
  if (IsWindow(wnd)) {
    WaitAcadIdle(wnd);
    ProcessPendingMessages();
  }
}

namespace {

// Keeps one delivery going while AutoCAD is silent: each silent exchange
// waits a delivery cycle and is tried again, until AutoCAD answers, the
// reply limit runs out, AutoCAD goes away or the delivery is cancelled.
class ReplyWatch {
 public:
  ReplyWatch(HWND target, TDeliveryControl& control) : target_(target), control_(control) {}

  void Answered() { silentSince_ = 0; }

  // After an exchange AutoCAD did not answer; false when the delivery must
  // stop (the control says why).
  bool Silent() {
    if (Stopped()) return false;
    const ULONGLONG now = GetTickCount64();
    if (silentSince_ == 0) silentSince_ = now;
    if (now - silentSince_ >= AcadReplyLimitMs()) return Stop(TAcadDeliveryStop::NoAnswer);
    Sleep(kSilentRetryMs);
    return !Stopped();
  }

  // True when AutoCAD is gone or the delivery is cancelled.
  bool Stopped() {
    if (control_.cancel && control_.cancel->load()) return !Stop(TAcadDeliveryStop::Cancelled);
    if (!IsWindow(target_)) return !Stop(TAcadDeliveryStop::TargetGone);
    return false;
  }

  bool Stop(TAcadDeliveryStop why) {
    if (control_.stop == TAcadDeliveryStop::None) control_.stop = why;
    return false;
  }

 private:
  static constexpr DWORD kSilentRetryMs = 100;  // the delivery cycle
  HWND target_;
  TDeliveryControl& control_;
  ULONGLONG silentSince_ = 0;
};

// Waits until AutoCAD answers a message again.
bool WaitForAnswer(HWND target, ReplyWatch& watch) {
  for (;;) {
    if (watch.Stopped()) return false;
    if (SendBounded(target, WM_NULL, 0, 0)) {
      watch.Answered();
      return true;
    }
    if (!watch.Silent()) return false;
  }
}

// Polls the prompt window until it shows text. Polls that AutoCAD leaves
// unanswered use up none of the allowance: the text waits for AutoCAD.
bool PollPrompt(HWND target, HWND promptWnd, int polls, TextBuffer& buffer, ReplyWatch& watch) {
  for (int i = 0; i < polls;) {
    PumpAndWaitIdle(target);
    if (watch.Stopped()) return false;
    bool hung = false;
    const bool shown = !ReadWindowText(promptWnd, buffer, &hung).empty();
    if (hung) {
      if (!watch.Silent()) return false;
      continue;
    }
    watch.Answered();
    if (shown) return true;
    ++i;
  }
  return true;
}

}  // namespace

bool SendCopyData(HWND target, const std::string& text, const RECT& clientRect, TextBuffer& buffer,
                  TDeliveryControl* control) {
  TDeliveryControl own;
  ReplyWatch watch(target, control ? *control : own);
  if (watch.Stopped()) return false;
  const std::string payload = CopyDataPayload(text);
  const int needed = static_cast<int>(payload.size());
  if (buffer.capacity < needed) {
    const int room = buffer.capacity < 0 ? std::max(needed, 2048) + 1 : needed;
    if (!EnsureCapacity(buffer, room)) return false;
  }
  std::memcpy(buffer.data.get(), payload.data(), payload.size());
  PumpAndWaitIdle(target);

  bool result = false;
  for (int attempt = 0; attempt < 11;) {
    if (watch.Stopped()) return false;
    // The text goes only to an AutoCAD that answers. One that is busy is
    // waited for; it is never skipped.
    if (!SendBounded(target, WM_NCACTIVATE, 0, 0) || !SendBounded(target, WM_EXITMENULOOP, 0, 0)) {
      if (!watch.Silent()) return false;
      continue;
    }
    watch.Answered();
    ++attempt;
    COPYDATASTRUCT cds{};
    cds.dwData = 1;
    cds.cbData = static_cast<DWORD>(payload.size());
    cds.lpData = buffer.data.get();
    LRESULT r = 0;
    if (!SendBounded(target, WM_COPYDATA, reinterpret_cast<WPARAM>(target), reinterpret_cast<LPARAM>(&cds), &r,
                     kAcadCopyDataTimeoutMs)) {
      // Handed over, but AutoCAD went quiet before it answered: it takes
      // the text when it comes back. Sending it again would type it twice,
      // so wait for the answer instead.
      if (!WaitForAnswer(target, watch)) return false;
      result = true;
      break;
    }
    result = r != 0;
    PostMessageW(target, WM_NULL, 0, 0);
    SendBounded(target, 0x00B0, 0, 0);
    for (int i = 0; i < 4 && IsWindow(target); ++i)
      if (!WaitAcadIdle(target)) break;
    if (result) break;
  }
  if (IsWindow(target)) {
    const int x = (clientRect.left + clientRect.right) / 2;
    const int y = (clientRect.top + clientRect.bottom) / 2;
    PostMessageW(target, WM_MOUSEMOVE, 0, MAKELPARAM(x, y));
    SendNotifyMessageW(target, WM_SETCURSOR, reinterpret_cast<WPARAM>(target), 0x02000001);
    for (int i = 0; i < 21 && IsWindow(target); ++i)
      if (!WaitAcadIdle(target)) break;
  }
  return result;
}

bool SendCommandText(HWND target, HWND promptWnd, const std::string& text, TextBuffer& buffer, bool lineMode,
                     TDeliveryControl* control) {
  TDeliveryControl own;
  TDeliveryControl& c = control ? *control : own;
  ReplyWatch watch(target, c);
  RECT rc{};
  if (watch.Stopped() || !GetClientRect(target, &rc)) return false;
  if (text.empty()) return true;
  if (!lineMode) {
    if (!PollPrompt(target, promptWnd, kWholeTextPolls, buffer, watch)) return false;
    const bool r = SendCopyData(target, text, rc, buffer, &c);
    PumpAndWaitIdle(target);
    return r;
  }
  const CommandLines split = SplitCommandLines(text);
  bool r = false;
  for (const CommandLine& line : split.lines) {
    if (!PollPrompt(target, promptWnd, line.polls, buffer, watch)) return false;
    r = SendCopyData(target, line.text, rc, buffer, &c);
    PumpAndWaitIdle(target);
    if (!r) return false;
  }
  // Text after the last carriage return is never delivered, so the command
  // as given did not arrive whole.
  return r && split.remainder.empty();
}

}  // namespace qel

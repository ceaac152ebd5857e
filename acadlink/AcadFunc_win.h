#pragma once
// The message-level side of the AutoCAD link library: registry helpers,
// window helpers, and the routines that hand a command text to AutoCAD's
// main frame and wait for it. Windows only.
#include <windows.h>

#include <atomic>
#include <memory>
#include <string>

#include "acadlink/AcadFunc.h"

namespace qel {

// Waits that are ours to bound: messages to another process, and its idle
// state. A target that does not answer within these is treated as hung and
// the delivery in progress fails instead of blocking.
constexpr UINT kAcadMessageTimeoutMs = 5000;
constexpr UINT kAcadCopyDataTimeoutMs = 10000;
constexpr DWORD kAcadIdleTimeoutMs = 5000;

// How long one text waits for an AutoCAD that has stopped answering (busy
// opening a drawing, or hung) before the job is stopped. A real AutoCAD
// can be silent for many seconds while it loads; dropping the text instead
// would leave a drawing with pieces missing and nobody told.
constexpr DWORD kAcadReplyLimitMs = 120000;
// The limit in force (kAcadReplyLimitMs unless changed); tests shorten it,
// and so does the environment variable QEL_ACAD_REPLY_LIMIT_MS (read once,
// for the end-to-end tests that cannot reach into the program).
DWORD AcadReplyLimitMs();
void SetAcadReplyLimitMs(DWORD ms);

// A reusable byte buffer: capacity -1 while nothing is held.
struct TextBuffer {
  std::unique_ptr<char[]> data;
  int capacity = -1;
  void Free() {
    data.reset();
    capacity = -1;
  }
};

// ---- registry ----
bool ReadRegString(HKEY root, const std::string& key, const std::string& name, std::string& value);
// 0 when the value is missing, not a DWORD, or not 4 bytes long.
DWORD ReadRegDWord(HKEY root, const std::string& key, const std::string& name, bool* ok = nullptr);
bool WriteRegDWord(HKEY root, const std::string& key, const std::string& name, bool flush, DWORD value);
bool DeleteRegValueFlush(HKEY root, const std::string& key, const std::string& name, bool flush);

// ---- windows ----
std::string WindowClassName(HWND wnd, int limit = 99);
std::string WindowTitle(HWND wnd, int limit = 99);
HWND FindChildWindow(HWND parent, const std::string& titlePart, const std::string& classPattern);
bool PostCharMessage(HWND wnd, unsigned ch);

// ---- files ----
// Each element of the path replaced by its long name as a file search
// returns it; elements the search does not find stay as written.
std::string ExpandLongPath(const std::string& path);

// ---- delivery ----

// One text's delivery: set by the caller to stop the waits early, and told
// why the delivery stopped short when it did.
struct TDeliveryControl {
  const std::atomic<bool>* cancel = nullptr;
  TAcadDeliveryStop stop = TAcadDeliveryStop::None;
};

// Both wait, polling at the usual pace, while AutoCAD does not answer, for
// up to AcadReplyLimitMs(); they return false with control->stop set when
// that runs out, when AutoCAD goes away or when cancelled.
bool SendCommandText(HWND target, HWND promptWnd, const std::string& text, TextBuffer& buffer, bool lineMode,
                     TDeliveryControl* control = nullptr);
bool SendCopyData(HWND target, const std::string& text, const RECT& clientRect, TextBuffer& buffer,
                  TDeliveryControl* control = nullptr);
// The window's text by WM_GETTEXTLENGTH / WM_GETTEXT; *hung is set when the
// window did not answer in time.
std::string ReadWindowText(HWND wnd, TextBuffer& buffer, bool* hung = nullptr);
// Waits (bounded) until the process owning wnd is idle for input; false
// when the wait timed out.
bool WaitAcadIdle(HWND wnd);
void PumpAndWaitIdle(HWND wnd);
// Handles the calling thread's pending messages; true when it met a quit
// message, which it posts again so that the owner of the loop still ends.
bool ProcessPendingMessages();

// Process-wide flags of a launch: set when pumping met a quit message, and
// an outside cancel request.
bool AcadQuitFlag();
void SetAcadQuitFlag(bool value);
bool AcadCancelFlag();
void SetAcadCancelFlag(bool value);

}  // namespace qel

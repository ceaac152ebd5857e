#include "acadlink/AcadVInf_win.h"

#include <memory>

#include "acadlink/AcadFunc_win.h"
#include "acadlink/AcadUnit_win.h"
#include "acadlink/AcadVInf.h"
#include "win32/text.h"

namespace qel {

bool GetFileVersionText(const std::string& path, bool full, std::string& text) {
  text.clear();
  if (path.empty()) return false;
  try {
    const std::wstring wpath = win::Wide(path);
    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeW(wpath.c_str(), &handle);
    if (size == 0) return false;
    std::unique_ptr<BYTE[]> data(new BYTE[size + 1]);
    if (!GetFileVersionInfoW(wpath.c_str(), 0, size, data.get())) return false;
    VS_FIXEDFILEINFO* info = nullptr;
    UINT len = 0;
    if (!VerQueryValueW(data.get(), L"\\", reinterpret_cast<void**>(&info), &len) || !info ||
        len < sizeof(VS_FIXEDFILEINFO))
      return false;
    text = AcadVersionText(info->dwProductVersionMS, info->dwProductVersionLS, full);
    return true;
  } catch (...) {
    text.clear();
    return false;
  }
}

TAcadRunIndex& AcadRunIndex() {
  static TAcadRunIndex index;
  return index;
}

namespace {

bool IsFrameOrViewClass(const std::string& c) { return c == "AfxFrameOrView42" || c == "AfxFrameOrView"; }
bool IsBarClass(const std::string& c) { return c == "AfxWnd42" || c == "AfxWnd"; }

bool IsDialogClass(const std::string& c) {
  if (c == "#32770") return true;
  if (c.size() < 9) return false;
  for (int i = 0; i < 9; ++i) {
    char ch = c[static_cast<std::size_t>(i)];
    if (ch >= 'a' && ch <= 'z') ch = static_cast<char>(ch - 'a' + 'A');
    if (ch != "ADESK_DLG"[i]) return false;
  }
  return true;
}

bool IsViewClass(const std::string& c) {
  return c == "AcStaticViewClass" || c.compare(0, 14, "Afx:400000:28:") == 0;
}

HWND ParentOf(HWND wnd) { return wnd ? GetParent(wnd) : nullptr; }

struct EnumState {
  TAcadWindowInfo* info;
  bool refreshOnly;  // callback A restricted to the dialog and bar tests
};

BOOL CALLBACK CallbackP(HWND d, LPARAM lp) {
  auto* info = reinterpret_cast<TAcadWindowInfo*>(lp);
  if (GetParent(d) == info->BarCmdWnd) {
    const std::string title = WindowTitle(d);
    if (title == "Headlands")
      info->BarPromptWnd = d;
    else if (title == "MountTam")
      info->BarInputWnd = d;
  }
  return TRUE;
}

BOOL CALLBACK CallbackV(HWND d, LPARAM lp) {
  auto* info = reinterpret_cast<TAcadWindowInfo*>(lp);
  if (ParentOf(GetParent(d)) != info->MdiClientWnd) return TRUE;
  if (IsViewClass(WindowClassName(d))) {
    info->ViewWnd = d;
    return FALSE;
  }
  return TRUE;
}

BOOL CALLBACK CallbackB(HWND d, LPARAM lp) {
  auto* info = reinterpret_cast<TAcadWindowInfo*>(lp);
  const HWND parent = GetParent(d);
  if (!IsWindow(parent)) return TRUE;
  const std::string cls = WindowClassName(d);
  if (cls == "MDIClient") {
    info->MainWnd = parent;
    info->MdiClientWnd = d;
    EnumChildWindows(d, CallbackV, lp);
    return TRUE;
  }
  const std::string title = WindowTitle(d);
  if (title == "Marin") {
    const std::string pc = WindowClassName(parent);
    if (IsFrameOrViewClass(pc)) {
      info->HostWnd = GetParent(parent);
      info->FrameCmdFrameWnd = parent;
      info->FrameCmdWnd = d;
    } else if (IsBarClass(pc)) {
      info->BarWnd = parent;
      info->BarCmdWnd = d;
      EnumChildWindows(d, CallbackP, lp);
    }
  } else if (title == "Headlands") {
    if (IsFrameOrViewClass(WindowClassName(ParentOf(parent)))) info->FramePromptWnd = d;
  } else if (title == "MountTam") {
    if (IsFrameOrViewClass(WindowClassName(ParentOf(parent)))) info->FrameInputWnd = d;
  } else if (cls == "AfxControlBar42") {
    info->ControlBarWnd = d;
  }
  return TRUE;
}

BOOL CALLBACK CallbackA(HWND w, LPARAM lp) {
  auto* state = reinterpret_cast<EnumState*>(lp);
  TAcadWindowInfo* info = state->info;
  const std::string cls = WindowClassName(w);
  if (!info->DialogWnd && IsDialogClass(cls)) {
    info->DialogWnd = w;
    const HWND g = GetWindow(w, GW_HWNDFIRST);
    if (g && IsDialogClass(WindowClassName(g))) info->DialogWnd = g;
    return TRUE;
  }
  if (cls.empty() || cls.compare(0, 4, "Afx:") != 0) return TRUE;
  if (GetParent(w)) {
    const HWND fc1 = GetWindow(w, GW_CHILD);
    if (fc1 && IsBarClass(WindowClassName(fc1))) {
      const HWND m = GetWindow(fc1, GW_CHILD);
      if (m && WindowTitle(m) == "Marin") {
        info->BarFrameWnd = w;
        info->BarWnd = fc1;
        info->BarCmdWnd = m;
        if (!state->refreshOnly) EnumChildWindows(m, CallbackP, reinterpret_cast<LPARAM>(info));
      }
    }
  } else if (!state->refreshOnly) {
    EnumChildWindows(w, CallbackB, reinterpret_cast<LPARAM>(info));
  }
  return TRUE;
}

BOOL CALLBACK CollectMainWindows(HWND w, LPARAM lp) {
  auto* found = reinterpret_cast<std::vector<HWND>*>(lp);
  if (IsAcadMainWindow(w)) found->push_back(w);
  return TRUE;
}

int FirstRunning(std::initializer_list<int> editions) {
  for (int e : editions)
    if (IsAcadRunning(e)) return e;
  return 0;
}

}  // namespace

bool IsAcadMainWindow(HWND wnd) {
  const std::string cls = WindowClassName(wnd);
  if (cls.compare(0, 13, "Afx:400000:b:") != 0 && cls.compare(0, 6, "Afx:b:") != 0) return false;
  const HWND child = GetWindow(wnd, GW_CHILD);
  if (!child || !IsFrameOrViewClass(WindowClassName(child))) return false;
  const HWND grandChild = GetWindow(child, GW_CHILD);
  return grandChild && WindowTitle(grandChild) == "Marin";
}

int EnumRunningAcad(TAcadRunIndex& runIndex) {
  runIndex.ActiveWnd = runIndex.ForegroundWnd;
  const DWORD f = GetWindowThreadProcessId(GetForegroundWindow(), nullptr);
  runIndex.Clear();
  EnumWindows(CollectMainWindows, reinterpret_cast<LPARAM>(&runIndex.items));
  HWND found = nullptr;
  for (HWND w : runIndex.items)
    if (f != 0 && GetWindowThreadProcessId(w, nullptr) == f) {
      found = w;
      break;
    }
  if (!found && runIndex.ForegroundWnd && IsWindow(runIndex.ForegroundWnd)) return runIndex.Count();
  const HWND previous = runIndex.ForegroundWnd;
  runIndex.ForegroundWnd = found;
  runIndex.ActiveWnd = previous && IsWindow(previous) ? previous : nullptr;
  if (found) runIndex.ActiveWnd = found;
  if (!runIndex.ActiveWnd && !runIndex.items.empty()) runIndex.ActiveWnd = runIndex.items.front();
  return runIndex.Count();
}

bool FindAcadWindows(DWORD threadId, TAcadWindowInfo& info) {
  ClearAcadWindows(info);
  info.ThreadID = threadId;
  EnumState state{&info, false};
  EnumThreadWindows(threadId, CallbackA, reinterpret_cast<LPARAM>(&state));
  if (!info.MainWnd || !info.FrameCmdFrameWnd) {
    ClearAcadWindows(info);
    return false;
  }
  const std::string t = WindowTitle(info.MainWnd);
  const std::string fc = WindowClassName(info.FrameCmdFrameWnd);
  int edition = 0;
  if (t.compare(0, 10, "AutoCAD LT") != 0) {
    if (fc == "AfxFrameOrView")
      edition = 7;
    else if (fc == "AfxFrameOrView42")
      edition = info.ControlBarWnd ? FirstRunning({11, 10, 9}) : 8;
  } else {
    if (fc == "AfxFrameOrView")
      edition = 1;
    else if (fc == "AfxFrameOrView42")
      edition = info.ControlBarWnd ? FirstRunning({6, 5, 4}) : FirstRunning({3, 2});
  }
  if (edition == 0) {
    ClearAcadWindows(info);
    return false;
  }
  info.Edition = static_cast<unsigned char>(edition);
  info.State = 1;
  CollectMdiChildren(info);
  return true;
}

void CollectMdiChildren(TAcadWindowInfo& info) {
  info.ChildList.Clear();
  info.ChildWnd = nullptr;
  if (!IsWindow(info.MdiClientWnd)) return;
  for (HWND c = GetWindow(info.MdiClientWnd, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
    if (GetWindow(c, GW_CHILD)) info.ChildList.items.push_back(c);
  if (!info.ChildList.items.empty()) info.ChildWnd = GetWindow(info.ChildList.items.front(), GW_HWNDFIRST);
}

void RefreshAcadWindows(TAcadWindowInfo& info) {
  if (info.ThreadID == 0) return;
  if (!IsWindow(info.MainWnd) || !IsWindow(info.HostWnd)) {
    info.State = 0;
    return;
  }
  info.PrevBarFrameWnd = info.BarFrameWnd;
  info.PrevChildWnd = info.ChildWnd;
  info.PrevDialogWnd = info.DialogWnd;
  info.BarFrameWnd = nullptr;
  info.ChildWnd = nullptr;
  info.DialogWnd = nullptr;
  EnumState state{&info, true};
  EnumThreadWindows(info.ThreadID, CallbackA, reinterpret_cast<LPARAM>(&state));
  if (IsWindow(info.MdiClientWnd)) EnumChildWindows(info.MdiClientWnd, CallbackV, reinterpret_cast<LPARAM>(&info));
  CollectMdiChildren(info);
  info.State = 2;
}

void ClearAcadWindows(TAcadWindowInfo& info) { info = TAcadWindowInfo{}; }

}  // namespace qel

#pragma once
// What is known about the windows of running AutoCAD instances, and the
// version resource of a program file. Windows only.
#include <windows.h>

#include <string>
#include <vector>

namespace qel {

// Reads the product version of the file's version resource as AutoCAD's
// version text ("15.06", or "15.06.r" with full); false and empty on any
// failure.
bool GetFileVersionText(const std::string& path, bool full, std::string& text);

// A list of window handles with the two windows a run index remembers.
class TWindowList {
 public:
  std::vector<HWND> items;
  HWND ForegroundWnd = nullptr;
  HWND ActiveWnd = nullptr;
  int Count() const { return static_cast<int>(items.size()); }
  void Clear() { items.clear(); }
};

// The main windows of every running AutoCAD; one program-wide instance.
class TAcadRunIndex : public TWindowList {};
TAcadRunIndex& AcadRunIndex();

struct TAcadWindowInfo {
  int State = 0;  // 0 empty, 1 found, 2 refreshed
  DWORD ThreadID = 0;
  unsigned char Edition = 0;
  HWND MainWnd = nullptr;
  HWND MdiClientWnd = nullptr;
  HWND ViewWnd = nullptr;
  HWND ControlBarWnd = nullptr;
  HWND HostWnd = nullptr;
  HWND FrameCmdFrameWnd = nullptr;
  HWND FrameCmdWnd = nullptr;
  HWND FramePromptWnd = nullptr;
  HWND FrameInputWnd = nullptr;
  HWND BarFrameWnd = nullptr;
  HWND BarWnd = nullptr;
  HWND BarCmdWnd = nullptr;
  HWND BarPromptWnd = nullptr;
  HWND BarInputWnd = nullptr;
  HWND ChildWnd = nullptr;
  HWND DialogWnd = nullptr;
  TWindowList ChildList;
  HWND PrevBarFrameWnd = nullptr;
  HWND PrevChildWnd = nullptr;
  HWND PrevDialogWnd = nullptr;
};

bool IsAcadMainWindow(HWND wnd);
int EnumRunningAcad(TAcadRunIndex& runIndex);
bool FindAcadWindows(DWORD threadId, TAcadWindowInfo& info);
void CollectMdiChildren(TAcadWindowInfo& info);
void RefreshAcadWindows(TAcadWindowInfo& info);
void ClearAcadWindows(TAcadWindowInfo& info);

}  // namespace qel

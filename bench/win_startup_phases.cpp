// Where Qel-Wirmap's start-up time goes: a copy of the program's entry
// point in which every window creation is stamped (a CBT hook) and the
// stamps are summed by the part of the program the window belongs to.
// One start per process, like the program: the AutoCAD discovery, the
// fonts and the window classes are made once a run.
// Usage (from win_startup): win_startup_phases <program folder> <output file>
// The output file gets one line per phase: "<ms> <working set MB> <name>".
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <string>
#include <vector>

#include "app/Qel_Wirmap.h"
#include "win32/application.h"
#include "win32/com_dispatch.h"
#include "win32/containers.h"

namespace {

double Now() {
  LARGE_INTEGER f, c;
  QueryPerformanceFrequency(&f);
  QueryPerformanceCounter(&c);
  return static_cast<double>(c.QuadPart) / static_cast<double>(f.QuadPart);
}

double WorkingSetMB() {
  PROCESS_MEMORY_COUNTERS pmc{};
  pmc.cb = sizeof pmc;
  GetProcessMemoryInfo(GetCurrentProcess(), &pmc, sizeof pmc);
  return static_cast<double>(pmc.WorkingSetSize) / 1e6;
}

// The part of the program a window belongs to, by its class, the class of
// its top-level window, and the tab page it lies on.
std::string ClassOf(HWND hwnd) {
  wchar_t name[128] = {};
  GetClassNameW(hwnd, name, 128);
  std::string out;
  for (const wchar_t* p = name; *p; ++p) out += static_cast<char>(*p < 128 ? *p : '?');
  return out;
}

const char kMain[] = "main window and its panels";
const char kTail[] = "after its last window: FormCreate, tables, edition choice";

std::vector<HWND> g_pages;  // the tab pages in the order they were made

std::string PartOf(const std::string& cls, HWND parent) {
  if (cls == "QelAcadControlWindow") return "link component (edition discovery)";
  if (cls == "TAboutBox") return "version window";
  if (cls == "TLINE") return "legend window";
  if (cls == "TAcadTool_Frame") return "type selection window";
  for (HWND h = parent; h; h = GetParent(h)) {
    for (std::size_t i = 0; i < g_pages.size(); ++i)
      if (g_pages[i] == h) return "tab page " + std::to_string(i + 1);
    const std::string c = ClassOf(h);
    if (c == "TAboutBox") return "version window";
    if (c == "TLINE") return "legend window";
    if (c == "TAcadTool_Frame") return "type selection window";
    if (!(GetWindowLongPtrW(h, GWL_STYLE) & WS_CHILD)) break;
  }
  return kMain;
}

struct Phase {
  std::string name;
  double seconds = 0;
  double workingSetMB = 0;  // at the phase's end
};
std::vector<Phase> g_phases;
std::string g_current;
double g_since = 0;
double g_lastWindow = 0;  // when the last window was stamped


void Charge(const std::string& name, double seconds) {
  Phase* p = nullptr;
  for (Phase& q : g_phases)
    if (q.name == name) p = &q;
  if (!p) p = &g_phases.emplace_back(Phase{name});
  p->seconds += seconds;
  p->workingSetMB = WorkingSetMB();
}

// Ends the running phase and starts `next`. Phases of the same name add up.
// The main window's work after its last window (no window is made there)
// is charged apart when the secondary windows or the showing follow.
void Switch(const std::string& next) {
  const double now = Now();
  if (!g_current.empty()) {
    const bool tail = g_current == kMain && next.rfind("tab page", 0) != 0 && g_lastWindow > g_since;
    Charge(g_current, (tail ? g_lastWindow : now) - g_since);
    if (tail) Charge(kTail, now - g_lastWindow);
  }
  g_current = next;
  g_since = Now();  // the working-set query is not charged to anyone
}

LRESULT CALLBACK OnCbt(int code, WPARAM wp, LPARAM lp) {
  if (code == HCBT_CREATEWND) {
    const auto* create = reinterpret_cast<CBT_CREATEWNDW*>(lp);
    const HWND hwnd = reinterpret_cast<HWND>(wp);
    const std::string cls = ClassOf(hwnd);
    const std::string part = PartOf(cls, create->lpcs->hwndParent);
    if (part != g_current) Switch(part);
    if (cls == "TTabSheet") g_pages.push_back(hwnd);
    g_lastWindow = Now();
  }
  return CallNextHookEx(nullptr, code, wp, lp);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: win_startup_phases <program folder> <output file>\n");
    return 2;
  }
  SetCurrentDirectoryW(argv[1]);
  FILETIME created, ended, kernel, user;
  GetProcessTimes(GetCurrentProcess(), &created, &ended, &kernel, &user);
  FILETIME nowFt;
  GetSystemTimeAsFileTime(&nowFt);
  const auto ticks = [](const FILETIME& f) { return (static_cast<ULONGLONG>(f.dwHighDateTime) << 32) | f.dwLowDateTime; };
  const double beforeEntry = static_cast<double>(ticks(nowFt) - ticks(created)) / 1e7;

  g_since = Now();
  g_current = "COM and the application window";
  HHOOK hook = SetWindowsHookExW(WH_CBT, OnCbt, nullptr, GetCurrentThreadId());
  int rc = 0;
  {
    // As wWinMain does, step by step.
    qel::win::ComApartment com;
    qel::SetDefaultDispatchFactory(qel::win::CreateComObject);
    auto& app = qel::win::Application::Instance();
    app.SetTitle("Qel-Wirmap");
    qel::win::EnsureCommonControls();
    Switch("link component (edition discovery)");
    qel::TQel_Wirmap mainWindow;
    Switch("show and first paint until input-idle");
    mainWindow.Show();
    // Input-idle: the queue is empty and the thread would wait for input.
    // A queue that never empties is reported rather than waited for.
    const double shown = Now();
    bool idle = false;
    MSG msg;
    while (!(idle = !PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) && Now() - shown < 10) app.ProcessMessage(msg);
    if (!idle) {
      std::fprintf(stderr, "win_startup_phases: the queue did not empty within 10 s of showing\n");
      g_current = "show (queue never emptied: 10 s cut)";
    }
    Switch("");
    UnhookWindowsHookEx(hook);
    const double total = beforeEntry + [] {
      double s = 0;
      for (const Phase& p : g_phases) s += p.seconds;
      return s;
    }();

    FILE* out = _wfopen(argv[2], L"w");
    if (!out) {
      rc = 1;
    } else {
      std::fprintf(out, "%.2f 0 process start to entry\n", beforeEntry * 1e3);
      for (const Phase& p : g_phases) std::fprintf(out, "%.2f %.2f %s\n", p.seconds * 1e3, p.workingSetMB, p.name.c_str());
      std::fprintf(out, "%.2f %.2f total\n", total * 1e3, WorkingSetMB());
      std::fclose(out);
    }
    PostMessageW(mainWindow.Handle(), WM_CLOSE, 0, 0);
    app.Run(mainWindow.Handle());
  }
  return rc;
}

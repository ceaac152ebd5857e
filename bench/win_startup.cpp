// Start-up time to a window ready for input, and the working set then, of
// Qel-Wirmap against a minimal Win32 program started the same way.
// Usage: win_startup <Qel-Wirmap.exe> <minimal.exe> <program folder> [runs]
//                    [<earlier Qel-Wirmap.exe> <its program folder>]
// An earlier build given as well is measured in the same rounds, so that a
// change is judged on the same machine load as the build it is compared with.
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

struct Sample {
  double seconds = 0;
  double workingSetMB = 0;
};

struct Search {
  DWORD pid;
  HWND found;
};

BOOL CALLBACK FindVisible(HWND hwnd, LPARAM lp) {
  auto* s = reinterpret_cast<Search*>(lp);
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  if (pid == s->pid && IsWindowVisible(hwnd)) {
    s->found = hwnd;
    return FALSE;
  }
  return TRUE;
}

double Now() {
  LARGE_INTEGER f, c;
  QueryPerformanceFrequency(&f);
  QueryPerformanceCounter(&c);
  return static_cast<double>(c.QuadPart) / static_cast<double>(f.QuadPart);
}

// Starts the program, waits until it shows a window and waits for input,
// measures, then closes it and waits for it to end (Qel-Wirmap runs once).
bool Measure(const std::wstring& exe, const std::wstring& folder, Sample& out) {
  STARTUPINFOW si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  std::wstring cmd = L"\"" + exe + L"\"";
  const double t0 = Now();
  if (!CreateProcessW(exe.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &si, &pi))
    return false;
  Search s{pi.dwProcessId, nullptr};
  const double deadline = t0 + 60;
  while (!s.found && Now() < deadline) {
    EnumWindows(FindVisible, reinterpret_cast<LPARAM>(&s));
    if (!s.found) Sleep(1);
  }
  WaitForInputIdle(pi.hProcess, 60000);
  out.seconds = Now() - t0;
  PROCESS_MEMORY_COUNTERS pmc{};
  pmc.cb = sizeof pmc;
  if (GetProcessMemoryInfo(pi.hProcess, &pmc, sizeof pmc)) out.workingSetMB = static_cast<double>(pmc.WorkingSetSize) / 1e6;
  if (s.found) PostMessageW(s.found, WM_CLOSE, 0, 0);
  if (WaitForSingleObject(pi.hProcess, 20000) != WAIT_OBJECT_0) TerminateProcess(pi.hProcess, 1);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return s.found != nullptr;
}

Sample Median(std::vector<Sample> v) {
  std::sort(v.begin(), v.end(), [](const Sample& a, const Sample& b) { return a.seconds < b.seconds; });
  return v[v.size() / 2];
}

}  // namespace

void Print(const char* name, const Sample& s, const Sample& minimal) {
  std::printf("  %-10s %7.1f ms  working set %6.1f MB  ratio %5.2f  +%4.1f MB\n", name, s.seconds * 1e3,
              s.workingSetMB, s.seconds / minimal.seconds, s.workingSetMB - minimal.workingSetMB);
}

int wmain(int argc, wchar_t** argv) {
  if (argc < 4 || argc == 6) {
    std::fprintf(stderr,
                 "usage: win_startup <Qel-Wirmap.exe> <minimal.exe> <program folder> [runs]"
                 " [<earlier Qel-Wirmap.exe> <its program folder>]\n");
    return 2;
  }
  const int runs = argc > 4 ? std::max(1, _wtoi(argv[4])) : 5;
  const bool earlierToo = argc > 6;
  std::vector<Sample> program, minimal, earlier;
  for (int i = 0; i < runs; ++i) {  // interleaved, so all see the same machine
    Sample a, b, c;
    if (!Measure(argv[1], argv[3], a) || !Measure(argv[2], argv[3], b) ||
        (earlierToo && !Measure(argv[5], argv[6], c))) {
      std::fprintf(stderr, "a program did not show its window\n");
      return 1;
    }
    program.push_back(a);
    minimal.push_back(b);
    if (earlierToo) earlier.push_back(c);
  }
  const Sample m = Median(minimal);
  std::printf("start-up to input-ready window (median of %d)\n", runs);
  std::printf("  %-10s %7.1f ms  working set %6.1f MB\n", "minimal", m.seconds * 1e3, m.workingSetMB);
  if (earlierToo) Print("earlier", Median(earlier), m);
  Print("Qel-Wirmap", Median(program), m);
  return 0;
}

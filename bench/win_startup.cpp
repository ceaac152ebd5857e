// Start-up time to a window ready for input, and the working set then, of
// Qel-Wirmap against a minimal Win32 program started the same way.
// Usage: win_startup <Qel-Wirmap.exe> <minimal.exe> <program folder> [runs]
//                    [<earlier Qel-Wirmap.exe> <its program folder>]
//                    [--phases <win_startup_phases.exe> [<earlier one>]]
// An earlier build given as well is measured in the same rounds, so that a
// change is judged on the same machine load as the build it is compared with.
// With --phases, each round also starts the phase-stamping copy of the
// entry point (and the earlier build's), and the medians of its phases are
// printed below the totals.
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <map>
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

// Phase name -> one sample per round, in the order the phases first came.
struct Phases {
  std::vector<std::string> order;
  std::map<std::string, std::vector<Sample>> samples;
};

// One start of the phase-stamping copy; its phases are added to `into`.
bool MeasurePhases(const std::wstring& exe, const std::wstring& folder, Phases& into) {
  wchar_t dir[MAX_PATH], file[MAX_PATH];
  GetTempPathW(MAX_PATH, dir);
  GetTempFileNameW(dir, L"qph", 0, file);
  std::wstring cmd = L"\"" + exe + L"\" \"" + folder + L"\" \"" + file + L"\"";
  STARTUPINFOW si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  if (!CreateProcessW(exe.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &si, &pi))
    return false;
  if (WaitForSingleObject(pi.hProcess, 60000) != WAIT_OBJECT_0) TerminateProcess(pi.hProcess, 1);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  FILE* in = _wfopen(file, L"r");
  bool any = false;
  if (in) {
    char line[256];
    while (std::fgets(line, sizeof line, in)) {
      Sample s;
      int used = 0;
      if (std::sscanf(line, "%lf %lf %n", &s.seconds, &s.workingSetMB, &used) < 2) continue;
      std::string name(line + used);
      while (!name.empty() && (name.back() == '\n' || name.back() == '\r')) name.pop_back();
      s.seconds /= 1e3;
      if (!into.samples.count(name)) into.order.push_back(name);
      into.samples[name].push_back(s);
      any = true;
    }
    std::fclose(in);
  }
  DeleteFileW(file);
  return any;
}

void PrintPhases(const Phases& now, const Phases* earlier) {
  std::printf("phases of the start-up, medians, from a copy of the entry point that stamps every window creation\n");
  std::printf("  %-58s %9s %9s", "phase", "ms", "WS MB");
  if (earlier) std::printf(" %9s %9s", "earlier", "WS MB");
  std::printf("\n");
  std::vector<std::string> names = earlier ? earlier->order : now.order;
  for (const std::string& n : now.order)
    if (std::find(names.begin(), names.end(), n) == names.end()) names.push_back(n);
  auto cell = [](const Phases& p, const std::string& n) {
    const auto it = p.samples.find(n);
    if (it == p.samples.end()) {
      std::printf(" %9s %9s", "-", "");
      return;
    }
    const Sample m = Median(it->second);
    std::printf(" %9.1f %9.1f", m.seconds * 1e3, m.workingSetMB);
  };
  for (const std::string& n : names) {
    if (n == "total") continue;
    std::printf("  %-58s", n.c_str());
    cell(now, n);
    if (earlier) cell(*earlier, n);
    std::printf("\n");
  }
  std::printf("  %-58s", "total");
  cell(now, "total");
  if (earlier) cell(*earlier, "total");
  std::printf("\n");
}

}  // namespace

void Print(const char* name, const Sample& s, const Sample& minimal) {
  std::printf("  %-10s %7.1f ms  working set %6.1f MB  ratio %5.2f  +%4.1f MB\n", name, s.seconds * 1e3,
              s.workingSetMB, s.seconds / minimal.seconds, s.workingSetMB - minimal.workingSetMB);
}

int wmain(int argc, wchar_t** argv) {
  std::vector<std::wstring> phaseExes;  // after --phases: ours, then the earlier build's
  for (int i = 1; i < argc; ++i)
    if (std::wcscmp(argv[i], L"--phases") == 0) {
      for (int j = i + 1; j < argc; ++j) phaseExes.push_back(argv[j]);
      argc = i;
      break;
    }
  if (argc < 4 || argc == 6 || phaseExes.size() > 2) {
    std::fprintf(stderr,
                 "usage: win_startup <Qel-Wirmap.exe> <minimal.exe> <program folder> [runs]"
                 " [<earlier Qel-Wirmap.exe> <its program folder>]"
                 " [--phases <win_startup_phases.exe> [<earlier one>]]\n");
    return 2;
  }
  const int runs = argc > 4 ? std::max(1, _wtoi(argv[4])) : 5;
  const bool earlierToo = argc > 6;
  std::vector<Sample> program, minimal, earlier;
  Phases phases, earlierPhases;
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
    if ((phaseExes.size() > 0 && !MeasurePhases(phaseExes[0], argv[3], phases)) ||
        (phaseExes.size() > 1 && !MeasurePhases(phaseExes[1], earlierToo ? argv[6] : argv[3], earlierPhases))) {
      std::fprintf(stderr, "the phase copy of the entry point wrote nothing\n");
      return 1;
    }
  }
  const Sample m = Median(minimal);
  std::printf("start-up to input-ready window (median of %d)\n", runs);
  std::printf("  %-10s %7.1f ms  working set %6.1f MB\n", "minimal", m.seconds * 1e3, m.workingSetMB);
  if (earlierToo) Print("earlier", Median(earlier), m);
  Print("Qel-Wirmap", Median(program), m);
  if (!phaseExes.empty()) PrintPhases(phases, phaseExes.size() > 1 ? &earlierPhases : nullptr);
  return 0;
}

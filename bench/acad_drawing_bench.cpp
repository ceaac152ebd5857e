// Drawing benchmark: a full 79-row circuit list (every row kind in turn,
// ten pages) drawn with AcadMakeDrawing through TAcadControl into the
// AutoCAD installed in the prefix (the stand-in as AutoCAD 2000). Prints the
// commands sent, the time to start AutoCAD, the total time until the last
// command is reported delivered, and total / (commands x 100 ms): the
// delivery takes one command per 100 ms cycle, so 1.0 is no overhead.
//
// Usage: acad_drawing_bench <program folder with Data\Qel-Acad.DWG> <page base name>
// (both absolute: AutoCAD runs in a folder of its own)
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "acad/a_cad.h"
#include "bench/acad_mixed_list.h"
#include "acadlink/AcadCtrl_win.h"
#include "base/grid.h"
#include "win32/text.h"

namespace {

// Forwards to the component and counts what the drawing sends.
class CountingLink : public qel::AcadLinkApi {
 public:
  explicit CountingLink(qel::TAcadControl& c) : c_(c) {}
  int sent = 0;
  double launchSeconds = 0;

  bool SendCommand(const std::string& cmd, int no) override {
    ++sent;
    return c_.SendCommand(cmd, no);
  }
  bool ExecuteAcad() override {
    const ULONGLONG t0 = GetTickCount64();
    const bool ok = c_.ExecuteAcad();
    launchSeconds = static_cast<double>(GetTickCount64() - t0) / 1000.0;
    return ok;
  }
  bool GetSDIMode() override { return c_.GetSDIMode(); }
  void SetSDIMode(bool v) override { c_.SetSDIMode(v); }
  bool Enabled() override { return c_.Enabled(); }
  void SetEnabled(bool v) override { c_.SetEnabled(v); }
  qel::TAcadType AcadType() override { return c_.AcadType(); }
  void SetAcadType(qel::TAcadType v) override { c_.SetAcadType(v); }
  qel::TAcadType MinAcadType() override { return c_.MinAcadType(); }
  qel::TAcadType MaxAcadType() override { return c_.MaxAcadType(); }
  std::string GetAcadTypeName() override { return c_.GetAcadTypeName(); }
  qel::TAcadType AcadTypeFromName(const std::string& n) override { return c_.AcadTypeFromName(n); }
  qel::TAcadType FindInstalledAclt() override { return c_.FindInstalledAclt(); }
  qel::TAcadType FindInstalledAcad() override { return c_.FindInstalledAcad(); }
  bool IsInstalled() override { return c_.IsInstalled(); }
  bool CanExecute() override { return c_.CanExecute(); }

 private:
  qel::TAcadControl& c_;
};

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: acad_drawing_bench <program folder> <page base name>\n");
    return 2;
  }
  const qel::Grid list = qel::bench::AcadMixedList();

  qel::TAcadControl control;
  control.SetAcadType(qel::atACAD2000);
  control.SetEnabled(false);
  CountingLink link(control);
  int delivered = 0, failed = 0;
  control.OnAsyncSended = [&](qel::TAcadControl*, int, HWND, bool ok) { ok ? ++delivered : ++failed; };
  qel::AcadSetUp(link, list, [] { return 9; });  // "AutoCAD 2000" chosen in the type window
  qel::AcadSetProgramFolder(qel::win::Narrow(argv[1]));
  qel::AcadSetDrawingBaseName(qel::win::Narrow(argv[2]));

  LARGE_INTEGER freq, t0, t1;
  QueryPerformanceFrequency(&freq);
  QueryPerformanceCounter(&t0);
  qel::AcadMakeDrawing();
  // Bounded: twice the ideal time plus thirty seconds.
  const ULONGLONG limit = GetTickCount64() + static_cast<ULONGLONG>(link.sent) * 200 + 30000;
  while (delivered + failed < link.sent && GetTickCount64() < limit) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
    qel::ProcessPendingMessages();
  }
  QueryPerformanceCounter(&t1);
  const double seconds = static_cast<double>(t1.QuadPart - t0.QuadPart) / static_cast<double>(freq.QuadPart);
  const double delivery = seconds - link.launchSeconds;
  std::printf("79 rows: %d commands sent, %d delivered, %d failed, %d outstanding\n", link.sent, delivered, failed,
              link.sent - delivered - failed);
  std::printf("AutoCAD start: %.3f s; total: %.3f s; ratio to %d x 100 ms: %.3f (without the start: %.3f)\n",
              link.launchSeconds, seconds, link.sent, seconds / (link.sent * 0.1), delivery / (link.sent * 0.1));

  int pages = 0;
  for (int page = 1; page <= 11; ++page) {
    const std::string file = qel::win::Narrow(argv[2]) + std::to_string(page) + ".DWG";
    if (GetFileAttributesW(qel::win::Wide(file).c_str()) != INVALID_FILE_ATTRIBUTES) ++pages;
  }
  std::printf("page files written: %d\n", pages);

  // AutoCAD stays open after a job; the benchmark closes the one it used.
  DWORD pid = 0;
  if (HWND acad = control.Attachment().MainWnd) GetWindowThreadProcessId(acad, &pid);
  qel::AcadTearDown();
  if (HANDLE h = pid ? OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid) : nullptr) {
    TerminateProcess(h, 0);
    WaitForSingleObject(h, 10000);
    CloseHandle(h);
  }
  return delivered == link.sent ? 0 : 1;
}

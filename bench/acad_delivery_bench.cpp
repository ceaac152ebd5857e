// Delivery benchmark: N command texts (default 200) queued at once for the
// AutoCAD found on the desktop, timed until the last one is reported
// delivered. Prints total time / (N x 100 ms): the delivery thread takes
// one command per 100 ms cycle, so 1.0 means no overhead beyond the cycle.
//
// Usage: acad_delivery_bench [N] [program to start when no AutoCAD runs]
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>

#include "acadlink/AcadCtrl_win.h"
#include "win32/text.h"

int wmain(int argc, wchar_t** argv) {
  const int n = argc > 1 ? std::max(1, _wtoi(argv[1])) : 200;
  PROCESS_INFORMATION started{};
  auto control = std::make_unique<qel::TAcadControl>();
  control->SetEnabled(false);
  HWND acad = control->ActiveAcadWindow();
  if (!acad && argc > 2) {
    STARTUPINFOW si{};
    si.cb = sizeof(si);
    std::wstring cmd = L"\"" + std::wstring(argv[2]) + L"\"";
    if (!CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &started)) {
      std::fprintf(stderr, "cannot start the program\n");
      return 2;
    }
    WaitForInputIdle(started.hProcess, 10000);
    for (int i = 0; i < 100 && !acad; ++i) {
      Sleep(100);
      acad = control->ActiveAcadWindow();
    }
  }
  if (!acad) {
    std::fprintf(stderr, "no AutoCAD window found on the desktop\n");
    return 2;
  }
  int delivered = 0, failed = 0;
  auto count = [&](bool ok) { ok ? ++delivered : ++failed; };
  // Through the component when the window belongs to an installed edition;
  // otherwise (a program with AutoCAD's windows that is not registered)
  // straight through a queue of the same kind, to the same windows.
  std::unique_ptr<qel::TAsyncCmdList> queue;
  std::function<bool(int)> send;
  if (control->AttachAcad(acad)) {
    control->OnAsyncSended = [&](qel::TAcadControl*, int, HWND, bool ok) { count(ok); };
    send = [&](int no) { return control->SendCommand("_OsMode 0\r", no); };
    std::printf("attached as %s\n", control->GetAcadTypeName().c_str());
  } else {
    const HWND frame = GetWindow(acad, GW_CHILD);
    const HWND prompt = qel::FindChildWindow(frame, "Headlands", "");
    queue = std::make_unique<qel::TAsyncCmdList>();
    send = [&, prompt](int no) {
      return queue->AddCommand(no, acad, [&](qel::TAcadCmdThread*, int, HWND, bool ok) { count(ok); }, nullptr, false,
                               "_OsMode 0\r", prompt);
    };
    std::printf("not an installed edition: delivering through a queue of its own\n");
  }
  LARGE_INTEGER freq, t0, t1;
  QueryPerformanceFrequency(&freq);
  QueryPerformanceCounter(&t0);
  for (int i = 0; i < n; ++i)
    if (!send(i + 1)) ++failed;
  // Bounded: twice the ideal time plus ten seconds.
  const ULONGLONG limit = GetTickCount64() + static_cast<ULONGLONG>(n) * 200 + 10000;
  while (delivered + failed < n && GetTickCount64() < limit) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
    qel::ProcessPendingMessages();
  }
  QueryPerformanceCounter(&t1);
  const double seconds = static_cast<double>(t1.QuadPart - t0.QuadPart) / static_cast<double>(freq.QuadPart);
  std::printf("commands: %d delivered, %d failed, %d outstanding\n", delivered, failed, n - delivered - failed);
  std::printf("total: %.3f s; ratio to %d x 100 ms: %.3f\n", seconds, n, seconds / (n * 0.1));
  queue.reset();
  control.reset();
  if (started.hProcess) {
    TerminateProcess(started.hProcess, 0);
    CloseHandle(started.hProcess);
    CloseHandle(started.hThread);
  }
  return delivered == n ? 0 : 1;
}

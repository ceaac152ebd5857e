// Shows the windows a running AutoCAD has, as another program sees them:
// a main frame of class "Afx:400000:b:..." titled "AutoCAD ...", an
// MDIClient with one drawing window and its view, the frame command window
// "Marin" with its prompt ("Headlands") and input ("MountTam") windows, a
// bar command window, and for the 2000 role the control bar. The prompt
// windows keep their titles but answer WM_GETTEXT with the prompt line.
// Every WM_COPYDATA with identifier 1 is appended to a log file as one line
// "<cbData> <hex bytes>"; identifier 2 sets the prompt line, identifier 3
// opens a dialog with the given caption (tests). A character typed into a
// prompt or view window is logged as "K view|frame|bar <hex>".
//
// Arguments: --role lt|2000   --log <file>   --prompt <text>
//            --exit-after <n> (ends after the n-th command)
//            --hang-after <n> (stops answering after the n-th command)
//            --exit-now (ends before showing any window)
// The ".xmx" file beside the program is held open while it runs.
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

std::string g_prompt = "Command: ";
std::string g_logPath;
int g_exitAfter = 0;
int g_hangAfter = 0;
int g_received = 0;

std::string Narrow(const wchar_t* w) {
  const int n = WideCharToMultiByte(CP_ACP, 0, w, -1, nullptr, 0, nullptr, nullptr);
  std::string s(n > 0 ? n - 1 : 0, '\0');
  if (n > 1) WideCharToMultiByte(CP_ACP, 0, w, -1, s.data(), n, nullptr, nullptr);
  return s;
}

void AppendLog(const unsigned char* data, DWORD size) {
  if (g_logPath.empty()) return;
  FILE* f = std::fopen(g_logPath.c_str(), "ab");
  if (!f) return;
  std::fprintf(f, "%lu ", static_cast<unsigned long>(size));
  for (DWORD i = 0; i < size; ++i) std::fprintf(f, "%02x", data[i]);
  std::fprintf(f, "\n");
  std::fclose(f);
}

void LogKey(HWND wnd, WPARAM ch) {
  if (g_logPath.empty()) return;
  // Which window got it: the view, or the prompt of the frame or bar
  // command window (told apart by the class two levels up).
  char cls[64] = {};
  GetClassNameA(wnd, cls, sizeof(cls));
  char upper[64] = {};
  GetClassNameA(GetParent(GetParent(wnd)), upper, sizeof(upper));
  const char* title = std::strcmp(cls, "AcStaticViewClass") == 0           ? "view"
                      : std::strcmp(upper, "AfxFrameOrView42") == 0 ? "frame"
                                                                       : "bar";
  FILE* f = std::fopen(g_logPath.c_str(), "ab");
  if (!f) return;
  std::fprintf(f, "K %s %02x\n", title, static_cast<unsigned>(ch));
  std::fclose(f);
}

LRESULT CALLBACK PromptProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_CHAR:
      LogKey(hwnd, wp);
      return 0;
    case WM_GETTEXTLENGTH:
      return static_cast<LRESULT>(g_prompt.size());
    case WM_GETTEXT: {
      if (wp == 0) return 0;
      const std::size_t n = g_prompt.size() < wp - 1 ? g_prompt.size() : wp - 1;
      std::memcpy(reinterpret_cast<char*>(lp), g_prompt.data(), n);
      reinterpret_cast<char*>(lp)[n] = '\0';
      return static_cast<LRESULT>(n);
    }
    default:
      return DefWindowProcA(hwnd, msg, wp, lp);
  }
}

LRESULT CALLBACK MainProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_COPYDATA: {
      const auto* cds = reinterpret_cast<const COPYDATASTRUCT*>(lp);
      if (cds->dwData == 2) {
        g_prompt.assign(static_cast<const char*>(cds->lpData), strnlen(static_cast<const char*>(cds->lpData), cds->cbData));
        return 1;
      }
      if (cds->dwData == 3) {
        // A message box of AutoCAD's own kind, owned by the main frame.
        HWND box = CreateWindowExA(0, "ADESK_DLG_FIXTURE", static_cast<const char*>(cds->lpData),
                                   WS_POPUP | WS_CAPTION | WS_VISIBLE, 100, 100, 300, 120, hwnd, nullptr,
                                   GetModuleHandleA(nullptr), nullptr);
        CreateWindowExA(0, "Static", "", WS_CHILD | WS_VISIBLE, 10, 10, 200, 20, box, nullptr,
                        GetModuleHandleA(nullptr), nullptr);
        CreateWindowExA(0, "Static", "Drawing1.dwg was saved.", WS_CHILD | WS_VISIBLE, 10, 40, 200, 20, box, nullptr,
                        GetModuleHandleA(nullptr), nullptr);
        return 1;
      }
      if (cds->dwData != 1) return 0;
      AppendLog(static_cast<const unsigned char*>(cds->lpData), cds->cbData);
      ++g_received;
      if (g_exitAfter > 0 && g_received >= g_exitAfter) {
        DestroyWindow(hwnd);
        return 1;
      }
      if (g_hangAfter > 0 && g_received >= g_hangAfter) {
        ReplyMessage(1);
        Sleep(INFINITE);  // the test ends the process
      }
      return 1;
    }
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcA(hwnd, msg, wp, lp);
  }
}

void Register(const char* name, WNDPROC proc) {
  WNDCLASSA wc{};
  wc.lpfnWndProc = proc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  wc.lpszClassName = name;
  RegisterClassA(&wc);
}

HWND Child(const char* cls, const char* title, HWND parent, int x, int y, int w, int h) {
  return CreateWindowExA(0, cls, title, WS_CHILD | WS_VISIBLE, x, y, w, h, parent, nullptr,
                         GetModuleHandleA(nullptr), nullptr);
}

void ToTop(HWND wnd) { SetWindowPos(wnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE); }

// A command window "Marin" with its prompt and input windows; the prompt
// window is the first child.
HWND CommandWindow(HWND parent, int y) {
  HWND marin = Child("AfxWnd42", "Marin", parent, 0, y, 600, 40);
  HWND input = Child("FixtureInput", "MountTam", marin, 0, 20, 600, 20);
  HWND prompt = Child("FixturePrompt", "Headlands", marin, 0, 0, 600, 20);
  ToTop(prompt);
  (void)input;
  return marin;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int show) {
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  std::string role = "2000";
  bool exitNow = false;
  for (int i = 1; i < argc; ++i) {
    const std::wstring a = argv[i];
    const bool more = i + 1 < argc;
    if (a == L"--role" && more) role = Narrow(argv[++i]);
    else if (a == L"--log" && more) g_logPath = Narrow(argv[++i]);
    else if (a == L"--prompt" && more) g_prompt = Narrow(argv[++i]);
    else if (a == L"--exit-after" && more) g_exitAfter = _wtoi(argv[++i]);
    else if (a == L"--hang-after" && more) g_hangAfter = _wtoi(argv[++i]);
    else if (a == L"--exit-now") exitNow = true;
  }
  if (exitNow) return 3;

  wchar_t exe[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, exe, MAX_PATH);
  std::wstring xmx = exe;
  xmx = xmx.substr(0, xmx.find_last_of(L'.')) + L".xmx";
  // Held without sharing, as AutoCAD holds its message file.
  HANDLE held = CreateFileW(xmx.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);

  Register("Afx:400000:b:10011:6:fixture", MainProc);
  Register("AfxFrameOrView42", DefWindowProcA);
  Register("AfxWnd42", DefWindowProcA);
  Register("AfxControlBar42", DefWindowProcA);
  Register("AcStaticViewClass", PromptProc);
  Register("Afx:400000:b:drawing", DefWindowProcA);
  Register("ADESK_DLG_FIXTURE", DefWindowProcA);
  Register("FixturePrompt", PromptProc);
  Register("FixtureInput", PromptProc);

  const bool lt = role == "lt";
  const char* title = lt ? "AutoCAD LT 98 - [Drawing.dwg]" : "AutoCAD 2000 - [Drawing1.dwg]";
  HWND main = CreateWindowExA(0, "Afx:400000:b:10011:6:fixture", title, WS_OVERLAPPEDWINDOW, 40, 40, 800, 600,
                              nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
  CLIENTCREATESTRUCT ccs{};
  HWND mdi = CreateWindowExA(0, "MDIClient", "", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 800, 400, main,
                             nullptr, GetModuleHandleA(nullptr), &ccs);
  HWND drawing = Child("Afx:400000:b:drawing", "Drawing1.dwg", mdi, 0, 0, 600, 300);
  Child("AcStaticViewClass", "", drawing, 0, 0, 600, 300);
  if (lt) {
    HWND bar = Child("AfxWnd42", "", main, 0, 460, 800, 50);
    CommandWindow(bar, 0);
  } else {
    HWND controlBar = Child("AfxControlBar42", "", main, 0, 460, 800, 50);
    HWND bar = Child("AfxWnd42", "", controlBar, 0, 0, 800, 50);
    CommandWindow(bar, 0);
  }
  HWND frame = Child("AfxFrameOrView42", "", main, 0, 400, 800, 60);
  HWND marin = CommandWindow(frame, 0);
  ToTop(marin);
  ToTop(frame);
  ShowWindow(main, show == SW_SHOWMINNOACTIVE ? SW_SHOWMINNOACTIVE : SW_SHOWNOACTIVATE);

  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  if (held != INVALID_HANDLE_VALUE) CloseHandle(held);
  LocalFree(argv);
  return 0;
}

// Test driver: starts the AutoCAD stand-in, waits for its main window and
// delivers a script of command texts to it as WM_COPYDATA (identifier 1),
// one text per script line, the way the link library delivers them. After
// each text it prints the prompt line the frame's prompt window answers,
// so the caller can check the conversation. Ends the stand-in at the end.
//   acad_feed <program> <arguments> <script file>
// Script lines are UTF-8 and sent as code page 932 bytes; backslash escapes
// stand for a carriage return (r), a byte in hex (xHH) and a backslash.
// Exit code 0 only when every text was accepted and the stand-in ended by
// itself after WM_CLOSE.
#include <windows.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace {

std::wstring Wide(const std::string& s, UINT cp) {
  int n = MultiByteToWideChar(cp, 0, s.data(), static_cast<int>(s.size()), nullptr, 0);
  std::wstring w(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(cp, 0, s.data(), static_cast<int>(s.size()), w.data(), n);
  return w;
}

std::string Cp932(const std::wstring& w) {
  int n = WideCharToMultiByte(932, 0, w.data(), static_cast<int>(w.size()), nullptr, 0, nullptr, nullptr);
  std::string s(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(932, 0, w.data(), static_cast<int>(w.size()), s.data(), n, nullptr, nullptr);
  return s;
}

std::string Unescape(const std::string& line) {
  std::string out;
  for (size_t i = 0; i < line.size(); ++i) {
    if (line[i] != '\\' || i + 1 >= line.size()) { out += line[i]; continue; }
    char c = line[++i];
    if (c == 'r') out += '\r';
    else if (c == 'x' && i + 2 < line.size()) { out += static_cast<char>(std::stoi(line.substr(i + 1, 2), nullptr, 16)); i += 2; }
    else out += c;
  }
  return out;
}

struct Found { DWORD pid; HWND wnd; };

BOOL CALLBACK FindFrame(HWND w, LPARAM lp) {
  auto* f = reinterpret_cast<Found*>(lp);
  DWORD pid = 0;
  GetWindowThreadProcessId(w, &pid);
  char cls[100] = {};
  GetClassNameA(w, cls, sizeof cls);
  if (pid == f->pid && std::string(cls).rfind("Afx:400000:b:", 0) == 0) { f->wnd = w; return FALSE; }
  return TRUE;
}

std::string ReadPrompt(HWND w) {
  DWORD_PTR len = 0;
  if (!SendMessageTimeoutA(w, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 5000, &len)) return "<no answer>";
  std::vector<char> buf(len + 256, '\0');
  DWORD_PTR got = 0;
  SendMessageTimeoutA(w, WM_GETTEXT, buf.size() - 1, reinterpret_cast<LPARAM>(buf.data()), SMTO_ABORTIFHUNG, 5000, &got);
  return std::string(buf.data(), got);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: acad_feed <program> <arguments> <script>\n");
    return 2;
  }
  std::ifstream in(argv[3], std::ios::binary);
  if (!in) { std::fprintf(stderr, "cannot read the script\n"); return 2; }
  std::vector<std::string> texts;
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty()) texts.push_back(Cp932(Wide(Unescape(line), CP_UTF8)));   // escapes first: a trail byte may be 0x5C
  }

  std::wstring cmd = L"\"" + std::wstring(argv[1]) + L"\" " + argv[2];
  STARTUPINFOW si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  if (!CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
    std::fprintf(stderr, "cannot start the stand-in\n");
    return 1;
  }
  WaitForInputIdle(pi.hProcess, 20000);
  Found f{pi.dwProcessId, nullptr};
  for (int i = 0; i < 200 && !f.wnd; ++i) {
    EnumWindows(FindFrame, reinterpret_cast<LPARAM>(&f));
    if (!f.wnd) Sleep(100);
  }
  HWND frameOrView = f.wnd ? FindWindowExW(f.wnd, nullptr, L"AfxFrameOrView42", nullptr) : nullptr;
  HWND marin = frameOrView ? FindWindowExA(frameOrView, nullptr, nullptr, "Marin") : nullptr;
  HWND prompt = marin ? FindWindowExA(marin, nullptr, nullptr, "Headlands") : nullptr;
  int rc = 0;
  if (!prompt) {
    std::fprintf(stderr, "the stand-in's prompt window was not found\n");
    rc = 1;
  }
  for (size_t i = 0; rc == 0 && i < texts.size(); ++i) {
    for (int poll = 0; poll < 50 && ReadPrompt(prompt).empty(); ++poll) Sleep(20);
    COPYDATASTRUCT cds{1, static_cast<DWORD>(texts[i].size() + 1), texts[i].data()};
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(f.wnd, WM_COPYDATA, reinterpret_cast<WPARAM>(f.wnd), reinterpret_cast<LPARAM>(&cds),
                             SMTO_ABORTIFHUNG, 10000, &result) || result == 0) {
      std::fprintf(stderr, "text %zu was not accepted\n", i + 1);
      rc = 1;
    }
    // The prompt as bytes, shown as UTF-8 for the checker.
    std::wstring w = Wide(ReadPrompt(prompt), 932);
    int n = WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), utf8.data(), n, nullptr, nullptr);
    std::printf("%zu\t%s\n", i + 1, utf8.c_str());
  }
  std::fflush(stdout);
  if (f.wnd) PostMessageW(f.wnd, WM_CLOSE, 0, 0);
  if (WaitForSingleObject(pi.hProcess, 15000) != WAIT_OBJECT_0) {
    std::fprintf(stderr, "the stand-in did not end after WM_CLOSE\n");
    TerminateProcess(pi.hProcess, 1);
    rc = 1;
  }
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return rc;
}

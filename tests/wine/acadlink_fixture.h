#pragma once
// What the link library's Wine tests stand on: editions written into the
// prefix's registry (and put back afterwards), program files copied from
// the fixture program (which carries a version resource), fixture
// processes showing AutoCAD's windows, and a bounded message pump.
#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "acadlink/AcadUnit_win.h"
#include "acadlink/AcadVInf_win.h"
#include "tests/support/temp_dir.h"
#include "win32/text.h"

namespace qel::testing {

inline std::string FixtureExe(const std::string& version) {
  std::string path = std::string("Z:") + QEL_ACAD_FIXTURE_DIR + "/acad_fixture_" + version + ".exe";
  for (char& c : path) c = c == '/' ? '\\' : c;
  return path;
}

inline std::string WinPath(const std::string& path) {
  std::string p = path;
  for (char& c : p) c = c == '/' ? '\\' : c;
  return p.rfind("\\", 0) == 0 ? "Z:" + p : p;
}

// Pumps the test thread's messages until done() or the time is up.
inline bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs) {
  const ULONGLONG end = GetTickCount64() + timeoutMs;
  while (!done()) {
    if (GetTickCount64() > end) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }
  return true;
}

inline void SetRegString(HKEY root, const std::string& key, const std::string& name, const std::string& value,
                         DWORD type = REG_SZ) {
  HKEY h = nullptr;
  RegCreateKeyExW(root, win::Wide(key).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &h, nullptr);
  const std::wstring w = win::Wide(value);
  RegSetValueExW(h, name.empty() ? nullptr : win::Wide(name).c_str(), 0, type,
                 reinterpret_cast<const BYTE*>(w.c_str()), static_cast<DWORD>((w.size() + 1) * sizeof(wchar_t)));
  RegCloseKey(h);
}

inline void SetRegRaw(HKEY root, const std::string& key, const std::string& name, DWORD type, const void* data,
                      DWORD size) {
  HKEY h = nullptr;
  RegCreateKeyExW(root, win::Wide(key).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &h, nullptr);
  RegSetValueExW(h, win::Wide(name).c_str(), 0, type, static_cast<const BYTE*>(data), size);
  RegCloseKey(h);
}

inline void DeleteRegTree(HKEY root, const std::string& key) { RegDeleteTreeW(root, win::Wide(key).c_str()); RegDeleteKeyW(root, win::Wide(key).c_str()); }

// One edition registered in the prefix: the family key's CurVer points at
// a version key of the test's own, whose location value names `folder`.
// The CurVer found before is put back afterwards.
class RegisteredEdition {
 public:
  RegisteredEdition(const std::string& familyKey, const std::string& locationValue, const std::string& folder)
      : familyKey_(familyKey) {
    std::string old;
    if (ReadRegString(HKEY_LOCAL_MACHINE, familyKey, "CurVer", old)) oldCurVer_ = old;
    curVer_ = "QELTEST-" + std::to_string(GetCurrentProcessId());
    SetRegString(HKEY_LOCAL_MACHINE, familyKey, "CurVer", curVer_);
    SetRegString(HKEY_LOCAL_MACHINE, VersionKey(), locationValue, folder);
  }
  ~RegisteredEdition() {
    DeleteRegTree(HKEY_LOCAL_MACHINE, VersionKey());
    DeleteRegTree(HKEY_CURRENT_USER, VersionKey());
    if (oldCurVer_) {
      SetRegString(HKEY_LOCAL_MACHINE, familyKey_, "CurVer", *oldCurVer_);
    } else {
      HKEY h = nullptr;
      if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, win::Wide(familyKey_).c_str(), 0, KEY_ALL_ACCESS, &h) == ERROR_SUCCESS) {
        RegDeleteValueW(h, L"CurVer");
        RegCloseKey(h);
      }
    }
  }
  RegisteredEdition(const RegisteredEdition&) = delete;
  RegisteredEdition& operator=(const RegisteredEdition&) = delete;
  std::string VersionKey() const { return familyKey_ + "\\" + curVer_; }

 private:
  std::string familyKey_;
  std::string curVer_;
  std::optional<std::string> oldCurVer_;
};

// A folder holding a copy of the fixture program under AutoCAD's name.
class ProgramCopy {
 public:
  ProgramCopy(const std::string& version, const std::string& exeName) {
    folder_ = WinPath(dir_.Path());
    exe_ = folder_ + "\\" + exeName;
    CopyFileW(win::Wide(FixtureExe(version)).c_str(), win::Wide(exe_).c_str(), FALSE);
  }
  const std::string& Folder() const { return folder_; }
  const std::string& Exe() const { return exe_; }
  std::string Xmx() const { return exe_.substr(0, exe_.size() - 4) + ".xmx"; }
  std::string File(const std::string& name) const { return folder_ + "\\" + name; }

 private:
  TempDir dir_;
  std::string folder_;
  std::string exe_;
};

// A running fixture process and its AutoCAD main window.
class FixtureProcess {
 public:
  FixtureProcess(const std::string& exe, const std::string& args) {
    STARTUPINFOW si{};
    si.cb = sizeof(si);
    std::wstring cmd = win::Wide("\"" + exe + "\" " + args);
    if (!CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi_)) return;
    WaitForInputIdle(pi_.hProcess, 10000);
    PumpUntil([this] { return (main_ = FindMain()) != nullptr; }, 10000);
  }
  ~FixtureProcess() { Kill(); }
  FixtureProcess(const FixtureProcess&) = delete;
  FixtureProcess& operator=(const FixtureProcess&) = delete;

  HWND Main() const { return main_; }
  DWORD ThreadId() const { return pi_.dwThreadId; }
  void Kill() {
    if (!pi_.hProcess) return;
    TerminateProcess(pi_.hProcess, 0);
    WaitForSingleObject(pi_.hProcess, 10000);
    CloseHandle(pi_.hProcess);
    CloseHandle(pi_.hThread);
    pi_ = PROCESS_INFORMATION{};
  }
  // Sets the line both prompt windows answer with.
  void SetPrompt(const std::string& prompt) const {
    COPYDATASTRUCT cds{2, static_cast<DWORD>(prompt.size() + 1), const_cast<char*>(prompt.c_str())};
    SendMessageW(main_, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&cds));
  }
  // Opens a dialog of AutoCAD's kind with this caption.
  void OpenDialog(const std::string& caption) const {
    COPYDATASTRUCT cds{3, static_cast<DWORD>(caption.size() + 1), const_cast<char*>(caption.c_str())};
    SendMessageW(main_, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&cds));
  }

 private:
  HWND FindMain() const {
    struct Search {
      DWORD pid;
      HWND found;
    } s{pi_.dwProcessId, nullptr};
    EnumWindows(
        [](HWND w, LPARAM lp) WINAPI -> BOOL {
          auto* s = reinterpret_cast<Search*>(lp);
          DWORD pid = 0;
          GetWindowThreadProcessId(w, &pid);
          if (pid == s->pid && IsAcadMainWindow(w)) {
            s->found = w;
            return FALSE;
          }
          return TRUE;
        },
        reinterpret_cast<LPARAM>(&s));
    return s.found;
  }

  PROCESS_INFORMATION pi_{};
  HWND main_ = nullptr;
};

// The payloads a fixture logged, in arrival order.
inline std::vector<std::string> LoggedPayloads(const std::string& logPath) {
  std::vector<std::string> out;
  const std::string text = TempDir::Read(logPath.substr(0, 2) == "Z:" ? logPath.substr(2) : logPath);
  std::size_t pos = 0;
  while (pos < text.size()) {
    const std::size_t end = text.find('\n', pos);
    const std::string line = text.substr(pos, end - pos);
    pos = end == std::string::npos ? text.size() : end + 1;
    const std::size_t blank = line.find(' ');
    if (blank == std::string::npos || line[0] == 'K') continue;
    std::string bytes;
    for (std::size_t i = blank + 1; i + 1 < line.size(); i += 2)
      bytes.push_back(static_cast<char>(std::stoi(line.substr(i, 2), nullptr, 16)));
    if (std::stoul(line.substr(0, blank)) != bytes.size()) bytes = "size mismatch";
    out.push_back(bytes);
  }
  return out;
}

// The characters typed into the fixture's windows: "view|frame|bar <hex>".
inline std::vector<std::string> LoggedKeys(const std::string& logPath) {
  std::vector<std::string> out;
  const std::string text = TempDir::Read(logPath);
  std::size_t pos = 0;
  while (pos < text.size()) {
    const std::size_t end = text.find('\n', pos);
    const std::string line = text.substr(pos, end - pos);
    pos = end == std::string::npos ? text.size() : end + 1;
    if (line.rfind("K ", 0) == 0) out.push_back(line.substr(2));
  }
  return out;
}

}  // namespace qel::testing

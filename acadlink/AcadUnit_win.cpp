#include "acadlink/AcadUnit_win.h"

#include <vector>

#include "acadlink/AcadFunc_win.h"
#include "acadlink/AcadVInf_win.h"
#include "win32/text.h"

namespace qel {

namespace {

// Each edition is looked up once a run (InitAcadEditionCache starts over):
// the link component and the type selection window ask the same questions
// at start-up, and an edition that is not there is the usual answer.
struct EditionEntry {
  std::string exePath;
  bool pathLookedUp = false;  // exePath is the answer, found or not
  bool installed = false;
  bool installedLookedUp = false;
  int startState = 0;  // 0 none, 1 being started, 2 recently started
  ULONGLONG startExpiry = 0;
};

// A start counts as running for this long after it ended (0.0001 day).
constexpr ULONGLONG kStartGraceMs = 8640;

EditionEntry g_cache[kAcadLastEdition + 1];
bool g_started = false;

void EnsureStarted() {
  if (!g_started) InitAcadEditionCache();
}

EditionEntry* Entry(int edition) {
  EnsureStarted();
  if (edition < 0 || edition > kAcadLastEdition) return nullptr;
  return &g_cache[edition];
}

std::string FamilyKey(int edition) {
  return std::string(IsLtEdition(edition) ? "SOFTWARE\\Autodesk\\AutoCAD LT\\" : "SOFTWARE\\Autodesk\\AutoCAD\\") +
         AcadKeyBase(edition);
}

const char* LocationValue(int edition) {
  if (edition == 2 || edition == 3) return "AcltLocation";
  if (edition >= 4 && edition <= 6) return "Location";
  return "AcadLocation";
}

bool FileExists(const std::string& path) {
  if (path.find('\\') == std::string::npos || HasForbiddenPathCharacter(path)) return false;
  WIN32_FIND_DATAW fd;
  const HANDLE h = FindFirstFileW(win::Wide(path).c_str(), &fd);
  if (h == INVALID_HANDLE_VALUE) return false;
  FindClose(h);
  const std::wstring name = fd.cFileName;
  return name != L"." && name != L"..";
}

std::string WithExtension(const std::string& path, const std::string& ext) {
  const std::size_t slash = LastBackslash(path);
  const std::size_t dot = path.find_last_of('.');
  if (dot != std::string::npos && (slash == std::string::npos || dot > slash)) return path.substr(0, dot) + ext;
  return path + ext;
}

std::string FolderOf(const std::string& path) {
  const std::size_t slash = LastBackslash(path);
  if (slash == std::string::npos) return {};
  if (slash == 2 && path[1] == ':') return path.substr(0, 3);  // a drive root keeps its backslash
  return path.substr(0, slash);
}

std::string WithBackslash(std::string path) {
  if (!path.empty() && LastBackslash(path) != path.size() - 1) path += '\\';
  return path;
}

std::string EnvironmentPath() {
  const DWORD needed = GetEnvironmentVariableW(L"PATH", nullptr, 0);
  if (needed == 0) return {};
  std::vector<wchar_t> buf(needed + 1);
  const DWORD got = GetEnvironmentVariableW(L"PATH", buf.data(), needed + 1);
  if (got == 0 || got > needed) return {};
  return win::Narrow(std::wstring_view(buf.data(), got));
}

}  // namespace

void InitAcadEditionCache() {
  g_started = true;
  const ULONGLONG now = GetTickCount64();
  for (EditionEntry& e : g_cache) {
    e = EditionEntry{};
    e.startExpiry = now;
  }
  for (int edition = 0; edition <= kAcadLastEdition; ++edition) IsAcadInstalled(edition);
  TAcadRunIndex& index = AcadRunIndex();
  index.Clear();
  index.ForegroundWnd = nullptr;
  index.ActiveWnd = nullptr;
  EnumRunningAcad(index);
}

std::string GetAcadExePath(int edition) {
  EditionEntry* entry = Entry(edition);
  if (!entry || edition == 0) return {};
  if (entry->pathLookedUp) return entry->exePath;
  std::string path;
  if (IsIniEdition(edition)) {
    std::string value;
    const char* key = edition == 1 ? "AutoCAD-LT\\shell\\open\\command" : "AutoCAD-r13\\shell\\open\\command";
    if (ReadRegString(HKEY_CLASSES_ROOT, key, "", value)) path = ExpandLongPath(UnquotePath(value));
  } else {
    const std::string k = FamilyKey(edition);
    std::string curVer, location;
    if (ReadRegString(HKEY_LOCAL_MACHINE, k, "CurVer", curVer) &&
        ReadRegString(HKEY_LOCAL_MACHINE, k + "\\" + curVer, LocationValue(edition), location)) {
      path = ExpandLongPath(UnquotePath(location) + (IsLtEdition(edition) ? "\\ACLT.EXE" : "\\ACAD.EXE"));
    }
    // The three 2000-era editions share one key: the program's version
    // tells which of them it is. An unreadable version keeps the path.
    const std::string expected = AcadExpectedVersion(edition);
    std::string version;
    if (!path.empty() && !expected.empty() && GetFileVersionText(path, false, version) && version != expected)
      path.clear();
  }
  entry->exePath = path;
  entry->pathLookedUp = true;
  return path;
}

std::string GetAcadVersion(int edition) {
  std::string version;
  GetFileVersionText(GetAcadExePath(edition), true, version);
  // A program found but unreadable is looked for again next time.
  if (version.empty())
    if (EditionEntry* entry = Entry(edition); entry && !entry->exePath.empty()) {
      entry->exePath.clear();
      entry->pathLookedUp = false;
    }
  return version;
}

bool IsAcadInstalled(int edition) {
  EditionEntry* entry = Entry(edition);
  if (!entry) return false;
  if (entry->installedLookedUp) return entry->installed;
  entry->installed = !GetAcadVersion(edition).empty();
  entry->installedLookedUp = true;
  return entry->installed;
}

bool IsAcadRunning(int edition) {
  EditionEntry* entry = Entry(edition);
  if (!entry) return false;
  const std::string p = GetAcadExePath(edition);
  if (p.empty() || !FileExists(p)) return false;
  const std::string x = WithExtension(p, ".xmx");
  if (!FileExists(x)) return false;
  if (entry->startState == 2 && GetTickCount64() > entry->startExpiry) entry->startState = 0;
  if (entry->startState > 0) return true;
  const std::wstring wx = win::Wide(x);
  SetFileAttributesW(wx.c_str(), FILE_ATTRIBUTE_ARCHIVE);
  const HANDLE h = CreateFileW(wx.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return true;  // the running AutoCAD holds it
  CloseHandle(h);
  return false;
}

void MarkAcadStarting(int edition, bool starting) {
  EditionEntry* entry = Entry(edition);
  if (!entry) return;
  if (starting) {
    entry->startState = 1;
  } else {
    entry->startState = 2;
    entry->startExpiry = GetTickCount64() + kStartGraceMs;
  }
}

bool CanExecuteAcad(int edition) {
  if (!IsAcadInstalled(edition)) return false;
  const SiblingEditions siblings = AcadSiblings(edition);
  for (int i = 0; i < siblings.count; ++i)
    if (IsAcadRunning(siblings.editions[i])) return false;
  return true;
}

std::string GetAcadVersionKey(int edition) {
  if (!IsAcadInstalled(edition)) return {};
  if (IsIniEdition(edition)) {
    std::string drive = GetAcadExePath(edition).substr(0, 2);
    for (char& c : drive)
      if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return "SOFTWARE\\Autodesk\\" + drive + "\\Autodesk\\" + AcadKeyBase(edition);
  }
  const std::string k = FamilyKey(edition);
  std::string curVer;
  if (!ReadRegString(HKEY_LOCAL_MACHINE, k, "CurVer", curVer)) return {};
  return k + "\\" + curVer;
}

std::string GetAcadProfileKey(int edition) {
  const std::string versionKey = GetAcadVersionKey(edition);
  if (versionKey.empty()) return {};
  if (IsIniEdition(edition)) return WithExtension(GetAcadExePath(edition), ".ini");
  std::string profile;
  if (!ReadRegString(HKEY_CURRENT_USER, versionKey + "\\Profiles", "", profile)) return {};
  return versionKey + "\\Profiles\\" + profile;
}

bool GetAcadSDIMode(int edition) {
  if (!IsProfileEdition(edition)) return true;
  const std::string pk = GetAcadProfileKey(edition);
  if (pk.empty()) return false;
  bool ok = false;
  const DWORD value = ReadRegDWord(HKEY_CURRENT_USER, pk + "\\Drawing Window", "SDIMode", &ok);
  if (!ok) return false;
  if (!IsAcadRunning(edition))
    WriteRegDWord(HKEY_CURRENT_USER, std::string(kAcadToolKey) + "\\" + GetAcadEditionName(edition), "SDIMode", true,
                  value);
  return value == 1;
}

bool SetAcadSDIMode(int edition, bool value) {
  if (!IsProfileEdition(edition)) return true;
  const std::string pk = GetAcadProfileKey(edition);
  if (pk.empty()) return false;
  const std::string key = pk + "\\Drawing Window";
  if (value) return WriteRegDWord(HKEY_CURRENT_USER, key, "SDIMode", true, 1);
  return DeleteRegValueFlush(HKEY_CURRENT_USER, key, "SDIMode", true);
}

bool StartAcadProcess(int edition, const std::string& cmdLine, const std::string& workDir, int show,
                      PROCESS_INFORMATION& info) {
  info = PROCESS_INFORMATION{};
  const std::string p = GetAcadExePath(edition);
  if (p.empty()) return false;
  std::string command = "\"" + p + "\"";
  if (!cmdLine.empty()) command += " " + cmdLine;
  const std::string folder = workDir.empty() ? FolderOf(p) : workDir;
  STARTUPINFOW si{};
  si.cb = sizeof(si);
  GetStartupInfoW(&si);
  // Our C runtime's inherited-handle table means nothing to AutoCAD.
  si.lpReserved = nullptr;
  si.cbReserved2 = 0;
  si.lpReserved2 = nullptr;
  si.dwFlags |= STARTF_USESHOWWINDOW;
  si.wShowWindow = static_cast<WORD>(show == 1 ? SW_SHOWMINNOACTIVE : show == 2 ? SW_SHOWMAXIMIZED : SW_SHOWDEFAULT);
  std::wstring wcommand = win::Wide(command);
  const std::wstring wfolder = win::Wide(folder);
  return CreateProcessW(nullptr, wcommand.data(), nullptr, nullptr, FALSE, 0x04000220, nullptr,
                        wfolder.empty() ? nullptr : wfolder.c_str(), &si, &info) != FALSE;
}

bool SetAcadSharedPath(const std::string& programDir) {
  const char* cv = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
  std::string cf;
  if (!ReadRegString(HKEY_LOCAL_MACHINE, cv, "CommonFilesDir", cf)) {
    std::string pf;
    if (ReadRegString(HKEY_LOCAL_MACHINE, cv, "ProgramFilesDir", pf)) {
      cf = WithBackslash(pf) + "Common Files";
    } else {
      wchar_t windir[MAX_PATH] = {};
      GetWindowsDirectoryW(windir, MAX_PATH);
      cf = win::Narrow(windir).substr(0, 3) + "Program Files\\Common Files";
    }
  }
  const std::string shared = WithBackslash(cf) + "Autodesk Shared";
  std::string head = shared;
  if (!programDir.empty()) head += ";" + programDir;
  std::string shortShared;
  wchar_t shortBuf[MAX_PATH] = {};
  const DWORD n = GetShortPathNameW(win::Wide(shared).c_str(), shortBuf, MAX_PATH);
  if (n > 0 && n < MAX_PATH) shortShared = win::Narrow(shortBuf);
  const std::string old = EnvironmentPath();
  std::string value;
  if (!old.empty()) {
    value = head + ";" + CleanPathList(old, shared, shortShared);
  } else {
    wchar_t sys[MAX_PATH] = {}, windir[MAX_PATH] = {};
    GetSystemDirectoryW(sys, MAX_PATH);
    GetWindowsDirectoryW(windir, MAX_PATH);
    value = head + ";" + WithBackslash(win::Narrow(sys)) + ";" + WithBackslash(win::Narrow(windir));
  }
  // An environment value longer than the system takes is refused by it;
  // the old PATH then stays as it was.
  return SetEnvironmentVariableW(L"PATH", win::Wide(value).c_str()) != FALSE;
}

}  // namespace qel

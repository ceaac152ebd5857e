// File access of the Windows build: wide Win32 file functions, so that
// Shift-JIS path names work whatever the system code page is.
#include <windows.h>

#include <algorithm>
#include <new>
#include <string>
#include <vector>

#include "base/file_io.h"
#include "win32/system_error.h"
#include "win32/text.h"

namespace qel {

namespace {
[[noreturn]] void Fail(DWORD err, const std::string& path) {
  throw FileError(win::SystemMessage(err) + " (" + path + ")");
}

struct Handle {
  HANDLE h;
  ~Handle() { if (h != INVALID_HANDLE_VALUE) CloseHandle(h); }
};

// The empty rf*.tmp files in the target's folder. Wine's ReplaceFileW makes
// one there for its own use and leaves it behind when the target is locked
// or read-only; the names from before the call tell which one is its.
std::vector<std::wstring> EmptyReplaceLeftovers(const std::wstring& target) {
  const size_t slash = target.find_last_of(L"\\/");
  const std::wstring folder = slash == std::wstring::npos ? L"" : target.substr(0, slash + 1);
  std::vector<std::wstring> names;
  WIN32_FIND_DATAW found{};
  HANDLE scan = FindFirstFileW((folder + L"rf*.tmp").c_str(), &found);
  if (scan == INVALID_HANDLE_VALUE) return names;
  do {
    if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && found.nFileSizeLow == 0 && found.nFileSizeHigh == 0)
      names.push_back(folder + found.cFileName);
  } while (FindNextFileW(scan, &found));
  FindClose(scan);
  return names;
}

// Attributes a replacement takes over from the file it replaces.
constexpr DWORD kKeptAttributes = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE |
                                  FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
}  // namespace

std::string ReadWholeFile(const std::string& path) {
  Handle f{CreateFileW(win::Wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                       OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)};
  if (f.h == INVALID_HANDLE_VALUE) Fail(GetLastError(), path);
  // A device (COM1, CON, a pipe) answers reads that may never end.
  if (GetFileType(f.h) != FILE_TYPE_DISK) ThrowNotARegularFile(path);
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(f.h, &size)) Fail(GetLastError(), path);
  if (static_cast<std::uint64_t>(size.QuadPart) > kMaxReadFileSize) ThrowFileTooLarge(path);
  std::string data;
  try {
    data.reserve(static_cast<std::size_t>(size.QuadPart));
    char buf[1 << 16];
    for (;;) {
      DWORD got = 0;
      if (!ReadFile(f.h, buf, sizeof buf, &got, nullptr)) Fail(GetLastError(), path);
      if (got == 0) break;
      // The file may grow while it is read.
      if (data.size() + got > kMaxReadFileSize) ThrowFileTooLarge(path);
      data.append(buf, got);
    }
  } catch (const std::bad_alloc&) {
    ThrowOutOfMemory(path);
  }
  return data;
}

void ReplaceFileContents(const std::string& path, const std::string& data) {
  const std::wstring target = win::Wide(path);
  const DWORD attrs = GetFileAttributesW(target.c_str());
  const bool replacing = attrs != INVALID_FILE_ATTRIBUTES;
  if (replacing) {
    if (attrs & FILE_ATTRIBUTE_DIRECTORY) Fail(ERROR_ACCESS_DENIED, path);
    if (attrs & FILE_ATTRIBUTE_READONLY) Fail(ERROR_ACCESS_DENIED, path);
  }
  // A name already taken, even by a folder or another save's temporary
  // file, is passed over rather than reused.
  std::wstring tmp;
  Handle f{INVALID_HANDLE_VALUE};
  for (int attempt = 0; f.h == INVALID_HANDLE_VALUE; ++attempt) {
    if (attempt == kTemporarySaveAttempts) Fail(ERROR_FILE_EXISTS, path);
    tmp = win::Wide(TemporarySaveName(path, attempt));
    f.h = CreateFileW(tmp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f.h == INVALID_HANDLE_VALUE) {
      const DWORD err = GetLastError();
      if (GetFileAttributesW(tmp.c_str()) == INVALID_FILE_ATTRIBUTES) Fail(err, path);
    }
  }
  std::size_t done = 0;
  while (done < data.size()) {
    DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(data.size() - done, 1u << 24));
    DWORD wrote = 0;
    if (!WriteFile(f.h, data.data() + done, chunk, &wrote, nullptr)) {
      DWORD err = GetLastError();
      CloseHandle(f.h);
      f.h = INVALID_HANDLE_VALUE;
      DeleteFileW(tmp.c_str());
      Fail(err, path);
    }
    done += wrote;
  }
  CloseHandle(f.h);
  f.h = INVALID_HANDLE_VALUE;
  // ReplaceFileW keeps what belongs to the target rather than to its
  // contents (creation time, security, attributes); a new file has none.
  // The attributes are also set beforehand: Wine's ReplaceFileW drops them.
  BOOL ok;
  if (replacing) {
    SetFileAttributesW(tmp.c_str(), (attrs & kKeptAttributes) ? attrs & kKeptAttributes : FILE_ATTRIBUTE_NORMAL);
    const std::vector<std::wstring> before = EmptyReplaceLeftovers(target);
    ok = ReplaceFileW(target.c_str(), tmp.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr);
    if (!ok) {
      const DWORD err = GetLastError();
      for (const std::wstring& name : EmptyReplaceLeftovers(target))
        if (std::find(before.begin(), before.end(), name) == before.end()) DeleteFileW(name.c_str());
      SetLastError(err);
    }
  } else {
    ok = MoveFileExW(tmp.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
  }
  if (!ok) {
    DWORD err = GetLastError();
    DeleteFileW(tmp.c_str());
    Fail(err, path);
  }
}

}  // namespace qel

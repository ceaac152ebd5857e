// File access of the Windows build: wide Win32 file functions, so that
// Shift-JIS path names work whatever the system code page is.
#include <windows.h>

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
}  // namespace

std::string ReadWholeFile(const std::string& path) {
  Handle f{CreateFileW(win::Wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                       OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)};
  if (f.h == INVALID_HANDLE_VALUE) Fail(GetLastError(), path);
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(f.h, &size)) Fail(GetLastError(), path);
  std::string data;
  data.reserve(static_cast<std::size_t>(size.QuadPart));
  char buf[1 << 16];
  for (;;) {
    DWORD got = 0;
    if (!ReadFile(f.h, buf, sizeof buf, &got, nullptr)) Fail(GetLastError(), path);
    if (got == 0) break;
    data.append(buf, got);
  }
  return data;
}

void ReplaceFileContents(const std::string& path, const std::string& data) {
  const std::wstring target = win::Wide(path);
  DWORD attrs = GetFileAttributesW(target.c_str());
  if (attrs != INVALID_FILE_ATTRIBUTES) {
    if (attrs & FILE_ATTRIBUTE_DIRECTORY) Fail(ERROR_ACCESS_DENIED, path);
    if (attrs & FILE_ATTRIBUTE_READONLY) Fail(ERROR_ACCESS_DENIED, path);
  }
  const std::wstring tmp = target + L".qel-tmp";
  {
    Handle f{CreateFileW(tmp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr)};
    if (f.h == INVALID_HANDLE_VALUE) Fail(GetLastError(), path);
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
  }
  if (!MoveFileExW(tmp.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    DWORD err = GetLastError();
    DeleteFileW(tmp.c_str());
    Fail(err, path);
  }
}

}  // namespace qel

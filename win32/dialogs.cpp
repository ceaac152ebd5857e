#include "win32/dialogs.h"

#include <commdlg.h>

#include <stdexcept>

#include "win32/system_error.h"
#include "win32/text.h"

namespace qel::win {

namespace {

using FileNameFunction = BOOL(WINAPI*)(OPENFILENAMEW*);

// The common dialogs' library is loaded the first time a dialog opens, not
// with the program: it brings the shell and the printing system with it,
// which cost start-up time and memory that most runs never use. It stays
// loaded for the rest of the run.
FileNameFunction DialogFunction(FileDialog::Kind kind) {
  static HMODULE library = nullptr;
  if (!library) {
    library = LoadLibraryW(L"comdlg32.dll");
    if (!library) throw std::runtime_error("comdlg32.dll: " + SystemMessage(GetLastError()));
  }
  const char* name = kind == FileDialog::Kind::Save ? "GetSaveFileNameW" : "GetOpenFileNameW";
  auto function = reinterpret_cast<FileNameFunction>(reinterpret_cast<void*>(GetProcAddress(library, name)));
  if (!function) throw std::runtime_error(std::string("comdlg32.dll: ") + name + ": " + SystemMessage(GetLastError()));
  return function;
}

}  // namespace

std::wstring FileDialog::FilterText() const {
  std::wstring out;
  for (const auto& [description, pattern] : Filter) {
    out += Wide(description);
    out += L'\0';
    out += Wide(pattern);
    out += L'\0';
  }
  out += L'\0';
  return out;
}

std::wstring FileDialog::PlainDefaultExt() const {
  std::wstring ext = Wide(DefaultExt);
  if (ext.rfind(L"*.", 0) == 0) ext.erase(0, 2);
  else if (ext.rfind(L".", 0) == 0) ext.erase(0, 1);
  return ext;
}

bool FileDialog::Execute(HWND owner) {
  std::wstring buffer = Wide(FileName);
  buffer.resize(32768, L'\0');
  const std::wstring filter = FilterText();
  const std::wstring title = Wide(Title);
  const std::wstring folder = Wide(InitialDir);
  const std::wstring ext = PlainDefaultExt();

  OPENFILENAMEW ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = owner;
  ofn.lpstrFilter = Filter.empty() ? nullptr : filter.c_str();
  ofn.nFilterIndex = static_cast<DWORD>(FilterIndex);
  ofn.lpstrFile = buffer.data();
  ofn.nMaxFile = static_cast<DWORD>(buffer.size());
  ofn.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
  ofn.lpstrTitle = title.empty() ? nullptr : title.c_str();
  ofn.lpstrDefExt = ext.empty() ? nullptr : ext.c_str();
  // The program folder is fixed at start-up; the dialogs must not move the
  // current directory under it.
  ofn.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_ENABLESIZING | OFN_NOCHANGEDIR;
  // A name to open must be a file that is there: the dialog says so itself
  // and stays open, instead of handing on a typo or a device name.
  if (kind_ == Kind::Open) ofn.Flags |= OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST;
  const FileNameFunction show = DialogFunction(kind_);
  const BOOL ok = show(&ofn);
  if (!ok) return false;
  FileName = Narrow(buffer.c_str());
  FilterIndex = static_cast<int>(ofn.nFilterIndex);
  return true;
}

}  // namespace qel::win

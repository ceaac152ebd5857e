#include "win32/dialogs.h"

#include <commdlg.h>

#include "win32/text.h"

namespace qel::win {

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
  const BOOL ok = kind_ == Kind::Save ? GetSaveFileNameW(&ofn) : GetOpenFileNameW(&ofn);
  if (!ok) return false;
  FileName = Narrow(buffer.c_str());
  FilterIndex = static_cast<int>(ofn.nFilterIndex);
  return true;
}

}  // namespace qel::win

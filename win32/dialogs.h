#pragma once
// The common open and save dialogs with CP932 texts.
#include <string>
#include <utility>
#include <vector>

#include <windows.h>

namespace qel::win {

class FileDialog {
 public:
  enum class Kind { Open, Save };
  explicit FileDialog(Kind kind = Kind::Open) : kind_(kind) {}

  std::string Title;  // empty: the system's own title
  std::vector<std::pair<std::string, std::string>> Filter;  // description, pattern
  int FilterIndex = 1;     // 1-based; the user's choice after Execute
  std::string DefaultExt;  // added to a name typed without extension
  std::string InitialDir;
  std::string FileName;    // the chosen full path after Execute

  // Shows the dialog modally; false when the user cancelled.
  bool Execute(HWND owner);

  // The filter list in the form the dialog takes: pairs of texts ended by
  // zero characters, and one more zero at the end.
  std::wstring FilterText() const;
  // The default extension without "*." or ".": the dialog wants "txt".
  std::wstring PlainDefaultExt() const;

 private:
  Kind kind_;
};

}  // namespace qel::win

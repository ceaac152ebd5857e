#pragma once
// A program folder for one test, laid out as an installation: Data\ with
// the chosen delivered tables, Readme\ for SETUP.INI. Removed afterwards.
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "base/file_io.h"
#include "list/StrGrdIO.h"
#include "selection/equipment_table.h"
#include "tests/support/temp_dir.h"
#include "win32/text.h"

namespace qel::testing {

// A file of the repository, reached through Wine's Z: drive.
inline std::string RepoFile(const std::string& relative) {
  std::string path = std::string("Z:") + QEL_SOURCE_DIR + "/" + relative;
  for (char& c : path) c = c == '/' ? '\\' : c;
  return path;
}

#ifdef QEL_PROGRAM_EXE
inline std::string ProgramExe() {
  std::string path = std::string("Z:") + QEL_PROGRAM_EXE;
  for (char& c : path) c = c == '/' ? '\\' : c;
  return path;
}
#endif

// A delivered equipment table from the repository, read as the program reads it.
inline Grid DeliveredTable(const std::string& name) {
  Grid g(kEquipmentColCount, kEquipmentRowCount);
  TStringGridIO io;
  io.TargetGrid = &g;
  io.ParseText(ReadWholeFile(RepoFile("data/" + name)), ",", true);
  return g;
}

inline bool FileExists(const std::string& path) {
  return GetFileAttributesW(win::Wide(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

class ProgramFolder {
 public:
  explicit ProgramFolder(const std::vector<std::string>& tables = {"fd.dat", "mel.dat"}, bool readme = true) {
    CreateDirectoryW(win::Wide(File("Data")).c_str(), nullptr);
    if (readme) CreateDirectoryW(win::Wide(File("Readme")).c_str(), nullptr);
    for (const std::string& table : tables) AddTable(table);
  }

  std::string Path() const { return dir_.Path(); }
  std::string File(const std::string& relative) const { return Path() + "\\" + relative; }

  // Copies a delivered table from data\ into Data\, under its own or another name.
  void AddTable(const std::string& delivered, const std::string& as = {}) const {
    CopyFileW(win::Wide(RepoFile("data/" + delivered)).c_str(),
              win::Wide(File("Data\\" + (as.empty() ? delivered : as))).c_str(), FALSE);
  }
  void RemoveTable(const std::string& name) const { DeleteFileW(win::Wide(File("Data\\" + name)).c_str()); }

  void WriteIni(const std::string& tableName) const {
    ReplaceFileContents(IniPath(), "[DATA]\r\ndt_name=" + tableName + "\r\n");
  }
  std::string IniPath() const { return File("Readme\\SETUP.INI"); }
  std::optional<std::string> IniContents() const {
    if (!FileExists(IniPath())) return std::nullopt;
    return ReadWholeFile(IniPath());
  }

 private:
  TempDir dir_;
};

// Runs a piece of a test with the current directory in a folder.
class CurrentDirectory {
 public:
  explicit CurrentDirectory(const std::string& folder) {
    wchar_t buf[MAX_PATH * 4];
    saved_.assign(buf, GetCurrentDirectoryW(MAX_PATH * 4, buf));
    SetCurrentDirectoryW(win::Wide(folder).c_str());
  }
  ~CurrentDirectory() { SetCurrentDirectoryW(saved_.c_str()); }
  CurrentDirectory(const CurrentDirectory&) = delete;
  CurrentDirectory& operator=(const CurrentDirectory&) = delete;

 private:
  std::wstring saved_;
};

}  // namespace qel::testing

#pragma once
// The equipment table in use: the look-up by key, and every decision about
// loading, switching, remembering and saving tables. The main window only
// carries the decisions out through EquipmentTableHost.
#include <optional>
#include <string>
#include <string_view>

#include "base/grid.h"

namespace qel {

constexpr int kEquipmentRowCount = 73;
constexpr int kEquipmentColCount = 18;

// The first row, counting from row 0, whose column 1 is exactly the key;
// the row count (an index past the last row) when none is.
int FindEquipmentRow(const Grid& table, std::string_view key);

// The ticks of the three table entries of the edit menu.
struct TableMenuTicks {
  bool fuji = false;      // "data = fuji(&F)"
  bool mel = false;       // "data = mel(&M)"
  bool userData = false;  // "User Data"
  bool operator==(const TableMenuTicks&) const = default;
};

// A user's choice in the table save dialog: the file name as typed and the
// filter chosen (1 ".sdt", 2 ".dat").
struct TableSaveChoice {
  std::string fileName;
  int filterIndex = 1;
};

// What the main window does for the table logic.
class EquipmentTableHost {
 public:
  virtual ~EquipmentTableHost() = default;
  // Reads the file into the table grid; false when it cannot be read.
  virtual bool LoadTableFile(const std::string& path) = 0;
  // Writes the table grid to the file; errors propagate to the caller.
  virtual void SaveTableFile(const std::string& path) = 0;
  // A modal box with an OK button and the caption "ﾌｧｲﾙ ｴﾗｰ".
  virtual void ShowFileError(const std::string& text) = 0;
  // A modal box with OK and Cancel and the caption "操作確認"; true on OK.
  virtual bool Confirm(const std::string& text) = 0;
  virtual void RunMotorLookUp() = 0;
  // SETUP.INI, section "DATA", key "dt_name"; "err" when absent.
  virtual std::string ReadRememberedName() = 0;
  virtual void RememberName(const std::string& name) = 0;
  virtual void ShowMenuTicks(const TableMenuTicks& ticks) = 0;
  virtual void ShowTableLabel(const std::string& text) = 0;
  // Cell editing and column sizing off in the maintenance view, its
  // "データ編集" box unticked.
  virtual void SwitchEditingOff() = 0;
  // Lays the table grid out for the maintenance view after a load.
  virtual void LayOutTableGrid() = 0;
  // The open dialog for user tables; nothing when cancelled.
  virtual std::optional<std::string> ChooseUserTable() = 0;
  // The save dialog for tables; nothing when cancelled.
  virtual std::optional<TableSaveChoice> ChooseTableSaveName() = 0;
};

class EquipmentTables {
 public:
  EquipmentTables(EquipmentTableHost& host, std::string programFolder)
      : host_(host), folder_(std::move(programFolder)) {}

  void StartUp();            // main window creation
  void SwitchToFuji();       // fuji1Click
  void SwitchToMel();        // mel1Click
  void LoadUserTable();      // dataload1Click
  void SaveTable();          // Button5Click

  const std::string& TableName() const { return tableName_; }
  const TableMenuTicks& Ticks() const { return ticks_; }

 private:
  enum class BuiltIn { Fuji, Mel };
  void SwitchTo(BuiltIn which);
  void SetTicks(TableMenuTicks ticks);
  std::string DataPath(const std::string& name) const;

  EquipmentTableHost& host_;
  std::string folder_;
  std::string tableName_ = "err";
  TableMenuTicks ticks_;
};

}  // namespace qel

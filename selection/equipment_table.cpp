#include "selection/equipment_table.h"

#include "base/paths.h"

namespace qel {

namespace {
const std::string kNothingRemembered = "err";
const std::string kFujiFile = "fd.dat";
const std::string kMelFile = "mel.dat";
}  // namespace

int FindEquipmentRow(const Grid& table, std::string_view key) {
  for (int r = 0; r < table.RowCount(); ++r)
    if (table.Cell(1, r) == key) return r;
  return table.RowCount();
}

std::string EquipmentTables::DataPath(const std::string& name) const {
  return paths::Join(paths::Join(folder_, "Data"), name);
}

void EquipmentTables::SetTicks(TableMenuTicks ticks) {
  ticks_ = ticks;
  host_.ShowMenuTicks(ticks_);
}

void EquipmentTables::StartUp() {
  tableName_ = host_.ReadRememberedName();
  bool loaded;
  if (tableName_ == kNothingRemembered || tableName_.empty()) {
    loaded = host_.LoadTableFile(DataPath(kFujiFile));
    if (!loaded) host_.ShowFileError("fd.datが開けませんでした。");
  } else {
    // A remembered table that is gone is reported; the program does not
    // quietly fall back to another maker's data.
    loaded = host_.LoadTableFile(DataPath(tableName_));
    if (!loaded) host_.ShowFileError("データが開けませんでした。");
  }
  if (loaded) host_.LayOutTableGrid();
  TableMenuTicks ticks;
  ticks.fuji = tableName_ == kFujiFile;
  ticks.mel = tableName_ == kMelFile;
  ticks.userData = !ticks.fuji && !ticks.mel && !tableName_.empty() && tableName_ != kNothingRemembered;
  SetTicks(ticks);
  host_.ShowTableLabel("準拠データは " + tableName_ + " です");
}

void EquipmentTables::SwitchToFuji() { SwitchTo(BuiltIn::Fuji); }
void EquipmentTables::SwitchToMel() { SwitchTo(BuiltIn::Mel); }

void EquipmentTables::SwitchTo(BuiltIn which) {
  const bool fuji = which == BuiltIn::Fuji;
  host_.SwitchEditingOff();
  if (fuji ? ticks_.fuji : ticks_.mel) return;
  if (!host_.Confirm("データ切替えますか？")) return;
  SetTicks({.fuji = fuji, .mel = !fuji, .userData = false});
  const std::string& file = fuji ? kFujiFile : kMelFile;
  if (host_.LoadTableFile(DataPath(file))) {
    host_.ShowTableLabel(fuji ? "富士電機　器具に準拠" : "三菱電機　器具に準拠");
    host_.RunMotorLookUp();
    tableName_ = file;
    host_.RememberName(tableName_);
  } else {
    host_.ShowFileError(file + "が開けませんでした。");
    SetTicks({.fuji = !fuji, .mel = fuji, .userData = false});
  }
}

void EquipmentTables::LoadUserTable() {
  SetTicks({.fuji = false, .mel = false, .userData = true});
  std::optional<std::string> path = host_.ChooseUserTable();
  if (!path) return;
  if (host_.LoadTableFile(*path)) {
    host_.ShowTableLabel(*path + " User 器具に準拠");
    host_.RunMotorLookUp();
    tableName_ = paths::FileName(*path);
    host_.RememberName(tableName_);
  } else {
    host_.ShowFileError("ファイルが開けませんでした。");
    SetTicks({});
  }
}

void EquipmentTables::SaveTable() {
  if (std::optional<TableSaveChoice> choice = host_.ChooseTableSaveName()) {
    const std::string path = paths::ChangeExtension(choice->fileName, choice->filterIndex == 2 ? ".dat" : ".sdt");
    host_.SaveTableFile(path);
    tableName_ = paths::FileName(path);
    host_.RememberName(tableName_);
  }
  host_.SwitchEditingOff();
}

}  // namespace qel

#pragma once
// The circuit list: how a comma-separated row text fills a grid row, the row
// texts of "リストに記入" and "予約記入", the write position and its advance,
// and inserting and deleting rows. The main window passes its control texts
// in and shows the returned messages; nothing here touches a window.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/grid.h"
#include "selection/instrument_selection.h"
#include "selection/motor_selection.h"

namespace qel {

// 21 columns; header row and 20 empty rows at start-up.
constexpr int kListInitialRows = 21;
const std::vector<std::string>& ListHeaders();
// Edit1's text at start-up.
inline constexpr char kInitialCircuitName[] = "名称を記入ください";

// The fields of a row text, at most maxFields of them: bytes 1-32 are
// skipped around fields; a field in double quotes runs to the closing quote
// ("" inside stands for one quote, a missing closing quote lets it run to
// the end); any other field ends at a comma or a byte 0-32, two-byte
// characters stepped over whole. An empty field comes back as " ". A byte 0
// ends the text.
std::vector<std::string> SplitRowText(std::string_view text, std::size_t maxFields);

// Empties every cell of the row, then fills cells from column 0 with the
// fields of the text; fields beyond the last column are dropped.
void WriteRowText(Grid& grid, int row, std::string_view text);

// Everything "リストに記入" reads from the main window. The defaults are the
// window's state at start-up.
struct ListEntryInputs {
  WorkTab tab = WorkTab::DirectOnLine;
  std::string name = kInitialCircuitName;  // Edit1
  bool generalPurposeBreaker = true;       // CheckBox1: the "SA" line, else the "EA" line
  bool earthLeakage = false;               // CheckBox2
  bool reversing = false;                  // CheckBox3
  bool feed = false;                       // CheckBox4
  std::string outputText = "5.5";          // ComboBox1
  MotorLookUp motor;                       // the last look-up, its voltage included
  // Instrumentation tab
  std::string loopFunction;                // ComboBox19
  bool receivingEnabled = false;           // ComboBox20
  std::string receivingText;
  bool outputEnabled = false;              // ComboBox21
  std::string outputDeviceText;
  std::string tag = kTagPlaceholder;       // Label74
};

// A composed row: the text to write and, for reversing and feed circuits,
// the START text that replaces cell 2 after the text is written.
struct SelectionRow {
  std::string text;
  std::optional<std::string> start;
};
// Nothing for an instrumentation row without a chosen device.
std::optional<SelectionRow> ComposeSelectionRow(int row, const ListEntryInputs& inputs);
std::string ReserveRowText(int row);

// A message box the window shows. An empty caption means the plain message
// window that carries the application's title.
struct UserMessage {
  std::string text;
  std::string caption;
  bool operator==(const UserMessage&) const = default;
};
UserMessage NoDeviceMessage();   // "種類を選んでください。"
UserMessage ListFullMessage();   // written into the last row; caption "操作 Error"

struct WriteOutcome {
  bool written = false;               // false when refused or out of range
  std::vector<UserMessage> messages;  // to show in this order
  bool untickDrawingOptions = false;  // CheckBox3 and CheckBox4
  bool rowAdded = false;
  int writePosition = 0;              // the new position, for Edit2 (the selection follows)
};

class CircuitList {
 public:
  explicit CircuitList(Grid& grid) : grid_(grid) {}

  // 21 x 21 with the header texts, write position 1.
  void SetUp();

  Grid& List() { return grid_; }
  const Grid& List() const { return grid_; }

  int WritePosition() const { return writePosition_; }
  // StringGrid1Click: the selected row becomes the write position (kept
  // within the data rows).
  void SelectRow(int row);

  WriteOutcome WriteSelection(const ListEntryInputs& inputs);  // Button3Click
  WriteOutcome WriteReserve();                                 // Button7Click

  // Button1Click: empty rows take the places of the selected range Top to
  // Bottom, the old rows move down. Neither "No." nor the position changes.
  void InsertRows(int top, int bottom);
  // Button4Click; true when the write position had to move up (the window
  // then writes it into Edit2).
  bool DeleteRows(int top, int bottom);

 private:
  void Advance(WriteOutcome& outcome);
  int LastRow() const { return grid_.RowCount() - 1; }

  Grid& grid_;
  int writePosition_ = 1;
};

}  // namespace qel

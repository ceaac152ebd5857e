#pragma once
// Motor circuit selection: the look-up key made from voltage, start method
// and output, and the display labels filled from the matching equipment
// record. The main window only shows these texts in its controls.
#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "base/grid.h"

namespace qel {

// The pages of the main window's tab control, in their order.
enum class WorkTab { DirectOnLine = 0, StarDelta = 1, Instrumentation = 2 };

// Motor outputs offered in ComboBox1 on the direct-on-line tab (21 entries)
// and on the star-delta tab (15 entries).
const std::vector<std::string>& DirectOnLineOutputs();
const std::vector<std::string>& StarDeltaOutputs();

// "200" or "400".
std::string VoltageText(bool voltage400);

// "1 200 5.5", "2 400 160" ...: start, voltage and the output text exactly as
// shown or typed. Empty on the instrumentation tab.
std::string MotorKey(WorkTab tab, bool voltage400, std::string_view outputText);

// One equipment record as the motor tabs show it. Both tabs show the same
// values, each in a label of its own; the trailing comments name them.
struct MotorRecord {
  std::string fullLoadCurrent;  // Label13, Label7 (column 2)
  std::string magneticSwitch;   // Label15, Label29: the main contactor on star-delta (3)
  std::string starContactor;    // Label45 (4)
  std::string deltaContactor;   // Label46 (5)
  std::string thermalRelay;     // Label17, Label31 (6)
  std::string heaterRating;     // Label19, Label33 (7)
  std::string breakerEA;        // Label21, Label37: "EA" line (8, or 16 with earth leakage)
  std::string breakerSA;        // Label22, Label38: "SA" line (9, or 17 with earth leakage)
  std::string breakerRating;    // Label24, Label40 (10)
  std::string wireAB;           // Label26, Label42 (11)
  std::string wireCD;           // Label47 (12)
  std::string wireEF;           // Label48 (13)
  std::string wireG;            // Label49 (14)
  std::string wireH;            // Label50 (15)
  bool operator==(const MotorRecord&) const = default;
};

// The record of a table row; a row past the end gives empty texts.
MotorRecord RecordFromRow(const Grid& table, int row, bool earthLeakage);

struct MotorInputs {
  WorkTab tab = WorkTab::DirectOnLine;
  bool voltage400 = false;     // RadioButton2
  std::string outputText;      // ComboBox1
  bool earthLeakage = false;   // CheckBox2
};

struct MotorLookUp {
  std::string voltageText = "200";
  std::string key;
  int row = 0;  // the table's row count when no record matched
  MotorRecord record;
  bool operator==(const MotorLookUp&) const = default;
};

// ComboBox1Change: the whole motor look-up.
MotorLookUp LookUpMotor(const Grid& table, const MotorInputs& inputs);

// The last motor look-up. The window shows it and the circuit list's row is
// composed from it, so what is written never depends on what a label holds.
class MotorSelection {
 public:
  const MotorLookUp& LookUp(const Grid& table, const MotorInputs& inputs) {
    last_ = LookUpMotor(table, inputs);
    return last_;
  }
  const MotorLookUp& Last() const { return last_; }

 private:
  MotorLookUp last_;
};

// How the circuit list's columns are laid out for the active tab.
enum class ListLayout { Motor, Instrumentation };
constexpr int kListColumns = 21;
std::array<int, kListColumns> ListColumnWidths(ListLayout layout);

// PageControl1Change: the output entries to put into ComboBox1 (nullptr on
// the instrumentation tab, whose box is hidden and keeps its entries) and the
// list layout. Replacing the entries must keep ComboBox1's text; the motor
// look-up runs after the change on every tab.
struct TabChange {
  const std::vector<std::string>* outputs = nullptr;
  ListLayout layout = ListLayout::Motor;
};
TabChange PlanTabChange(WorkTab newTab);

// CheckBox3 "作図指定（可逆）" and CheckBox4 "電源送り" exclude each other: the
// box just ticked stays, the other is unticked; unticking changes nothing else.
struct DrawingOptions {
  bool reversing = false;  // CheckBox3
  bool feed = false;       // CheckBox4
  bool operator==(const DrawingOptions&) const = default;
};
enum class DrawingOption { Reversing, Feed };
// `afterClick` holds both boxes as they are once the click has toggled one.
DrawingOptions ApplyDrawingOptionClick(DrawingOptions afterClick, DrawingOption clicked);

}  // namespace qel

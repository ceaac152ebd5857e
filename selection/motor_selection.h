#pragma once
// Motor circuit selection: the look-up key made from voltage, start method
// and output, and the display labels filled from the matching equipment
// record. The main window only copies these texts into its controls.
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

// The value labels of both motor tabs, named after their controls.
struct MotorLabels {
  std::string Label13, Label7;    // full-load current (column 2)
  std::string Label15, Label29;   // magnetic switch / main contactor (3)
  std::string Label45;            // star contactor (4)
  std::string Label46;            // delta contactor (5)
  std::string Label17, Label31;   // thermal relay (6)
  std::string Label19, Label33;   // heater rating (7)
  std::string Label21, Label37;   // "EA" breaker line (8, or 16 with earth leakage)
  std::string Label22, Label38;   // "SA" breaker line (9, or 17 with earth leakage)
  std::string Label24, Label40;   // breaker rated current (10)
  std::string Label26, Label42;   // wire size A,B (11)
  std::string Label47;            // wire size C,D (12)
  std::string Label48;            // wire size E,F (13)
  std::string Label49;            // wire size G (14)
  std::string Label50;            // wire size H (15)
  bool operator==(const MotorLabels&) const = default;
};

// Both tabs' labels from one table row; a row past the end gives empty texts.
MotorLabels LabelsFromRecord(const Grid& table, int row, bool earthLeakage);

struct MotorInputs {
  WorkTab tab = WorkTab::DirectOnLine;
  bool voltage400 = false;     // RadioButton2
  std::string outputText;      // ComboBox1
  bool earthLeakage = false;   // CheckBox2
};

struct MotorLookUp {
  std::string voltageText;
  std::string key;
  int row = 0;  // the table's row count when no record matched
  MotorLabels labels;
};

// ComboBox1Change: the whole motor look-up.
MotorLookUp LookUpMotor(const Grid& table, const MotorInputs& inputs);

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

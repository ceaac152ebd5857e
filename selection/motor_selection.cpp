#include "selection/motor_selection.h"

#include "selection/equipment_table.h"

namespace qel {

namespace {
// Equipment record columns.
enum Column {
  kCurrent = 2,
  kSwitch = 3,
  kStarContactor = 4,
  kDeltaContactor = 5,
  kThermalRelay = 6,
  kHeater = 7,
  kBreakerEA = 8,
  kBreakerSA = 9,
  kRatedCurrent = 10,
  kWireAB = 11,
  kWireCD = 12,
  kWireEF = 13,
  kWireG = 14,
  kWireH = 15,
  kLeakageBreakerEA = 16,
  kLeakageBreakerSA = 17,
};
}  // namespace

const std::vector<std::string>& DirectOnLineOutputs() {
  static const std::vector<std::string> outputs = {
      "0.1", "0.2", "0.4", "0.75", "1.5", "2.2", "3.7", "5.5", "7.5", "11", "15",
      "18.5", "22", "30", "37", "45", "55", "75", "90", "110", "132"};
  return outputs;
}

const std::vector<std::string>& StarDeltaOutputs() {
  static const std::vector<std::string> outputs = {
      "5.5", "7.5", "11", "15", "18.5", "22", "30", "37", "45", "55", "75", "90", "110", "132", "160"};
  return outputs;
}

std::string VoltageText(bool voltage400) { return voltage400 ? "400" : "200"; }

std::string MotorKey(WorkTab tab, bool voltage400, std::string_view outputText) {
  const char* start = nullptr;
  switch (tab) {
    case WorkTab::DirectOnLine: start = "1 "; break;
    case WorkTab::StarDelta: start = "2 "; break;
    case WorkTab::Instrumentation: return {};
  }
  return start + VoltageText(voltage400) + " " + std::string(outputText);
}

MotorRecord RecordFromRow(const Grid& table, int row, bool earthLeakage) {
  auto cell = [&](int col) { return table.Cell(col, row); };
  MotorRecord r;
  r.fullLoadCurrent = cell(kCurrent);
  r.magneticSwitch = cell(kSwitch);
  r.starContactor = cell(kStarContactor);
  r.deltaContactor = cell(kDeltaContactor);
  r.thermalRelay = cell(kThermalRelay);
  r.heaterRating = cell(kHeater);
  r.breakerEA = cell(earthLeakage ? kLeakageBreakerEA : kBreakerEA);
  r.breakerSA = cell(earthLeakage ? kLeakageBreakerSA : kBreakerSA);
  r.breakerRating = cell(kRatedCurrent);
  r.wireAB = cell(kWireAB);
  r.wireCD = cell(kWireCD);
  r.wireEF = cell(kWireEF);
  r.wireG = cell(kWireG);
  r.wireH = cell(kWireH);
  return r;
}

MotorLookUp LookUpMotor(const Grid& table, const MotorInputs& inputs) {
  MotorLookUp result;
  result.voltageText = VoltageText(inputs.voltage400);
  result.key = MotorKey(inputs.tab, inputs.voltage400, inputs.outputText);
  // The empty key of the instrumentation tab is looked up like any other;
  // the motor labels it fills are not on that tab and are refreshed by the
  // look-up that runs when a motor tab comes back.
  result.row = FindEquipmentRow(table, result.key);
  result.record = RecordFromRow(table, result.row, inputs.earthLeakage);
  return result;
}

std::array<int, kListColumns> ListColumnWidths(ListLayout layout) {
  std::array<int, kListColumns> w{};
  w[0] = 20;
  w[1] = 130;
  for (int c = 2; c <= 17; ++c) {
    if (layout == ListLayout::Instrumentation) w[c] = 3;  // motor columns collapsed
    else w[c] = c <= 5 ? 40 : c <= 12 ? 60 : 30;
  }
  w[18] = 50;
  w[19] = 50;
  w[20] = 60;
  return w;
}

TabChange PlanTabChange(WorkTab newTab) {
  switch (newTab) {
    case WorkTab::DirectOnLine: return {&DirectOnLineOutputs(), ListLayout::Motor};
    case WorkTab::StarDelta: return {&StarDeltaOutputs(), ListLayout::Motor};
    case WorkTab::Instrumentation: break;
  }
  return {nullptr, ListLayout::Instrumentation};
}

DrawingOptions ApplyDrawingOptionClick(DrawingOptions afterClick, DrawingOption clicked) {
  if (clicked == DrawingOption::Reversing && afterClick.reversing) afterClick.feed = false;
  if (clicked == DrawingOption::Feed && afterClick.feed) afterClick.reversing = false;
  return afterClick;
}

}  // namespace qel

// The main window's part of the motor and loop selection and of the
// circuit list: handlers that read the controls, ask the selection and list
// code, and put the answer back into the controls.
#include <string>
#include <utility>

#include "app/Qel_Wirmap.h"
#include "win32/application.h"

namespace qel {

namespace {
// The one place that says which labels show which value of the record:
// both motor tabs have a label of their own for most values.
using RecordLabel = std::pair<std::string MotorRecord::*, win::Label TQel_Wirmap::*>;
constexpr RecordLabel kRecordLabels[] = {
    {&MotorRecord::fullLoadCurrent, &TQel_Wirmap::Label13}, {&MotorRecord::fullLoadCurrent, &TQel_Wirmap::Label7},
    {&MotorRecord::magneticSwitch, &TQel_Wirmap::Label15},  {&MotorRecord::magneticSwitch, &TQel_Wirmap::Label29},
    {&MotorRecord::starContactor, &TQel_Wirmap::Label45},   {&MotorRecord::deltaContactor, &TQel_Wirmap::Label46},
    {&MotorRecord::thermalRelay, &TQel_Wirmap::Label17},    {&MotorRecord::thermalRelay, &TQel_Wirmap::Label31},
    {&MotorRecord::heaterRating, &TQel_Wirmap::Label19},    {&MotorRecord::heaterRating, &TQel_Wirmap::Label33},
    {&MotorRecord::breakerEA, &TQel_Wirmap::Label21},       {&MotorRecord::breakerEA, &TQel_Wirmap::Label37},
    {&MotorRecord::breakerSA, &TQel_Wirmap::Label22},       {&MotorRecord::breakerSA, &TQel_Wirmap::Label38},
    {&MotorRecord::breakerRating, &TQel_Wirmap::Label24},   {&MotorRecord::breakerRating, &TQel_Wirmap::Label40},
    {&MotorRecord::wireAB, &TQel_Wirmap::Label26},          {&MotorRecord::wireAB, &TQel_Wirmap::Label42},
    {&MotorRecord::wireCD, &TQel_Wirmap::Label47},          {&MotorRecord::wireEF, &TQel_Wirmap::Label48},
    {&MotorRecord::wireG, &TQel_Wirmap::Label49},           {&MotorRecord::wireH, &TQel_Wirmap::Label50},
};
}  // namespace

WorkTab TQel_Wirmap::ActiveTab() const { return static_cast<WorkTab>(PageControl1.ActivePageIndex()); }

void TQel_Wirmap::ShowMotorRecord(const MotorRecord& record) {
  for (const auto& [field, label] : kRecordLabels) (this->*label).SetText(record.*field);
}

void TQel_Wirmap::SetListColumnWidths(ListLayout layout) {
  const auto widths = ListColumnWidths(layout);
  for (int c = 0; c < kListColumns; ++c) StringGrid1.SetColWidth(c, widths[static_cast<std::size_t>(c)]);
}

// ---- motor selection ----

void TQel_Wirmap::ComboBox1Change() {
  const MotorLookUp& found = motor_.LookUp(
      StringGrid2.Cells(), {ActiveTab(), RadioButton2.Checked(), ComboBox1.Text(), CheckBox2.Checked()});
  ShowMotorRecord(found.record);
}

void TQel_Wirmap::GroupBox2Click() { ComboBox1Change(); }
void TQel_Wirmap::RadioButton1Click() { ComboBox1Change(); }
void TQel_Wirmap::RadioButton2Click() { ComboBox1Change(); }
void TQel_Wirmap::CheckBox2Click() { ComboBox1Change(); }

void TQel_Wirmap::PageControl1Change() {
  const TabChange change = PlanTabChange(ActiveTab());
  if (change.outputs) ComboBox1.SetItems(*change.outputs);  // the typed text stays
  SetListColumnWidths(change.layout);
  ComboBox1Change();
}

void TQel_Wirmap::ShowDrawingOptions(const DrawingOptions& options) {
  CheckBox3.SetChecked(options.reversing);
  CheckBox4.SetChecked(options.feed);
}

void TQel_Wirmap::CheckBox3Click() {
  ShowDrawingOptions(
      ApplyDrawingOptionClick({CheckBox3.Checked(), CheckBox4.Checked()}, DrawingOption::Reversing));
}

void TQel_Wirmap::CheckBox4Click() {
  ShowDrawingOptions(ApplyDrawingOptionClick({CheckBox3.Checked(), CheckBox4.Checked()}, DrawingOption::Feed));
}

// ---- instrumentation ----

void TQel_Wirmap::ApplyDeviceList(win::ComboBox& list, const DeviceListUpdate& update) {
  if (update.entries) list.SetItems(*update.entries);
  list.SetEnabled(update.enabled);
  if (update.chooseFirstEntry) list.SetItemIndex(0);
}

void TQel_Wirmap::ComboBox19Change() {
  const DeviceListsUpdate update = ChooseLoopFunction(ComboBox19.Text(), ComboBox19.ItemIndex());
  ApplyDeviceList(ComboBox20, update.receiving);
  ApplyDeviceList(ComboBox21, update.output);
}

void TQel_Wirmap::ComboBox2Change() {
  Label74.SetText(BuildTag(ComboBox2.Text(), ComboBox3.Text(), ComboBox4.Text(), ComboBox5.Text(), ComboBox6.Text()));
}

// The controls that describe a motor have no meaning for a signal loop.
void TQel_Wirmap::ShowMotorOnlyControls(bool visible) {
  for (win::Wnd* control : std::initializer_list<win::Wnd*>{&GroupBox2, &Label1, &ComboBox1, &CheckBox1, &CheckBox2})
    control->SetVisible(visible);
}

void TQel_Wirmap::TabSheet3Show() {
  ShowMotorOnlyControls(false);
  const DeviceListsUpdate update = DeviceListsOnTabShown();
  ApplyDeviceList(ComboBox20, update.receiving);
  ApplyDeviceList(ComboBox21, update.output);
}

void TQel_Wirmap::TabSheet3Hide() { ShowMotorOnlyControls(true); }

// ---- circuit list ----

ListEntryInputs TQel_Wirmap::ListEntry() const {
  ListEntryInputs in;
  in.tab = ActiveTab();
  in.name = Edit1.Text();
  in.generalPurposeBreaker = CheckBox1.Checked();
  in.earthLeakage = CheckBox2.Checked();
  in.reversing = CheckBox3.Checked();
  in.feed = CheckBox4.Checked();
  in.outputText = ComboBox1.Text();
  in.motor = motor_.Last();
  in.loopFunction = ComboBox19.Text();
  in.receivingEnabled = ComboBox20.Enabled();
  in.receivingText = ComboBox20.Text();
  in.outputEnabled = ComboBox21.Enabled();
  in.outputDeviceText = ComboBox21.Text();
  in.tag = Label74.Text();
  return in;
}

void TQel_Wirmap::ShowUserMessage(const UserMessage& message) {
  // A message without a caption of its own carries the program's title.
  const std::string& caption = message.caption.empty() ? win::Application::Instance().Title() : message.caption;
  win::MessageBoxCp932(hwnd_, message.text, caption, MB_OK);
}

void TQel_Wirmap::ShowWritePosition() { Edit2.SetText(std::to_string(CircuitList1.WritePosition())); }

void TQel_Wirmap::ShowWriteOutcome(const WriteOutcome& outcome) {
  // A refused row is reported before the selection moves on; the notice
  // that the list ran out of rows comes once the new row is selected.
  std::vector<UserMessage> before = outcome.messages;
  std::vector<UserMessage> after;
  if (outcome.rowAdded && !before.empty()) {
    after.push_back(before.back());
    before.pop_back();
  }
  for (const UserMessage& m : before) ShowUserMessage(m);
  ShowWritePosition();
  if (outcome.untickDrawingOptions) ShowDrawingOptions({});
  for (const UserMessage& m : after) ShowUserMessage(m);
}

void TQel_Wirmap::Button3Click() { ShowWriteOutcome(CircuitList1.WriteSelection(ListEntry())); }

void TQel_Wirmap::Button7Click() { ShowWriteOutcome(CircuitList1.WriteReserve()); }

void TQel_Wirmap::Button1Click() {
  const win::GridRect selected = StringGrid1.Selection();
  CircuitList1.InsertRows(selected.Top, selected.Bottom);
}

void TQel_Wirmap::Button4Click() {
  const win::GridRect selected = StringGrid1.Selection();
  if (CircuitList1.DeleteRows(selected.Top, selected.Bottom)) ShowWritePosition();
}

void TQel_Wirmap::StringGrid1Click() {
  CircuitList1.SelectRow(StringGrid1.Row());
  ShowWritePosition();
}

void TQel_Wirmap::Edit2Change() {
  // Choosing the row the grid already has would collapse a selected range
  // of rows that insert or delete is about to use.
  const int row = CircuitList1.WritePosition();
  if (StringGrid1.Row() != row) StringGrid1.SetRow(row);
}

}  // namespace qel

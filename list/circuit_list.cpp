#include "list/circuit_list.h"

#include <algorithm>

#include "base/cp932.h"

namespace qel {

namespace {

bool IsSkipped(char c) {
  const auto b = static_cast<unsigned char>(c);
  return b >= 1 && b <= 32;
}

// The field after an opening quote; `i` ends past the closing quote.
std::string ReadQuotedField(std::string_view text, std::size_t& i) {
  std::string field;
  ++i;
  while (i < text.size()) {
    if (text[i] == '"') {
      if (i + 1 < text.size() && text[i + 1] == '"') {
        field += '"';
        i += 2;
        continue;
      }
      ++i;
      return field;
    }
    const std::size_t len = cp932::CharLength(text, i);
    field.append(text.substr(i, len));
    i += len;
  }
  return field;  // never closed: the rest of the text
}

std::string ReadPlainField(std::string_view text, std::size_t& i) {
  const std::size_t start = i;
  while (i < text.size() && !IsSkipped(text[i]) && text[i] != ',') i += cp932::CharLength(text, i);
  return std::string(text.substr(start, i - start));
}

// The breaker line CheckBox1 asks for.
const std::string& Breaker(const ListEntryInputs& in) {
  return in.generalPurposeBreaker ? in.motor.record.breakerSA : in.motor.record.breakerEA;
}

}  // namespace

const std::vector<std::string>& ListHeaders() {
  static const std::vector<std::string> headers = SplitRowText(
      "No.,NAME,START,kW,V,A,88(MS),6(☆),19(M⊿),49(TH),49(A),MCB,MCB(Trip),A.B,C.D,E.F,G,H,I/F,Type,Tag", kListColumns);
  return headers;
}

std::vector<std::string> SplitRowText(std::string_view text, std::size_t maxFields) {
  // A zero byte ends the text as it ends any window text.
  text = text.substr(0, text.find('\0'));
  std::vector<std::string> fields;
  std::size_t i = 0;
  auto skip = [&] {
    while (i < text.size() && IsSkipped(text[i])) ++i;
  };
  skip();
  while (i < text.size() && fields.size() < maxFields) {
    std::string field = text[i] == '"' ? ReadQuotedField(text, i) : ReadPlainField(text, i);
    // An empty field still fills its cell, so that it counts as written.
    fields.push_back(field.empty() ? std::string(" ") : std::move(field));
    skip();
    if (i < text.size() && text[i] == ',') {
      ++i;
      skip();
    }
  }
  return fields;
}

void WriteRowText(Grid& grid, int row, std::string_view text) {
  if (row < 0 || row >= grid.RowCount()) return;
  grid.SetRow(row, SplitRowText(text, static_cast<std::size_t>(grid.ColCount())));
}

std::optional<SelectionRow> ComposeSelectionRow(int row, const ListEntryInputs& in) {
  const std::string R = std::to_string(row);
  const std::string L = in.earthLeakage ? "漏" : "";
  const MotorRecord& m = in.motor.record;
  const std::string& V = in.motor.voltageText;
  SelectionRow out;
  switch (in.tab) {
    case WorkTab::DirectOnLine: {
      const std::string head = R + "," + in.name + ",直" + L + "," + in.outputText + "," + V + "," + m.fullLoadCurrent;
      const std::string tail = Breaker(in) + "," + m.breakerRating + "," + m.wireAB + ",,,,,,";
      if (in.feed) {
        // A feed has no starter: switch, relay and heater stay blank.
        out.text = head + "," + ",,," + "," + "," + tail;
        out.start = "送り" + L;
      } else {
        out.text = head + "," + m.magneticSwitch + ",,," + m.thermalRelay + "," + m.heaterRating + "," + tail;
        if (in.reversing) out.start = "可逆" + L;
      }
      return out;
    }
    case WorkTab::StarDelta: {
      out.text = R + "," + in.name + ",☆⊿" + L + "," + in.outputText + "," + V;
      for (const std::string* cell : {&m.fullLoadCurrent, &m.magneticSwitch, &m.starContactor, &m.deltaContactor,
                                      &m.thermalRelay, &m.heaterRating, &Breaker(in), &m.breakerRating, &m.wireAB,
                                      &m.wireCD, &m.wireEF, &m.wireG, &m.wireH})
        out.text += "," + *cell;
      return out;
    }
    case WorkTab::Instrumentation: {
      const std::string device =
          ChosenDeviceText(in.receivingEnabled, in.receivingText, in.outputEnabled, in.outputDeviceText);
      if (device.empty()) return std::nullopt;
      out.text = R + "," + in.name + ",,,,,,,,,,,,,,,,," + in.loopFunction + "," + DeviceCode(device) + "," + in.tag;
      return out;
    }
  }
  return std::nullopt;
}

std::string ReserveRowText(int row) { return std::to_string(row) + ",SP,,,,,,,,,,,,,,,,,"; }

UserMessage NoDeviceMessage() { return {"種類を選んでください。", ""}; }

UserMessage ListFullMessage() {
  return {std::string("行数が足りません行の追加してください。") + "\n\r\n\r" + " - メニュー＞行追加", "操作 Error"};
}

void CircuitList::SetUp() {
  grid_.SetSize(kListColumns, kListInitialRows);
  grid_.ClearAll();
  grid_.SetRow(0, ListHeaders());
  writePosition_ = 1;
}

void CircuitList::SelectRow(int row) { writePosition_ = std::clamp(row, 1, std::max(1, LastRow())); }

WriteOutcome CircuitList::WriteSelection(const ListEntryInputs& inputs) {
  WriteOutcome outcome;
  outcome.writePosition = writePosition_;
  if (writePosition_ > LastRow()) return outcome;
  if (const auto composed = ComposeSelectionRow(writePosition_, inputs)) {
    WriteRowText(grid_, writePosition_, composed->text);
    if (composed->start) grid_.SetCell(2, writePosition_, *composed->start);
    outcome.written = true;
  } else {
    outcome.messages.push_back(NoDeviceMessage());
  }
  Advance(outcome);
  return outcome;
}

WriteOutcome CircuitList::WriteReserve() {
  WriteOutcome outcome;
  outcome.writePosition = writePosition_;
  if (writePosition_ > LastRow()) return outcome;
  WriteRowText(grid_, writePosition_, ReserveRowText(writePosition_));
  outcome.written = true;
  Advance(outcome);
  return outcome;
}

void CircuitList::Advance(WriteOutcome& outcome) {
  if (writePosition_ < LastRow()) {
    ++writePosition_;
    outcome.untickDrawingOptions = true;
  } else {
    // The user is told to add rows, but gets one so that the next write
    // has somewhere to go; the drawing options stay for that write.
    grid_.SetRowCount(grid_.RowCount() + 1);
    ++writePosition_;
    outcome.rowAdded = true;
    outcome.messages.push_back(ListFullMessage());
  }
  outcome.writePosition = writePosition_;
}

void CircuitList::InsertRows(int top, int bottom) {
  top = std::max(top, 1);
  bottom = std::min(bottom, LastRow());
  if (bottom < top) return;
  grid_.InsertRows(top, bottom - top + 1);
}

bool CircuitList::DeleteRows(int top, int bottom) {
  top = std::max(top, 1);
  bottom = std::min(bottom, LastRow());
  if (bottom < top) return false;
  const int n = bottom - top + 1;
  if (n == grid_.RowCount() - 1) {
    // Every data row selected: the list keeps one empty row to write into.
    grid_.SetRowCount(2);
    grid_.ClearRow(1);
  } else {
    grid_.DeleteRows(top, n);
  }
  if (writePosition_ >= grid_.RowCount()) {
    writePosition_ = LastRow();
    return true;
  }
  return false;
}

}  // namespace qel

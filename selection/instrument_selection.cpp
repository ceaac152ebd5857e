#include "selection/instrument_selection.h"

#include <algorithm>

#include "base/cp932.h"

namespace qel {

namespace {
bool IsOneOf(std::string_view text, std::initializer_list<std::string_view> texts) {
  return std::find(texts.begin(), texts.end(), text) != texts.end();
}

TagSelector DigitSelector(const char* suffix, std::string initial) {
  TagSelector s;
  for (char d = '0'; d <= '9'; ++d) s.entries.push_back(std::string(1, d) + suffix);
  s.initialText = std::move(initial);
  return s;
}
}  // namespace

const std::vector<std::string>& LoopFunctions() {
  static const std::vector<std::string> functions = {"Di>Ry", "Di>PLC", "Ai>C", "Ai>PLC", "Ai>PEN", "Ai>1",
                                                     "Ai>4",  "Wi>Ry",  "Wi>PLC", "Do",   "Ao",     "Wo"};
  return functions;
}

const std::vector<std::string>& DigitalInputDevices() {
  static const std::vector<std::string> e = {"", "Di-A 接点", "Di-LS リミットＳＷ", "Di-A その他 Ｄｉ"};
  return e;
}
const std::vector<std::string>& AnalogueInputDevices() {
  static const std::vector<std::string> e = {"",
                                             "Ai-T 計測信号(温度)",
                                             "Ai-F 計測信号(流量)",
                                             "Ai-P 計測信号(圧力)",
                                             "Ai-L 計測信号(ﾚﾍﾞﾙ)",
                                             "Ai- その他 Ａｉ"};
  return e;
}
const std::vector<std::string>& WordInputDevices() {
  static const std::vector<std::string> e = {"", "Wi-B C D ﾜｰﾄﾞ信号"};
  return e;
}
const std::vector<std::string>& DigitalOutputDevices() {
  static const std::vector<std::string> e = {"", "Do-Ry 絶縁信号", "Do-Tr 非絶縁信号", "Do- その他 Do"};
  return e;
}
const std::vector<std::string>& AnalogueOutputDevices() {
  static const std::vector<std::string> e = {"", "Ao-4 -20mA", "Ao-1 -5v", "Ao- その他 Ao"};
  return e;
}
const std::vector<std::string>& WordOutputDevices() {
  static const std::vector<std::string> e = {"", "Wo-B C D ﾜｰﾄﾞ信号"};
  return e;
}

DeviceListsUpdate ChooseLoopFunction(std::string_view function, int position) {
  DeviceListsUpdate u;
  if (IsOneOf(function, {"Di>Ry", "Di>PLC"})) u.receiving.entries = &DigitalInputDevices();
  if (IsOneOf(function, {"Ai>C", "Ai>PLC", "Ai>PEN", "Ai>1", "Ai>4"})) u.receiving.entries = &AnalogueInputDevices();
  if (IsOneOf(function, {"Wi>Ry", "Wi>PLC"})) u.receiving.entries = &WordInputDevices();
  if (function == "Do") u.output.entries = &DigitalOutputDevices();
  if (function == "Ao") u.output.entries = &AnalogueOutputDevices();
  if (function == "Wo") u.output.entries = &WordOutputDevices();
  // Only the side the function uses can be chosen; the other shows its empty
  // first entry so that no stale device reaches the list.
  const bool output = position >= kFirstOutputFunction;
  u.receiving.enabled = !output;
  u.receiving.chooseFirstEntry = output;
  u.output.enabled = output;
  u.output.chooseFirstEntry = !output;
  return u;
}

DeviceListsUpdate DeviceListsOnTabShown() {
  DeviceListsUpdate u;
  u.receiving.chooseFirstEntry = true;
  u.output.chooseFirstEntry = true;
  return u;
}

const TagSelector& SignalKindSelector() {
  static const TagSelector s{{"T 温度", "P 圧力", "F 流量", "L ﾚﾍﾞﾙ", "W 重量", "X その他"}, "X その他"};
  return s;
}

const TagSelector& FunctionSelector() {
  static const TagSelector s{{"I 表示 ", "C 制御", "A 警報", "IC 表示制御", "IA 表示警報", "ICA 表示制御警報",
                              "CA 制御警報", "Q 積算", "QC 積算制御", "QA 積算警報", "QIC 積算表示制御",
                              "QIA 積算表示警報", "QICA 積算表示制御警報", "QCA 積算制御警報", "Z その他"},
                             "Z その他"};
  return s;
}

const TagSelector& HundredsSelector() {
  static const TagSelector s = [] {
    TagSelector d = DigitSelector(" *100", "0 *100");
    d.entries.push_back(" ");
    return d;
  }();
  return s;
}

const TagSelector& TensSelector() {
  static const TagSelector s = DigitSelector(" *10", "0 *10");
  return s;
}

const TagSelector& UnitsSelector() {
  static const TagSelector s = DigitSelector("", "1");
  return s;
}

std::string PartBeforeBlank(std::string_view text) {
  return cp932::HasBlank(text) ? cp932::BeforeFirstBlank(text) : std::string();
}

std::string BuildTag(std::string_view signalKind, std::string_view function, std::string_view hundreds,
                     std::string_view tens, std::string_view units) {
  // Whole characters, so that a typed two-byte letter is not cut in half.
  return cp932::FirstChar(signalKind) + PartBeforeBlank(function) + "-" + cp932::FirstChar(hundreds) +
         cp932::FirstChar(tens) + cp932::FirstChar(units);
}

std::string ChosenDeviceText(bool receivingEnabled, std::string_view receivingText, bool outputEnabled,
                             std::string_view outputText) {
  std::string text;
  if (receivingEnabled) text = receivingText;
  if (outputEnabled) text = outputText;
  return text;
}

}  // namespace qel

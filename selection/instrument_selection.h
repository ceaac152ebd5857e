#pragma once
// Instrumentation loop selection: the loop functions, the receiving and
// output device lists they enable, and the tag number composed from five
// selectors. Nothing here reads the equipment table.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qel {

// ComboBox19, positions 0 to 11; 0-8 are input functions, 9-11 outputs.
const std::vector<std::string>& LoopFunctions();
constexpr int kFirstOutputFunction = 9;

// The device lists; each begins with an empty entry.
const std::vector<std::string>& DigitalInputDevices();   // "Di>Ry", "Di>PLC"
const std::vector<std::string>& AnalogueInputDevices();  // the five "Ai>" functions
const std::vector<std::string>& WordInputDevices();      // "Wi>Ry", "Wi>PLC"
const std::vector<std::string>& DigitalOutputDevices();  // "Do"
const std::vector<std::string>& AnalogueOutputDevices(); // "Ao"
const std::vector<std::string>& WordOutputDevices();     // "Wo"

// What to do with one device list (ComboBox20 receiving, ComboBox21 output).
struct DeviceListUpdate {
  // New entries, with nothing chosen afterwards; unset: the entries stay.
  const std::vector<std::string>* entries = nullptr;
  bool enabled = false;
  // Choose the first (empty) entry; done to every list that is disabled.
  bool chooseFirstEntry = false;
};
struct DeviceListsUpdate {
  DeviceListUpdate receiving;  // ComboBox20
  DeviceListUpdate output;     // ComboBox21
};

// ComboBox19Change: `function` is the chosen text, `position` its index.
// Entries are applied before the enabling and choosing.
DeviceListsUpdate ChooseLoopFunction(std::string_view function, int position);
// TabSheet3Show: both lists disabled with their first entry chosen, until
// the next choice of a loop function.
DeviceListsUpdate DeviceListsOnTabShown();

// The five tag selectors with their entries and initial texts.
struct TagSelector {
  std::vector<std::string> entries;
  std::string initialText;
};
const TagSelector& SignalKindSelector();    // ComboBox2, "X その他"
const TagSelector& FunctionSelector();      // ComboBox3, "Z その他"
const TagSelector& HundredsSelector();      // ComboBox4, "0 *100" (its last entry is a blank)
const TagSelector& TensSelector();          // ComboBox5, "0 *10"
const TagSelector& UnitsSelector();         // ComboBox6, "1"

// Label74 until a selector changes; also the tag of a row written before.
inline constexpr char kTagPlaceholder[] = "TAG　No.作成ください";

// ComboBox2Change: the first character of the signal kind, the function
// letters (the part before the first blank, none when there is no blank),
// "-", and the first characters of the three digit selectors. An emptied
// selector contributes nothing.
std::string BuildTag(std::string_view signalKind, std::string_view function, std::string_view hundreds,
                     std::string_view tens, std::string_view units);

// The part of a text before its first half-width blank; empty when the
// text has none. Two-byte characters are stepped over whole.
std::string PartBeforeBlank(std::string_view text);

// The device code written to the list: "Di-A 接点" gives "Di-A".
inline std::string DeviceCode(std::string_view deviceEntry) { return PartBeforeBlank(deviceEntry); }

// The device text the row writer uses: the receiving list's text if it is
// enabled, then the output list's text if that one is; empty when neither.
std::string ChosenDeviceText(bool receivingEnabled, std::string_view receivingText, bool outputEnabled,
                             std::string_view outputText);

}  // namespace qel

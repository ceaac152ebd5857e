// The two equipment tables delivered with the program, data/fd.dat (Fuji
// Electric) and data/mel.dat (Mitsubishi Electric), read with a parser of
// this test's own: the program finds every record by its key, shows the
// cells as they stand, and saves them back in the same form, so a table with
// a missing key, a wrong field count or a cell in the wrong form fails the
// user silently. The values themselves are checked for what a designer would
// reject at a glance.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#ifndef QEL_SOURCE_DIR
#error "QEL_SOURCE_DIR must name the repository root"
#endif

namespace {

constexpr int kLines = 73;
constexpr int kFields = 18;

const std::vector<std::string> kDirectOutputs = {
    "0.1", "0.2", "0.4", "0.75", "1.5", "2.2", "3.7", "5.5", "7.5", "11", "15",
    "18.5", "22", "30", "37", "45", "55", "75", "90", "110", "132"};
const std::vector<std::string> kStarDeltaOutputs = {
    "5.5", "7.5", "11", "15", "18.5", "22", "30", "37", "45", "55", "75", "90",
    "110", "132", "160"};

// Columns used only by star-delta records: star and delta contactor, wire
// sizes C,D / E,F / G / H.
const std::vector<int> kStarDeltaOnly = {4, 5, 12, 13, 14, 15};
// Columns every record fills.
const std::vector<int> kAlwaysFilled = {0, 1, 2, 3, 6, 7, 8, 9, 10, 11, 16, 17};

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return {};
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The program's rule for a cell that is saved without quotes: optional
// blanks, optional sign, a non-empty rest of digits with an optional "."
// and digits and an optional exponent that has at least one digit.
bool IsNumberText(const std::string& t) {
  std::size_t i = 0;
  auto digits = [&] { while (i < t.size() && t[i] >= '0' && t[i] <= '9') ++i; };
  while (i < t.size() && t[i] == ' ') ++i;
  if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
  if (i == t.size()) return false;
  digits();
  if (i < t.size() && t[i] == '.') {
    ++i;
    digits();
  }
  if (i < t.size() && (t[i] == 'E' || t[i] == 'e')) {
    ++i;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
    std::size_t from = i;
    digits();
    if (i == from) return false;
  }
  return i == t.size();
}

double Number(const std::string& t) { return std::strtod(t.c_str(), nullptr); }

struct Table {
  std::string error;                           // empty when the file is well formed
  std::vector<std::vector<std::string>> rows;  // cells with their quotes removed
};

// Splits the file into CR LF lines and comma-separated fields and checks
// that each field is written as the program would write its cell again:
// bare if and only if the cell reads as a number, else in one pair of quotes
// with no quote inside.
Table Parse(const std::string& bytes) {
  Table t;
  std::size_t pos = 0;
  int lineNo = 0;
  while (pos < bytes.size()) {
    ++lineNo;
    std::size_t lf = bytes.find('\n', pos);
    if (lf == std::string::npos) {
      t.error = "line " + std::to_string(lineNo) + " has no line end";
      return t;
    }
    if (lf == pos || bytes[lf - 1] != '\r') {
      t.error = "line " + std::to_string(lineNo) + " does not end in CR LF";
      return t;
    }
    std::string line = bytes.substr(pos, lf - 1 - pos);
    pos = lf + 1;
    if (line.find('\r') != std::string::npos || line.find('\0') != std::string::npos) {
      t.error = "line " + std::to_string(lineNo) + " holds a stray CR or zero byte";
      return t;
    }
    std::vector<std::string> cells;
    std::stringstream fields(line);
    std::string field;
    while (std::getline(fields, field, ',')) cells.push_back(field);
    if (!line.empty() && line.back() == ',') cells.push_back("");
    for (auto& cell : cells) {
      const std::string where = "line " + std::to_string(lineNo) + " field <" + cell + ">";
      if (!cell.empty() && cell.front() == '"') {
        if (cell.size() < 2 || cell.back() != '"') {
          t.error = where + ": unbalanced quote";
          return t;
        }
        cell = cell.substr(1, cell.size() - 2);
        if (cell.find('"') != std::string::npos) {
          t.error = where + ": quote inside a cell";
          return t;
        }
        if (IsNumberText(cell)) {
          t.error = where + ": a number is saved bare, not quoted";
          return t;
        }
      } else if (!IsNumberText(cell)) {
        t.error = where + ": text must be quoted";
        return t;
      }
    }
    t.rows.push_back(std::move(cells));
  }
  return t;
}

// Shift-JIS: a lead byte (81-9F, E0-FC) takes a trail byte (40-7E, 80-FC);
// 80, A0 and FD-FF never stand alone.
bool IsWellFormedShiftJis(const std::string& s) {
  for (std::size_t i = 0; i < s.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    if ((c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC)) {
      if (i + 1 == s.size()) return false;
      unsigned char d = static_cast<unsigned char>(s[++i]);
      if (d < 0x40 || d == 0x7F || d > 0xFC) return false;
    } else if (c == 0x80 || c == 0xA0 || c >= 0xFD) {
      return false;
    }
  }
  return true;
}

class EquipmentEdition : public testing::TestWithParam<const char*> {
 protected:
  void SetUp() override {
    path_ = std::string(QEL_SOURCE_DIR) + "/data/" + GetParam();
    bytes_ = ReadFile(path_);
    ASSERT_FALSE(bytes_.empty()) << "cannot read " << path_;
    table_ = Parse(bytes_);
    ASSERT_EQ(table_.error, "") << path_;
    for (std::size_t r = 1; r < table_.rows.size(); ++r)
      if (table_.rows[r].size() > 1) byKey_[table_.rows[r][1]] = &table_.rows[r];
  }

  // The record of a key; fails the test when there is none.
  const std::vector<std::string>& Record(const std::string& key) {
    static const std::vector<std::string> none(kFields);
    auto it = byKey_.find(key);
    EXPECT_NE(it, byKey_.end()) << "no record " << key;
    return it == byKey_.end() ? none : *it->second;
  }

  std::string path_;
  std::string bytes_;
  Table table_;
  std::map<std::string, const std::vector<std::string>*> byKey_;
};

TEST_P(EquipmentEdition, IsSeventyThreeShiftJisLinesOfEighteenFields) {
  EXPECT_NE(bytes_.compare(0, 3, "\xEF\xBB\xBF"), 0) << "no byte-order mark";
  EXPECT_TRUE(IsWellFormedShiftJis(bytes_));
  ASSERT_EQ(table_.rows.size(), static_cast<std::size_t>(kLines));
  for (std::size_t r = 0; r < table_.rows.size(); ++r)
    EXPECT_EQ(table_.rows[r].size(), static_cast<std::size_t>(kFields)) << "line " << r + 1;
}

TEST_P(EquipmentEdition, HoldsEveryKeyExactlyOnceBelowTheHeader) {
  ASSERT_EQ(table_.rows.size(), static_cast<std::size_t>(kLines));
  std::map<std::string, int> count;
  for (std::size_t r = 1; r < table_.rows.size(); ++r) ++count[table_.rows[r][1]];
  std::vector<std::string> expected;
  for (const char* volt : {"200", "400"}) {
    for (const auto& kw : kDirectOutputs) expected.push_back(std::string("1 ") + volt + " " + kw);
    for (const auto& kw : kStarDeltaOutputs) expected.push_back(std::string("2 ") + volt + " " + kw);
  }
  ASSERT_EQ(expected.size(), 72u);
  for (const auto& key : expected) EXPECT_EQ(count[key], 1) << "key <" << key << ">";
  EXPECT_EQ(count.size(), expected.size()) << "a record with a key the program never asks for";
  EXPECT_EQ(std::count(expected.begin(), expected.end(), table_.rows[0][1]), 0)
      << "the header row must not answer a look-up";
}

TEST_P(EquipmentEdition, FillsExactlyTheColumnsOfItsStartMethod) {
  ASSERT_EQ(table_.rows.size(), static_cast<std::size_t>(kLines));
  for (std::size_t r = 1; r < table_.rows.size(); ++r) {
    const auto& row = table_.rows[r];
    ASSERT_EQ(row.size(), static_cast<std::size_t>(kFields));
    bool starDelta = row[1].rfind("2 ", 0) == 0;
    for (int c : kAlwaysFilled) EXPECT_NE(row[c], "") << row[1] << " column " << c;
    for (int c : kStarDeltaOnly) EXPECT_EQ(row[c].empty(), !starDelta) << row[1] << " column " << c;
    for (int c : {2, 10, 11}) EXPECT_TRUE(IsNumberText(row[c])) << row[1] << " column " << c;
    if (starDelta) {
      for (int c : {12, 13, 14, 15}) EXPECT_TRUE(IsNumberText(row[c])) << row[1] << " column " << c;
    }
  }
}

TEST_P(EquipmentEdition, HalvesTheCurrentAt400VoltsAndRisesWithOutput) {
  for (const char* start : {"1", "2"}) {
    const auto& outputs = std::string(start) == "1" ? kDirectOutputs : kStarDeltaOutputs;
    for (const char* volt : {"200", "400"}) {
      double previous = 0;
      for (const auto& kw : outputs) {
        const std::string key = std::string(start) + " " + volt + " " + kw;
        double current = Number(Record(key)[2]);
        EXPECT_GT(current, previous) << key;
        previous = current;
      }
    }
    for (const auto& kw : outputs) {
      double at200 = Number(Record(std::string(start) + " 200 " + kw)[2]);
      double at400 = Number(Record(std::string(start) + " 400 " + kw)[2]);
      EXPECT_LT(at400, at200) << start << " " << kw;
      EXPECT_NEAR(at400 / at200, 0.5, 0.1) << start << " " << kw;
    }
  }
}

// The heater must hold the current its relay sees: the full-load current in
// a direct-on-line starter, the phase current (1/sqrt 3 of it) in a
// star-delta starter, whose relay sits in the motor windings. Both tables
// write the heater as its nominal current (a range would not read as a number).
TEST_P(EquipmentEdition, HeaterHoldsTheCurrentItsRelaySees) {
  ASSERT_EQ(table_.rows.size(), static_cast<std::size_t>(kLines));
  for (std::size_t r = 1; r < table_.rows.size(); ++r) {
    const auto& row = table_.rows[r];
    bool starDelta = row[1].rfind("2 ", 0) == 0;
    double current = Number(row[2]) / (starDelta ? std::sqrt(3.0) : 1.0);
    const std::string& heater = row[7];
    ASSERT_TRUE(IsNumberText(heater)) << row[1] << " <" << heater << ">";
    double ratio = current / Number(heater);
    EXPECT_TRUE(ratio > 0.75 && ratio < 1.3) << row[1] << " heater " << heater << " for " << current << " A";
  }
  // The same heater in both makers' tables: Fuji's 9-13 A heater is 11 A.
  EXPECT_EQ(Record("1 200 2.2")[7], "11");
}

// A breaker below 1.25 times the full-load current trips in normal running;
// wire sizes and breaker ratings never fall as the motor grows.
TEST_P(EquipmentEdition, BreakersAndWiresSuitTheMotor) {
  for (const char* start : {"1", "2"}) {
    const auto& outputs = std::string(start) == "1" ? kDirectOutputs : kStarDeltaOutputs;
    for (const char* volt : {"200", "400"}) {
      double lastRating = 0, lastWire = 0;
      for (const auto& kw : outputs) {
        const std::string key = std::string(start) + " " + volt + " " + kw;
        const auto& row = Record(key);
        double rating = Number(row[10]), wire = Number(row[11]);
        EXPECT_GE(rating, 1.25 * Number(row[2])) << key;
        EXPECT_GE(rating, lastRating) << key;
        EXPECT_GE(wire, lastWire) << key;
        lastRating = rating;
        lastWire = wire;
        if (std::string(start) == "2") {
          // The windings carry less than the line: C,D and E,F never exceed A,B.
          EXPECT_LE(Number(row[12]), wire) << key;
          EXPECT_LE(Number(row[13]), wire) << key;
        }
      }
    }
  }
}

INSTANTIATE_TEST_SUITE_P(DeliveredTables, EquipmentEdition, testing::Values("fd.dat", "mel.dat"),
                         [](const testing::TestParamInfo<const char*>& info) {
                           return std::string(info.param) == "fd.dat" ? "Fuji" : "Mitsubishi";
                         });

// The parser above must itself refuse the faults it is there to find.
TEST(EquipmentEditionParser, RefusesWhatTheProgramWouldNotSaveBack) {
  EXPECT_EQ(Parse("\"a\",1\r\n").error, "");
  EXPECT_NE(Parse("\"a\",1\n").error, "") << "LF alone";
  EXPECT_NE(Parse("\"a\",1").error, "") << "no final line end";
  EXPECT_NE(Parse("a,1\r\n").error, "") << "text without quotes";
  EXPECT_NE(Parse("\"a\",\"1\"\r\n").error, "") << "a number in quotes";
  EXPECT_NE(Parse("\"a\"b\",1\r\n").error, "") << "a quote inside";
  EXPECT_EQ(Parse("\"\",\"\"\r\n").rows.at(0).size(), 2u);
  EXPECT_NE(Parse("1,\r\n").error, "") << "an empty cell is written as a pair of quotes";
  EXPECT_TRUE(IsNumberText(" -1.5E+3") && IsNumberText(".5") && !IsNumberText("12 ") &&
              !IsNumberText("1E") && !IsNumberText("-") && !IsNumberText(""));
}

}  // namespace

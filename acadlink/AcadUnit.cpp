#include "acadlink/AcadUnit.h"

#include "base/cp932.h"

namespace qel {

namespace {

const char* const kEditionNames[kAcadLastEdition + 1] = {
    "",
    "AutoCAD LT95",
    "AutoCAD LT97",
    "AutoCAD LT98",
    "AutoCAD LT2000",
    "AutoCAD LT2000i",
    "AutoCAD LT2002",
    "AutoCAD R13",
    "AutoCAD R14",
    "AutoCAD 2000",
    "AutoCAD 2000i",
    "AutoCAD 2002",
};

const char* const kKeyBases[kAcadLastEdition + 1] = {
    "", "AutoCAD LT95\\ACLT.INI", "R4.0", "R5.0", "R2000", "R7", "R8",
    "AutoCAD R13\\win\\acad.ini", "R14.0", "R15.0", "R15.0", "R15.0",
};

char AsciiUpper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

bool PrefixIgnoringCase(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i)
    if (AsciiUpper(text[i]) != AsciiUpper(prefix[i])) return false;
  return true;
}

bool EndsWithBackslash(std::string_view text) {
  if (text.empty()) return false;
  std::size_t pos = 0, last = 0;
  while (pos < text.size()) {
    last = pos;
    pos += cp932::CharLength(text, pos);
  }
  return last == text.size() - 1 && text[last] == '\\';
}

bool IsDriveRoot(std::string_view entry) { return entry.size() == 3 && entry[1] == ':' && entry[2] == '\\'; }

}  // namespace

std::string GetAcadEditionName(int edition) {
  if (edition < 0 || edition > kAcadLastEdition) return {};
  return kEditionNames[edition];
}

int AcadEditionFromName(std::string_view name) {
  if (PrefixIgnoringCase(name, "AutoCAD LT")) {
    const std::string_view rest = name.substr(10);
    if (rest == "2002") return 6;
    if (rest == "2000i") return 5;
    if (rest == "2000") return 4;
    if (rest == "98") return 3;
    if (rest == "97") return 2;
    if (rest == "95") return 1;
    return 0;
  }
  if (PrefixIgnoringCase(name, "AutoCAD ")) {
    const std::string_view rest = name.substr(8);
    if (rest == "2002") return 11;
    if (rest == "2000i") return 10;
    if (rest == "2000") return 9;
    if (rest == "R14") return 8;
    if (rest == "R13") return 7;
    return 0;
  }
  return 0;
}

bool IsLtEdition(int edition) { return edition >= 1 && edition <= 6; }
bool IsRegistryEdition(int edition) {
  return edition >= 1 && edition <= kAcadLastEdition && edition != 1 && edition != 7;
}
bool IsProfileEdition(int edition) { return (edition >= 4 && edition <= 6) || (edition >= 9 && edition <= 11); }
bool IsIniEdition(int edition) { return edition == 1 || edition == 7; }

std::string AcadKeyBase(int edition) {
  if (edition < 0 || edition > kAcadLastEdition) return {};
  return kKeyBases[edition];
}

std::string AcadExpectedVersion(int edition) {
  switch (edition) {
    case 9: return "15.00";
    case 10: return "15.05";
    case 11: return "15.06";
    default: return {};
  }
}

SiblingEditions AcadSiblings(int edition) {
  static const int groups[][3] = {{2, 3, 0}, {4, 5, 6}, {9, 10, 11}};
  SiblingEditions result;
  for (const auto& group : groups) {
    bool member = false;
    for (int e : group) member = member || (e != 0 && e == edition);
    if (!member) continue;
    for (int e : group)
      if (e != 0 && e != edition) result.editions[result.count++] = e;
  }
  return result;
}

std::string TrimText(std::string_view text) {
  std::size_t first = 0, last = text.size();
  while (first < last && static_cast<unsigned char>(text[first]) <= ' ') ++first;
  while (last > first && static_cast<unsigned char>(text[last - 1]) <= ' ') --last;
  return std::string(text.substr(first, last - first));
}

std::string UnquotePath(std::string_view text) {
  if (text.size() >= 2 && text.front() == '"' && text.back() == '"') {
    // The closing quote must be a character of its own, not the second
    // byte of a two-byte character.
    std::size_t pos = 0, last = 0;
    while (pos < text.size()) {
      last = pos;
      pos += cp932::CharLength(text, pos);
    }
    if (last == text.size() - 1) return TrimText(text.substr(1, text.size() - 2));
  }
  return TrimText(text);
}

bool SameFileName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  std::size_t pos = 0;
  while (pos < a.size()) {
    const std::size_t len = cp932::CharLength(a, pos);
    if (len == 2) {
      if (a[pos] != b[pos] || a[pos + 1] != b[pos + 1]) return false;
    } else if (AsciiUpper(a[pos]) != AsciiUpper(b[pos])) {
      return false;
    }
    pos += len;
  }
  return true;
}

std::string CleanPathList(std::string_view pathList, std::string_view folder, std::string_view shortFolder) {
  std::string result;
  bool first = true;
  std::string entry;
  bool quoted = false, hadQuote = false;
  auto flush = [&] {
    std::string e = TrimText(entry);
    if (EndsWithBackslash(e) && !IsDriveRoot(e)) e.pop_back();
    const bool drop = (!folder.empty() && SameFileName(e, folder)) ||
                      (!shortFolder.empty() && SameFileName(e, shortFolder));
    if (!drop) {
      if (!first) result += ';';
      first = false;
      result += hadQuote ? "\"" + e + "\"" : e;
    }
    entry.clear();
    hadQuote = false;
  };
  std::size_t pos = 0;
  while (pos < pathList.size()) {
    const std::size_t len = cp932::CharLength(pathList, pos);
    const char c = pathList[pos];
    if (len == 1 && c == '"') {
      quoted = !quoted;
      hadQuote = true;
    } else if (len == 1 && c == ';' && !quoted) {
      flush();
    } else {
      entry.append(pathList.substr(pos, len));
    }
    pos += len;
  }
  flush();
  return result;
}

bool HasForbiddenPathCharacter(std::string_view path) {
  constexpr std::string_view kForbidden = "/,;*?\"<>|";
  for (std::size_t pos = 0; pos < path.size();) {
    const std::size_t len = cp932::CharLength(path, pos);
    if (len == 1 && kForbidden.find(path[pos]) != std::string_view::npos) return true;
    pos += len;
  }
  return false;
}

std::size_t LastBackslash(std::string_view path) {
  std::size_t last = std::string_view::npos;
  for (std::size_t pos = 0; pos < path.size();) {
    const std::size_t len = cp932::CharLength(path, pos);
    if (len == 1 && path[pos] == '\\') last = pos;
    pos += len;
  }
  return last;
}

}  // namespace qel

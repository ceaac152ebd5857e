#pragma once
// Edition numbers, display names and the text rules of AutoCAD discovery
// that need no system call: names, search-path lists, quoted paths.
// Portable; the registry, file and process side is in AcadUnit_win.h.
#include <cstddef>
#include <string>
#include <string_view>

namespace qel {

// Internal edition numbers: 0 none, 1..6 the LT family, 7..11 full AutoCAD.
constexpr int kAcadNoEdition = 0;
constexpr int kAcadLastEdition = 11;

// The display name of an edition; empty for 0 and numbers above 11.
std::string GetAcadEditionName(int edition);
// The edition a display name stands for: "AutoCAD LT" / "AutoCAD " compared
// without regard to ASCII case, the rest exactly; 0 for anything else.
int AcadEditionFromName(std::string_view name);

bool IsLtEdition(int edition);          // 1..6
bool IsRegistryEdition(int edition);    // all but 0, 1 and 7
bool IsProfileEdition(int edition);     // 4, 5, 6, 9, 10, 11
bool IsIniEdition(int edition);         // 1 and 7
// The key base of the edition's version key ("R15.0", "R4.0", ...).
std::string AcadKeyBase(int edition);
// The version a full 2000-era program must carry ("15.00", "15.05",
// "15.06"); empty for the other editions.
std::string AcadExpectedVersion(int edition);
// The other editions of the edition's sibling group (at most two; 0 pads).
struct SiblingEditions {
  int count = 0;
  int editions[2] = {0, 0};
};
SiblingEditions AcadSiblings(int edition);

// The text between a leading and a trailing double quote, trimmed; the text
// trimmed when it is not so quoted. A trailing quote that is the second
// byte of a two-byte character does not count.
std::string UnquotePath(std::string_view text);

// Splits a search-path list at semicolons outside double quotes, trims each
// entry and strips its trailing backslash (not from a drive root), drops the
// entries naming `folder` or `shortFolder` (file-name comparison, ASCII case
// folded), and joins the rest again, quoting those that were quoted.
std::string CleanPathList(std::string_view pathList, std::string_view folder, std::string_view shortFolder);

// Case-insensitive file-name equality over CP932 bytes: ASCII letters are
// folded, the second byte of a two-byte character never is.
bool SameFileName(std::string_view a, std::string_view b);

// Whether a program path holds one of the nine characters no file name may
// carry (/ , ; * ? " < > |), looked for among the characters of the CP932
// text: the second byte of "ポ" (0x7C) is not a vertical bar.
bool HasForbiddenPathCharacter(std::string_view path);

// Position of the last backslash that is a character of its own (not the
// second byte of "表" or "ソ"); npos when there is none.
std::size_t LastBackslash(std::string_view path);

// Texts trimmed of bytes up to and including the blank at both ends.
std::string TrimText(std::string_view text);

}  // namespace qel

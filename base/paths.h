#pragma once
// Windows path pieces of CP932 texts. A backslash can be the second byte of
// a two-byte character ("表" is 95 5C), so the scans step over characters.
#include <string>
#include <string_view>

namespace qel::paths {

// The part after the last "\", "/" or ":" (the whole text when none).
std::string FileName(std::string_view path);
// The path with the extension of its file name replaced by `ext` (which
// includes the dot); the extension is added when the name has none.
std::string ChangeExtension(std::string_view path, std::string_view ext);
// Folder + "\" + name, with no doubled separator.
std::string Join(std::string_view folder, std::string_view name);

}  // namespace qel::paths

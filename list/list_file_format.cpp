#include "list/list_file_format.h"

#include <array>
#include <cstddef>

namespace qel {

namespace {

struct Entry {
  const char* description;
  const char* pattern;
  ListFileFormat format;
};

// The text formats first: the open dialog offers those alone, by the same index.
const std::array<Entry, 4>& Entries() {
  static const std::array<Entry, 4> entries = {{
      {"Text(タブ区切り:Excel互換)", "*.txt", {"\t", false, false}},
      {"Text(カンマ区切り)", "*.txt", {",", false, false}},
      {"Text(CSV)", "*.csv", {",", true, false}},
      {"HTML", "*.htm", {"", false, true}},
  }};
  return entries;
}
constexpr std::size_t kTextFormats = 3;

FileFilters Filters(std::size_t count) {
  FileFilters out;
  for (std::size_t i = 0; i < count; ++i) out.emplace_back(Entries()[i].description, Entries()[i].pattern);
  return out;
}

std::optional<ListFileFormat> Format(int filterIndex, std::size_t count) {
  if (filterIndex < 1 || static_cast<std::size_t>(filterIndex) > count) return std::nullopt;
  return Entries()[static_cast<std::size_t>(filterIndex) - 1].format;
}

}  // namespace

const FileFilters& ListSaveFilters() {
  static const FileFilters filters = Filters(Entries().size());
  return filters;
}

const FileFilters& ListOpenFilters() {
  static const FileFilters filters = Filters(kTextFormats);
  return filters;
}

std::optional<ListFileFormat> ListSaveFormat(int filterIndex) { return Format(filterIndex, Entries().size()); }
std::optional<ListFileFormat> ListOpenFormat(int filterIndex) { return Format(filterIndex, kTextFormats); }

}  // namespace qel

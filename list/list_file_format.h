#pragma once
// The formats a circuit list is saved in and loaded from, in the order the
// list's save and open dialogs offer them. The filter the user picks decides
// the format, whatever extension the typed name has.
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace qel {

struct ListFileFormat {
  std::string separator;  // between the cells of a text file
  bool csv = false;       // cells quoted and doubled as CSV
  bool html = false;      // a page instead of a text file
  bool operator==(const ListFileFormat&) const = default;
};

using FileFilters = std::vector<std::pair<std::string, std::string>>;  // description, pattern

// The save dialog offers every format; the open dialog only the text ones.
const FileFilters& ListSaveFilters();
const FileFilters& ListOpenFilters();

// The format of a 1-based filter index of that dialog; nothing for an
// index the dialog does not offer.
std::optional<ListFileFormat> ListSaveFormat(int filterIndex);
std::optional<ListFileFormat> ListOpenFormat(int filterIndex);

}  // namespace qel

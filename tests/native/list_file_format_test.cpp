#include <gtest/gtest.h>

#include <optional>

#include "list/list_file_format.h"

namespace qel {
namespace {

// The filter the user picks decides the format; the open dialog has no page.
TEST(ListFileFormat, EachFilterIndexOfBothDialogs) {
  struct Case {
    int filter;
    std::optional<ListFileFormat> save, open;
  };
  const ListFileFormat tab{"\t", false, false}, comma{",", false, false}, csv{",", true, false}, html{"", false, true};
  const Case cases[] = {
      {0, std::nullopt, std::nullopt}, {1, tab, tab}, {2, comma, comma}, {3, csv, csv},
      {4, html, std::nullopt},         {5, std::nullopt, std::nullopt}, {-1, std::nullopt, std::nullopt},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ListSaveFormat(c.filter), c.save) << c.filter;
    EXPECT_EQ(ListOpenFormat(c.filter), c.open) << c.filter;
  }
}

TEST(ListFileFormat, TheDialogsOfferTheFormatsInThatOrder) {
  const FileFilters texts = {{"Text(タブ区切り:Excel互換)", "*.txt"}, {"Text(カンマ区切り)", "*.txt"}, {"Text(CSV)", "*.csv"}};
  FileFilters all = texts;
  all.push_back({"HTML", "*.htm"});
  EXPECT_EQ(ListOpenFilters(), texts);
  EXPECT_EQ(ListSaveFilters(), all);
}

}  // namespace
}  // namespace qel

// Win32 filter lists as GTK file filters: the pairs, several patterns in one,
// and matching without regard to case (checked with the C library's fnmatch).
#include "platform/backend/gtk/file_filters.h"

#include <fnmatch.h>
#include <gtest/gtest.h>

namespace {

bool matches(const std::string& pattern, const char* name) { return fnmatch(pattern.c_str(), name, 0) == 0; }

TEST(FileFilters, PairsBecomeNamedFiltersWithTheirPatterns) {
  const char16_t list[] = u"Portable Network Graphics (*.png)\0*.png\0Bitmap (*.bmp)\0*.bmp; *.dib\0";
  const std::vector<FileFilterEntry> filters = file_filters_parse(list);
  ASSERT_EQ(filters.size(), 2u);
  EXPECT_EQ(filters[0].description, u"Portable Network Graphics (*.png)");
  ASSERT_EQ(filters[0].patterns.size(), 1u);
  ASSERT_EQ(filters[1].patterns.size(), 2u);
  EXPECT_TRUE(matches(filters[1].patterns[1], "old.DIB"));
  EXPECT_TRUE(file_filters_parse(nullptr).empty());
  EXPECT_TRUE(file_filters_parse(u"").empty());
  // A description whose pattern is missing is no filter.
  EXPECT_EQ(file_filters_parse(u"Only a name\0").size(), 0u);
}

TEST(FileFilters, PatternsMatchWithoutRegardToCase) {
  const std::string png = file_filter_case_blind("*.png");
  for (const char* name : {"fern.png", "FERN.PNG", "Fern.PnG"}) EXPECT_TRUE(matches(png, name)) << name;
  for (const char* name : {"fern.pn", "fern.png.bmp", "fern.jpg"}) EXPECT_FALSE(matches(png, name)) << name;
  // Brackets and non-letters keep their meaning as characters of the name.
  const std::string odd = file_filter_case_blind("[1]-?.ifs");
  EXPECT_TRUE(matches(odd, "[1]-a.IFS"));
  EXPECT_FALSE(matches(odd, "1-a.ifs"));
  const std::string all = file_filter_case_blind("*.*");
  EXPECT_TRUE(matches(all, "a.b"));
}

}  // namespace

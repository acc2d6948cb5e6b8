#include "towns/zone_table.h"

#include <gtest/gtest.h>

namespace kv::towns {
namespace {

using Tokens = std::vector<std::string>;

TEST(ZoneTable, SectionsAreFoundByAnyNameOfTheirHeaderAndEndAtTheNextHeader) {
  ZoneTable t;
  t.LoadText(
      "* before any section\n"
      "ignored line\n"
      "@@ Europe/Kyiv Europe/Simferopol\n"
      "27.03.1983-25.09.1983 1\n"
      "\n"
      "* comment inside\n"
      "   \n"
      "26.03.1984-30.09.1984 1\n"
      "@@Europe/Kyiv\n"
      "01.01.2000-01.01.2001 5\n");
  ASSERT_NE(t.Section("Europe/Simferopol"), nullptr);
  EXPECT_EQ(*t.Section("Europe/Simferopol"),
            (Tokens{"27.03.1983-25.09.1983 1", "26.03.1984-30.09.1984 1"}));
  // The first header that names a section wins.
  EXPECT_EQ(t.Section("Europe/Kyiv"), t.Section("Europe/Simferopol"));
  EXPECT_EQ(t.Section("Europe"), nullptr);
  EXPECT_EQ(t.Section("ignored"), nullptr);
  EXPECT_EQ(t.ZoneLine(1), nullptr);  // no PopTime section
}

TEST(ZoneTable, ZoneLinesJoinContinuationsAndSkipSwitchedOffAndShortLines) {
  ZoneTable t;
  t.LoadText(
      "@@ PopTime\r\n"
      "^7 9 01.01.1900 9 &\n"
      "01.01.1950 9\n"
      "7\n"
      "007 3 01.01.1930-01.01.1992 & the rest of this line is dropped\n"
      "* a comment between the parts is skipped\n"
      "2 &\n"
      "01.01.1992 4\n"
      "7 1\n"
      "8 LMT &\n"
      "@@ Other\n"
      "1 2\n");
  // "^" switches off the line with its continuation; "7" alone has one token.
  ASSERT_NE(t.ZoneLine(7), nullptr);
  EXPECT_EQ(*t.ZoneLine(7), (Tokens{"007", "3", "01.01.1930-01.01.1992", "2", "01.01.1992", "4"}));
  // A continuation never reaches into the next section.
  EXPECT_EQ(*t.ZoneLine(8), (Tokens{"8", "LMT"}));
  EXPECT_EQ(t.ZoneLine(1), nullptr);
}

TEST(ZoneTable, MissingFileLeavesTheTableUnloadedWithItsName) {
  ZoneTable t;
  EXPECT_FALSE(t.Load("no-such-dir/popa.ctl"));
  EXPECT_FALSE(t.Loaded());
  EXPECT_EQ(t.FileName(), "no-such-dir/popa.ctl");
  EXPECT_EQ(t.Section("PopTime"), nullptr);
}

}  // namespace
}  // namespace kv::towns

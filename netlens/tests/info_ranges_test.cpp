// Which rows a table info window keeps, and the index after a column.
#include "info_ranges.h"
#include "table_index_thread.h"

#include <gtest/gtest.h>

namespace netlens {
namespace {

const std::string kEntry = "1.3.6.1.2.1.2.2.1";

TEST(TableRows, OnlyChosenIndexesUnderTheEntry) {
  std::vector<std::string> chosen{"1", "2"};
  EXPECT_TRUE(tableRowWanted(kEntry + ".2.1", kEntry, chosen));
  EXPECT_TRUE(tableRowWanted(kEntry + ".10.2", kEntry, chosen));
  // "11" and "12" end with "1" and "2", but are other rows.
  EXPECT_FALSE(tableRowWanted(kEntry + ".2.11", kEntry, chosen));
  EXPECT_FALSE(tableRowWanted(kEntry + ".2.12", kEntry, chosen));
  EXPECT_FALSE(tableRowWanted(kEntry + ".2.3", kEntry, chosen));
  // Another entry that shares the text's start.
  EXPECT_FALSE(tableRowWanted("1.3.6.1.2.1.2.2.10.2.1", kEntry, chosen));
  EXPECT_FALSE(tableRowWanted(kEntry, kEntry, {}));
  EXPECT_TRUE(tableRowWanted(kEntry + ".2.7", kEntry, {}));
  // Indexes of several sub-identifiers.
  EXPECT_TRUE(tableRowWanted("1.3.6.1.2.1.4.20.1.1.127.0.0.1", "1.3.6.1.2.1.4.20.1", {"127.0.0.1"}));
}

TEST(TableRows, IndexIsWhatFollowsTheColumn) {
  EXPECT_EQ(indexAfterColumn(kEntry + ".1.12", kEntry + ".1"), "12");
  EXPECT_EQ(indexAfterColumn("1.3.6.1.2.1.4.20.1.1.127.0.0.1", "1.3.6.1.2.1.4.20.1.1"), "127.0.0.1");
  EXPECT_EQ(indexAfterColumn(kEntry + ".1", kEntry + ".1"), "");
  EXPECT_EQ(indexAfterColumn(kEntry + ".10.3", kEntry + ".1"), "");
  EXPECT_EQ(indexAfterColumn(kEntry + ".2.3", kEntry + ".1"), "");
}

TEST(InfoRanges, StandardRangesEachEndWhereTheNextPartBegins) {
  std::vector<WalkRange> ranges = standardRanges();
  ASSERT_EQ(ranges.size(), 4u);
  EXPECT_EQ(ranges[0].bound, ranges[1].start);
  EXPECT_EQ(ranges[1].bound, (std::vector<smiUINT32>{1, 3, 6, 1, 2, 1, 2, 2}));
  EXPECT_EQ(ranges[3].start, (std::vector<smiUINT32>{1, 3, 6, 1, 2, 1, 2, 2, 1, 7}));
  EXPECT_LE(ranges.size(), kMaximumRanges);
}

}  // namespace
}  // namespace netlens

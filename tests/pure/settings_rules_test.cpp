// Column width limits and the DPI conversions behind settings.ini.
#include "core/settings_rules.h"

#include <gtest/gtest.h>

#include <climits>

namespace zrcc {
namespace {

TEST(SettingsRulesTest, CapsAreDefaultTimesFactorInSinglePrecision) {
  const int caps[kColumnCount] = {1534, 85, 87, 134, 348, 500, 300, 600};
  for (int c = 0; c < kColumnCount; ++c) EXPECT_EQ(ColumnCap(c), caps[c]) << "column " << c;
  EXPECT_EQ(ColumnCap(-1), 0);
  EXPECT_EQ(ColumnCap(kColumnCount), 0);
}

TEST(SettingsRulesTest, StoredWidthIsSettledBetweenFloorAndCap) {
  EXPECT_EQ(SettledColumnWidth(0, 5000), 1534);
  EXPECT_EQ(SettledColumnWidth(1, 10), 70);
  EXPECT_EQ(SettledColumnWidth(1, 86), 85);
  EXPECT_EQ(SettledColumnWidth(4, 300), 300);
  EXPECT_EQ(SettledColumnWidth(0, 70), 70);
  EXPECT_EQ(SettledColumnWidth(0, 71), 71);
  EXPECT_EQ(SettledColumnWidth(3, 0), 112);
  EXPECT_EQ(SettledColumnWidth(3, -4), 112);
  EXPECT_EQ(SettledColumnWidth(3, INT_MIN), 112);
  EXPECT_EQ(SettledColumnWidth(6, INT_MAX), 300);
}

TEST(SettingsRulesTest, FreshStartGivesTheDefaultsWithColumnFiveRaisedToTheFloor) {
  const int expected[kColumnCount] = {767, 71, 73, 112, 290, 70, 100, 200};
  for (int c = 0; c < kColumnCount; ++c) {
    // A missing key reads as the column's default.
    EXPECT_EQ(SettledColumnWidth(c, ColumnDefault(c)), expected[c]) << "column " << c;
  }
  // A stored 0 falls back to the default, which must not slip under the floor.
  EXPECT_EQ(SettledColumnWidth(5, 0), 70);
}

TEST(SettingsRulesTest, MulDivRoundsToNearestWithHalvesAwayFromZero) {
  EXPECT_EQ(MulDivRound(25, 144, 96), 38);   // 37.5
  EXPECT_EQ(MulDivRound(-25, 144, 96), -38);
  EXPECT_EQ(MulDivRound(7, 1, -2), -4);      // -3.5
  EXPECT_EQ(MulDivRound(-7, 1, -2), 4);
  EXPECT_EQ(MulDivRound(14, 1, 3), 5);       // 4.67
  EXPECT_EQ(MulDivRound(13, 1, 3), 4);       // 4.33
  EXPECT_EQ(MulDivRound(INT_MAX, INT_MAX, INT_MAX), INT_MAX);  // 64-bit intermediate
  EXPECT_EQ(MulDivRound(5, 7, 0), -1);
  EXPECT_EQ(MulDivRound(INT_MAX, 2, 1), -1);  // does not fit
}

TEST(SettingsRulesTest, ScalesBetweenLogicalAndPhysicalPixels) {
  EXPECT_EQ(ScaleToDpi(100, 144), 150);
  EXPECT_EQ(ScaleFrom(150, 144), 100);
  EXPECT_EQ(ScaleFrom(151, 144), 101);  // 100.67
  EXPECT_EQ(ScaleToDpi(767, 120), 959);  // 958.75
  EXPECT_EQ(ColumnPixels(5, 70, 144), 105);
  EXPECT_EQ(ColumnPixels(0, 0, 96), 767);  // nothing usable: the default
  EXPECT_EQ(UsableDpi(0), 96);
  EXPECT_EQ(UsableDpi(144), 144);
}

TEST(SettingsRulesTest, LogicalWindowSizeTruncatesAnUnsigned32BitProduct) {
  EXPECT_EQ(LogicalWindowSize(1500, 144), 1000);
  EXPECT_EQ(LogicalWindowSize(1501, 144), 1000);
  EXPECT_EQ(LogicalWindowSize(1600, 96), 1600);
  // 50 000 000 × 96 wraps at 2^32 before the division.
  EXPECT_EQ(LogicalWindowSize(50000000, 96), 5260757);
}

}  // namespace
}  // namespace zrcc

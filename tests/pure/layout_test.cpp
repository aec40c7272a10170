// Control positions of the main window at 96 and 144 DPI.
#include "core/layout.h"

#include <gtest/gtest.h>

#include <iterator>

namespace zrcc {
namespace {

void ExpectRect(const Rect& r, int x, int y, int w, int h) {
  EXPECT_EQ(r.x, x);
  EXPECT_EQ(r.y, y);
  EXPECT_EQ(r.w, w);
  EXPECT_EQ(r.h, h);
}

TEST(LayoutTest, TopBandAt96DpiMatchesTheDesignedRectangles) {
  const TopBandLayout l = LayoutTopBandRects(96);
  ExpectRect(l.pathField, 5, 11, 600, 25);
  ExpectRect(l.setFolder, 613, 11, 150, 25);
  ExpectRect(l.versionField, 5, 44, 100, 25);
  ExpectRect(l.buildField, 113, 44, 400, 25);
  ExpectRect(l.copy, 521, 44, 130, 25);
  ExpectRect(l.install, 659, 44, 130, 25);
  ExpectRect(l.uninstall, 797, 44, 130, 25);
}

TEST(LayoutTest, TopBandAt144DpiRoundsEachConstant) {
  EXPECT_EQ(TopBandHeight(144), 120);
  const TopBandLayout l = LayoutTopBandRects(144);
  // margin 7.5 → 8, gap 12, row 37.5 → 38; y1 = (120 − 76 − 12) / 2.
  ExpectRect(l.pathField, 8, 16, 900, 38);
  ExpectRect(l.setFolder, 920, 16, 225, 38);
  ExpectRect(l.versionField, 8, 66, 150, 38);
  ExpectRect(l.buildField, 170, 66, 600, 38);
  ExpectRect(l.copy, 782, 66, 195, 38);
  ExpectRect(l.install, 989, 66, 195, 38);
  ExpectRect(l.uninstall, 1196, 66, 195, 38);
}

TEST(LayoutTest, ClientAt96DpiPutsTheListBetweenBandAndBar) {
  const ClientLayout l = LayoutClient(96, 1000, 700, 22);
  ExpectRect(l.listView, 0, 80, 1000, 700 - 22 - 45 - 80);
  ExpectRect(l.addDir, 8, 643, 90, 25);
  ExpectRect(l.openDir, 106, 643, 90, 25);
  ExpectRect(l.delDir, 204, 643, 90, 25);
  ExpectRect(l.separator, 302, 643, 2, 25);
  ExpectRect(l.refresh, 312, 643, 90, 25);
}

TEST(LayoutTest, ClientAt144DpiHasA68PixelBarOf135PixelButtons) {
  const ClientLayout l = LayoutClient(144, 1500, 1000, 30);
  // bar top = 1000 − 30 − 68 = 902; buttons centred: 902 + (68 − 38) / 2.
  ExpectRect(l.listView, 0, 120, 1500, 782);
  ExpectRect(l.addDir, 12, 917, 135, 38);
  ExpectRect(l.openDir, 159, 917, 135, 38);
  ExpectRect(l.delDir, 306, 917, 135, 38);
  ExpectRect(l.separator, 453, 917, 3, 38);
  ExpectRect(l.refresh, 468, 917, 135, 38);
}

// The filter sits after the buttons on their row, nothing overlapping, and
// the smallest window still shows it whole.
TEST(LayoutTest, FilterFollowsTheButtonsAndFitsTheSmallestWindow) {
  for (int dpi : {96, 120, 144, 192, 288}) {
    const ClientLayout l = LayoutClient(dpi, 3000, 2000, 30);
    const Rect row[] = {l.addDir, l.openDir, l.delDir, l.refresh, l.filterField, l.filterKind};
    for (size_t i = 1; i < std::size(row); ++i) {
      EXPECT_GT(row[i].x, row[i - 1].x + row[i - 1].w) << dpi << " " << i;
      EXPECT_EQ(row[i].y, l.addDir.y) << dpi;
    }
    EXPECT_EQ(l.filterField.h, l.refresh.h);
    EXPECT_GT(l.filterKind.h, l.refresh.h);  // room for the open list
    const Size least = MinimumTrackSize(dpi, 30, 0, 0, 0, 0);
    EXPECT_GE(least.w, l.filterKind.x + l.filterKind.w) << dpi;
  }
}

TEST(LayoutTest, ListHeightNeverGoesNegativeInAShortWindow) {
  const ClientLayout l = LayoutClient(96, 300, 100, 22);
  EXPECT_EQ(l.listView.h, 0);
  EXPECT_EQ(l.addDir.y, 100 - 22 - 45 + 10);
}

TEST(LayoutTest, PathTextIsOneCentredLineInsideTheMargins) {
  Edges e = PathFieldTextRect(0, 0, 598, 23, 15, 96);
  EXPECT_EQ(e.left, 10);
  EXPECT_EQ(e.right, 588);
  EXPECT_EQ(e.top, 4);
  EXPECT_EQ(e.bottom, 19);
  e = PathFieldTextRect(0, 0, 898, 36, 23, 144);
  EXPECT_EQ(e.left, 15);
  EXPECT_EQ(e.right, 883);
  EXPECT_EQ(e.top, 6);  // 6.5 truncated
  EXPECT_EQ(e.bottom, 29);
}

TEST(LayoutTest, FontHeightsAreNegativePointSizesAtTheDpi) {
  EXPECT_EQ(FontHeight(11, 96), -15);  // 14.67
  EXPECT_EQ(FontHeight(10, 96), -13);  // 13.33
  EXPECT_EQ(FontHeight(9, 144), -18);
  EXPECT_EQ(FontHeight(10, 120), -17);  // 16.67
}

}  // namespace
}  // namespace zrcc

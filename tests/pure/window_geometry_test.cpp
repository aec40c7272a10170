// The opening size and position of the main window from the saved keys.
#include "ui/window_geometry.h"

#include <gtest/gtest.h>

namespace zrcc {
namespace {

const WorkArea kWork{0, 0, 1920, 1040};

WindowKeys Sized(int w, int h) {
  WindowKeys k;
  k.width = w;
  k.height = h;
  return k;
}

TEST(WindowGeometryTest, NothingSavedOpensAt1600By900WhereTheSystemChooses) {
  const WindowGeometry g = ComputeWindowGeometry({}, kWork, 144, 144);
  EXPECT_EQ(g.x, kPositionMarker);
  EXPECT_EQ(g.y, kPositionMarker);
  EXPECT_EQ(g.width, 1600);
  EXPECT_EQ(g.height, 900);
}

TEST(WindowGeometryTest, LogicalSizeWinsAndIsScaledPerAxis) {
  WindowKeys k = Sized(640, 480);
  k.logicalWidth = 1000;
  k.logicalHeight = 700;
  WindowGeometry g = ComputeWindowGeometry(k, kWork, 144, 144);
  EXPECT_EQ(g.width, 1500);
  EXPECT_EQ(g.height, 1050);
  g = ComputeWindowGeometry(k, kWork, 120, 96);
  EXPECT_EQ(g.width, 1250);
  EXPECT_EQ(g.height, 700);
  k.logicalWidth = 1001;  // 1001 × 120 / 96 = 1251.25
  EXPECT_EQ(ComputeWindowGeometry(k, kWork, 120, 96).width, 1251);
}

TEST(WindowGeometryTest, PhysicalSizeIsUsedAsIsWhenTheLogicalOneIsIncomplete) {
  WindowKeys k = Sized(800, 600);
  k.logicalWidth = 1000;  // no LogicalHeight
  const WindowGeometry g = ComputeWindowGeometry(k, kWork, 144, 144);
  EXPECT_EQ(g.width, 800);
  EXPECT_EQ(g.height, 600);

  WindowKeys onlyWidth;
  onlyWidth.width = 800;  // no Height: the default size
  EXPECT_EQ(ComputeWindowGeometry(onlyWidth, kWork, 96, 96).width, 1600);
}

TEST(WindowGeometryTest, SavedSizesAreRaisedToTheMinimum) {
  WindowGeometry g = ComputeWindowGeometry(Sized(50, 100), kWork, 96, 96);
  EXPECT_EQ(g.width, 200);
  EXPECT_EQ(g.height, 150);
  g = ComputeWindowGeometry(Sized(200, 150), kWork, 96, 96);
  EXPECT_EQ(g.width, 200);
  EXPECT_EQ(g.height, 150);
  WindowKeys k;
  k.logicalWidth = 100;
  k.logicalHeight = 100;
  g = ComputeWindowGeometry(k, kWork, 144, 144);  // 150 × 150
  EXPECT_EQ(g.width, 200);
  EXPECT_EQ(g.height, 150);
}

TEST(WindowGeometryTest, SavedPositionIsMovedOntoTheWorkArea) {
  WindowKeys k = Sized(800, 600);
  k.left = -3000;
  k.top = -500;
  WindowGeometry g = ComputeWindowGeometry(k, kWork, 96, 96);
  EXPECT_EQ(g.x, 0);
  EXPECT_EQ(g.y, 0);

  k.left = 1800;
  k.top = 900;
  g = ComputeWindowGeometry(k, kWork, 96, 96);
  EXPECT_EQ(g.x, 1120);
  EXPECT_EQ(g.y, 440);

  k.left = 100;
  k.top = 50;
  g = ComputeWindowGeometry(k, {1920, 0, 3840, 1040}, 96, 96);  // a monitor to the right
  EXPECT_EQ(g.x, 1920);
  EXPECT_EQ(g.y, 50);

  k.left = 2147483000;  // the sum with the width must not overflow
  k.top = 0;
  g = ComputeWindowGeometry(k, kWork, 96, 96);
  EXPECT_EQ(g.x, 1120);
}

TEST(WindowGeometryTest, WindowLargerThanTheWorkAreaKeepsItsFarEdgesOnIt) {
  WindowKeys k = Sized(2500, 1200);
  k.left = 10;
  k.top = 10;
  const WindowGeometry g = ComputeWindowGeometry(k, kWork, 96, 96);
  EXPECT_EQ(g.x, 1920 - 2500);
  EXPECT_EQ(g.y, 1040 - 1200);
}

TEST(WindowGeometryTest, HalfAPositionIsNoPositionAndIsNotClamped) {
  WindowKeys k = Sized(50, 5000);
  k.left = -3000;
  const WindowGeometry g = ComputeWindowGeometry(k, kWork, 96, 96);
  EXPECT_EQ(g.x, kPositionMarker);
  EXPECT_EQ(g.y, kPositionMarker);
  EXPECT_EQ(g.width, 200);
  EXPECT_EQ(g.height, 5000);
}

}  // namespace
}  // namespace zrcc

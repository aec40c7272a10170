// The opening size and position of the main window from the saved keys.
#include "core/window_geometry.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

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

// A first start never reaches past the work area; where 1600 x 900 fits,
// it is opened as always.
TEST(WindowGeometryTest, FirstStartFitsTheWorkArea) {
  const WorkArea areas[] = {{0, 0, 1366, 728}, {0, 40, 1600, 900}, {-1280, 0, 0, 984},
                            {0, 0, 1600, 900}, {100, 0, 1920, 1080}, {0, 0, 1920, 1040}};
  for (const WorkArea& work : areas) {
    const WindowGeometry g = ComputeWindowGeometry({}, work, 96, 96);
    const bool fits = work.right - work.left >= 1600 && work.bottom - work.top >= 900;
    if (fits) {
      EXPECT_EQ(g.x, kPositionMarker);
      EXPECT_EQ(g.width, 1600);
      EXPECT_EQ(g.height, 900);
    } else {
      EXPECT_EQ(g.x, work.left);
      EXPECT_EQ(g.y, work.top);
      EXPECT_EQ(g.x + g.width, work.right);
      EXPECT_EQ(g.y + g.height, work.bottom);
    }
  }
}

TEST(WindowGeometryTest, LogicalSizeWinsAndIsScaledPerAxis) {
  WindowKeys k = Sized(640, 480);
  k.logicalWidth = 1000;
  k.logicalHeight = 700;
  const WorkArea large{0, 0, 3840, 2100};
  WindowGeometry g = ComputeWindowGeometry(k, large, 144, 144);
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

// A window saved at 1600 x 900 on one screen or scaling reopens whole on
// another, wherever it was: never larger than the work area (a taskbar's
// height less than the screen), title bar and top band on screen.
TEST(WindowGeometryTest, SavedWindowFitsEveryScreenAtEveryScaling) {
  const int screens[][3] = {{1920, 1080, 100}, {1920, 1080, 125}, {1920, 1080, 150},
                            {2560, 1440, 125}, {3840, 2160, 150}, {3840, 2160, 200}};
  for (const auto& [width, height, percent] : screens) {
    const int dpi = 96 * percent / 100;
    const WorkArea work{0, 0, width, height - 48 * percent / 100};
    for (const int corner : {-480, 0, 160, 5000}) {
      WindowKeys k = Sized(1600, 900);
      k.logicalWidth = 1600;
      k.logicalHeight = 900;
      k.left = k.top = corner;
      const WindowGeometry g = ComputeWindowGeometry(k, work, dpi, dpi);
      const std::string where = std::to_string(width) + " at " + std::to_string(percent) + " %, from " + std::to_string(corner);
      EXPECT_TRUE(g.x >= 0 && g.y >= 0 && g.x + g.width <= work.right && g.y + g.height <= work.bottom) << where;
      EXPECT_EQ(g.width, std::min(1600 * dpi / 96, work.right)) << where;
      EXPECT_EQ(g.height, std::min(900 * dpi / 96, work.bottom)) << where;
    }
  }
}

TEST(WindowGeometryTest, HalfAPositionIsNoPositionAndIsNotClamped) {
  WindowKeys k = Sized(50, 5000);
  k.left = -3000;
  const WindowGeometry g = ComputeWindowGeometry(k, kWork, 96, 96);
  EXPECT_EQ(g.x, kPositionMarker);
  EXPECT_EQ(g.y, kPositionMarker);
  EXPECT_EQ(g.width, 200);
  EXPECT_EQ(g.height, 1040) << "no taller than the work area";
}

// The restored rectangle the system reports leaves out a taskbar at the top
// or left of the window's monitor. Saved converted, the window reopens exactly
// where it was closed, wherever the taskbar is.
TEST(WindowGeometryTest, SavedCornerReopensWhereTheWindowWasClosed) {
  struct Case {
    const char* what;
    WorkArea monitor, work;
    ScreenPoint onScreen;   // where the window stood
    ScreenPoint workspace;  // what the system reports for it
  };
  const Case cases[] = {
      {"taskbar at the bottom", {0, 0, 1920, 1080}, {0, 0, 1920, 1040}, {300, 200}, {300, 200}},
      {"taskbar at the top", {0, 0, 1920, 1080}, {0, 40, 1920, 1080}, {300, 200}, {300, 160}},
      {"taskbar at the left", {0, 0, 1920, 1080}, {62, 0, 1920, 1080}, {300, 200}, {238, 200}},
      {"left monitor, taskbar at its top", {-1280, -200, 0, 824}, {-1280, -170, 0, 824}, {-1000, -100}, {-1000, -130}},
  };
  for (const Case& c : cases) {
    const ScreenPoint saved = WorkspaceToScreen(c.workspace, c.work, c.monitor);
    EXPECT_EQ(saved.x, c.onScreen.x) << c.what;
    EXPECT_EQ(saved.y, c.onScreen.y) << c.what;
    WindowKeys k = Sized(800, 600);
    k.left = saved.x;
    k.top = saved.y;
    const WindowGeometry reopened = ComputeWindowGeometry(k, c.work, 96, 96);
    EXPECT_EQ(reopened.x, c.onScreen.x) << c.what;
    EXPECT_EQ(reopened.y, c.onScreen.y) << c.what;
  }
  const ScreenPoint far = WorkspaceToScreen({INT_MAX, INT_MIN}, {0, 0, 10, 10}, {-100, 100, 10, 10});
  EXPECT_EQ(far.x, INT_MAX);
  EXPECT_EQ(far.y, INT_MIN);
}

}  // namespace
}  // namespace zrcc

// Where the main window opens and how large it is, from the six window keys
// of settings.ini, the work area of the nearest monitor and that monitor's
// DPI. Platform-free: the reading of the keys and the monitor queries live
// in startup_geometry.
#pragma once

#include <climits>
#include <optional>

namespace zrcc {

// The value read for a missing window key, and the position handed to
// window creation when the system should choose it (CW_USEDEFAULT).
inline constexpr int kPositionMarker = INT_MIN;

// True for the missing-key marker (a key that holds the marker itself
// counts as missing).
bool IsMissing(int value);
// The marker as "no value".
std::optional<int> KeyValue(int raw);

// The "Window" keys of settings.ini; empty when missing.
struct WindowKeys {
  std::optional<int> left, top;
  std::optional<int> logicalWidth, logicalHeight;  // 96-DPI units
  std::optional<int> width, height;                // physical pixels
};

struct WorkArea {
  int left = 0, top = 0, right = 0, bottom = 0;
};

struct WindowGeometry {
  int x = kPositionMarker;  // or the marker: the system chooses
  int y = kPositionMarker;
  int width = 1600;
  int height = 900;
};

inline constexpr int kDefaultWindowWidth = 1600;
inline constexpr int kDefaultWindowHeight = 900;
inline constexpr int kMinWindowWidth = 200;
inline constexpr int kMinWindowHeight = 150;

// Whether the saved position is used; when not, the monitor is looked up at
// (0,0) and the system chooses the position.
bool HasSavedPosition(const WindowKeys& keys);

// The opening geometry: a logical size (scaled to the monitor's DPI) wins
// over a physical one; with neither the window is 1600 × 900, or, where that
// does not fit the work area, exactly the work area (its size and corner). A saved size
// larger than the work area is shrunk to it, then raised to at least
// 200 × 150. A saved position is moved onto the work area (left and top
// first, then right and bottom).
WindowGeometry ComputeWindowGeometry(const WindowKeys& keys, const WorkArea& work, int dpiX, int dpiY);

// A point in screen pixels.
struct ScreenPoint {
  int x = 0;
  int y = 0;
};

// The system keeps the restored rectangle of a window (without the tool
// window style) in workspace coordinates: shifted by how far its monitor's
// work area begins inside the monitor, which is the taskbar's thickness when
// the taskbar is at the top or left and nothing when it is at the bottom or
// right. The window opens at screen coordinates, so a saved corner is
// converted back: `work` and `monitor` are that monitor's work area and whole
// area. Saving that keeps the window where it was closed.
ScreenPoint WorkspaceToScreen(ScreenPoint workspace, const WorkArea& work, const WorkArea& monitor);

}  // namespace zrcc

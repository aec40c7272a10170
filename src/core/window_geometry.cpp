#include "core/window_geometry.h"

#include <algorithm>
#include <climits>
#include <cstdint>

namespace zrcc {

namespace {
// Logical size × DPI / 96, the product wrapping as an unsigned 32-bit value.
int ScaleLogical(int logical, int dpi) {
  const std::uint32_t product = static_cast<std::uint32_t>(logical) * static_cast<std::uint32_t>(dpi);
  return static_cast<int>(product / 96u);
}
}  // namespace

bool IsMissing(int value) { return value == kPositionMarker; }

std::optional<int> KeyValue(int raw) {
  if (IsMissing(raw)) return std::nullopt;
  return raw;
}

bool HasSavedPosition(const WindowKeys& keys) { return keys.left.has_value() && keys.top.has_value(); }

WindowGeometry ComputeWindowGeometry(const WindowKeys& keys, const WorkArea& work, int dpiX, int dpiY) {
  WindowGeometry g;
  const std::int64_t workWidth = static_cast<std::int64_t>(work.right) - work.left;
  const std::int64_t workHeight = static_cast<std::int64_t>(work.bottom) - work.top;
  const bool workKnown = workWidth > 0 && workHeight > 0;
  if (HasSavedPosition(keys)) {
    g.x = *keys.left;
    g.y = *keys.top;
  }

  if (keys.logicalWidth && keys.logicalHeight) {
    g.width = ScaleLogical(*keys.logicalWidth, dpiX);
    g.height = ScaleLogical(*keys.logicalHeight, dpiY);
  } else if (keys.width && keys.height) {
    g.width = *keys.width;
    g.height = *keys.height;
  } else {
    // The default size is already above the minimum. On a work area too
    // small for it (a laptop screen less its taskbar) the window would reach
    // past the screen with its buttons and status bar: it takes the whole
    // work area instead.
    g.width = kDefaultWindowWidth;
    g.height = kDefaultWindowHeight;
    if (workKnown && (g.width > workWidth || g.height > workHeight)) {
      g.x = work.left;
      g.y = work.top;
      g.width = static_cast<int>(std::min<std::int64_t>(workWidth, INT_MAX));
      g.height = static_cast<int>(std::min<std::int64_t>(workHeight, INT_MAX));
      return g;
    }
  }
  // A size saved on another screen or at another scaling may not fit this
  // work area (1600 x 900 saved at 100 % is 2400 x 1350 at 150 %): kept on
  // the work area by its far edges, the title bar and the top band would
  // open off screen. It is shrunk to the work area instead.
  if (workKnown) {
    if (g.width > workWidth) g.width = static_cast<int>(workWidth);
    if (g.height > workHeight) g.height = static_cast<int>(workHeight);
  }
  if (g.width < kMinWindowWidth) g.width = kMinWindowWidth;
  if (g.height < kMinWindowHeight) g.height = kMinWindowHeight;

  if (HasSavedPosition(keys)) {
    // 64-bit sums: a saved edge near the 32-bit limit must not overflow.
    if (g.x < work.left) g.x = work.left;
    if (g.y < work.top) g.y = work.top;
    if (static_cast<std::int64_t>(g.x) + g.width > work.right) g.x = work.right - g.width;
    if (static_cast<std::int64_t>(g.y) + g.height > work.bottom) g.y = work.bottom - g.height;
  }
  return g;
}

ScreenPoint WorkspaceToScreen(ScreenPoint workspace, const WorkArea& work, const WorkArea& monitor) {
  // 64-bit sums, kept in range: any rectangle the system reports must convert.
  const auto shifted = [](int value, int from, int to) {
    const std::int64_t sum = static_cast<std::int64_t>(value) + to - from;
    return static_cast<int>(std::clamp<std::int64_t>(sum, INT_MIN, INT_MAX));
  };
  return {shifted(workspace.x, monitor.left, work.left), shifted(workspace.y, monitor.top, work.top)};
}

}  // namespace zrcc

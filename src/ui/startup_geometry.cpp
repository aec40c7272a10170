#include "ui/startup_geometry.h"

#include <windows.h>
#include <shellscalingapi.h>

#include <string>

#include "ui/settings.h"

namespace zrcc {

namespace {
std::optional<int> ReadWindowKey(WindowSetting which) { return KeyValue(ReadIntegerSetting(WindowSettingKey(which))); }
}  // namespace

WindowGeometry LoadWindowGeometry() {
  CheckSettingsReadable();
  WindowKeys keys;
  keys.left = ReadWindowKey(WindowSetting::Left);
  keys.top = ReadWindowKey(WindowSetting::Top);
  keys.logicalWidth = ReadWindowKey(WindowSetting::LogicalWidth);
  keys.logicalHeight = ReadWindowKey(WindowSetting::LogicalHeight);
  keys.width = ReadWindowKey(WindowSetting::Width);
  keys.height = ReadWindowKey(WindowSetting::Height);

  POINT reference{0, 0};
  if (HasSavedPosition(keys)) reference = {*keys.left, *keys.top};
  const HMONITOR monitor = MonitorFromPoint(reference, MONITOR_DEFAULTTONEAREST);

  MONITORINFO info{};
  info.cbSize = sizeof info;
  WorkArea work;
  if (GetMonitorInfoW(monitor, &info)) {
    work = {info.rcWork.left, info.rcWork.top, info.rcWork.right, info.rcWork.bottom};
  } else {
    // Without the monitor's work area a saved position is taken as it is.
    work = {INT_MIN / 2, INT_MIN / 2, INT_MAX / 2, INT_MAX / 2};
  }

  UINT dpiX = 96;
  UINT dpiY = 96;
  GetDpiForMonitor(monitor, MDT_EFFECTIVE_DPI, &dpiX, &dpiY);
  return ComputeWindowGeometry(keys, work, static_cast<int>(dpiX), static_cast<int>(dpiY));
}

}  // namespace zrcc

#include "ui/startup_geometry.h"

#include <windows.h>
#include <shellscalingapi.h>

#include <string>

#include "ui/settings.h"

namespace zrcc {

WindowGeometry LoadWindowGeometry(bool* settingsUnreadable) {
  if (settingsUnreadable) *settingsUnreadable = SettingsFileUnreadable();
  const SettingValues values = ReadSettingValues();
  const auto key = [](const std::optional<int>& raw) { return raw ? KeyValue(*raw) : std::nullopt; };
  WindowKeys keys;
  keys.left = key(values.left);
  keys.top = key(values.top);
  keys.logicalWidth = key(values.logicalWidth);
  keys.logicalHeight = key(values.logicalHeight);
  keys.width = key(values.width);
  keys.height = key(values.height);

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

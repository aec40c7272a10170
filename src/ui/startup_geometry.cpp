#include "ui/startup_geometry.h"

#include <windows.h>
#include <shellscalingapi.h>

#include <string>

#include "platform/app_folder.h"

namespace zrcc {

namespace {
std::optional<int> ReadWindowKey(const std::wstring& file, const wchar_t* key) {
  if (file.empty()) return std::nullopt;
  return KeyValue(static_cast<int>(GetPrivateProfileIntW(L"Window", key, kPositionMarker, file.c_str())));
}
}  // namespace

WindowGeometry LoadWindowGeometry() {
  const std::wstring file = AppFilePath(L"settings.ini");
  WindowKeys keys;
  keys.left = ReadWindowKey(file, L"Left");
  keys.top = ReadWindowKey(file, L"Top");
  keys.logicalWidth = ReadWindowKey(file, L"LogicalWidth");
  keys.logicalHeight = ReadWindowKey(file, L"LogicalHeight");
  keys.width = ReadWindowKey(file, L"Width");
  keys.height = ReadWindowKey(file, L"Height");

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

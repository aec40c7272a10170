#include "ui/settings.h"

#include <windows.h>
#include <commctrl.h>

#include <vector>

#include "core/settings_rules.h"
#include "core/window_geometry.h"
#include "platform/app_folder.h"
#include "platform/win_handles.h"

namespace zrcc {


namespace {

std::wstring SettingsPath() { return AppFilePath(kSettingsFileName); }

int HeaderColumnCount(HWND listView) {
  const HWND header = reinterpret_cast<HWND>(SendMessageW(listView, LVM_GETHEADER, 0, 0));
  if (!header) return 0;
  return static_cast<int>(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0));
}

int ListDpi(HWND listView) { return UsableDpi(static_cast<int>(GetDpiForWindow(listView))); }

// The profile functions create a missing file in the ANSI code page, which
// cannot hold every folder name (a package folder with characters outside
// that code page would come back as "?" and be rejected at the next start).
// A file that starts as UTF-16 stays UTF-16, so a new file is begun with the
// UTF-16 byte order mark. An existing file is left as it is.
void CreateUnicodeFileIfMissing(const std::wstring& file) {
  UniqueHandle handle(CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                                  nullptr));
  if (!handle) return;
  const unsigned char bom[2] = {0xFF, 0xFE};
  DWORD written = 0;
  WriteFile(handle.get(), bom, sizeof bom, &written, nullptr);
}
}  // namespace

int ReadIntegerSetting(const SettingKey& key) {
  const std::wstring file = SettingsPath();
  if (file.empty()) return key.missing;  // without a file name every key reads as missing
  return static_cast<int>(GetPrivateProfileIntW(key.section, key.name, key.missing, file.c_str()));
}

std::wstring ReadTextSetting(const SettingKey& key) {
  const std::wstring file = SettingsPath();
  if (file.empty()) return key.missingText;
  // The buffer grows until the whole value fits: the profile functions cut a
  // value to the buffer silently.
  for (DWORD size = 512;; size *= 2) {
    std::vector<wchar_t> buffer(size, L'\0');
    const DWORD length =
        GetPrivateProfileStringW(key.section, key.name, key.missingText, buffer.data(), size, file.c_str());
    if (length + 1 < size || size >= (1u << 20)) return std::wstring(buffer.data(), length);
  }
}

std::array<int, kColumnCount> WindowSettings::StartColumnWidths() {
  std::array<int, kColumnCount> widths{};
  for (int i = 0; i < kColumnCount; ++i) widths[static_cast<size_t>(i)] = SettledColumnWidth(i, 0);
  return widths;
}

SettingValues ReadSettingValues() {
  SettingValues values;
  for (const SettingKey& key : kSettingKeys) {
    if (key.kind == SettingKind::Text) {
      key.text(values) = ReadTextSetting(key);
    } else {
      key.integer(values) = ReadIntegerSetting(key);
    }
  }
  return values;
}

void WriteSettingValues(const SettingValues& values) {
  const std::wstring file = SettingsPath();
  if (file.empty()) return;
  CreateUnicodeFileIfMissing(file);
  SettingValues copy = values;
  for (const SettingKey& key : kSettingKeys) {
    // A text key is written even when empty; an integer key only with a value.
    std::wstring value;
    if (key.kind == SettingKind::Text) {
      value = key.text(copy);
    } else if (const std::optional<int>& number = key.integer(copy)) {
      value = std::to_wstring(*number);
    } else {
      continue;
    }
    WritePrivateProfileStringW(key.section, key.name, value.c_str(), file.c_str());
  }
}

bool SettingsFileUnreadable() {
  const std::wstring file = SettingsPath();
  if (file.empty()) return false;
  UniqueHandle handle(CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  return !handle && GetFileAttributesW(file.c_str()) != INVALID_FILE_ATTRIBUTES;
}

void LoadSettings(const SettingsHost& host) {
  host.settings->unreadable = host.settings->unreadable || SettingsFileUnreadable();
  const SettingValues values = ReadSettingValues();
  const int columns = HeaderColumnCount(host.listView);
  const int dpi = ListDpi(host.listView);
  for (int i = 0; i < kColumnCount && i < columns; ++i) {
    const int logical = SettledColumnWidth(i, values.columnWidths[static_cast<size_t>(i)].value_or(0));
    host.settings->logicalColumnWidths[static_cast<size_t>(i)] = logical;
    SendMessageW(host.listView, LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(i),
                 MAKELPARAM(ColumnPixels(i, logical, dpi), 0));
  }
  // A rejected folder shows "No path set"; the text read is kept so that it
  // is written back unchanged.
  host.package->Restore(values.packageFolder);
  host.settings->list = SettledListChoice(values.sortColumn.value_or(-1), values.sortDescending.value_or(0),
                                          values.filterKind.value_or(0));
  if (host.listChoiceRead) host.listChoiceRead();
}

void SaveSettings(const SettingsHost& host) {
  if (SettingsPath().empty() || host.settings->unreadable) return;

  SettingValues values;
  const int columns = HeaderColumnCount(host.listView);
  const int dpi = ListDpi(host.listView);
  for (int i = 0; i < kColumnCount && i < columns; ++i) {
    const int width = static_cast<int>(SendMessageW(host.listView, LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(i), 0));
    values.columnWidths[static_cast<size_t>(i)] = ScaleFrom(width, dpi);
  }
  values.packageFolder = host.package->folder();
  const ListChoice& list = host.settings->list;
  values.sortColumn = list.order.column;
  values.sortDescending = list.order.descending ? 1 : 0;
  values.filterKind = static_cast<int>(list.filter);

  // The restored rectangle, so a window closed maximised or minimised
  // reopens at its normal place and size; the keys are left out when the
  // window cannot tell it.
  WINDOWPLACEMENT placement{};
  placement.length = sizeof placement;
  if (GetWindowPlacement(host.window, &placement)) {
    const RECT& r = placement.rcNormalPosition;
    const int width = r.right - r.left;
    const int height = r.bottom - r.top;
    // Saved in screen coordinates, which the window is opened with.
    ScreenPoint corner{r.left, r.top};
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    if (!(GetWindowLongW(host.window, GWL_EXSTYLE) & WS_EX_TOOLWINDOW) &&
        GetMonitorInfoW(MonitorFromWindow(host.window, MONITOR_DEFAULTTONEAREST), &monitor)) {
      const RECT& w = monitor.rcWork;
      const RECT& m = monitor.rcMonitor;
      corner = WorkspaceToScreen(corner, {w.left, w.top, w.right, w.bottom}, {m.left, m.top, m.right, m.bottom});
    }
    values.left = corner.x;
    values.top = corner.y;
    values.width = width;
    values.height = height;
    values.logicalWidth = LogicalWindowSize(width, dpi);
    values.logicalHeight = LogicalWindowSize(height, dpi);
  }
  WriteSettingValues(values);
}

}  // namespace zrcc

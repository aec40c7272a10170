#include "ui/settings.h"

#include <windows.h>
#include <commctrl.h>

#include <vector>

#include "core/settings_rules.h"
#include "core/window_geometry.h"
#include "deploy/mod_state.h"
#include "platform/app_folder.h"
#include "platform/app_state.h"
#include "platform/win_handles.h"
#include "ui/main_window.h"

namespace zrcc {


namespace {

std::wstring SettingsPath() { return AppFilePath(kSettingsFileName); }

int HeaderColumnCount() {
  const HWND header = reinterpret_cast<HWND>(SendMessageW(gListView, LVM_GETHEADER, 0, 0));
  if (!header) return 0;
  return static_cast<int>(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0));
}

int ListDpi() { return UsableDpi(static_cast<int>(GetDpiForWindow(gListView))); }

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

void CheckSettingsReadable() {
  const std::wstring file = SettingsPath();
  if (file.empty()) return;
  UniqueHandle handle(CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!handle && GetFileAttributesW(file.c_str()) != INVALID_FILE_ATTRIBUTES) SettingsUnreadable = true;
}

void LoadSettings() {
  CheckSettingsReadable();
  const int columns = HeaderColumnCount();
  const int dpi = ListDpi();
  for (int i = 0; i < kColumnCount && i < columns; ++i) {
    const int logical = SettledColumnWidth(i, ReadIntegerSetting(ColumnWidthKey(i)));
    LogicalColumnWidths[static_cast<size_t>(i)] = logical;
    SendMessageW(gListView, LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(i),
                 MAKELPARAM(ColumnPixels(i, logical, dpi), 0));
  }

  ModFolder = ReadTextSetting(PackageFolderKey());
  // A rejected folder has already put "No path set" into the path field; the
  // text read is kept so that it is written back unchanged.
  ModFolderSet = CheckModFolder(ModFolder);
  if (ModFolderSet) SetWindowTextW(gPathField, ModFolder.c_str());
  ShowPackageTexts();
}

void SaveSettings() {
  const std::wstring file = SettingsPath();
  if (file.empty() || SettingsUnreadable) return;

  // The value of every key, in the table's order.
  std::array<std::wstring, kSettingKeyCount> values;
  const int columns = HeaderColumnCount();
  const int dpi = ListDpi();
  for (int i = 0; i < kColumnCount && i < columns; ++i) {
    const int width = static_cast<int>(SendMessageW(gListView, LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(i), 0));
    values[static_cast<size_t>(i)] = std::to_wstring(ScaleFrom(width, dpi));
  }
  values[kColumnCount] = ModFolder;

  // The restored rectangle, so a window closed maximised or minimised
  // reopens at its normal place and size; the keys are left out when the
  // window cannot tell it.
  WINDOWPLACEMENT placement{};
  placement.length = sizeof placement;
  if (GetWindowPlacement(gMainWindow, &placement)) {
    const RECT& r = placement.rcNormalPosition;
    const int width = r.right - r.left;
    const int height = r.bottom - r.top;
    // Saved in screen coordinates, which the window is opened with.
    ScreenPoint corner{r.left, r.top};
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    if (!(GetWindowLongW(gMainWindow, GWL_EXSTYLE) & WS_EX_TOOLWINDOW) &&
        GetMonitorInfoW(MonitorFromWindow(gMainWindow, MONITOR_DEFAULTTONEAREST), &monitor)) {
      const RECT& w = monitor.rcWork;
      const RECT& m = monitor.rcMonitor;
      corner = WorkspaceToScreen(corner, {w.left, w.top, w.right, w.bottom}, {m.left, m.top, m.right, m.bottom});
    }
    const int window[] = {corner.x, corner.y, width, height, LogicalWindowSize(width, dpi),
                          LogicalWindowSize(height, dpi)};
    for (size_t i = 0; i < std::size(window); ++i) values[kColumnCount + 1 + i] = std::to_wstring(window[i]);
  }

  CreateUnicodeFileIfMissing(file);
  for (size_t i = 0; i < kSettingKeys.size(); ++i) {
    // A text key is written even when empty; an integer key only with a value.
    if (values[i].empty() && kSettingKeys[i].kind == SettingKind::Integer) continue;
    WritePrivateProfileStringW(kSettingKeys[i].section, kSettingKeys[i].name, values[i].c_str(), file.c_str());
  }
}

}  // namespace zrcc

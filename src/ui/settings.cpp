#include "ui/settings.h"

#include <windows.h>
#include <commctrl.h>

#include <vector>

#include "deploy/mod_state.h"
#include "platform/app_folder.h"
#include "platform/win_handles.h"
#include "ui/main_window.h"
#include "core/window_geometry.h"
#include "platform/app_state.h"

namespace zrcc {

std::wstring ModFolder;
bool ModFolderSet = false;
std::array<int, kColumnCount> LogicalColumnWidths{767, 71, 73, 112, 290, 70, 100};

namespace {
constexpr const wchar_t* kSettingsFile = L"settings.ini";

std::wstring ColumnKey(int column) { return L"Column" + std::to_wstring(column); }

int HeaderColumnCount() {
  const HWND header = reinterpret_cast<HWND>(SendMessageW(gListView, LVM_GETHEADER, 0, 0));
  if (!header) return 0;
  return static_cast<int>(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0));
}

int ListDpi() { return UsableDpi(static_cast<int>(GetDpiForWindow(gListView))); }

int ReadInt(const std::wstring& file, const wchar_t* section, const std::wstring& key, int fallback) {
  return static_cast<int>(GetPrivateProfileIntW(section, key.c_str(), fallback, file.c_str()));
}

// The value of a key, however long; the buffer grows until the whole value
// fits (the profile functions cut a value to the buffer silently).
std::wstring ReadString(const std::wstring& file, const wchar_t* section, const wchar_t* key,
                        const wchar_t* fallback) {
  for (DWORD size = 512;; size *= 2) {
    std::vector<wchar_t> buffer(size, L'\0');
    const DWORD length = GetPrivateProfileStringW(section, key, fallback, buffer.data(), size, file.c_str());
    if (length + 1 < size || size >= (1u << 20)) return std::wstring(buffer.data(), length);
  }
}

void WriteString(const std::wstring& file, const wchar_t* section, const std::wstring& key,
                 const std::wstring& value) {
  WritePrivateProfileStringW(section, key.c_str(), value.c_str(), file.c_str());
}

void WriteInt(const std::wstring& file, const wchar_t* section, const std::wstring& key, int value) {
  WriteString(file, section, key, std::to_wstring(value));
}

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

void LoadSettings() {
  // Without a file name every key reads as missing.
  const std::wstring file = AppFilePath(kSettingsFile);
  const int columns = HeaderColumnCount();
  const int dpi = ListDpi();
  for (int i = 0; i < kColumnCount && i < columns; ++i) {
    const int stored = file.empty() ? ColumnDefault(i) : ReadInt(file, L"UI", ColumnKey(i), ColumnDefault(i));
    const int logical = SettledColumnWidth(i, stored);
    LogicalColumnWidths[static_cast<size_t>(i)] = logical;
    SendMessageW(gListView, LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(i),
                 MAKELPARAM(ColumnPixels(i, logical, dpi), 0));
  }

  ModFolder = file.empty() ? std::wstring(kNoPathSet) : ReadString(file, L"ZandRivell", L"Path", kNoPathSet);
  // A rejected folder has already put "No path set" into the path field; the
  // text read is kept so that it is written back unchanged.
  ModFolderSet = CheckModFolder(ModFolder);
  if (ModFolderSet) SetWindowTextW(gPathField, ModFolder.c_str());
  ShowPackageTexts();
}

void SaveSettings() {
  const std::wstring file = AppFilePath(kSettingsFile);
  if (file.empty()) return;
  CreateUnicodeFileIfMissing(file);

  const int columns = HeaderColumnCount();
  const int dpi = ListDpi();
  for (int i = 0; i < columns; ++i) {
    const int width = static_cast<int>(SendMessageW(gListView, LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(i), 0));
    WriteInt(file, L"UI", ColumnKey(i), ScaleFrom(width, dpi));
  }

  WriteString(file, L"ZandRivell", L"Path", ModFolder);

  // The restored rectangle, so a window closed maximised or minimised
  // reopens at its normal place and size.
  WINDOWPLACEMENT placement{};
  placement.length = sizeof placement;
  if (!GetWindowPlacement(gMainWindow, &placement)) return;
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
  WriteInt(file, L"Window", L"Left", corner.x);
  WriteInt(file, L"Window", L"Top", corner.y);
  WriteInt(file, L"Window", L"Width", width);
  WriteInt(file, L"Window", L"Height", height);
  WriteInt(file, L"Window", L"LogicalWidth", LogicalWindowSize(width, dpi));
  WriteInt(file, L"Window", L"LogicalHeight", LogicalWindowSize(height, dpi));
}

}  // namespace zrcc

#include "platform/app_state.h"

#include "core/settings_rules.h"

namespace zrcc {

namespace {
std::array<int, kColumnCount> StartColumnWidths() {
  std::array<int, kColumnCount> widths{};
  for (int i = 0; i < kColumnCount; ++i) widths[static_cast<size_t>(i)] = SettledColumnWidth(i, 0);
  return widths;
}
}  // namespace

HWND gMainWindow = nullptr;
HWND gListView = nullptr;
HWND gStatusBar = nullptr;
HWND gPathField = nullptr;
std::wstring ModFolder;
bool ModFolderSet = false;
std::wstring PackageVersionText;
std::wstring PackageBuildText;
std::array<int, kColumnCount> LogicalColumnWidths = StartColumnWidths();
int32_t SelectedRow = -1;
bool isLoading = false;
bool SettingsUnreadable = false;

void ResetAppState() {
  gMainWindow = gListView = gStatusBar = gPathField = nullptr;
  ModFolder.clear();
  ModFolderSet = false;
  PackageVersionText.clear();
  PackageBuildText.clear();
  LogicalColumnWidths = StartColumnWidths();
  SelectedRow = -1;
  isLoading = false;
  SettingsUnreadable = false;
}

}  // namespace zrcc

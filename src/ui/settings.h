// settings.ini, the user-interface state kept between runs: the game list's
// column widths, the mod package folder and the main window's restored
// position and size. Read once after the main window exists, written once
// when it is destroyed (and at the end of the Windows session); UI thread.
#pragma once

#include <windows.h>

#include <array>
#include <functional>
#include <string>

#include "core/columns.h"
#include "core/list_view_rules.h"
#include "core/settings_keys.h"
#include "ui/package.h"

namespace zrcc {

// What the window keeps of its settings.
struct WindowSettings {
  // Column widths in 96-DPI units as LoadSettings settled them; a DPI change
  // re-scales the columns from these. Not updated when a column is dragged.
  std::array<int, kColumnCount> logicalColumnWidths = StartColumnWidths();
  // settings.ini was there at start but could not be read (held open by
  // another program): what the window used are defaults, so the file is
  // left as it is rather than overwritten with them.
  bool unreadable = false;
  // How the game list is shown now: its order and filter (the filter's text
  // is never kept in settings.ini; the order and the drop-down's choice are).
  ListChoice list;

  static std::array<int, kColumnCount> StartColumnWidths();
};

// What settings.ini is read into and written from.
struct SettingsHost {
  HWND window = nullptr;    // its restored rectangle
  HWND listView = nullptr;  // its column widths
  Package* package = nullptr;
  WindowSettings* settings = nullptr;
  // Called once the list's order and filter were read into `settings`, to
  // show them.
  std::function<void()> listChoiceRead;
};

// A key's value as settings.ini holds it, or what a missing key reads as.
int ReadIntegerSetting(const SettingKey& key);
std::wstring ReadTextSetting(const SettingKey& key);

// Every key's value, read in one loop (integers as the file has them, or what
// a missing key reads as), and written in one loop (an integer without a
// value is left out).
SettingValues ReadSettingValues();
void WriteSettingValues(const SettingValues& values);

// Whether settings.ini is there but cannot be read now, so that
// SaveSettings leaves it alone.
bool SettingsFileUnreadable();

// Sets the list view's column widths from the "UI" section, restores the
// saved package folder (the path field shows it when it is accepted) and the
// list's order and filter.
void LoadSettings(const SettingsHost& host);

// Writes the column widths (in 96-DPI units), the package folder, the main
// window's restored rectangle and the list's order and filter; nothing when
// the file could not be read at start.
void SaveSettings(const SettingsHost& host);

}  // namespace zrcc

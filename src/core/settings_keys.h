// Every key of settings.ini in one table: its section, its name, what a
// missing key reads as, the values it may hold, and where its value lives in
// SettingValues. Reading, writing and the tests all go through it: one loop
// reads every key, one writes every key. Platform-free.
#pragma once

#include <array>
#include <climits>
#include <optional>
#include <string>

#include "core/columns.h"

namespace zrcc {

inline constexpr const wchar_t* kSettingsFileName = L"settings.ini";

// What settings.ini holds, by name. An integer that is not there when
// written is left out of the file.
struct SettingValues {
  std::array<std::optional<int>, kColumnCount> columnWidths;  // 96-DPI units
  std::wstring packageFolder;
  // The window's restored rectangle in physical pixels, and its size in
  // 96-DPI units.
  std::optional<int> left, top, width, height, logicalWidth, logicalHeight;
  // The game list's view: the column sorted by (-1: none), whether from the
  // largest down (0 or 1), and the drop-down's filter (GameFilter).
  std::optional<int> sortColumn, sortDescending, filterKind;
};

enum class SettingKind { Integer, Text };

struct SettingKey {
  const wchar_t* section;
  const wchar_t* name;
  SettingKind kind;
  int missing;               // an integer key's value when the file has none
  const wchar_t* missingText;  // a text key's value when the file has none
  int least;                 // the range an integer key's value is taken into
                             // (for the widths by SettledColumnWidth)
  int most;
  // Where the key's value lives: an integer key's, or a text key's.
  std::optional<int>& (*integer)(SettingValues& values);
  std::wstring& (*text)(SettingValues& values);
};

inline constexpr int kSettingKeyCount = kColumnCount + 1 + 6 + 3;

// In the order they are written: the column widths, the package folder, the
// window's rectangle, the list's order and filter.
extern const std::array<SettingKey, kSettingKeyCount> kSettingKeys;

enum class WindowSetting { Left, Top, Width, Height, LogicalWidth, LogicalHeight };
enum class ListSetting { SortColumn, SortDescending, FilterKind };

const SettingKey& ColumnWidthKey(int column);
const SettingKey& PackageFolderKey();
const SettingKey& WindowSettingKey(WindowSetting which);
const SettingKey& ListSettingKey(ListSetting which);

}  // namespace zrcc

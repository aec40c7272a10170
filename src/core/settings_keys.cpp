#include "core/settings_keys.h"

#include "core/list_view_rules.h"
#include "core/settings_rules.h"
#include "core/window_geometry.h"

namespace zrcc {

namespace {

template <int kColumn>
std::optional<int>& ColumnValue(SettingValues& values) {
  return values.columnWidths[kColumn];
}

template <std::optional<int> SettingValues::*kField>
std::optional<int>& WindowValue(SettingValues& values) {
  return values.*kField;
}

std::wstring& PackageFolderValue(SettingValues& values) { return values.packageFolder; }

// A stored width is taken into [kMinColumnWidth, cap] (SettledColumnWidth);
// a missing one reads as the column's default.
template <int kColumn>
SettingKey Column(const wchar_t* name) {
  return {L"UI", name, SettingKind::Integer, ColumnDefault(kColumn), nullptr, kMinColumnWidth, ColumnCap(kColumn),
          &ColumnValue<kColumn>, nullptr};
}

// Any value; a missing key reads as the marker that lets the system choose.
template <std::optional<int> SettingValues::*kField>
SettingKey Window(const wchar_t* name) {
  return {L"Window", name, SettingKind::Integer, kPositionMarker, nullptr, INT_MIN, INT_MAX, &WindowValue<kField>, nullptr};
}

// The list's view: a value outside [least, most] is taken into it.
template <std::optional<int> SettingValues::*kField>
SettingKey List(const wchar_t* name, int missing, int least, int most) {
  return {L"UI", name, SettingKind::Integer, missing, nullptr, least, most, &WindowValue<kField>, nullptr};
}

const SettingKey& KeyNamed(const wchar_t* section, const std::wstring& name) {
  for (const SettingKey& key : kSettingKeys) {
    if (std::wstring_view(key.section) == section && key.name == name) return key;
  }
  return kSettingKeys.front();  // never: every name asked for is in the table
}

}  // namespace

// Built at start-up from the column table, which is constant-initialised and
// so complete before this runs.
const std::array<SettingKey, kSettingKeyCount> kSettingKeys{{
    Column<0>(L"Column0"),
    Column<1>(L"Column1"),
    Column<2>(L"Column2"),
    Column<3>(L"Column3"),
    Column<4>(L"Column4"),
    Column<5>(L"Column5"),
    Column<6>(L"Column6"),
    Column<7>(L"Column7"),
    {L"ZandRivell", L"Path", SettingKind::Text, 0, kNoPathSet, 0, 0, nullptr, &PackageFolderValue},
    Window<&SettingValues::left>(L"Left"),
    Window<&SettingValues::top>(L"Top"),
    Window<&SettingValues::width>(L"Width"),
    Window<&SettingValues::height>(L"Height"),
    Window<&SettingValues::logicalWidth>(L"LogicalWidth"),
    Window<&SettingValues::logicalHeight>(L"LogicalHeight"),
    List<&SettingValues::sortColumn>(L"SortColumn", -1, -1, kColumnCount - 1),
    List<&SettingValues::sortDescending>(L"SortDescending", 0, 0, 1),
    List<&SettingValues::filterKind>(L"FilterKind", 0, 0, kGameFilterCount - 1),
}};

const SettingKey& ColumnWidthKey(int column) { return KeyNamed(L"UI", L"Column" + std::to_wstring(column)); }

const SettingKey& PackageFolderKey() { return KeyNamed(L"ZandRivell", L"Path"); }

const SettingKey& WindowSettingKey(WindowSetting which) {
  static constexpr const wchar_t* kNames[] = {L"Left", L"Top", L"Width", L"Height", L"LogicalWidth", L"LogicalHeight"};
  return KeyNamed(L"Window", kNames[static_cast<int>(which)]);
}

}  // namespace zrcc

namespace zrcc {

const SettingKey& ListSettingKey(ListSetting which) {
  static constexpr const wchar_t* kNames[] = {L"SortColumn", L"SortDescending", L"FilterKind"};
  return KeyNamed(L"UI", kNames[static_cast<int>(which)]);
}

}  // namespace zrcc

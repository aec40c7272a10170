#include "core/settings_keys.h"

#include "core/settings_rules.h"
#include "core/window_geometry.h"

namespace zrcc {

namespace {

// A stored width is taken into [kMinColumnWidth, cap] (SettledColumnWidth);
// a missing one reads as the column's default.
SettingKey Column(const wchar_t* name, int column) {
  return {L"UI", name, SettingKind::Integer, ColumnDefault(column), nullptr, kMinColumnWidth, ColumnCap(column)};
}

// Any value; a missing key reads as the marker that lets the system choose.
SettingKey Window(const wchar_t* name) {
  return {L"Window", name, SettingKind::Integer, kPositionMarker, nullptr, INT_MIN, INT_MAX};
}

}  // namespace

// Built at start-up from the column table, which is constant-initialised and
// so complete before this runs.
const std::array<SettingKey, kSettingKeyCount> kSettingKeys{{
    Column(L"Column0", 0),
    Column(L"Column1", 1),
    Column(L"Column2", 2),
    Column(L"Column3", 3),
    Column(L"Column4", 4),
    Column(L"Column5", 5),
    Column(L"Column6", 6),
    {L"ZandRivell", L"Path", SettingKind::Text, 0, kNoPathSet, 0, 0},
    Window(L"Left"),
    Window(L"Top"),
    Window(L"Width"),
    Window(L"Height"),
    Window(L"LogicalWidth"),
    Window(L"LogicalHeight"),
}};

const SettingKey& ColumnWidthKey(int column) { return kSettingKeys[static_cast<size_t>(column)]; }

const SettingKey& PackageFolderKey() { return kSettingKeys[kColumnCount]; }

const SettingKey& WindowSettingKey(WindowSetting which) {
  return kSettingKeys[kColumnCount + 1 + static_cast<size_t>(which)];
}

}  // namespace zrcc

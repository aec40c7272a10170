// Every key of settings.ini in one table: its section, its name, what a
// missing key reads as, and the values it may hold. Reading, writing and the
// tests all go through it. Platform-free.
#pragma once

#include <array>
#include <climits>

#include "core/columns.h"

namespace zrcc {

inline constexpr const wchar_t* kSettingsFileName = L"settings.ini";

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
};

inline constexpr int kSettingKeyCount = kColumnCount + 1 + 6;

// In the order they are written: the column widths (96-DPI units), the
// package folder, the window's restored rectangle (physical pixels, then its
// size in 96-DPI units).
extern const std::array<SettingKey, kSettingKeyCount> kSettingKeys;

enum class WindowSetting { Left, Top, Width, Height, LogicalWidth, LogicalHeight };

const SettingKey& ColumnWidthKey(int column);
const SettingKey& PackageFolderKey();
const SettingKey& WindowSettingKey(WindowSetting which);

}  // namespace zrcc

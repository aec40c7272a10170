// The eight columns of the game list, in one table: their titles, their
// widths when settings.ini has none, how wide a stored width may be, and
// which text of a game each shows. Platform-free.
#pragma once

#include <array>
#include <string>

#include "core/catalogue.h"

namespace zrcc {

enum GameColumn : int {
  kColumnPath = 0,
  kColumnSize = 1,
  kColumnStatus = 2,
  kColumnModVersion = 3,
  kColumnBuildVersion = 4,
  kColumnName = 5,
  kColumnExeFolder = 6,
  kColumnUpscalers = 7,
};

inline constexpr int kColumnCount = 8;

struct ColumnSpec {
  const wchar_t* title;
  int defaultWidth;  // in 96-DPI units
  float capFactor;   // a stored width is at most defaultWidth × capFactor
  std::wstring (*text)(const Game& game);
};

// In column order. The deployment buttons read the Status and version texts
// back from the list, so those must stay exactly what the table writes.
extern const std::array<ColumnSpec, kColumnCount> kColumns;

}  // namespace zrcc

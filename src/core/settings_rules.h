// The rules that turn what settings.ini holds into the sizes the window uses:
// the column width limits and the conversions between 96-DPI units and
// physical pixels. Platform-free.
#pragma once

#include "core/columns.h"
#include "core/dpi_math.h"

namespace zrcc {

// No column is narrower than this, whether read from the file or dragged.
inline constexpr int kMinColumnWidth = 70;
// The package folder's text when none is known.
inline constexpr const wchar_t* kNoPathSet = L"No path set";

// Width of column `column` (0..6) in 96-DPI units when the file has none.
// Out-of-range columns give 0.
int ColumnDefault(int column);
// The widest a stored width may be: the default times the column's factor,
// multiplied in single precision and truncated. Out-of-range columns give 0.
int ColumnCap(int column);

// The logical width a column takes for the value read from the file (the
// column's default when the key is missing): a value of 0 or less gives the
// default, a larger one is limited to the cap; never below kMinColumnWidth.
int SettledColumnWidth(int column, int stored);

// 96-DPI units to physical pixels at `dpi`, and back (MulDiv rounding).
int ScaleToDpi(int logical, int dpi);
int ScaleFrom(int physical, int dpi);

// Pixel width for a column's settled logical width; the column's default
// scaled when the first result is not positive.
int ColumnPixels(int column, int logical, int dpi);

// A DPI the conversions can divide by: 96 in place of a missing (0 or
// negative) value.
int UsableDpi(int dpi);

// A window dimension in 96-DPI units as stored under LogicalWidth and
// LogicalHeight: size × 96 as an unsigned 32-bit product, divided by `dpi`
// with truncation. `dpi` must be positive (see UsableDpi).
int LogicalWindowSize(int physical, int dpi);

}  // namespace zrcc
